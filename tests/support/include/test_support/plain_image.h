// A heap-backed image with the members the file readers need and the accessors the tests use:
// it lets the parsing run natively, under AddressSanitizer and in the fuzz target, where the
// allocation is exactly height x stride bytes so that any stray row access is caught.
#pragma once

#include "image_file/image_file_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

class PlainImage {
public:
    // byteBudget: the most pixel memory Create hands out; larger requests are refused as a
    // system short of memory would (the fuzz target keeps it small to stay fast).
    explicit PlainImage(std::int64_t byteBudget = ImageFile::MaxPixelBytes) : budget(byteBudget) {}
    ~PlainImage() { Release(); }
    PlainImage(const PlainImage&) = delete;
    PlainImage& operator=(const PlainImage&) = delete;

    // As RasterImage::Create: invalid sizes leave the image as it was, a refusal leaves it empty.
    bool Create(std::int32_t newWidth, std::int32_t newHeight, std::int32_t newBytesPerPixel)
    {
        ImageFile::Layout layout;
        if (!ImageFile::MakeLayout(newWidth, newHeight, newBytesPerPixel, layout))
            return false;
        Release();
        const std::int64_t bytes = std::int64_t(layout.stride) * layout.height;
        if (bytes > budget)
            return false;
        pixels = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(bytes), 1));
        if (!pixels)
            return false;
        width = layout.width;
        height = layout.height;
        bytesPerPixel = layout.bytesPerPixel;
        stride = layout.stride;
        return true;
    }

    void Release()
    {
        std::free(pixels);
        pixels = nullptr;
        width = height = bytesPerPixel = stride = 0;
    }

    bool LoadBmp(const char* path) { return ImageFile::LoadBmpFile(path, *this); }
    bool LoadTga(const char* path) { return ImageFile::LoadTgaFile(path, *this); }

    unsigned char* Row(std::int32_t k) { return pixels + std::ptrdiff_t(stride) * (height - k - 1); }
    const unsigned char* Row(std::int32_t k) const
    {
        return pixels + std::ptrdiff_t(stride) * (height - k - 1);
    }

    std::int32_t GetWidth() const { return width; }
    std::int32_t GetHeight() const { return height; }
    std::int32_t GetBytesPerPixel() const { return bytesPerPixel; }
    std::int32_t GetStride() const { return stride; }
    const unsigned char* GetBits() const { return pixels; }

private:
    std::int64_t budget;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytesPerPixel = 0;
    std::int32_t stride = 0;
    unsigned char* pixels = nullptr;
};
