// RasterImage's own operations on real DIB sections (Windows, or Wine): creation and release,
// row addressing, pixels, fills, copies, block transfers, keyed and checkered copies,
// smoothing, darkening and brightening. Grouped by operation.
#include "raster/raster_image.h"
#include "test_support/gdi_objects.h"
#include "image_types.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

unsigned char* PixelAt(RasterImage& image, int x, int y)
{
    return image.Row(y) + x * image.GetBytesPerPixel();
}

// Sets every byte of every row, padding included, to value.
void SetAllBytes(RasterImage& image, unsigned char value)
{
    for (int k = 0; k < image.GetHeight(); ++k)
        std::memset(image.Row(k), value, std::size_t(image.GetStride()));
}

// Sets each pixel byte to a value that depends on its position, padding to padValue.
void SetPattern(RasterImage& image, unsigned char padValue = 0)
{
    SetAllBytes(image, padValue);
    for (int k = 0; k < image.GetHeight(); ++k)
        for (int b = 0; b < image.GetWidth() * image.GetBytesPerPixel(); ++b)
            image.Row(k)[b] = static_cast<unsigned char>(k * 50 + b * 3 + 1);
}

std::vector<unsigned char> Bytes(const unsigned char* p, int count)
{
    return std::vector<unsigned char>(p, p + count);
}

std::vector<unsigned char> AllPixelMemory(const RasterImage& image)
{
    return Bytes(image.GetBits(), image.GetStride() * image.GetHeight());
}

// The DIB section selected into the image's memory DC.
bool SelectedDibSection(const RasterImage& image, DIBSECTION& section)
{
    HGDIOBJ selected = GetCurrentObject(image.GetMemoryDC(), OBJ_BITMAP);
    return selected && GetObject(selected, int(sizeof section), &section) == int(sizeof section);
}

// Lazily made GDI objects (a first DC's defaults) exist before anything is counted.
void WarmUpGdi()
{
    RasterImage image;
    image.Create(1, 1, 3);
    image.Create(1, 1, 4);
}

using Px = std::vector<unsigned char>;

}  // namespace

// --- construction, Create, Release -------------------------------------------------------

TEST(RasterImageCreate, NewImageIsEmpty)
{
    RasterImage image;
    EXPECT_TRUE(IsEmpty(image));
    EXPECT_EQ(image.GetMemoryDC(), nullptr);
    const RECT bounds = image.Bounds();
    EXPECT_EQ(bounds.right, 0);
    EXPECT_EQ(bounds.bottom, 0);
}

TEST(RasterImageCreate, StrideIsRowBytesRoundedUpToFour)
{
    const int cases[][4] = {{5, 2, 3, 16}, {4, 2, 3, 12}, {3, 1, 4, 12}, {1, 1, 3, 4}, {7, 1, 3, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c[0] << " x " << c[1] << " x " << c[2]);
        RasterImage image;
        ASSERT_TRUE(image.Create(c[0], c[1], c[2]));
        EXPECT_EQ(image.GetWidth(), c[0]);
        EXPECT_EQ(image.GetHeight(), c[1]);
        EXPECT_EQ(image.GetBytesPerPixel(), c[2]);
        EXPECT_EQ(image.GetStride(), c[3]);
    }
}

TEST(RasterImageCreate, MakesBottomUpDibSectionSelectedIntoOwnMemoryDC)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(5, 3, 4));
    ASSERT_NE(image.GetMemoryDC(), nullptr);
    EXPECT_EQ(GetObjectType(image.GetMemoryDC()), DWORD(OBJ_MEMDC));
    DIBSECTION section;
    ASSERT_TRUE(SelectedDibSection(image, section));
    EXPECT_EQ(section.dsBm.bmBits, image.GetBits());
    EXPECT_EQ(section.dsBmih.biWidth, 5);
    EXPECT_EQ(section.dsBmih.biHeight, 3);  // positive: bottom-up
    EXPECT_EQ(section.dsBmih.biBitCount, 32);
    EXPECT_EQ(section.dsBmih.biCompression, DWORD(BI_RGB));
}

