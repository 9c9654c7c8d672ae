// libFuzzer target: the BMP and TGA readers on arbitrary bytes. The input is read through a
// FILE* (fmemopen) into a heap image allocated at exactly height x stride bytes, so
// AddressSanitizer sees any access outside the pixel memory. After each read the image must be
// empty or consistently created, and a successful read must have the size its header gives,
// from an uncompressed file of 24 or 32 bits per pixel whose pixels lie after its headers, ID
// and colour map (checked here without the reader's helpers).
#include "image_file/image_file_reader.h"
#include "test_support/plain_image.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Creates above 4 MiB are refused as an exhausted allocator would refuse them: the readers'
// size checks still see every header, and the fuzzer does not spend its time zeroing memory.
const std::int64_t FuzzByteBudget = std::int64_t(1) << 22;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void RequireConsistent(const PlainImage& image)
{
    if (!image.GetBits()) {
        Require(image.GetWidth() == 0 && image.GetHeight() == 0 &&
                image.GetBytesPerPixel() == 0 && image.GetStride() == 0);
        return;
    }
    ImageFile::Layout layout;
    Require(ImageFile::MakeLayout(image.GetWidth(), image.GetHeight(), image.GetBytesPerPixel(),
                                  layout) &&
            ImageFile::WithinLoadLimits(layout) && layout.stride == image.GetStride());
}

// A little-endian field of the input.
std::uint32_t Field(const std::uint8_t* data, int size)
{
    std::uint32_t value = 0;
    for (int b = size - 1; b >= 0; --b)
        value = value << 8 | data[b];
    return value;
}

// The bytes per pixel a loaded file of this depth must have: 3 for 24 bits, 4 for 32.
void RequireDepth(const PlainImage& image, std::uint32_t bitsPerPixel)
{
    Require((bitsPerPixel == 24 && image.GetBytesPerPixel() == 3) ||
            (bitsPerPixel == 32 && image.GetBytesPerPixel() == 4));
}

// fmemopen refuses an empty buffer; a zero-length input reads from a one-byte buffer that is
// immediately at its end instead.
std::FILE* OpenInput(const std::uint8_t* data, std::size_t size)
{
    static char emptyInput[1];
    if (size == 0) {
        std::FILE* file = fmemopen(emptyInput, 1, "rb");
        if (file)
            std::fseek(file, 0, SEEK_END);
        return file;
    }
    return fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        PlainImage image(FuzzByteBudget);
        std::FILE* file = OpenInput(data, size);
        if (!file)
            return 0;
        const bool loaded = ImageFile::ReadBmp(file, image);
        std::fclose(file);
        RequireConsistent(image);
        if (loaded) {
            Require(size >= 54 && image.GetBits() != nullptr);
            const std::int64_t height = static_cast<std::int32_t>(Field(data + 22, 4));
            Require(image.GetWidth() == static_cast<std::int32_t>(Field(data + 18, 4)));
            Require(image.GetHeight() == (height < 0 ? -height : height));
            Require(Field(data + 30, 4) == 0);
            Require(Field(data + 10, 4) >= 54);  // pixels after both headers
            RequireDepth(image, Field(data + 28, 2));
        }
    }
    {
        // The TGA reader keeps a previous image until a header is accepted: start from one.
        PlainImage image(FuzzByteBudget);
        Require(image.Create(2, 2, 3));
        std::FILE* file = OpenInput(data, size);
        if (!file)
            return 0;
        const bool loaded = ImageFile::ReadTga(file, image);
        std::fclose(file);
        RequireConsistent(image);
        if (loaded) {
            Require(size >= 18 && data[2] == 2);
            Require(image.GetWidth() == std::int32_t(Field(data + 12, 2)));
            Require(image.GetHeight() == std::int32_t(Field(data + 14, 2)));
            RequireDepth(image, data[16]);
            // The file holds the image ID, any colour map (type 1) and every row after them.
            const std::uint64_t mapBytes =
                data[1] == 1 ? Field(data + 5, 2) * ((data[7] + 7u) / 8) : 0;
            const std::uint64_t rowBytes = std::uint64_t(image.GetWidth()) * image.GetBytesPerPixel();
            Require(size >= 18 + data[0] + mapBytes + rowBytes * std::uint64_t(image.GetHeight()));
        }
    }
    return 0;
}
