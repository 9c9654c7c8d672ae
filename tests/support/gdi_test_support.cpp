#include "test_support/gdi_test_support.h"

#include <cstring>

#include "shell/window_layout.h"

HWND CreateTestWindow(WNDPROC procedure)
{
    static ATOM registered[2];
    const bool main = procedure != DefWindowProcA;
    const char* className = main ? "NorvathelTestMain" : "NorvathelTestPlain";
    if (registered[main] == 0) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        registered[main] = RegisterClassExA(&windowClass);
    }
    return CreateWindowExA(MainWindowExStyle, className, "Norvathel test", MainWindowStyle,
                           CW_USEDEFAULT, CW_USEDEFAULT, MainWindowWidth, MainWindowHeight, 0, 0,
                           GetModuleHandleA(nullptr), nullptr);
}

Capture CaptureDC(HDC source, int width, int height)
{
    Capture capture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory == 0 || section == 0 || bits == nullptr) {
        if (section != 0)
            DeleteObject(section);
        if (memory != 0)
            DeleteDC(memory);
        return capture;
    }
    HGDIOBJ displaced = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    capture.width = width;
    capture.height = height;
    capture.pixels.resize(static_cast<size_t>(width) * height);
    std::memcpy(capture.pixels.data(), bits, capture.pixels.size() * 4);
    for (std::uint32_t& pixel : capture.pixels)
        pixel &= 0x00FFFFFF;
    SelectObject(memory, displaced);
    DeleteObject(section);
    DeleteDC(memory);
    return capture;
}

Capture CaptureBitmap(HBITMAP bitmap)
{
    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) == 0)
        return Capture();
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ displaced = SelectObject(memory, bitmap);
    Capture capture = CaptureDC(memory, info.bmWidth, info.bmHeight);
    SelectObject(memory, displaced);
    DeleteDC(memory);
    return capture;
}