TEST(RasterImageCreate, OtherDepthsAndUnusableSizesLeaveTheImageIntact)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(3, 2, 3));
    SetPattern(image, 9);
    const std::vector<unsigned char> before = AllPixelMemory(image);
    const HDC dc = image.GetMemoryDC();
    const int refused[][3] = {{3, 2, 2}, {3, 2, 0}, {3, 2, 5}, {3, 2, 1}, {0, 2, 3},
                              {3, 0, 3}, {-1, 2, 3}, {3, -2, 3}, {INT_MIN, 1, 4},
                              {INT_MAX, 1, 3}, {65536, 65536, 4}};
    for (const auto& r : refused) {
        SCOPED_TRACE(::testing::Message() << r[0] << " x " << r[1] << " x " << r[2]);
        EXPECT_FALSE(image.Create(r[0], r[1], r[2]));
        EXPECT_EQ(image.GetWidth(), 3);
        EXPECT_EQ(image.GetHeight(), 2);
        EXPECT_EQ(image.GetMemoryDC(), dc);
        EXPECT_EQ(AllPixelMemory(image), before);
    }
}

TEST(RasterImageCreate, RepeatedCreateReleasesThePreviousImage)
{
    WarmUpGdi();
    const long before = GdiObjectCount();
    {
        RasterImage image;
        for (int i = 1; i <= 50; ++i)
            ASSERT_TRUE(image.Create(i, 51 - i, 3 + i % 2));
        EXPECT_EQ(image.GetWidth(), 50);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(RasterImageCreate, RefusedDibSectionFreesWhatCreateMadeAndLeavesImageEmpty)
{
#ifdef _WIN64
    GTEST_SKIP() << "a 64-bit process can map the 2 GB this relies on being refused";
#else
    WarmUpGdi();
    const long before = GdiObjectCount();
    {
        RasterImage image;
        ASSERT_TRUE(image.Create(2, 2, 3));
        // Just under 2^31 bytes: allowed by the size check, too much for a 32-bit process.
        EXPECT_FALSE(image.Create(20000, 26000, 4));
        EXPECT_TRUE(IsEmpty(image));
        EXPECT_EQ(image.GetMemoryDC(), nullptr);
        ASSERT_TRUE(image.Create(2, 2, 3));  // and usable again afterwards
    }
    EXPECT_EQ(GdiObjectCount(), before);
#endif
}

TEST(RasterImageCreate, ReleaseEmptiesAndGivesBackEveryHandle)
{
    WarmUpGdi();
    const long before = GdiObjectCount();
    RasterImage image;
    ASSERT_TRUE(image.Create(4, 4, 4));
    EXPECT_NE(GdiObjectCount(), before);
    const HDC dc = image.GetMemoryDC();
    image.Release();
    EXPECT_TRUE(IsEmpty(image));
    EXPECT_EQ(image.GetMemoryDC(), nullptr);
    EXPECT_EQ(GetObjectType(dc), DWORD(0));  // the device context is gone
    EXPECT_EQ(GdiObjectCount(), before);
    image.Release();  // on an empty image: nothing happens
    EXPECT_TRUE(IsEmpty(image));
}

TEST(RasterImageCreate, EmptyImagesCostNoGdiObjects)
{
    WarmUpGdi();
    const long before = GdiObjectCount();
    {
        RasterImage images[2];
        images[1].Release();
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

// --- Row, Bounds, ConstantFraction ---------------------------------------------------------

TEST(RasterImageRow, RowsCountFromTheTopOfBottomUpMemory)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(5, 4, 3));
    EXPECT_EQ(image.Row(0), image.GetBits() + 16 * 3);
    EXPECT_EQ(image.Row(1), image.GetBits() + 16 * 2);
    EXPECT_EQ(image.Row(3), image.GetBits());
}

TEST(RasterImageRow, BoundsCoverTheImageAndFractionIsOneTwentieth)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(7, 3, 4));
    const RECT bounds = image.Bounds();
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 7);
    EXPECT_EQ(bounds.bottom, 3);
    EXPECT_EQ(image.ConstantFraction(), 0.05f);
}

// --- SetPixel, SetPixelColor ---------------------------------------------------------------

