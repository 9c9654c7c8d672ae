// LoadBmp and LoadTga on files the tests write: good files of both depths, row padding,
// top-down rows, and every refusal with the state it must leave behind. Typed over the image
// types, so the same checks run natively, under sanitizers and on RasterImage under Wine.
#include "image_test_files.h"
#include "image_types.h"

#include <climits>
#include <cstring>

using namespace TestFiles;

namespace {

// True when image row imageRow holds file row fileRow of a PatternByte file.
template <class Image>
::testing::AssertionResult RowHoldsFileRow(const Image& image, int imageRow, int fileRow)
{
    const int rowBytes = image.GetWidth() * image.GetBytesPerPixel();
    const unsigned char* row = image.Row(imageRow);
    for (int b = 0; b < rowBytes; ++b)
        if (row[b] != PatternByte(fileRow, b))
            return ::testing::AssertionFailure()
                   << "image row " << imageRow << " byte " << b << " is " << int(row[b])
                   << ", file row " << fileRow << " has " << int(PatternByte(fileRow, b));
    return ::testing::AssertionSuccess();
}

// True when no byte of image row imageRow's padding was written (both images start zeroed).
template <class Image>
::testing::AssertionResult PaddingUntouched(const Image& image, int imageRow)
{
    const unsigned char* row = image.Row(imageRow);
    for (int b = image.GetWidth() * image.GetBytesPerPixel(); b < image.GetStride(); ++b)
        if (row[b] != 0)
            return ::testing::AssertionFailure() << "padding byte " << b << " is " << int(row[b]);
    return ::testing::AssertionSuccess();
}

}  // namespace

template <class Image>
class BmpLoading : public ::testing::Test {
protected:
    // Loads bytes from a scratch file into image.
    bool Load(const Bytes& bytes) { return image.LoadBmp(file.Write(bytes)); }
    // A failing load that must leave the image empty, even after an earlier successful one.
    void ExpectRefusedEmpty(const Bytes& bytes)
    {
        ASSERT_TRUE(Load(MakeBmp(BmpFields())));
        EXPECT_FALSE(Load(bytes));
        EXPECT_TRUE(IsEmpty(image));
    }
    // A failing load that must leave the image created at w x h with bpp bytes per pixel.
    void ExpectRefusedCreated(const Bytes& bytes, int w, int h, int bpp)
    {
        EXPECT_FALSE(Load(bytes));
        EXPECT_EQ(image.GetWidth(), w);
        EXPECT_EQ(image.GetHeight(), h);
        EXPECT_EQ(image.GetBytesPerPixel(), bpp);
        EXPECT_NE(image.GetBits(), nullptr);
    }

    Image image;
    ScratchFile file{"image.bmp"};
};
TYPED_TEST_SUITE(BmpLoading, LoaderImageTypes);

TYPED_TEST(BmpLoading, PaddedRowsLoadBottomUpAndSkipFilePadding)
{
    BmpFields fields;  // 5 x 3 at 24 bits: 15 pixel bytes and 1 padding byte per file row
    ASSERT_TRUE(this->Load(MakeBmp(fields)));
    const auto& loaded = this->image;
    ASSERT_EQ(loaded.GetWidth(), 5);
    ASSERT_EQ(loaded.GetHeight(), 3);
    ASSERT_EQ(loaded.GetBytesPerPixel(), 3);
    ASSERT_EQ(loaded.GetStride(), 16);
    for (int i = 0; i < 3; ++i) {
        // File row i lands at bits + i x stride: the first file row is the bottom row.
        EXPECT_EQ(loaded.Row(2 - i), loaded.GetBits() + i * 16);
        EXPECT_TRUE(RowHoldsFileRow(loaded, 2 - i, i));
        EXPECT_TRUE(PaddingUntouched(loaded, 2 - i));  // the file's 0xEE padding is passed over
    }
}

