// Copying names out of the main window: the right-click menu and Ctrl+C.
#pragma once
#include <windows.h>

#include <string>

// The context menu's commands; the buttons' ids stay below them.
const UINT IDM_COPY_NAME = 101;
const UINT IDM_COPY_ALL = 102;

// Shows the menu at a screen point and returns the chosen command, 0 when none was chosen;
// TrackPopupMenu unless a test replaces it.
extern UINT (*ChooseMenuCommand)(HMENU menu, HWND owner, POINT screen);

// The context menu: "Copy <name>" when `name` is not empty, then "Copy all ten names".
// Null when the menu cannot be made; the caller destroys it.
HMENU BuildCopyMenu(const std::string& name);

// WM_CONTEXTMENU: the copy menu for the main window's own client area, at the pointer, or at
// the client area's centre when opened from the keyboard. False for a message passed up by a
// control or a point outside the client area: those keep their default handling.
bool HandleContextMenu(HWND window, HWND target, LPARAM position);

// WM_KEYDOWN: Ctrl+C copies all ten names; any other key does nothing.
void HandleCopyKey(HWND window, WPARAM key);

// A key pressed while one of the window's buttons has the focus (a button keeps it after a
// click): Ctrl+C copies the board from there too. The edit box keeps its own Ctrl+C, which
// copies its selection. Called for every message the main loop takes, before dispatching it.
void ForwardCopyKey(HWND window, const MSG& message);