TEST(RasterImagePixels, SetPixelStoresBlueGreenRedAlpha)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(3, 2, 4));
    image.SetPixel(1, 0, 10, 20, 30, 40);
    EXPECT_EQ(Bytes(PixelAt(image, 1, 0), 4), (Px{30, 20, 10, 40}));
    EXPECT_EQ(PixelAt(image, 1, 0), image.Row(0) + 4);
    EXPECT_EQ(image.Row(0), image.GetBits() + 12);  // y = 0 is the top row, at the high end
}

TEST(RasterImagePixels, SetPixelInThreeByteImageLeavesNextPixelAlone)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(3, 2, 3));
    SetAllBytes(image, 0x77);
    image.SetPixel(1, 1, 10, 20, 30, 40);
    EXPECT_EQ(Bytes(PixelAt(image, 1, 1), 6), (Px{30, 20, 10, 0x77, 0x77, 0x77}));
    EXPECT_EQ(PixelAt(image, 0, 1)[2], 0x77);
}

TEST(RasterImagePixels, SetPixelColorTakesTheColourWordsLowBytes)
{
    RasterImage four;
    ASSERT_TRUE(four.Create(2, 2, 4));
    four.SetPixelColor(0, 1, 0x80112233u);
    EXPECT_EQ(Bytes(PixelAt(four, 0, 1), 4), (Px{0x33, 0x22, 0x11, 0x80}));

    RasterImage three;
    ASSERT_TRUE(three.Create(2, 2, 3));
    SetAllBytes(three, 0x77);
    three.SetPixelColor(0, 1, 0x80112233u);
    EXPECT_EQ(Bytes(PixelAt(three, 0, 1), 4), (Px{0x33, 0x22, 0x11, 0x77}));
}

// --- Fill, FillColor, FillRect, FillRectColor ----------------------------------------------

TEST(RasterImageFill, FillColorReachesEveryPixelOfPaddedRows)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(5, 3, 3));  // 15 bytes + 1 padding a row
    SetAllBytes(image, 0x77);
    image.FillColor(0x80112233u);  // alpha 128, red 17, green 34, blue 51
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Bytes(PixelAt(image, x, y), 3), (Px{51, 34, 17})) << x << "," << y;
    // The top row is copied whole into the others, its padding with it.
    for (int y = 1; y < 3; ++y)
        EXPECT_EQ(image.Row(y)[15], image.Row(0)[15]);
}

TEST(RasterImageFill, FillColorWritesAlphaInFourByteImages)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(3, 2, 4));
    image.FillColor(0x80112233u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Bytes(PixelAt(image, x, y), 4), (Px{51, 34, 17, 128}));
}

TEST(RasterImageFill, FillPacksChannelsLikeFillColor)
{
    RasterImage packed, word;
    ASSERT_TRUE(packed.Create(3, 2, 4));
    ASSERT_TRUE(word.Create(3, 2, 4));
    packed.Fill(17, 34, 51, 128);
    word.FillColor(0x80112233u);
    EXPECT_EQ(AllPixelMemory(packed), AllPixelMemory(word));
}

TEST(RasterImageFill, FillRectIncludesBottomRowExcludesRightColumn)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(4, 4, 4));
    image.FillColor(0);
    const RECT rect = {1, 1, 3, 2};
    image.FillRectColor(rect, 0x01020304u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
            EXPECT_EQ(PixelAt(image, x, y)[0], inside ? 4 : 0) << x << "," << y;
        }
}

TEST(RasterImageFill, FillRectPacksChannelsAndCoversWholeImageUpToHeightMinusOne)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(3, 3, 3));
    SetAllBytes(image, 0);
    const RECT whole = {0, 0, 3, 2};
    image.FillRect(whole, 17, 34, 51, 128);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Bytes(PixelAt(image, x, y), 3), (Px{51, 34, 17})) << x << "," << y;
    EXPECT_EQ(image.Row(0)[9], 0);  // padding left alone
}

TEST(RasterImageFill, PixelOperationsOnEmptyImageChangeNothing)
{
    RasterImage image;
    image.FillColor(0xFFFFFFFFu);
    image.Fill(1, 2, 3, 4);
    image.SmoothDown();
    image.SmoothUp();
    image.Darken(10);
    image.Brighten(10);
    image.Darken(INT_MIN);
    EXPECT_TRUE(IsEmpty(image));
}

// --- copy construction and assignment ------------------------------------------------------