TYPED_TEST(BmpLoading, UnpaddedRowsLoad)
{
    BmpFields fields;
    fields.width = 4;  // 12 bytes: no padding
    fields.height = 2;
    ASSERT_TRUE(this->Load(MakeBmp(fields)));
    EXPECT_EQ(this->image.GetStride(), 12);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 1, 0));
    EXPECT_TRUE(RowHoldsFileRow(this->image, 0, 1));
}

TYPED_TEST(BmpLoading, ThirtyTwoBitKeepsAlphaBytesAsStored)
{
    BmpFields fields;
    fields.width = 3;
    fields.height = 2;
    fields.bitsPerPixel = 32;
    ASSERT_TRUE(this->Load(MakeBmp(fields)));
    EXPECT_EQ(this->image.GetBytesPerPixel(), 4);
    EXPECT_EQ(this->image.GetStride(), 12);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 1, 0));
    EXPECT_TRUE(RowHoldsFileRow(this->image, 0, 1));
}

TYPED_TEST(BmpLoading, NegativeHeightLoadsTopDownFileRightWayUp)
{
    BmpFields fields;
    fields.height = -3;
    ASSERT_TRUE(this->Load(MakeBmp(fields)));
    ASSERT_EQ(this->image.GetHeight(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(RowHoldsFileRow(this->image, i, i));  // first file row is the top row
}

TYPED_TEST(BmpLoading, SingleRowTopDownFileLoads)
{
    BmpFields fields;
    fields.width = 7;
    fields.height = -1;
    ASSERT_TRUE(this->Load(MakeBmp(fields)));
    EXPECT_EQ(this->image.GetHeight(), 1);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 0, 0));
}

TYPED_TEST(BmpLoading, PixelsAreReadFromTheirOffsetNotAfterTheHeader)
{
    BmpFields fields;
    fields.pixelOffset = 70;  // 16 bytes of 0xAB between header and pixels
    ASSERT_TRUE(this->Load(MakeBmp(fields)));
    EXPECT_TRUE(RowHoldsFileRow(this->image, 2, 0));
    EXPECT_TRUE(RowHoldsFileRow(this->image, 0, 2));
}

TYPED_TEST(BmpLoading, SideOfMaximumLengthLoads)
{
    BmpFields fields;
    fields.width = ImageFile::MaxSide;
    fields.height = 1;
    ASSERT_TRUE(this->Load(MakeBmp(fields)));
    EXPECT_EQ(this->image.GetWidth(), ImageFile::MaxSide);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 0, 0));
}

TYPED_TEST(BmpLoading, NullPathAndMissingFileLeaveImageEmpty)
{
    ASSERT_TRUE(this->Load(MakeBmp(BmpFields())));
    EXPECT_FALSE(this->image.LoadBmp(nullptr));
    EXPECT_TRUE(IsEmpty(this->image));
    ASSERT_TRUE(this->Load(MakeBmp(BmpFields())));
    EXPECT_FALSE(this->image.LoadBmp("raster_no_such_file.bmp"));
    EXPECT_TRUE(IsEmpty(this->image));
}

TYPED_TEST(BmpLoading, ShortHeadersAreRefused)
{
    const Bytes good = MakeBmp(BmpFields());
    for (std::size_t length : {std::size_t(0), std::size_t(2), std::size_t(13), std::size_t(14),
                               std::size_t(30), std::size_t(53)}) {
        SCOPED_TRACE(length);
        this->ExpectRefusedEmpty(Bytes(good.begin(), good.begin() + std::ptrdiff_t(length)));
    }
}

TYPED_TEST(BmpLoading, WrongSignatureIsRefused)
{
    Bytes bytes = MakeBmp(BmpFields());
    bytes[1] = 'A';
    this->ExpectRefusedEmpty(bytes);
}

TYPED_TEST(BmpLoading, InfoHeaderSizeOtherThan40IsRefused)
{
    for (std::uint32_t size : {12u, 39u, 108u, 124u}) {
        Bytes bytes = MakeBmp(BmpFields());
        PutU32(bytes, BmpInfoSize, size);
        this->ExpectRefusedEmpty(bytes);
    }
}

