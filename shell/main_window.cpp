#include "shell/main_window.h"

#include "paint/name_board.h"

using norvathel::Female;
using norvathel::Gender;
using norvathel::Male;
using norvathel::PrefixCapacity;

norvathel::AdditiveRandom SharedRandom;
HWND MaleButton;
HWND FemaleButton;
HWND PrefixEdit;

namespace {

HWND CreateControl(HWND parent, HINSTANCE instance, const char* className, const char* text,
                   DWORD style, int id)
{
    return CreateWindowExA(0, className, text, style, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void CreateControls(HWND window, const CREATESTRUCTA* creation)
{
    HINSTANCE instance = creation->hInstance;
    MaleButton = CreateControl(window, instance, "Button", "Generate Male Names",
                               WS_CHILD | WS_VISIBLE, IDC_MALE);
    FemaleButton = CreateControl(window, instance, "Button", "Generate Female Names",
                                 WS_CHILD | WS_VISIBLE, IDC_FEMALE);
    // No ES_AUTOHSCROLL: the box takes only what fits in its 40 pixels.
    PrefixEdit = CreateControl(window, instance, "Edit", "",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, IDC_PREFIX);
    // The female button sits above the male one although it is made second.
    MoveWindow(MaleButton, 50, 235, 200, 20, TRUE);
    MoveWindow(FemaleButton, 50, 210, 200, 20, TRUE);
    MoveWindow(PrefixEdit, 50, 180, 40, 20, TRUE);
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
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0)  // BN_CLICKED; the edit box's notifications are never 0
            HandleCommand(LOWORD(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