TEST(RasterImageCopy, CopyHasOwnHandlesAndEveryByteIncludingPadding)
{
    RasterImage original;
    ASSERT_TRUE(original.Create(5, 3, 3));
    SetPattern(original, 0x5A);
    const RasterImage copy(original);
    ASSERT_EQ(copy.GetWidth(), 5);
    ASSERT_EQ(copy.GetHeight(), 3);
    ASSERT_EQ(copy.GetStride(), 16);
    EXPECT_NE(copy.GetBits(), original.GetBits());
    EXPECT_NE(copy.GetMemoryDC(), original.GetMemoryDC());
    EXPECT_EQ(AllPixelMemory(copy), AllPixelMemory(original));
    original.FillColor(0);
    EXPECT_EQ(copy.Row(0)[0], 1);  // unaffected by changes to the original
}

TEST(RasterImageCopy, AssignmentReplacesADifferentImage)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(2, 3, 4));
    SetPattern(source);
    ASSERT_TRUE(target.Create(9, 9, 3));
    target = source;
    EXPECT_EQ(target.GetWidth(), 2);
    EXPECT_EQ(target.GetBytesPerPixel(), 4);
    EXPECT_EQ(AllPixelMemory(target), AllPixelMemory(source));
}

TEST(RasterImageCopy, SelfAssignmentChangesNothing)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(3, 2, 3));
    SetPattern(image, 7);
    const std::vector<unsigned char> before = AllPixelMemory(image);
    const unsigned char* bits = image.GetBits();
    const HDC dc = image.GetMemoryDC();
    RasterImage& alias = image;
    image = alias;
    EXPECT_EQ(image.GetBits(), bits);
    EXPECT_EQ(image.GetMemoryDC(), dc);
    EXPECT_EQ(AllPixelMemory(image), before);
}

TEST(RasterImageCopy, CopyingAnEmptyImageGivesAnEmptyImage)
{
    const RasterImage empty;
    const RasterImage copy(empty);
    EXPECT_TRUE(IsEmpty(copy));
    RasterImage target;
    ASSERT_TRUE(target.Create(4, 4, 4));
    target = empty;
    EXPECT_TRUE(IsEmpty(target));
    EXPECT_EQ(target.GetMemoryDC(), nullptr);
}

TEST(RasterImageCopy, CopiesGiveBackTheirHandles)
{
    WarmUpGdi();
    const long before = GdiObjectCount();
    {
        RasterImage source;
        ASSERT_TRUE(source.Create(3, 3, 3));
        RasterImage target;
        for (int i = 0; i < 20; ++i) {
            target = source;
            const RasterImage copy(target);
        }
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

// --- DrawTo, DrawToDC ------------------------------------------------------------------------

TEST(RasterImageDraw, DrawToPlacesTopLeftPixelAtXY)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(4, 4, 4));
    ASSERT_TRUE(target.Create(4, 4, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, std::uint8_t(10 * x + y), std::uint8_t(y), 0, 0);
    target.FillColor(0x00FFFFFFu);
    EXPECT_TRUE(source.DrawTo(target, 1, 2));
    GdiFlush();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const unsigned char* p = PixelAt(target, x, y);
            if (x >= 1 && y >= 2)
                EXPECT_EQ(p[2], 10 * (x - 1) + (y - 2)) << x << "," << y;
            else
                EXPECT_EQ(p[2], 0xFF) << x << "," << y;
        }
}

TEST(RasterImageDraw, DrawToDCCopiesTheRectanglesExtentFromTheOrigin)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(4, 4, 3));
    ASSERT_TRUE(target.Create(4, 4, 3));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, std::uint8_t(1 + 10 * x + y), 0, 0, 0);
    target.FillColor(0);
    const RECT rect = {1, 0, 3, 2};  // 2 x 2 at (1, 0)
    EXPECT_TRUE(source.DrawToDC(target.GetMemoryDC(), rect));
    GdiFlush();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x <= 2 && y <= 1;
            EXPECT_EQ(PixelAt(target, x, y)[2], inside ? 1 + 10 * (x - 1) + y : 0) << x << "," << y;
        }
}

// --- MatchesKey, CopyKeyed ------------------------------------------------------------------

