// The back buffer bound to a window: the window's device context, a memory context made from
// it and a client-sized bitmap selected there. Frames are drawn in memory, then copied at once.
#pragma once
#include <windows.h>

class WindowSurface {
public:
    WindowSurface();
    ~WindowSurface();
    // Owns device contexts and a bitmap: a copy would give them back twice.
    WindowSurface(const WindowSurface&) = delete;
    WindowSurface& operator=(const WindowSurface&) = delete;

    // Drops any earlier binding, then binds to the window. False when the window is null or a
    // step fails; what was obtained before the failing step is kept until the next Release.
    bool Attach(HWND window);
    // Gives back every held handle, in reverse order of acquisition, zeroing each field.
    void Release();

    int ClientWidth() const { return rcClient.right; }
    int ClientHeight() const { return rcClient.bottom; }
    HDC WindowDC() const { return hdcWindow; }
    HDC MemoryDC() const { return hdcMemory; }

private:
    HWND hwnd;              // the bound window, not owned
    HDC hdcWindow;          // GetDC(hwnd); ReleaseDC
    HDC hdcMemory;          // CreateCompatibleDC(hdcWindow); DeleteDC
    HBITMAP hbmBack;        // client-sized, compatible with the window; DeleteObject
    HGDIOBJ hbmDisplaced;   // the memory context's first bitmap, selected back at release
    RECT rcWindow;          // screen coordinates, taken at attach time
    RECT rcClient;          // left and top 0; taken at attach time and not refreshed
};