TYPED_TEST(BmpLoading, PlanesOtherThanOneAreRefused)
{
    for (std::uint32_t planes : {0u, 2u}) {
        Bytes bytes = MakeBmp(BmpFields());
        PutU16(bytes, BmpPlanes, planes);
        this->ExpectRefusedEmpty(bytes);
    }
}

TYPED_TEST(BmpLoading, DepthsOtherThan24Or32AreRefused)
{
    // Every depth up to 64 bits but 24 and 32: paletted, 16-, 48- and 64-bit files and those
    // between, which a division by 8 would take for 3 or 4 bytes.
    for (std::uint32_t bits = 0; bits <= 64; ++bits) {
        if (bits == 24 || bits == 32)
            continue;
        SCOPED_TRACE(bits);
        Bytes bytes = MakeBmp(BmpFields());
        PutU16(bytes, BmpBitsPerPixel, bits);
        this->ExpectRefusedEmpty(bytes);
    }
}

TYPED_TEST(BmpLoading, ZeroNegativeAndOversizedWidthsAreRefused)
{
    for (std::uint32_t width : {0u, 0xFFFFFFFFu, 0x80000000u, std::uint32_t(ImageFile::MaxSide + 1),
                                0x7FFFFFFFu, 0x40000000u}) {
        SCOPED_TRACE(width);
        Bytes bytes = MakeBmp(BmpFields());
        PutU32(bytes, BmpWidth, width);
        this->ExpectRefusedEmpty(bytes);
    }
}

TYPED_TEST(BmpLoading, ZeroMinimalAndOversizedHeightsAreRefused)
{
    // INT_MIN has no positive counterpart; -16385 is a top-down file one row too tall.
    for (std::uint32_t height : {0u, 0x80000000u, std::uint32_t(ImageFile::MaxSide + 1),
                                 std::uint32_t(-(ImageFile::MaxSide + 1)), 0x7FFFFFFFu}) {
        SCOPED_TRACE(height);
        Bytes bytes = MakeBmp(BmpFields());
        PutU32(bytes, BmpHeight, height);
        this->ExpectRefusedEmpty(bytes);
    }
}

TYPED_TEST(BmpLoading, PixelMemoryBeyondTheCapIsRefused)
{
    // 8192 x 8193 at 4 bytes is one row over 2^28 bytes though each side is allowed; 16384 x
    // 16384 (either way up) would be 2^30 bytes.
    const std::uint32_t sizes[][2] = {{8192, 8193}, {16384, 16384}, {16384, 0xFFFFC000u}};
    for (const auto& size : sizes) {
        Bytes bytes = MakeBmp(BmpFields());
        PutU32(bytes, BmpWidth, size[0]);
        PutU32(bytes, BmpHeight, size[1]);
        PutU16(bytes, BmpBitsPerPixel, 32);
        this->ExpectRefusedEmpty(bytes);
    }
}

TYPED_TEST(BmpLoading, CompressedFileIsRefusedBeforeAnythingIsCreated)
{
    for (std::uint32_t compression : {1u, 3u}) {  // run-length encoded, bit fields
        SCOPED_TRACE(compression);
        BmpFields fields;
        fields.bitsPerPixel = 32;
        fields.compression = compression;
        this->ExpectRefusedEmpty(MakeBmp(fields));
    }
}

TYPED_TEST(BmpLoading, TruncatedPixelDataFailsWithRowsReadSoFar)
{
    Bytes bytes = MakeBmp(BmpFields());
    bytes.resize(BmpHeaderBytes + 16 + 7);  // one whole row and part of the second
    this->ExpectRefusedCreated(bytes, 5, 3, 3);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 2, 0));
}