TEST(RasterImageKeyed, MatchesKeyWantsAllThreeChannelsEqual)
{
    EXPECT_TRUE(RasterImage::MatchesKey(3, 2, 1, 3, 2, 1));
    EXPECT_FALSE(RasterImage::MatchesKey(3, 2, 1, 4, 2, 1));
    EXPECT_FALSE(RasterImage::MatchesKey(3, 2, 1, 3, 3, 1));
    EXPECT_FALSE(RasterImage::MatchesKey(3, 2, 1, 3, 2, 0));
    EXPECT_FALSE(RasterImage::MatchesKey(0, 0, 0, 255, 255, 255));
}

TEST(RasterImageKeyed, KeyColouredPixelsAreLeftOutWhateverTheirAlpha)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(4, 1, 4));
    ASSERT_TRUE(target.Create(4, 1, 4));
    source.SetPixel(0, 0, 9, 9, 9, 1);
    source.SetPixel(1, 0, 3, 2, 1, 0);    // the key, transparent
    source.SetPixel(2, 0, 3, 2, 1, 255);  // the key, opaque
    source.SetPixel(3, 0, 3, 2, 2, 7);
    target.FillColor(0xAABBCCDDu);
    target.CopyKeyed(source, source.Bounds(), 0, 0, 3, 2, 1);
    EXPECT_EQ(Bytes(PixelAt(target, 0, 0), 4), (Px{9, 9, 9, 1}));
    EXPECT_EQ(Bytes(PixelAt(target, 1, 0), 4), (Px{0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Bytes(PixelAt(target, 2, 0), 4), (Px{0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(Bytes(PixelAt(target, 3, 0), 4), (Px{2, 2, 3, 7}));
}

TEST(RasterImageKeyed, RectangleGoesToXYRowByRow)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(4, 4, 3));
    ASSERT_TRUE(target.Create(5, 4, 3));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, std::uint8_t(1 + 10 * x + y), 0, 0, 0);
    target.FillColor(0);
    const RECT rect = {1, 1, 3, 3};
    target.CopyKeyed(source, rect, 3, 0, 0, 0, 0);  // key black: nothing in the source
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 3 && y <= 1;
            EXPECT_EQ(PixelAt(target, x, y)[2], inside ? 1 + 10 * (x - 2) + (y + 1) : 0)
                << x << "," << y;
        }
}

TEST(RasterImageKeyed, StopsAtTheBottomEdge)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(2, 4, 3));
    ASSERT_TRUE(target.Create(2, 4, 3));
    for (int y = 0; y < 4; ++y)
        source.SetPixel(0, y, std::uint8_t(10 + y), 0, 0, 0);
    target.FillColor(0);
    target.CopyKeyed(source, source.Bounds(), 0, 2, 0, 0, 0);  // four rows from y = 2
    EXPECT_EQ(PixelAt(target, 0, 0)[2], 0);
    EXPECT_EQ(PixelAt(target, 0, 1)[2], 0);
    EXPECT_EQ(PixelAt(target, 0, 2)[2], 10);
    EXPECT_EQ(PixelAt(target, 0, 3)[2], 11);
}

TEST(RasterImageKeyed, ThreeByteSourceIntoFourByteImageIsOpaque)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(2, 1, 3));
    ASSERT_TRUE(target.Create(2, 1, 4));
    source.SetPixel(0, 0, 1, 2, 3, 0);
    source.SetPixel(1, 0, 4, 5, 0x44, 0);  // its blue follows pixel 0's red in memory
    target.FillColor(0x10101010u);
    const RECT first = {0, 0, 1, 1};
    target.CopyKeyed(source, first, 0, 0, 0, 0, 0);
    EXPECT_EQ(Bytes(PixelAt(target, 0, 0), 8), (Px{3, 2, 1, 255, 0x10, 0x10, 0x10, 0x10}));
}

TEST(RasterImageKeyed, FourByteSourceIntoThreeByteImageDropsAlpha)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(2, 1, 4));
    ASSERT_TRUE(target.Create(2, 1, 3));
    source.SetPixel(0, 0, 1, 2, 3, 0x99);
    source.SetPixel(1, 0, 4, 5, 6, 0x88);
    SetAllBytes(target, 0x10);
    const RECT first = {0, 0, 1, 1};
    target.CopyKeyed(source, first, 0, 0, 0, 0, 0);
    EXPECT_EQ(Bytes(PixelAt(target, 0, 0), 6), (Px{3, 2, 1, 0x10, 0x10, 0x10}));
    target.CopyKeyed(source, source.Bounds(), 0, 0, 0, 0, 0);
    EXPECT_EQ(Bytes(PixelAt(target, 0, 0), 6), (Px{3, 2, 1, 6, 5, 4}));
}

