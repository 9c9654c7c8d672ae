// Painting of the client area: the board picture, the heading, and the ten names on plates in
// two columns, drawn into MainSurface's memory context and copied to the window in one go.
#pragma once
#include <windows.h>

#include "names/name_composer.h"

// The program's board of names, written by the composer and read by the painter.
extern norvathel::NameList BoardNames;

// Painting handles, filled at start-up and never freed by the program.
extern HBITMAP BoardBitmap;  // IDB_BOARD, the background picture
extern HBITMAP PlateBitmap;  // IDB_PLATE, the dark name plate
extern HDC PlateDC;          // memory context the plates and the board are copied from

// One paced frame: FrameHook, then PresentFrame.
void RenderFrame();
// Draws the whole frame from a clean copy of the board picture and copies it to the window.
void PresentFrame();
// The title and the contact line in green; leaves the name colour set.
void DrawHeading();
// Ten plates and the ten names of BoardNames, each name clipped to its own plate.
void DrawNameBoard();
// An empty per-frame step that runs before any drawing.
void FrameHook();

// Where entry index of the board is shown: the top-left of its text, and its plate.
// Entry 0 heads the right column; even entries run down the right, odd ones down the left.
POINT NameOrigin(int index);
RECT PlateRect(int index);

const COLORREF HeadingColour = RGB(0, 150, 50);
const COLORREF NameColour = RGB(200, 200, 200);
const int PlateWidth = 104;
const int PlateHeight = 23;
extern const char TitleText[];
extern const char ContactText[];
