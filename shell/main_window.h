// The main window's procedure, its three child controls and the commands they send.
#pragma once
#include <windows.h>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include "shell/window_layout.h"

// The program's one generator, seeded once at start-up.
extern norvathel::AdditiveRandom SharedRandom;

// The child controls, made on WM_CREATE and kept for the whole run.
extern HWND MaleButton;
extern HWND FemaleButton;
extern HWND PrefixEdit;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Composes a board for a button's id; other ids do nothing.
void HandleCommand(WORD id);
// Replaces the board with ten names of the gender, each starting with the edit box's text.
void Compose(norvathel::Gender gender);
