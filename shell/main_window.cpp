#include "shell/main_window.h"

#include "shell/copy_commands.h"
#include "shell/program_state.h"
#include "shell/render_frame.h"

using norvathel::Female;
using norvathel::Gender;
using norvathel::Male;
using norvathel::PrefixCapacity;

namespace {

// Where each control's handle is kept, in the order of MainControls.
HWND* const ControlHandles[] = {&MaleButton, &FemaleButton, &PrefixEdit};
static_assert(sizeof ControlHandles / sizeof ControlHandles[0] == MainControlCount,
              "one handle for each control");

HWND CreateControl(HWND parent, HINSTANCE instance, const ControlLayout& control)
{
    return CreateWindowExA(0, control.className, control.text, control.style, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance,
                           nullptr);
}

// All three are made first, then placed.
void CreateControls(HWND window, const CREATESTRUCTA* creation)
{
    for (int k = 0; k < MainControlCount; ++k)
        *ControlHandles[k] = CreateControl(window, creation->hInstance, MainControls[k]);
    for (int k = 0; k < MainControlCount; ++k) {
        const RECT& place = MainControls[k].place;
        MoveWindow(*ControlHandles[k], place.left, place.top, place.right - place.left,
                   place.bottom - place.top, TRUE);
    }
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);  // validates the update region; the copy goes through MainSurface
    FrameHook();
    PresentFrame();
    EndPaint(window, &paint);
}

}  // namespace

void Compose(Gender gender)
{
    char prefix[PrefixCapacity] = {};
    if (PrefixEdit != 0)
        GetWindowTextA(PrefixEdit, prefix, PrefixCapacity);
    norvathel::Compose(SharedRandom, gender, prefix, BoardNames);
}

void HandleCommand(WORD id)
{
    if (id == IDC_MALE)
        Compose(Male);
    else if (id == IDC_FEMALE)
        Compose(Female);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateControls(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);  // the window is left to go with the process
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            PostQuitMessage(0);
        else
            HandleCopyKey(window, wParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0)  // BN_CLICKED; the edit box's notifications are never 0
            HandleCommand(LOWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        if (HandleContextMenu(window, reinterpret_cast<HWND>(wParam), lParam))
            return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
