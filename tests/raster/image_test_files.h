// BMP and TGA files written by the tests themselves, and scratch files to hold them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace TestFiles {

using Bytes = std::vector<std::uint8_t>;

// The byte that generated files hold at byte b of their pixel row i (rows in file order):
// distinct enough across neighbouring rows and bytes to show any shift or flip.
inline std::uint8_t PatternByte(int fileRow, int byteInRow)
{
    return static_cast<std::uint8_t>(fileRow * 37 + byteInRow * 11 + 5);
}

inline void PutU16(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    PutU16(bytes, offset, value);
    PutU16(bytes, offset + 2, value >> 16);
}

// Offsets of the BMP header fields.
enum BmpOffset : std::size_t {
    BmpPixelOffset = 10, BmpInfoSize = 14, BmpWidth = 18, BmpHeight = 22, BmpPlanes = 26,
    BmpBitsPerPixel = 28, BmpCompression = 30, BmpHeaderBytes = 54
};

struct BmpFields {
    std::int32_t width = 5;
    std::int32_t height = 3;  // negative: stored top row first
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t pixelOffset = BmpHeaderBytes;  // a larger one leaves a gap of 0xAB bytes
    std::uint8_t padding = 0xEE;                 // what the row padding bytes hold in the file
};

inline int BmpRowBytes(const BmpFields& f) { return f.width * (f.bitsPerPixel / 8); }
inline int BmpFileStride(const BmpFields& f) { return (BmpRowBytes(f) + 3) / 4 * 4; }

// A well-formed uncompressed BMP of sane size with PatternByte pixels.
inline Bytes MakeBmp(const BmpFields& f)
{
    const int rows = f.height < 0 ? -f.height : f.height;
    const int rowBytes = BmpRowBytes(f);
    const int fileStride = BmpFileStride(f);
    Bytes bytes(BmpHeaderBytes, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 2, f.pixelOffset + std::uint32_t(fileStride) * rows);
    PutU32(bytes, BmpPixelOffset, f.pixelOffset);
    PutU32(bytes, BmpInfoSize, 40);
    PutU32(bytes, BmpWidth, static_cast<std::uint32_t>(f.width));
    PutU32(bytes, BmpHeight, static_cast<std::uint32_t>(f.height));
    PutU16(bytes, BmpPlanes, 1);
    PutU16(bytes, BmpBitsPerPixel, f.bitsPerPixel);
    PutU32(bytes, BmpCompression, f.compression);
    bytes.resize(f.pixelOffset, 0xAB);
    for (int i = 0; i < rows; ++i) {
        for (int b = 0; b < rowBytes; ++b)
            bytes.push_back(PatternByte(i, b));
        for (int b = rowBytes; b < fileStride; ++b)
            bytes.push_back(f.padding);
    }
    return bytes;
}

// Offsets of the TGA header fields.
enum TgaOffset : std::size_t {
    TgaIdLength = 0, TgaColourMapType = 1, TgaImageType = 2, TgaColourMapLength = 5,
    TgaColourMapBits = 7, TgaWidth = 12, TgaHeight = 14, TgaDepth = 16, TgaDescriptor = 17,
    TgaHeaderBytes = 18
};

struct TgaFields {
    std::uint8_t idLength = 0;          // the ID holds 0xC1 bytes
    std::uint8_t colourMapType = 0;     // 1: a colour map of 0xC2 bytes follows the ID
    std::uint16_t colourMapLength = 0;  // entries
    std::uint8_t colourMapBits = 0;     // bits per entry
    std::uint8_t imageType = 2;
    std::uint16_t width = 3;
    std::uint16_t height = 2;
    std::uint8_t depth = 24;
    std::uint8_t descriptor = 0;  // 0x20: stored top row first (the loader ignores it)
};

inline int TgaRowBytes(const TgaFields& f) { return f.width * (f.depth / 8); }

// Bytes of the colour map that follow the image ID: whole bytes per entry, as many as a file of
// colour-map type 1 holds.
inline int TgaColourMapBytes(const TgaFields& f)
{
    return f.colourMapType == 1 ? f.colourMapLength * ((f.colourMapBits + 7) / 8) : 0;
}

// A well-formed TGA with PatternByte pixels and no row padding.
inline Bytes MakeTga(const TgaFields& f)
{
    Bytes bytes(TgaHeaderBytes, 0);
    bytes[TgaIdLength] = f.idLength;
    bytes[TgaColourMapType] = f.colourMapType;
    bytes[TgaImageType] = f.imageType;
    PutU16(bytes, TgaColourMapLength, f.colourMapLength);
    bytes[TgaColourMapBits] = f.colourMapBits;
    PutU16(bytes, TgaWidth, f.width);
    PutU16(bytes, TgaHeight, f.height);
    bytes[TgaDepth] = f.depth;
    bytes[TgaDescriptor] = f.descriptor;
    bytes.resize(TgaHeaderBytes + f.idLength, 0xC1);
    bytes.resize(bytes.size() + std::size_t(TgaColourMapBytes(f)), 0xC2);
    for (int i = 0; i < f.height; ++i)
        for (int b = 0; b < TgaRowBytes(f); ++b)
            bytes.push_back(PatternByte(i, b));
    return bytes;
}

// A file in the working directory named after the running test, removed when it goes out of
// scope unless Keep was called (so that a failing input can be replayed).
class ScratchFile {
public:
    explicit ScratchFile(const char* suffix)
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path = std::string("raster_") + (info ? info->test_suite_name() : "none") + "_" +
               (info ? info->name() : "none") + "_" + suffix;
        for (char& c : path) {
            if (c == '/' || c == '\\' || c == ':')
                c = '_';
        }
    }
    ~ScratchFile()
    {
        if (!keep)
            std::remove(path.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Writes bytes as the whole file; returns the path.
    const char* Write(const Bytes& bytes)
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr) << path;
        if (file) {
            const std::size_t written =
                bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
            EXPECT_EQ(written, bytes.size());
            std::fclose(file);
        }
        return path.c_str();
    }
    const char* Path() const { return path.c_str(); }
    void Keep() { keep = true; }

private:
    std::string path;
    bool keep = false;
};

}  // namespace TestFiles
