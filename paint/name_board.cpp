#include "paint/name_board.h"

#include <cstdio>
#include <cstring>

#include "paint/window_surface.h"

using norvathel::NameList;
using norvathel::NamesPerBoard;

NameList BoardNames;
HBITMAP BoardBitmap;
HBITMAP PlateBitmap;
HDC PlateDC;

const char TitleText[] = "Norvathel";
const char ContactText[] = "names@norvathel.example.org";

namespace {

const int TextBufferSize = 64;  // names longer than 63 bytes are cut, never overrun
const int NameX = 20;
const int RightColumnX = NameX + 150;
const int FirstRowY = 60;
const int RowPitch = 20;
const int PlateLeftOfText = 5;
const int PlateAboveText = 3;

// The board picture, untouched, under everything: nothing of an earlier frame survives.
void DrawBoardPicture(HDC memory, int width, int height)
{
    if (BoardBitmap != 0 && SelectObject(PlateDC, BoardBitmap) != 0)
        BitBlt(memory, 0, 0, width, height, PlateDC, 0, 0, SRCCOPY);
    else
        PatBlt(memory, 0, 0, width, height, BLACKNESS);
}

void DrawText64(HDC dc, int x, int y, const char* text)
{
    char buffer[TextBufferSize] = {};
    std::snprintf(buffer, sizeof buffer, "%s", text);
    TextOutA(dc, x, y, buffer, static_cast<int>(std::strlen(buffer)));
}

void DrawPlate(HDC memory, const RECT& plate, bool havePlate)
{
    if (havePlate)
        BitBlt(memory, plate.left, plate.top, PlateWidth, PlateHeight, PlateDC, 0, 0, SRCCOPY);
    else
        PatBlt(memory, plate.left, plate.top, PlateWidth, PlateHeight, BLACKNESS);
}

void DrawName(HDC memory, int index, const RECT& plate)
{
    const char* name = BoardNames[index];
    char buffer[TextBufferSize] = {};
    std::snprintf(buffer, sizeof buffer, "%s", name != nullptr ? name : "(null)");
    POINT origin = NameOrigin(index);
    ExtTextOutA(memory, origin.x, origin.y, ETO_CLIPPED, &plate, buffer,
                static_cast<UINT>(std::strlen(buffer)), nullptr);
}

}  // namespace

POINT NameOrigin(int index)
{
    POINT origin;
    origin.x = index % 2 == 0 ? RightColumnX : NameX;
    origin.y = FirstRowY + RowPitch * (index / 2);
    return origin;
}

RECT PlateRect(int index)
{
    POINT origin = NameOrigin(index);
    RECT plate;
    plate.left = origin.x - PlateLeftOfText;
    plate.top = origin.y - PlateAboveText;
    plate.right = plate.left + PlateWidth;
    plate.bottom = plate.top + PlateHeight;
    return plate;
}

void FrameHook()
{
}

void RenderFrame()
{
    FrameHook();
    PresentFrame();
}

void PresentFrame()
{
    const int width = MainSurface.ClientWidth();
    const int height = MainSurface.ClientHeight();
    DrawBoardPicture(MainSurface.MemoryDC(), width, height);
    DrawHeading();
    DrawNameBoard();
    // The whole client area, whatever the update region: the frame is complete in memory.
    BitBlt(MainSurface.WindowDC(), 0, 0, width, height, MainSurface.MemoryDC(), 0, 0, SRCCOPY);
}

void DrawHeading()
{
    HDC memory = MainSurface.MemoryDC();
    SetTextColor(memory, HeadingColour);
    SetBkMode(memory, TRANSPARENT);
    DrawText64(memory, 65, 10, TitleText);
    DrawText64(memory, 80, 25, ContactText);
    SetTextColor(memory, NameColour);
}

void DrawNameBoard()
{
    HDC memory = MainSurface.MemoryDC();
    const bool havePlate = PlateBitmap != 0 && SelectObject(PlateDC, PlateBitmap) != 0;
    // Row by row, right column first; each row's plates cover the bottom of the row above.
    for (int index = 0; index < NamesPerBoard; ++index) {
        RECT plate = PlateRect(index);
        DrawPlate(memory, plate, havePlate);
        DrawName(memory, index, plate);
    }
}
