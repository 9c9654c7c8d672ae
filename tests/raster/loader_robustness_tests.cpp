// The loaders against thousands of corrupted variants of good BMP and TGA files: every
// truncation, every extreme value in every header field, and random bit flips, byte changes,
// cuts and tails. Each variant is loaded with both loaders. Every load must return; the image
// must be empty or consistently created; a successful load must hold exactly the pixel bytes a
// plain reading of the file gives; no GDI object may leak. Natively AddressSanitizer watches
// every access to the exactly-sized pixel memory.
//
// Variant n is a pure function of n (a fixed seed, a generator defined here), so a failure
// names the variant and keeps its file as raster_failing_<test>_<n>.bin; a random variant can
// also be run alone with RASTER_REPLAY_VARIANT=<n>.
#include "image_test_files.h"
#include "image_types.h"
#ifdef _WIN32
#include "test_support/gdi_objects.h"
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace TestFiles;

namespace {

const std::uint64_t BaseSeed = 0x52617374657231ULL;
const int RandomVariantCount = 3000;
const int MaxReportedFailures = 5;

// xorshift64*: tiny and fully defined, so a seed gives the same bytes on every platform and
// compiler (the standard library's distributions do not promise that).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state(seed ^ 0x9E3779B97F4A7C15ULL)
    {
        if (state == 0)
            state = 1;
    }
    std::uint32_t Next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<std::uint32_t>((state * 0x2545F4914F6CDD1DULL) >> 32);
    }
    std::uint32_t Below(std::uint32_t n) { return Next() % n; }

private:
    std::uint64_t state;
};

struct BaseFile {
    Bytes bytes;
    bool bmp;
};

// Good files to corrupt: both formats and depths, padded and unpadded rows, top-down rows, a
// gap before the pixels, an image ID, a colour map.
const std::vector<BaseFile>& BaseFiles()
{
    static const std::vector<BaseFile> files = [] {
        std::vector<BaseFile> made;
        BmpFields bmp;  // 5 x 3, 24 bits, padded
        made.push_back({MakeBmp(bmp), true});
        bmp.width = 3;
        bmp.height = 2;
        bmp.bitsPerPixel = 32;
        made.push_back({MakeBmp(bmp), true});
        bmp.width = 6;
        bmp.height = -4;
        bmp.bitsPerPixel = 24;
        bmp.pixelOffset = 62;
        made.push_back({MakeBmp(bmp), true});
        TgaFields tga;  // 3 x 2, 24 bits
        tga.idLength = 4;
        made.push_back({MakeTga(tga), false});
        tga.idLength = 0;
        tga.width = 2;
        tga.height = 3;
        tga.depth = 32;
        tga.descriptor = 0x28;
        made.push_back({MakeTga(tga), false});
        tga.idLength = 2;
        tga.colourMapType = 1;
        tga.colourMapLength = 3;
        tga.colourMapBits = 15;
        made.push_back({MakeTga(tga), false});
        return made;
    }();
    return files;
}

struct Field {
    std::size_t offset;
    int size;
};

// Every header field each loader reads (and the BMP's unexamined file size and image size; the
// TGA's colour-map length and entry size).
const Field BmpFieldsList[] = {{2, 4},  {10, 4}, {14, 4}, {18, 4}, {22, 4},
                               {26, 2}, {28, 2}, {30, 4}, {34, 4}};
const Field TgaFieldsList[] = {{0, 1}, {1, 1},  {2, 1},  {5, 2}, {7, 1},
                               {12, 2}, {14, 2}, {16, 1}, {17, 1}};

// Values at the edges of sign, width, the size caps and 8, 16 and 32 bits.
const std::uint32_t ExtremeValues[] = {
    0,          1,          2,          3,          8,          10,         24,
    32,         40,         54,         0x7F,       0x80,       0xFF,       0x100,
    0x3FFF,     0x4000,     0x4001,     0x7FFF,     0x8000,     0xFFFF,     0x10000,
    0x1FFFF,    0x7FFFFFFF, 0x80000000, 0x80000001, 0xC0000000, 0xFFFFC000, 0xFFFFBFFF,
    0xFFFFFFFE, 0xFFFFFFFF};

template <class T, std::size_t N>
std::uint32_t CountOf(const T (&)[N])
{
    return static_cast<std::uint32_t>(N);
}

void PutField(Bytes& bytes, const Field& field, std::uint32_t value)
{
    for (int b = 0; b < field.size; ++b)
        bytes[field.offset + std::size_t(b)] = static_cast<std::uint8_t>(value >> (8 * b));
}

