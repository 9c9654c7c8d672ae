#include "paint/name_board.h"

#include <cstdio>
#include <cstring>

using norvathel::NameList;
using norvathel::NamesPerBoard;

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
void DrawBoardPicture(HDC memory, int width, int height, const BoardPictures& pictures)
{
    if (pictures.board != 0 && SelectObject(pictures.source, pictures.board) != 0)
        BitBlt(memory, 0, 0, width, height, pictures.source, 0, 0, SRCCOPY);
    else
        PatBlt(memory, 0, 0, width, height, BLACKNESS);
}

void DrawText64(HDC dc, int x, int y, const char* text)
{
    char buffer[TextBufferSize] = {};
    std::snprintf(buffer, sizeof buffer, "%s", text);
    TextOutA(dc, x, y, buffer, static_cast<int>(std::strlen(buffer)));
}

void DrawPlate(HDC memory, const RECT& plate, HDC plateSource)
{
    if (plateSource != 0)
        BitBlt(memory, plate.left, plate.top, PlateWidth, PlateHeight, plateSource, 0, 0, SRCCOPY);
    else
        PatBlt(memory, plate.left, plate.top, PlateWidth, PlateHeight, BLACKNESS);
}

void DrawName(HDC memory, int index, const RECT& plate, const char* name)
{
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

FrameTarget SurfaceTarget(const WindowSurface& surface)
{
    return {surface.MemoryDC(), surface.WindowDC(), surface.ClientWidth(), surface.ClientHeight()};
}

void DrawFrame(const FrameTarget& target, const BoardPictures& pictures, const NameList& names)
{
    DrawBoardPicture(target.backBuffer, target.width, target.height, pictures);
    DrawHeading(target.backBuffer);
    DrawNameBoard(target.backBuffer, pictures, names);
    // The whole client area, whatever the update region: the frame is complete in memory.
    BitBlt(target.window, 0, 0, target.width, target.height, target.backBuffer, 0, 0, SRCCOPY);
}

void DrawHeading(HDC backBuffer)
{
    SetTextColor(backBuffer, HeadingColour);
    SetBkMode(backBuffer, TRANSPARENT);
    DrawText64(backBuffer, 65, 10, TitleText);
    DrawText64(backBuffer, 80, 25, ContactText);
    SetTextColor(backBuffer, NameColour);
}

void DrawNameBoard(HDC backBuffer, const BoardPictures& pictures, const NameList& names)
{
    const bool havePlate = pictures.plate != 0 && SelectObject(pictures.source, pictures.plate) != 0;
    const HDC plateSource = havePlate ? pictures.source : 0;
    // Row by row, right column first; each row's plates cover the bottom of the row above.
    for (int index = 0; index < NamesPerBoard; ++index) {
        RECT plate = PlateRect(index);
        DrawPlate(backBuffer, plate, plateSource);
        DrawName(backBuffer, index, plate, names[index]);
    }
}
