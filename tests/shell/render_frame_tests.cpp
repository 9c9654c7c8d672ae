// The program's frames: the board painting on the program's own state.
#include "shell/render_frame.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "paint/name_board.h"
#include "resources/resource.h"
#include "shell/program_state.h"
#include "test_support/gdi_test_support.h"

using norvathel::NamesPerBoard;

namespace {

char* Copy(const char* text)
{
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    std::strcpy(copy, text);
    return copy;
}

Capture BackBuffer(const WindowSurface& surface)
{
    return CaptureDC(surface.MemoryDC(), surface.ClientWidth(), surface.ClientHeight());
}

TEST(RenderFrameTest, PaintAndPacedFramesDrawTheProgramStateFromTheFirstTime)
{
    HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr) << "no window: the Windows tests need a display (xvfb-run)";
    ASSERT_TRUE(MainSurface.Attach(window));
    HINSTANCE self = GetModuleHandleA(nullptr);
    BoardBitmap = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_BOARD));
    PlateBitmap = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_PLATE));
    PlateDC = CreateCompatibleDC(MainSurface.MemoryDC());
    for (int index = 0; index < NamesPerBoard; ++index)
        BoardNames.Store(index, Copy(index == 4 ? "Oswin" : "Glicia"));

    // A repaint before any paced frame shows the heading and grey names all the same.
    PresentFrame();
    const Capture painted = BackBuffer(MainSurface);
    RenderFrame();
    const Capture paced = BackBuffer(MainSurface);

    // The same board drawn by paint/ alone, on a surface of its own, from the same state.
    WindowSurface own;
    ASSERT_TRUE(own.Attach(window));
    DrawFrame(SurfaceTarget(own), {BoardBitmap, PlateBitmap, PlateDC}, BoardNames);
    const Capture drawn = BackBuffer(own);

    own.Release();
    MainSurface.Release();
    BoardNames.Release();
    DeleteDC(PlateDC);
    DeleteObject(BoardBitmap);
    DeleteObject(PlateBitmap);
    BoardBitmap = PlateBitmap = 0;
    PlateDC = 0;
    DestroyWindow(window);
    ASSERT_FALSE(drawn.pixels.empty());
    EXPECT_TRUE(painted.pixels == drawn.pixels);
    EXPECT_TRUE(paced.pixels == drawn.pixels);
}

}  // namespace
