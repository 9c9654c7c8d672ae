// Reading uncompressed BMP and Truevision TGA (type 2) files into an image object.
//
// No <windows.h> in here: the parsing builds on any platform, so it is unit-tested and fuzzed
// natively with a plain heap-backed image, while RasterImage uses it with its DIB section. The
// image type only needs
//     bool Create(std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel);
//     void Release();
//     unsigned char* Row(std::int32_t k);   // row k from the top, bottom-up pixel memory
// where a successful Create provides height rows of at least width x bytesPerPixel bytes.
//
// Every byte of a file is untrusted: sizes are range-checked in 64-bit arithmetic before the
// image is created, every read's count is checked, and each pixel row is read with one fread
// of exactly width x bytesPerPixel bytes into a row that Create made, so nothing outside the
// pixel memory is ever written.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace ImageFile {

// The largest picture a loader accepts: 16384 pixels a side and 2^28 bytes (256 MiB) of pixel
// memory (8192 x 8192 at 4 bytes per pixel). A header is only a claim about the file; the cap
// stops a 60-byte file from asking for gigabytes and keeps every size product far from 32-bit
// overflow, which matters on the 32-bit target where size_t has 32 bits.
const std::int32_t MaxSide = 16384;
const std::int64_t MaxPixelBytes = std::int64_t(1) << 28;

// The memory layout of a created image.
struct Layout {
    std::int32_t width;          // pixels, at least 1
    std::int32_t height;         // rows, at least 1
    std::int32_t bytesPerPixel;  // 3 or 4
    std::int32_t rowBytes;       // width x bytesPerPixel: the pixel bytes of one row
    std::int32_t stride;         // rowBytes rounded up to a multiple of 4
};

// Layout of a width x height image at bytesPerPixel; false unless width and height are at least
// 1, bytesPerPixel is 3 or 4 and the whole pixel memory (height x stride) fits a signed 32-bit
// count, so that no later size or offset computation can overflow.
inline bool MakeLayout(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel,
                       Layout& layout)
{
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        return false;
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX)
        return false;
    const std::int64_t rowBytes = width * bytesPerPixel;  // < 2^34: no overflow in 64 bits
    const std::int64_t stride = (rowBytes + 3) / 4 * 4;
    if (stride > INT32_MAX || stride > INT32_MAX / height)
        return false;
    layout.width = static_cast<std::int32_t>(width);
    layout.height = static_cast<std::int32_t>(height);
    layout.bytesPerPixel = static_cast<std::int32_t>(bytesPerPixel);
    layout.rowBytes = static_cast<std::int32_t>(rowBytes);
    layout.stride = static_cast<std::int32_t>(stride);
    return true;
}

// Bytes per pixel of a file's pixel depth: exactly 24 and 32 bits are read, as 3 and 4 bytes;
// 0 for any other depth.
inline std::int64_t BytesPerPixelOfDepth(std::uint32_t bitsPerPixel)
{
    return bitsPerPixel == 24 ? 3 : bitsPerPixel == 32 ? 4 : 0;
}

// True when a layout is small enough for a loader to allocate (MaxSide, MaxPixelBytes).
inline bool WithinLoadLimits(const Layout& layout)
{
    return layout.width <= MaxSide && layout.height <= MaxSide &&
           std::int64_t(layout.stride) * layout.height <= MaxPixelBytes;
}

// Little-endian fields of a header held in memory.
inline std::uint16_t ReadU16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadU32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::int32_t ReadI32(const unsigned char* p)
{
    // Through int64 so that values of 2^31 and above become negative without relying on an
    // implementation-defined narrowing.
    const std::int64_t u = ReadU32(p);
    return static_cast<std::int32_t>(u >= 0x80000000LL ? u - 0x100000000LL : u);
}