// Random variant n: a base file with one to three corruptions.
Bytes RandomVariant(int n)
{
    Rng rng(BaseSeed + std::uint64_t(n));
    const BaseFile& base = BaseFiles()[rng.Below(std::uint32_t(BaseFiles().size()))];
    Bytes bytes = base.bytes;
    const std::size_t headerBytes = base.bmp ? std::size_t(BmpHeaderBytes) : std::size_t(TgaHeaderBytes);
    const int corruptions = 1 + int(rng.Below(3));
    for (int i = 0; i < corruptions; ++i) {
        const std::uint32_t size = std::uint32_t(bytes.size());
        switch (rng.Below(6)) {
        case 0:  // flip a few bits anywhere
            for (int k = 1 + int(rng.Below(4)); k > 0 && size > 0; --k)
                bytes[rng.Below(size)] ^= static_cast<std::uint8_t>(1u << rng.Below(8));
            break;
        case 1:  // a random byte in the header
            if (size > 0)
                bytes[rng.Below(std::uint32_t(std::min<std::size_t>(size, headerBytes)))] =
                    static_cast<std::uint8_t>(rng.Next());
            break;
        case 2: {  // an extreme value in a header field
            const Field& field = base.bmp
                ? BmpFieldsList[rng.Below(CountOf(BmpFieldsList))]
                : TgaFieldsList[rng.Below(CountOf(TgaFieldsList))];
            const std::uint32_t value =
                ExtremeValues[rng.Below(CountOf(ExtremeValues))];
            if (field.offset + std::size_t(field.size) <= size)
                PutField(bytes, field, value);
            break;
        }
        case 3:  // cut anywhere
            bytes.resize(rng.Below(size + 1));
            break;
        case 4:  // a random tail
            for (int k = 1 + int(rng.Below(64)); k > 0; --k)
                bytes.push_back(static_cast<std::uint8_t>(rng.Next()));
            break;
        default:  // a random byte anywhere
            if (size > 0)
                bytes[rng.Below(size)] = static_cast<std::uint8_t>(rng.Next());
            break;
        }
    }
    return bytes;
}

// Little-endian fields of the file, read here without the reader's helpers.
std::int64_t FileField(const Bytes& bytes, std::size_t offset, int size)
{
    std::int64_t value = 0;
    for (int b = size - 1; b >= 0; --b)
        value = value << 8 | bytes[offset + std::size_t(b)];
    return value;
}

std::int64_t FileSigned32(const Bytes& bytes, std::size_t offset)
{
    const std::int64_t value = FileField(bytes, offset, 4);
    return value >= (std::int64_t(1) << 31) ? value - (std::int64_t(1) << 32) : value;
}

// Bytes per pixel of the only two depths a loader may accept; 0 for any other.
std::int64_t AcceptedDepthBytes(std::int64_t bits)
{
    if (bits == 24)
        return 3;
    if (bits == 32)
        return 4;
    return 0;
}