TYPED_TEST(BmpLoading, PixelOffsetPastTheEndFailsAsShortRead)
{
    for (std::uint32_t offset : {std::uint32_t(BmpHeaderBytes + 3 * 16), 0x10000u, 0x7FFFFFFFu,
                                 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(offset);
        Bytes bytes = MakeBmp(BmpFields());
        PutU32(bytes, BmpPixelOffset, offset);
        this->ExpectRefusedCreated(bytes, 5, 3, 3);
    }
}

TYPED_TEST(BmpLoading, PixelOffsetInsideTheHeadersIsRefused)
{
    // 0 and 20 would read the headers themselves as pixels; 53 the last header byte.
    for (std::uint32_t offset : {0u, 20u, std::uint32_t(BmpHeaderBytes - 1)}) {
        SCOPED_TRACE(offset);
        Bytes bytes = MakeBmp(BmpFields());
        PutU32(bytes, BmpPixelOffset, offset);
        this->ExpectRefusedEmpty(bytes);
    }
}

template <class Image>
class TgaLoading : public ::testing::Test {
protected:
    bool Load(const Bytes& bytes) { return image.LoadTga(file.Write(bytes)); }
    // Loads a 2 x 2 image first; a refused load must leave it exactly as it was.
    void ExpectRefusedUnchanged(const Bytes& bytes)
    {
        TgaFields previous;
        previous.width = 2;
        ASSERT_TRUE(Load(MakeTga(previous)));
        EXPECT_FALSE(Load(bytes));
        EXPECT_EQ(image.GetWidth(), 2);
        EXPECT_EQ(image.GetHeight(), 2);
        EXPECT_EQ(image.GetBytesPerPixel(), 3);
        EXPECT_TRUE(RowHoldsFileRow(image, 1, 0));
        EXPECT_TRUE(RowHoldsFileRow(image, 0, 1));
    }

    Image image;
    ScratchFile file{"image.tga"};
};
TYPED_TEST_SUITE(TgaLoading, LoaderImageTypes);

TYPED_TEST(TgaLoading, TwentyFourBitLoadsFirstRowAtBottomAfterItsId)
{
    TgaFields fields;  // 3 x 2: 9 bytes a row in the file, stride 12 in memory
    fields.idLength = 5;
    ASSERT_TRUE(this->Load(MakeTga(fields)));
    ASSERT_EQ(this->image.GetWidth(), 3);
    ASSERT_EQ(this->image.GetHeight(), 2);
    ASSERT_EQ(this->image.GetStride(), 12);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 1, 0));
    EXPECT_TRUE(RowHoldsFileRow(this->image, 0, 1));
    EXPECT_TRUE(PaddingUntouched(this->image, 0));
    EXPECT_TRUE(PaddingUntouched(this->image, 1));
}

TYPED_TEST(TgaLoading, ColourMapAfterTheIdIsPassedOver)
{
    // A true-colour file may carry a colour map it does not use: 5 entries of 24 bits, and of
    // 15 bits (2 bytes each), between the image ID and the pixels.
    for (std::uint8_t bits : {std::uint8_t(24), std::uint8_t(15)}) {
        SCOPED_TRACE(int(bits));
        TgaFields fields;
        fields.idLength = 3;
        fields.colourMapType = 1;
        fields.colourMapLength = 5;
        fields.colourMapBits = bits;
        ASSERT_TRUE(this->Load(MakeTga(fields)));
        EXPECT_TRUE(RowHoldsFileRow(this->image, 1, 0));
        EXPECT_TRUE(RowHoldsFileRow(this->image, 0, 1));
    }
    // Without a colour map (type 0) the map's fields describe nothing and skip nothing.
    TgaFields unmapped;
    unmapped.colourMapLength = 5;
    unmapped.colourMapBits = 24;
    ASSERT_TRUE(this->Load(MakeTga(unmapped)));
    EXPECT_TRUE(RowHoldsFileRow(this->image, 1, 0));
}