// --- CopyCheckered ----------------------------------------------------------------------------

TEST(RasterImageCheckered, EvenRowsTakeEvenColumnsOddRowsOddColumns)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(4, 2, 3));
    ASSERT_TRUE(target.Create(6, 2, 3));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, std::uint8_t(1 + 10 * x + y), 0, 0, 0);
    target.FillColor(0);
    target.CopyCheckered(source, source.Bounds(), 1, 0);
    const int row0[6] = {0, 1, 0, 21, 0, 0};   // rectangle columns 0 and 2 at x + 0, x + 2
    const int row1[6] = {0, 0, 12, 0, 32, 0};  // columns 1 and 3 at x + 1, x + 3
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(PixelAt(target, x, 0)[2], row0[x]) << x;
        EXPECT_EQ(PixelAt(target, x, 1)[2], row1[x]) << x;
    }
}

TEST(RasterImageCheckered, PhaseFollowsTheDestinationRowAndStopsAtTheBottom)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(2, 4, 4));
    ASSERT_TRUE(target.Create(2, 3, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            source.SetPixel(x, y, std::uint8_t(1 + 10 * x + y), 0, 0, 0x55);
    target.FillColor(0);
    target.CopyCheckered(source, source.Bounds(), 0, 1);  // four rows from y = 1: two fit
    EXPECT_EQ(PixelAt(target, 0, 0)[2], 0);
    EXPECT_EQ(PixelAt(target, 1, 0)[2], 0);
    EXPECT_EQ(PixelAt(target, 0, 1)[2], 0);   // odd row: column 1 only
    EXPECT_EQ(PixelAt(target, 1, 1)[2], 11);
    EXPECT_EQ(PixelAt(target, 0, 2)[2], 2);   // even row: column 0 only
    EXPECT_EQ(PixelAt(target, 1, 2)[2], 0);
    EXPECT_EQ(PixelAt(target, 1, 1)[3], 0x55);  // alpha travels between 4-byte images
}

TEST(RasterImageCheckered, ThreeByteSourceIntoFourByteImageIsOpaque)
{
    RasterImage source, target;
    ASSERT_TRUE(source.Create(2, 1, 3));
    ASSERT_TRUE(target.Create(2, 1, 4));
    source.SetPixel(0, 0, 1, 2, 3, 0);
    source.SetPixel(1, 0, 4, 5, 6, 0);
    target.FillColor(0);
    target.CopyCheckered(source, source.Bounds(), 0, 0);
    EXPECT_EQ(Bytes(PixelAt(target, 0, 0), 8), (Px{3, 2, 1, 255, 0, 0, 0, 0}));
}

// --- SmoothDown, SmoothUp ---------------------------------------------------------------------

TEST(RasterImageSmooth, OneRowIsOnlyHalvedAlphaIncluded)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(2, 1, 4));
    image.FillColor(0xFFFFFFFFu);
    image.SmoothDown();
    EXPECT_EQ(Bytes(image.Row(0), 8), Px(8, 127));
    image.SmoothUp();
    EXPECT_EQ(Bytes(image.Row(0), 8), Px(8, 63));
}

TEST(RasterImageSmooth, TwoRowsAverageWithTheAlreadyChangedNeighbour)
{
    RasterImage down, up;
    for (RasterImage* image : {&down, &up}) {
        ASSERT_TRUE(image->Create(1, 2, 3));
        SetAllBytes(*image, 0);
        std::memset(image->Row(0), 200, 3);
        std::memset(image->Row(1), 50, 3);
    }
    down.SmoothDown();
    EXPECT_EQ(Bytes(down.Row(0), 3), Px(3, 100));
    EXPECT_EQ(Bytes(down.Row(1), 3), Px(3, 75));
    up.SmoothUp();
    EXPECT_EQ(Bytes(up.Row(0), 3), Px(3, 112));
    EXPECT_EQ(Bytes(up.Row(1), 3), Px(3, 25));
}

