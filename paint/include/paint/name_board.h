// Painting of the client area: the board picture, the heading, and the ten names on plates in
// two columns, drawn into a back buffer and copied to the window in one go. Pure drawing of
// what it is given: the program's own surface, pictures and names are the shell's.
#pragma once
#include <windows.h>

#include <norvathel/name_composer.h>
#include "paint/window_surface.h"

// The pictures a frame is drawn from; either bitmap may be null (a black area instead).
struct BoardPictures {
    HBITMAP board;  // the background picture, copied under everything
    HBITMAP plate;  // the name plate
    HDC source;     // a memory context each of them is selected into to be copied from
};

// Where a frame goes: drawn in a back buffer, then copied whole to the window's context.
struct FrameTarget {
    HDC backBuffer;
    HDC window;
    int width;
    int height;
};
// A surface's memory context as the back buffer, its window context and its client size.
FrameTarget SurfaceTarget(const WindowSurface& surface);

// The whole frame from a clean copy of the board picture: heading, ten plates and the ten
// names, then one copy of the back buffer to the window.
void DrawFrame(const FrameTarget& target, const BoardPictures& pictures,
               const norvathel::NameList& names);
// The heading in green on the back buffer; leaves the name colour set.
void DrawHeading(HDC backBuffer);
// Ten plates and the ten names on the back buffer, each name clipped to its own plate.
void DrawNameBoard(HDC backBuffer, const BoardPictures& pictures, const norvathel::NameList& names);

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