// What a successful load must have produced, worked out the plain way from the file's bytes
// and independently of the reader: an accepted header (a depth of 24 or 32 bits, in a BMP no
// compression and pixels after both headers), sizes as the header gives them, and each pixel
// row copied from where the file keeps it (row padding passed over in a BMP, none in a TGA,
// whose rows follow the image ID and any colour map).
template <class Image>
::testing::AssertionResult MatchesFile(const Image& image, const Bytes& bytes, bool bmp)
{
    std::int64_t width, height, bytesPerPixel, firstRow, fileStride;
    bool topDown = false;
    if (bmp) {
        if (bytes.size() < BmpHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M' ||
            FileField(bytes, BmpInfoSize, 4) != 40 || FileField(bytes, BmpPlanes, 2) != 1 ||
            FileField(bytes, BmpCompression, 4) != 0)
            return ::testing::AssertionFailure() << "a BMP with a bad header loaded";
        width = FileSigned32(bytes, BmpWidth);
        height = FileSigned32(bytes, BmpHeight);
        topDown = height < 0;
        height = topDown ? -height : height;
        bytesPerPixel = AcceptedDepthBytes(FileField(bytes, BmpBitsPerPixel, 2));
        firstRow = FileField(bytes, BmpPixelOffset, 4);
        if (firstRow < std::int64_t(BmpHeaderBytes))
            return ::testing::AssertionFailure() << "a BMP whose pixels start in its headers loaded";
        fileStride = (width * bytesPerPixel + 3) / 4 * 4;
    } else {
        if (bytes.size() < TgaHeaderBytes || bytes[TgaImageType] != 2)
            return ::testing::AssertionFailure() << "a TGA with a bad header loaded";
        width = FileField(bytes, TgaWidth, 2);
        height = FileField(bytes, TgaHeight, 2);
        bytesPerPixel = AcceptedDepthBytes(bytes[TgaDepth]);
        const std::int64_t mapBytes = bytes[TgaColourMapType] == 1
            ? FileField(bytes, TgaColourMapLength, 2) * ((bytes[TgaColourMapBits] + 7) / 8)
            : 0;
        firstRow = std::int64_t(TgaHeaderBytes) + bytes[TgaIdLength] + mapBytes;
        fileStride = width * bytesPerPixel;
    }
    if (image.GetWidth() != width || image.GetHeight() != height ||
        image.GetBytesPerPixel() != bytesPerPixel)
        return ::testing::AssertionFailure()
               << "loaded " << image.GetWidth() << " x " << image.GetHeight() << " x "
               << image.GetBytesPerPixel() << ", file says " << width << " x " << height
               << " x " << bytesPerPixel;
    const std::int64_t rowBytes = width * bytesPerPixel;
    for (std::int64_t i = 0; i < height; ++i) {
        const std::int64_t start = firstRow + i * fileStride;
        if (start + rowBytes > std::int64_t(bytes.size()))
            return ::testing::AssertionFailure() << "loaded though file row " << i << " is cut";
        const int imageRow = int(topDown ? i : height - 1 - i);
        if (std::memcmp(image.Row(imageRow), &bytes[std::size_t(start)], std::size_t(rowBytes)))
            return ::testing::AssertionFailure() << "image row " << imageRow << " differs";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

// Loads variants into two long-lived images, one per loader, so that each load also starts
// from whatever state the previous variant left.
template <class Image>
class LoaderRobustness : public ::testing::Test {
protected:
    // Loads bytes with both loaders and checks the results; returns false once enough failures
    // have been reported.
    bool Check(const Bytes& bytes, int variant)
    {
        const char* path = file.Write(bytes);
        const bool bmpLoaded = bmpImage.LoadBmp(path);
        const bool tgaLoaded = tgaImage.LoadTga(path);
        loads += 2;
        successes += int(bmpLoaded) + int(tgaLoaded);
        const ::testing::AssertionResult bmpState =
            bmpLoaded ? MatchesFile(bmpImage, bytes, true) : IsConsistent(bmpImage);
        const ::testing::AssertionResult tgaState =
            tgaLoaded ? MatchesFile(tgaImage, bytes, false) : IsConsistent(tgaImage);
        const ::testing::AssertionResult bmpShape = IsConsistent(bmpImage);
        const ::testing::AssertionResult tgaShape = IsConsistent(tgaImage);
        if (bmpState && tgaState && bmpShape && tgaShape)
            return true;
        const std::string kept = std::string("raster_failing_") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 "_" + std::to_string(variant) + ".bin";
        std::remove(kept.c_str());
        std::rename(path, kept.c_str());
        ADD_FAILURE() << "variant " << variant << " (kept as " << kept << ", " << bytes.size()
                      << " bytes): LoadBmp " << (bmpLoaded ? "true" : "false") << ", "
                      << bmpState.message() << bmpShape.message() << "; LoadTga "
                      << (tgaLoaded ? "true" : "false") << ", " << tgaState.message()
                      << tgaShape.message();
        return ++failures < MaxReportedFailures;
    }

    void SetUp() override
    {
#ifdef _WIN32
        {
            // The first device context and DIB section of each depth make objects that live
            // on; let them exist before counting.
            Image warmUp;
            warmUp.Create(1, 1, 3);
            warmUp.Create(1, 1, 4);
        }
        gdiBefore = GdiObjectCount();
#endif
    }

    void TearDown() override
    {
        bmpImage.Release();
        tgaImage.Release();
#ifdef _WIN32
        EXPECT_EQ(GdiObjectCount(), gdiBefore) << "GDI objects leaked";
#endif
    }

    ScratchFile file{"variant.bin"};
    Image bmpImage;
    Image tgaImage;
    int loads = 0;
    int successes = 0;
    int failures = 0;
#ifdef _WIN32
    long gdiBefore = 0;
#endif
};
TYPED_TEST_SUITE(LoaderRobustness, LoaderImageTypes);

TYPED_TEST(LoaderRobustness, EveryTruncationOfEveryGoodFile)
{
    int variant = 0;
    for (const BaseFile& base : BaseFiles()) {
        for (std::size_t length = 0; length <= base.bytes.size(); ++length, ++variant) {
            const Bytes cut(base.bytes.begin(), base.bytes.begin() + std::ptrdiff_t(length));
            if (!this->Check(cut, variant))
                return;
        }
    }
    // Only whole files load, and a BMP also without its last row's padding, which it passes
    // over by seeking: one such cut for the 5-pixel rows, two for the 6-pixel ones.
    EXPECT_EQ(this->successes, int(BaseFiles().size()) + 3);
}

TYPED_TEST(LoaderRobustness, EveryExtremeValueInEveryHeaderField)
{
    int variant = 0;
    for (const BaseFile& base : BaseFiles()) {
        const Field* fields = base.bmp ? BmpFieldsList : TgaFieldsList;
        const std::size_t fieldCount = base.bmp ? CountOf(BmpFieldsList) : CountOf(TgaFieldsList);
        for (std::size_t f = 0; f < fieldCount; ++f) {
            for (std::uint32_t value : ExtremeValues) {
                Bytes bytes = base.bytes;
                PutField(bytes, fields[f], value);
                if (!this->Check(bytes, variant++))
                    return;
            }
        }
    }
    EXPECT_GT(this->successes, 0);
}

TYPED_TEST(LoaderRobustness, RandomCorruptionsWithFixedSeed)
{
    if (const char* replay = std::getenv("RASTER_REPLAY_VARIANT")) {
        const int n = std::atoi(replay);
        this->Check(RandomVariant(n), n);
        return;
    }
    for (int n = 0; n < RandomVariantCount; ++n)
        if (!this->Check(RandomVariant(n), n))
            return;
    // The mix must exercise both outcomes, or the corruption is too mild or too harsh to test.
    EXPECT_GT(this->successes, this->loads / 20);
    EXPECT_LT(this->successes, this->loads / 2);
}
