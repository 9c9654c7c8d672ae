// Entry point: registers the window class, makes and prepares the main window, seeds the
// random source, runs the paced main loop and tidies up.
#include <windows.h>

#include <norvathel/name_composer.h>
#include "resources/resource.h"
#include "shell/copy_commands.h"
#include "shell/frame_clock.h"
#include "shell/main_window.h"
#include "shell/program_state.h"
#include "shell/render_frame.h"
#include "shell/window_layout.h"

namespace {

const int FramesPerSecond = 30;

// The class background: the pattern of the run-time bitmap, or none when it is missing.
HBRUSH LoadBackgroundBrush()
{
    HBITMAP background = static_cast<HBITMAP>(
        LoadImageA(0, "Misc/dragon_bg.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (background == 0)
        return 0;
    LOGBRUSH pattern = {};
    pattern.lbStyle = BS_PATTERN;
    pattern.lbHatch = reinterpret_cast<ULONG_PTR>(background);
    return CreateBrushIndirect(&pattern);
}

void RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    windowClass.hbrBackground = LoadBackgroundBrush();
    windowClass.lpszClassName = MainClassName;
    RegisterClassExA(&windowClass);  // a failure shows as a failed window creation
}

bool PrepareWindow(HWND window)
{
    if (window == 0)
        return false;
    if (!MainSurface.Attach(window))
        return false;
    ShowWindow(window, SW_SHOW);
    PlateBitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_PLATE));
    BoardBitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_BOARD));
    return true;
}

void MainLoop(HWND window)
{
    PlateDC = CreateCompatibleDC(MainSurface.MemoryDC());
    Compose(norvathel::DrawStartGender(SharedRandom));
    // Polls rather than blocks: one message per pass, frames only on passes that found none.
    for (;;) {
        Sleep(10);
        MSG message;
        if (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            ForwardCopyKey(window, message);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else if (FrameClock(FramesPerSecond)) {
            RenderFrame();
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    AppInstance = instance;
    RegisterMainClass(instance);
    HWND window = CreateWindowExA(MainWindowExStyle, MainClassName, MainCaption, MainWindowStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, MainWindowWidth, MainWindowHeight,
                                  0, 0, instance, nullptr);
    if (window == 0 || !PrepareWindow(window)) {
        UnregisterClassA(MainClassName, instance);
        return 1;
    }
    SharedRandom.Seed();
    MainLoop(window);
    DeleteDC(PlateDC);
    UnregisterClassA(MainClassName, instance);
    return 0;
}
