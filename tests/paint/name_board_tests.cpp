#include "paint/name_board.h"

#include <gtest/gtest.h>

#include <string>

#include <norvathel/name_composer.h>
#include "compose/name_finishing.h"
#include "paint/board_hit_test.h"
#include "paint/window_surface.h"
#include "resources/resource.h"
#include "test_support/gdi_objects.h"
#include "test_support/gdi_test_support.h"

using namespace norvathel;

namespace {

const std::uint32_t TextGrey = Rgb(200, 200, 200);
const std::uint32_t HeadingGreen = Rgb(0, 150, 50);

bool InsideRect(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool InsideAnyPlate(int x, int y)
{
    for (int index = 0; index < NamesPerBoard; ++index)
        if (InsideRect(PlateRect(index), x, y))
            return true;
    return false;
}

// The heading: title at (65, 10) and contact line at (80, 25), both one text line high.
const RECT HeadingArea = {60, 5, 300, 45};

// Frames drawn with the test's own surface, pictures and names.
class NameBoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = CreateTestWindow();
        ASSERT_NE(window, nullptr) << "no window: the Windows tests need a display (xvfb-run)";
        ASSERT_TRUE(surface.Attach(window));
        HINSTANCE self = GetModuleHandleA(nullptr);
        pictures.plate = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_PLATE));
        pictures.board = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_BOARD));
        ASSERT_NE(pictures.plate, nullptr);
        ASSERT_NE(pictures.board, nullptr);
        pictures.source = CreateCompatibleDC(surface.MemoryDC());
        // References loaded separately: a bitmap can be selected into one context only.
        plate = CaptureBitmap(LoadBitmapA(self, MAKEINTRESOURCEA(IDB_PLATE)));
        board = CaptureBitmap(LoadBitmapA(self, MAKEINTRESOURCEA(IDB_BOARD)));
        ASSERT_EQ(plate.width, PlateWidth);
        ASSERT_EQ(plate.height, PlateHeight);
        ASSERT_EQ(board.width, 308);
        ASSERT_EQ(board.height, 293);
    }
    void TearDown() override
    {
        DeleteDC(pictures.source);
        surface.Release();
        DeleteObject(pictures.plate);
        DeleteObject(pictures.board);
        if (window != 0)
            DestroyWindow(window);
    }

    // What a surface's back buffer holds.
    static Capture BackBuffer(const WindowSurface& drawn)
    {
        return CaptureDC(drawn.MemoryDC(), drawn.ClientWidth(), drawn.ClientHeight());
    }

    Capture Frame()
    {
        DrawFrame(SurfaceTarget(surface), pictures, names);
        return BackBuffer(surface);
    }

    void SetNames(const char* name)
    {
        for (int index = 0; index < NamesPerBoard; ++index)
            names.Store(index, DuplicateString(name));
    }

    // Every pixel outside the plates and the heading is the board picture's.
    void ExpectBoardOutsidePlatesAndHeading(const Capture& frame)
    {
        int differing = 0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x)
                if (!InsideAnyPlate(x, y) && !InsideRect(HeadingArea, x, y))
                    differing += frame.At(x, y) != board.At(x, y);
        EXPECT_EQ(differing, 0);
    }

    // Counts the pixels of a plate's visible part (above the next row's plate) that show the
    // plate picture, those that text changed, and those of the pure name colour among them
    // (the font may be smoothed, so the edges of letters are blends).
    void CountPlate(const Capture& frame, int index, int& platePixels, int& textPixels, int& greyPixels)
    {
        platePixels = textPixels = greyPixels = 0;
        RECT r = PlateRect(index);
        const int visibleRows = index < NamesPerBoard - 2 ? PlateHeight - 3 : PlateHeight;
        for (int y = 0; y < visibleRows; ++y)
            for (int x = 0; x < PlateWidth; ++x) {
                std::uint32_t pixel = frame.At(r.left + x, r.top + y);
                if (pixel == plate.At(x, y))
                    ++platePixels;
                else
                    ++textPixels;
                greyPixels += pixel == TextGrey;
            }
    }

    HWND window = 0;
    WindowSurface surface;
    BoardPictures pictures = {};
    NameList names;
    Capture plate, board;
};

TEST_F(NameBoardTest, PlatesSitInTwoColumnsWithEntryZeroTopRight)
{
    EXPECT_EQ(NameOrigin(0).x, 170);
    EXPECT_EQ(NameOrigin(0).y, 60);
    EXPECT_EQ(NameOrigin(1).x, 20);
    EXPECT_EQ(NameOrigin(1).y, 60);
    EXPECT_EQ(NameOrigin(9).y, 140);
    RECT first = PlateRect(0), last = PlateRect(9);
    EXPECT_EQ(first.left, 165);
    EXPECT_EQ(first.top, 57);
    EXPECT_EQ(last.left, 15);
    EXPECT_EQ(last.bottom - 1, 159);
    EXPECT_EQ(PlateRect(8).right - 1, 268);
}

