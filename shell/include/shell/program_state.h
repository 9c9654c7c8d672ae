// The program's own state: every program-wide object the window, its controls and its frames
// work on. Written and read by the shell alone; paint/ and raster/ are handed what they draw.
#pragma once
#include <windows.h>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include "paint/window_surface.h"
#include "raster/raster_image.h"

// This module: the bitmaps are loaded from it.
extern HINSTANCE AppInstance;

// The one back buffer, bound to the main window at start-up and released at exit.
extern WindowSurface MainSurface;
// Two images the program makes and destroys, never draws with.
extern RasterImage StaticImages[2];

// The program's one generator, seeded once at start-up.
extern norvathel::AdditiveRandom SharedRandom;
// The board of names, written by the composer and read by the painter and the clipboard.
extern norvathel::NameList BoardNames;

// Painting handles, filled at start-up and never freed by the program.
extern HBITMAP BoardBitmap;  // IDB_BOARD, the background picture
extern HBITMAP PlateBitmap;  // IDB_PLATE, the dark name plate
extern HDC PlateDC;          // memory context the plates and the board are copied from

// The child controls, made on WM_CREATE and kept for the whole run.
extern HWND MaleButton;
extern HWND FemaleButton;
extern HWND PrefixEdit;
