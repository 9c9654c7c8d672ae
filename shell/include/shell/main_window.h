// The main window's procedure, its three child controls and the commands they send.
#pragma once
#include <windows.h>

#include <norvathel/name_composer.h>
#include "shell/window_layout.h"

// The controls' handles, the generator and the board it composes are the program's state
// (shell/program_state.h).
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Composes a board for a button's id; other ids do nothing.
void HandleCommand(WORD id);
// Replaces the board with ten names of the gender, each starting with the edit box's text.
void Compose(norvathel::Gender gender);
