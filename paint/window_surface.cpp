#include "paint/window_surface.h"

WindowSurface::WindowSurface()
    : hwnd(0), hdcWindow(0), hdcMemory(0), hbmBack(0), hbmDisplaced(0), rcWindow(), rcClient()
{
}

WindowSurface::~WindowSurface()
{
    Release();
}

bool WindowSurface::Attach(HWND window)
{
    Release();
    if (window == 0)
        return false;
    hwnd = window;
    if (!GetWindowRect(hwnd, &rcWindow))
        return false;
    if (!GetClientRect(hwnd, &rcClient))
        return false;
    hdcWindow = GetDC(hwnd);
    if (hdcWindow == 0)
        return false;
    hdcMemory = CreateCompatibleDC(hdcWindow);
    if (hdcMemory == 0)
        return false;
    // Compatible with the window, not the memory context: that one starts out monochrome.
    hbmBack = CreateCompatibleBitmap(hdcWindow, ClientWidth(), ClientHeight());
    if (hbmBack == 0)
        return false;
    hbmDisplaced = SelectObject(hdcMemory, hbmBack);
    return hbmDisplaced != 0;
}

void WindowSurface::Release()
{
    if (hbmDisplaced != 0) {
        SelectObject(hdcMemory, hbmDisplaced);
        hbmDisplaced = 0;
    }
    if (hbmBack != 0) {
        DeleteObject(hbmBack);
        hbmBack = 0;
    }
    if (hdcMemory != 0) {
        DeleteDC(hdcMemory);
        hdcMemory = 0;
    }
    if (hdcWindow != 0) {
        ReleaseDC(hwnd, hdcWindow);
        hdcWindow = 0;
    }
}