TEST(RasterImageSmooth, SmearRunsThroughAllRowsAndSkipsPadding)
{
    RasterImage image;
    ASSERT_TRUE(image.Create(1, 3, 3));  // 3 pixel bytes and 1 padding byte a row
    SetAllBytes(image, 100);
    image.SmoothDown();
    EXPECT_EQ(image.Row(0)[0], 50);
    EXPECT_EQ(image.Row(1)[0], 75);
    EXPECT_EQ(image.Row(2)[0], 87);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(image.Row(k)[3], 100);
    SetAllBytes(image, 100);
    image.SmoothUp();
    EXPECT_EQ(image.Row(2)[0], 50);
    EXPECT_EQ(image.Row(1)[0], 75);
    EXPECT_EQ(image.Row(0)[0], 87);
    EXPECT_EQ(image.Row(0)[3], 100);
}

// --- Darken, Brighten -------------------------------------------------------------------------

class RasterImageDarkenBrighten : public ::testing::Test {
protected:
    // One 4-byte pixel per value in a single row; a 1-pixel 3-byte image carries padding.
    void SetUp() override
    {
        ASSERT_TRUE(image.Create(2, 1, 4));
        ASSERT_TRUE(padded.Create(1, 1, 3));
        SetAllBytes(padded, 5);
    }
    void Set(const Px& bytes) { std::memcpy(image.Row(0), bytes.data(), 8); }
    Px Get() { return Bytes(image.Row(0), 8); }

    RasterImage image;
    RasterImage padded;
};

TEST_F(RasterImageDarkenBrighten, DarkenLeavesBytesBelowTheAmountAlone)
{
    Set({9, 10, 200, 255, 0, 11, 100, 10});
    image.Darken(10);
    EXPECT_EQ(Get(), (Px{9, 0, 190, 245, 0, 1, 90, 0}));
}

TEST_F(RasterImageDarkenBrighten, BrightenLeavesBytesThatWouldPass255Alone)
{
    Set({245, 246, 0, 255, 100, 250, 1, 10});
    image.Brighten(10);
    EXPECT_EQ(Get(), (Px{255, 246, 10, 255, 110, 250, 11, 20}));
}

TEST_F(RasterImageDarkenBrighten, AmountsOf256OrMoreChangeNothing)
{
    const Px before = {0, 1, 127, 128, 254, 255, 9, 200};
    for (int amount : {256, 257, 1000, INT_MAX}) {
        Set(before);
        image.Darken(amount);
        image.Brighten(amount);
        EXPECT_EQ(Get(), before) << amount;
    }
}

TEST_F(RasterImageDarkenBrighten, NegativeAmountDoesTheOtherOperation)
{
    const Px before = {9, 10, 200, 245, 246, 255, 0, 1};
    Set(before);
    image.Darken(-10);
    EXPECT_EQ(Get(), (Px{19, 20, 210, 255, 246, 255, 10, 11}));
    Set(before);
    image.Brighten(-10);
    EXPECT_EQ(Get(), (Px{9, 0, 190, 235, 236, 245, 0, 1}));
    Set(before);
    image.Brighten(-255);
    EXPECT_EQ(Get(), (Px{9, 10, 200, 245, 246, 0, 0, 1}));
}

TEST_F(RasterImageDarkenBrighten, NegativeAmountsOfMagnitude256OrMoreChangeNothing)
{
    const Px before = {0, 1, 127, 128, 254, 255, 9, 200};
    for (int amount : {-256, -1000, INT_MIN + 1, INT_MIN}) {
        Set(before);
        image.Darken(amount);
        image.Brighten(amount);
        EXPECT_EQ(Get(), before) << amount;
    }
}

TEST_F(RasterImageDarkenBrighten, PaddingIsLeftAlone)
{
    padded.Darken(3);
    EXPECT_EQ(Bytes(padded.Row(0), 4), (Px{2, 2, 2, 5}));
    padded.Brighten(-2);
    EXPECT_EQ(Bytes(padded.Row(0), 4), (Px{0, 0, 0, 5}));
    padded.Brighten(250);
    EXPECT_EQ(Bytes(padded.Row(0), 4), (Px{250, 250, 250, 5}));
}