// Seeks to an absolute file offset. fseek takes a long, which has 32 bits on Windows even in
// 64-bit builds: an offset beyond LONG_MAX is refused here rather than wrapping negative.
inline bool SeekFromStart(std::FILE* file, std::uint32_t offset)
{
#if LONG_MAX < 0xFFFFFFFF
    if (offset > static_cast<std::uint32_t>(LONG_MAX))
        return false;
#endif
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

// Reads exactly count bytes; a short read is a failure, never padding.
inline bool ReadExactly(std::FILE* file, void* target, std::size_t count)
{
    return std::fread(target, 1, count, file) == count;
}

// The BMP fields the loader uses, decoded from the 14-byte file header and the 40-byte info
// header. A negative height marks a file stored top row first.
struct BmpHeader {
    std::uint32_t pixelOffset;  // from the start of the file
    std::uint32_t infoSize;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t planes;
    std::uint16_t bitsPerPixel;
    std::uint32_t compression;
};

inline BmpHeader DecodeBmpHeader(const unsigned char (&fileHeader)[14],
                                 const unsigned char (&info)[40])
{
    BmpHeader header;
    header.pixelOffset = ReadU32(fileHeader + 10);
    header.infoSize = ReadU32(info + 0);
    header.width = ReadI32(info + 4);
    header.height = ReadI32(info + 8);
    header.planes = ReadU16(info + 12);
    header.bitsPerPixel = ReadU16(info + 14);
    header.compression = ReadU32(info + 16);
    return header;
}

// The image a BMP header asks for, and whether its rows run top first; false for a depth
// other than 24 or 32 bits or a size no loader should allocate. The height's sign is looked at before it is negated, and INT_MIN
// (which has no positive counterpart) is refused first.
inline bool BmpLayout(const BmpHeader& header, Layout& layout, bool& topDown)
{
    if (header.width < 1 || header.height == 0 || header.height == INT32_MIN)
        return false;
    topDown = header.height < 0;
    const std::int32_t rows = topDown ? -header.height : header.height;
    return MakeLayout(header.width, rows, BytesPerPixelOfDepth(header.bitsPerPixel), layout) &&
           WithinLoadLimits(layout);
}

// Reads a BMP from the current position of file (its start) into image. The caller empties the
// image first. Every refusal of the header (a compressed file, a depth other than 24 or 32
// bits, a size beyond the limits, pixels said to start inside the headers...) returns false
// before Create, so the image stays empty;
// after Create a failing seek or a short pixel read return false with the image created at
// the file's size and the rows read so far filled.
template <class Image>
bool ReadBmp(std::FILE* file, Image& image)
{
    unsigned char fileHeader[14];
    unsigned char info[40];
    if (!ReadExactly(file, fileHeader, sizeof fileHeader) || std::memcmp(fileHeader, "BM", 2) != 0)
        return false;
    if (!ReadExactly(file, info, sizeof info))
        return false;
    const BmpHeader header = DecodeBmpHeader(fileHeader, info);
    if (header.infoSize != 40 || header.planes != 1 || header.compression != 0)
        return false;
    // Pixels that would start inside the two headers would be the header bytes themselves.
    if (header.pixelOffset < sizeof fileHeader + sizeof info)
        return false;
    Layout layout;
    bool topDown = false;
    if (!BmpLayout(header, layout, topDown))
        return false;
    if (!image.Create(layout.width, layout.height, layout.bytesPerPixel))
        return false;
    // An offset past the end of the file seeks fine and then fails as a short read below.
    if (!SeekFromStart(file, header.pixelOffset))
        return false;
    const long skip = layout.stride - layout.rowBytes;  // row padding in the file, 0 to 3
    for (std::int32_t i = 0; i < layout.height; ++i) {
        // A bottom-up file holds the bottom row first; a top-down one the top row.
        unsigned char* row = image.Row(topDown ? i : layout.height - 1 - i);
        if (!ReadExactly(file, row, static_cast<std::size_t>(layout.rowBytes)))
            return false;
        if (std::fseek(file, skip, SEEK_CUR) != 0)
            return false;
    }
    return true;
}

// Reads a type-2 (uncompressed true-colour) TGA from the start of file into image. Refusals
// before Create leave the image as it was; a short pixel read returns false with the new image
// created and the rows read so far filled. A colour map (colour-map type 1), which a true-colour
// file may carry but does not use, is passed over with the image ID. The descriptor's origin
// bits are not consulted: the file's first row always becomes the bottom row.
template <class Image>
bool ReadTga(std::FILE* file, Image& image)
{
    unsigned char idLength = 0;
    unsigned char colourMapType = 0;
    unsigned char imageType = 0;
    unsigned char colourMap[5];  // first entry index, entry count, bits per entry
    unsigned char size[4];
    unsigned char depth = 0;
    if (!ReadExactly(file, &idLength, 1) || !ReadExactly(file, &colourMapType, 1))
        return false;
    if (!ReadExactly(file, &imageType, 1) || imageType != 2)
        return false;
    if (!ReadExactly(file, colourMap, sizeof colourMap))
        return false;
    // Every seek is checked: a stream that refuses to seek past its end (a memory stream does)
    // would otherwise leave the next read on the wrong bytes, and a truncated file could load.
    if (std::fseek(file, 4, SEEK_CUR) != 0)  // X and Y origin
        return false;
    if (!ReadExactly(file, size, 2) || !ReadExactly(file, size + 2, 2) ||
        !ReadExactly(file, &depth, 1))
        return false;
    Layout layout;
    if (!MakeLayout(ReadU16(size), ReadU16(size + 2), BytesPerPixelOfDepth(depth), layout) ||
        !WithinLoadLimits(layout))
        return false;
    if (!image.Create(layout.width, layout.height, layout.bytesPerPixel))
        return false;
    // Over the descriptor byte, the image ID and the colour map (at most 65535 entries of 32
    // bytes, so the sum fits a long); either running past the end of the file makes the first
    // pixel read come up short.
    const long mapBytes =
        colourMapType == 1 ? long(ReadU16(colourMap + 2)) * ((colourMap[4] + 7) / 8) : 0;
    if (std::fseek(file, 1 + long(idLength) + mapBytes, SEEK_CUR) != 0)
        return false;
    for (std::int32_t i = 0; i < layout.height; ++i) {
        unsigned char* row = image.Row(layout.height - 1 - i);
        if (!ReadExactly(file, row, static_cast<std::size_t>(layout.rowBytes)))
            return false;
    }
    return true;
}

// The whole loaders around ReadBmp and ReadTga: open the named file, read it, and close it on
// the one way out. LoadBmpFile empties the image first, whatever follows; LoadTgaFile leaves it
// alone until the header has been accepted. A null path returns false.
template <class Image>
bool LoadBmpFile(const char* path, Image& image)
{
    image.Release();
    if (!path)
        return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    const bool loaded = ReadBmp(file, image);
    std::fclose(file);
    return loaded;
}

template <class Image>
bool LoadTgaFile(const char* path, Image& image)
{
    if (!path)
        return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    const bool loaded = ReadTga(file, image);
    std::fclose(file);
    return loaded;
}

}  // namespace ImageFile