TEST(PlateAt, CornersFindThePlateSeenThereAndGapsFindNone)
{
    for (int index = 0; index < NamesPerBoard; ++index) {
        const RECT p = PlateRect(index);
        // The next row's plates are painted over the bottom rows of this one.
        const int seenAtBottom = index < NamesPerBoard - 2 ? index + 2 : index;
        EXPECT_EQ(PlateAt({p.left, p.top}), index);
        EXPECT_EQ(PlateAt({p.right - 1, p.top}), index);
        EXPECT_EQ(PlateAt({p.left, p.bottom - 1}), seenAtBottom);
        EXPECT_EQ(PlateAt({p.right - 1, p.bottom - 1}), seenAtBottom);
        EXPECT_EQ(PlateAt({p.left - 1, p.top + 10}), -1) << index;
        EXPECT_EQ(PlateAt({p.right, p.top + 10}), -1) << index;
    }
    // The columns span x 15 to 118 and 165 to 268, the rows y 57 to 159.
    EXPECT_EQ(PlateAt({140, 100}), -1);
    EXPECT_EQ(PlateAt({20, 56}), -1);
    EXPECT_EQ(PlateAt({200, 160}), -1);
}

TEST_F(NameBoardTest, FrameShowsBoardPlatesGreyNamesAndGreenHeading)
{
    AdditiveRandom random;
    random.Seed(1000000000);
    DrawStartGender(random);
    Compose(random, Female, "", names);
    Capture frame = Frame();
    ASSERT_EQ(frame.width, surface.ClientWidth());

    ExpectBoardOutsidePlatesAndHeading(frame);
    for (int index = 0; index < NamesPerBoard; ++index) {
        int platePixels, textPixels, greyPixels;
        CountPlate(frame, index, platePixels, textPixels, greyPixels);
        EXPECT_GT(textPixels, 20) << "name " << index << " " << names[index];
        EXPECT_GT(greyPixels, 5) << "name " << index;
        EXPECT_GT(platePixels, PlateWidth * (PlateHeight - 3) / 2) << "name " << index;
    }
    int green = 0;
    for (int y = HeadingArea.top; y < HeadingArea.bottom; ++y)
        for (int x = HeadingArea.left; x < frame.width; ++x)
            green += frame.At(x, y) == HeadingGreen;
    EXPECT_GT(green, 100);
}

TEST_F(NameBoardTest, LongNamesLeaveNoTraceOnTheNextFrame)
{
    SetNames("Wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww");  // far wider than a plate
    Capture wide = Frame();
    ExpectBoardOutsidePlatesAndHeading(wide);  // clipped to the plates even now

    SetNames("Al");
    Capture narrow = Frame();
    ExpectBoardOutsidePlatesAndHeading(narrow);
    // Right of the short name each plate shows only the plate picture again.
    for (int index = 0; index < NamesPerBoard; ++index) {
        RECT r = PlateRect(index);
        int stale = 0;
        for (int y = 0; y < PlateHeight - 3; ++y)
            for (int x = 40; x < PlateWidth; ++x)
                stale += narrow.At(r.left + x, r.top + y) != plate.At(x, y);
        EXPECT_EQ(stale, 0) << "name " << index;
    }
}

TEST_F(NameBoardTest, AbsentEntriesShowNull)
{
    names.Release();
    Capture absent = Frame();
    SetNames("(null)");
    Capture written = Frame();
    EXPECT_TRUE(absent.pixels == written.pixels);
    int platePixels, textPixels, greyPixels;
    CountPlate(absent, 0, platePixels, textPixels, greyPixels);
    EXPECT_GT(textPixels, 20);
}

TEST_F(NameBoardTest, OverlongNamesAreCutAt63Bytes)
{
    std::string sixtyThree(63, 'i');
    SetNames((sixtyThree + "WWWWWWWW").c_str());
    Capture cut = Frame();
    SetNames(sixtyThree.c_str());
    Capture exact = Frame();
    EXPECT_TRUE(cut.pixels == exact.pixels);
}

TEST_F(NameBoardTest, FramesAllocateNoGdiObjects)
{
    SetNames("Kadielit");
    Frame();
    const long before = GdiObjectCount();
    for (int n = 0; n < 3000; ++n)
        DrawFrame(SurfaceTarget(surface), pictures, names);
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(NameBoardTest, MissingPicturesStillDrawReadableNames)
{
    SetNames("Sisa");
    DeleteObject(pictures.plate);
    DeleteObject(pictures.board);
    pictures.plate = pictures.board = 0;
    Capture frame = Frame();
    int platePixels, textPixels, greyPixels;
    CountPlate(frame, 0, platePixels, textPixels, greyPixels);
    EXPECT_GT(greyPixels, 5);
    EXPECT_EQ(frame.At(PlateRect(0).left + 90, PlateRect(0).top + 10), 0u);  // a black plate
}

}  // namespace
