// libFuzzer target: the BMP and TGA readers on arbitrary bytes. The input is read through a
// FILE* (fmemopen) into a heap image allocated at exactly height x stride bytes, so
// AddressSanitizer sees any access outside the pixel memory. After each read the image must be
// empty or consistently created, and a successful read must have the size its header gives.
#include "image_file/image_file_reader.h"
#include "tests/raster/plain_image.h"

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
            const std::int32_t height = ImageFile::ReadI32(data + 22);
            Require(image.GetWidth() == ImageFile::ReadI32(data + 18));
            Require(image.GetHeight() == (height < 0 ? -std::int64_t(height) : height));
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
            Require(image.GetWidth() == ImageFile::ReadU16(data + 12));
            Require(image.GetHeight() == ImageFile::ReadU16(data + 14));
        }
    }
    return 0;
}
