// Small helpers for the GDI tests: a real top-level window and pixel read-back.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

// A top-level window with the main window's style and outer size (300 x 300), hidden.
HWND CreateTestWindow(WNDPROC procedure = DefWindowProcA);

// The pixels of a device context's area as 0x00RRGGBB, rows top to bottom.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureDC(HDC source, int width, int height);
// The pixels of a bitmap, read through a memory context of its own.
Capture CaptureBitmap(HBITMAP bitmap);


inline std::uint32_t Rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}
