#include "shell/copy_commands.h"

#include <windowsx.h>

#include "paint/board_hit_test.h"
#include "shell/board_clipboard.h"
#include "shell/program_state.h"

namespace {

UINT TrackMenu(HMENU menu, HWND owner, POINT screen)
{
    // TPM_RETURNCMD: the choice comes back here rather than as a WM_COMMAND, which stays the
    // buttons' alone.
    const UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN;
    return static_cast<UINT>(TrackPopupMenu(menu, flags, screen.x, screen.y, 0, owner, nullptr));
}

// A menu shows "&" as an underline under the next letter; "&&" shows it as itself.
std::string MenuText(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '&')
            escaped += '&';
        escaped += c;
    }
    return escaped;
}

POINT ClientCentre(HWND window)
{
    RECT area = {};
    GetClientRect(window, &area);
    POINT centre = {area.right / 2, area.bottom / 2};
    ClientToScreen(window, &centre);
    return centre;
}

bool InClientArea(HWND window, POINT screen)
{
    RECT area = {};
    GetClientRect(window, &area);
    ScreenToClient(window, &screen);
    return PtInRect(&area, screen) != FALSE;
}

}  // namespace

UINT (*ChooseMenuCommand)(HMENU menu, HWND owner, POINT screen) = TrackMenu;

HMENU BuildCopyMenu(const std::string& name)
{
    HMENU menu = CreatePopupMenu();
    if (menu == 0)
        return 0;
    if (!name.empty())
        AppendMenuA(menu, MF_STRING, IDM_COPY_NAME, MenuText("Copy " + name).c_str());
    AppendMenuA(menu, MF_STRING, IDM_COPY_ALL, "Copy all ten names");
    return menu;
}

bool HandleContextMenu(HWND window, HWND target, LPARAM position)
{
    if (target != window)
        return false;
    POINT screen = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    const bool fromKeyboard = screen.x == -1 && screen.y == -1;
    if (fromKeyboard) {
        screen = ClientCentre(window);  // no pointer to follow and no name selected
    } else if (!InClientArea(window, screen)) {
        return false;  // the caption's system menu
    }
    POINT client = screen;
    ScreenToClient(window, &client);
    const char* shown = fromKeyboard ? nullptr : ShownName(BoardNames, PlateAt(client));
    // Kept as offered: a board composed while the menu is open does not change what it copies.
    const std::string name = shown != nullptr ? shown : "";
    HMENU menu = BuildCopyMenu(name);
    if (menu == 0)
        return true;
    const UINT command = ChooseMenuCommand(menu, window, screen);
    DestroyMenu(menu);
    if (command == IDM_COPY_NAME)
        CopyText(window, name);
    else if (command == IDM_COPY_ALL)
        CopyAllNames(window);
    return true;
}

void HandleCopyKey(HWND window, WPARAM key)
{
    // Ctrl with Alt is AltGr on many keyboards: a character, not a shortcut.
    const bool control = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
    if (key == 'C' && control)
        CopyAllNames(window);
}

void ForwardCopyKey(HWND window, const MSG& message)
{
    if (message.message == WM_KEYDOWN && message.hwnd != window && message.hwnd != PrefixEdit &&
        GetParent(message.hwnd) == window)
        HandleCopyKey(window, message.wParam);
}