TYPED_TEST(TgaLoading, ThirtyTwoBitLoads)
{
    TgaFields fields;
    fields.depth = 32;
    fields.height = 3;
    ASSERT_TRUE(this->Load(MakeTga(fields)));
    EXPECT_EQ(this->image.GetBytesPerPixel(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(RowHoldsFileRow(this->image, 2 - i, i));
}

TYPED_TEST(TgaLoading, TopLeftOriginStillLoadsFirstRowAtBottom)
{
    TgaFields fields;
    fields.descriptor = 0x20;
    ASSERT_TRUE(this->Load(MakeTga(fields)));
    EXPECT_TRUE(RowHoldsFileRow(this->image, 1, 0));  // upside down, as the descriptor is ignored
}

TYPED_TEST(TgaLoading, NullPathAndMissingFileLeavePreviousImage)
{
    TgaFields previous;
    previous.width = 2;
    ASSERT_TRUE(this->Load(MakeTga(previous)));
    EXPECT_FALSE(this->image.LoadTga(nullptr));
    EXPECT_FALSE(this->image.LoadTga("raster_no_such_file.tga"));
    EXPECT_EQ(this->image.GetWidth(), 2);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 1, 0));
}

TYPED_TEST(TgaLoading, ShortHeadersAreRefused)
{
    const Bytes good = MakeTga(TgaFields());
    for (std::size_t length : {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(12),
                               std::size_t(13), std::size_t(15), std::size_t(16)}) {
        SCOPED_TRACE(length);
        this->ExpectRefusedUnchanged(Bytes(good.begin(), good.begin() + std::ptrdiff_t(length)));
    }
}

TYPED_TEST(TgaLoading, ImageTypesOtherThanUncompressedTrueColourAreRefused)
{
    for (int type : {0, 1, 3, 9, 10, 11}) {  // 10: run-length encoded true colour
        SCOPED_TRACE(type);
        TgaFields fields;
        fields.imageType = static_cast<std::uint8_t>(type);
        this->ExpectRefusedUnchanged(MakeTga(fields));
    }
}

TYPED_TEST(TgaLoading, DepthsOtherThan24Or32AreRefused)
{
    for (int depth = 0; depth <= 64; ++depth) {
        if (depth == 24 || depth == 32)
            continue;
        SCOPED_TRACE(depth);
        Bytes bytes = MakeTga(TgaFields());
        bytes[TgaDepth] = static_cast<std::uint8_t>(depth);
        this->ExpectRefusedUnchanged(bytes);
    }
}

TYPED_TEST(TgaLoading, ZeroAndOversizedSidesAreRefused)
{
    const std::uint32_t sizes[][2] = {{0, 2}, {3, 0}, {0, 0}, {16385, 1}, {1, 16385},
                                      {65535, 65535}, {16384, 16384}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size[0] << " x " << size[1]);
        Bytes bytes = MakeTga(TgaFields());
        PutU16(bytes, TgaWidth, size[0]);
        PutU16(bytes, TgaHeight, size[1]);
        this->ExpectRefusedUnchanged(bytes);
    }
}

TYPED_TEST(TgaLoading, TruncatedPixelDataFailsWithNewImageAndRowsReadSoFar)
{
    TgaFields fields;
    fields.width = 4;
    fields.height = 3;
    Bytes bytes = MakeTga(fields);
    bytes.resize(TgaHeaderBytes + 12 + 5);
    EXPECT_FALSE(this->Load(bytes));
    EXPECT_EQ(this->image.GetWidth(), 4);
    EXPECT_EQ(this->image.GetHeight(), 3);
    EXPECT_TRUE(RowHoldsFileRow(this->image, 2, 0));
}

TYPED_TEST(TgaLoading, IdFieldPastTheEndFailsAsShortRead)
{
    Bytes bytes = MakeTga(TgaFields());  // 18 + 18 bytes; an ID of 200 swallows the pixels
    bytes[TgaIdLength] = 200;
    EXPECT_FALSE(this->Load(bytes));
    EXPECT_EQ(this->image.GetWidth(), 3);
    EXPECT_EQ(this->image.GetHeight(), 2);
}
