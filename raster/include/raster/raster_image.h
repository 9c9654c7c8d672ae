// A general-purpose picture: a 24- or 32-bit bottom-up DIB section selected into a memory
// device context of its own, whose pixel bytes are also read and written directly.
//
// Pixels are addressed with rows counted from the top; the memory is bottom-up, so row k
// starts at bits + stride x (height - k - 1) (see Row). Within a row pixel x takes the
// bytesPerPixel bytes from x x bytesPerPixel: blue, green, red and, in a 4-byte pixel, alpha.
// A colour word is 0xAARRGGBB (byte j of the word is byte j of a pixel), not a COLORREF.
//
// Apart from the stop at the bottom edge in CopyKeyed and CopyCheckered, the pixel operations
// do not check coordinates: callers keep 0 <= x < width and 0 <= y < height for SetPixel and
// Row, 0 <= left <= right <= width and 0 <= top <= bottom < height for FillRect, and for the two
// copies the rectangle inside the source, 0 <= x, x + (right - left) <= width and 0 <= y < height.
#pragma once

#include <windows.h>

#include <cstdint>

class RasterImage {
public:
    // An empty image (all fields zero); completes the thread's batched GDI work (GdiFlush).
    RasterImage();
    // A copy with handles and pixel memory of its own; empty if the source is empty or the
    // system refuses the copy.
    RasterImage(const RasterImage& source);
    // Becomes a copy of source, whole rows including padding, through Create. Copying onto
    // itself changes nothing; an empty source, or a copy that Create refuses, copies no pixel
    // and leaves this image as Create or Release left it (empty unless GDI failed to free it).
    RasterImage& operator=(const RasterImage& source);
    ~RasterImage();

    // Releases any current image and makes a new width x height DIB section. False, with the
    // image left as it was, for bytes per pixel other than 3 or 4, a width or height below 1,
    // more than 2^31 - 1 bytes of pixels, or a current image that cannot be released. False,
    // with the image empty, when the system refuses the new one. The new pixels are as the
    // system delivers them.
    bool Create(std::int32_t newWidth, std::int32_t newHeight, std::int32_t newBytesPerPixel);
    // Puts the displaced bitmap back, deletes the DIB section and the device context, and zeroes
    // every field. Does nothing to an empty image; stops with the fields unchanged if a GDI call
    // fails.
    void Release();

    // Loads an uncompressed 24- or 32-bit BMP (bottom-up or top-down). Empties the image first.
    // False with the image empty for a null path, a missing file, a short or malformed header,
    // a compressed file, a depth other than 24 or 32 bits or a size outside 16384 pixels a
    // side / 256 MiB; false with the image created at the file's size for a bad seek or
    // missing pixel data.
    bool LoadBmp(const char* path);
    // Loads an uncompressed true-colour TGA (type 2), its first row becoming the bottom row.
    // False with the previous image unchanged for a null path, a missing file, a short header,
    // another type, a depth other than 24 or 32 bits, or a size of 0 or beyond the limits
    // above; false with the new image created at the file's size when pixel data is missing.
    bool LoadTga(const char* path);

    // First byte of row k, counted from the top (0 <= k < height).
    unsigned char* Row(std::int32_t k);
    const unsigned char* Row(std::int32_t k) const;

    std::int32_t GetWidth() const { return width; }
    std::int32_t GetHeight() const { return height; }
    std::int32_t GetBytesPerPixel() const { return bytesPerPixel; }
    HDC GetMemoryDC() const { return memoryDC; }
    // Bytes from one row to the next, and the pixel memory itself (the bottom row); for callers
    // that copy or inspect whole rows.
    std::int32_t GetStride() const { return stride; }
    const unsigned char* GetBits() const { return bits; }
    // {0, 0, width, height}.
    RECT Bounds() const;
    // A step of one twentieth (0.05f), for callers that fade an image in or out stepwise; the
    // class itself does not use it.
    float ConstantFraction() const;

    // Pixel (x, y) takes blue, green, red and, in a 4-byte image only, alpha.
    void SetPixel(std::int32_t x, std::int32_t y, std::uint8_t red, std::uint8_t green,
                  std::uint8_t blue, std::uint8_t alpha);
    // Pixel (x, y) takes bytes 0 to bytesPerPixel - 1 of the colour word.
    void SetPixelColor(std::int32_t x, std::int32_t y, std::uint32_t color);
    // Every pixel takes the colour; rows are copied whole, padding included.
    void Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
    void FillColor(std::uint32_t color);
    // Pixels of rows top to bottom inclusive, columns left to right - 1, take the colour.
    void FillRect(const RECT& rect, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                  std::uint8_t alpha);
    void FillRectColor(const RECT& rect, std::uint32_t color);

    // BitBlt (SRCCOPY) of this image onto destination's memory DC at (x, y), extent the
    // destination's width x height.
    BOOL DrawTo(RasterImage& destination, std::int32_t x, std::int32_t y) const;
    // BitBlt (SRCCOPY) of this image onto dc at (left, top), extent right - left by bottom - top.
    BOOL DrawToDC(HDC dc, const RECT& rect) const;

    // Copies the source rectangle (rows top to bottom - 1, columns left to right - 1) to (x, y),
    // except source pixels whose red, green and blue equal the key; stops at the bottom edge.
    void CopyKeyed(const RasterImage& source, const RECT& rect, std::int32_t x, std::int32_t y,
                   std::uint8_t keyRed, std::uint8_t keyGreen, std::uint8_t keyBlue);
    // True exactly when the three channel pairs are equal.
    static bool MatchesKey(std::uint8_t keyRed, std::uint8_t keyGreen, std::uint8_t keyBlue,
                           std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    // Copies every other pixel of the source rectangle to (x, y) in a checkerboard: on even
    // destination rows rectangle columns 0, 2, 4..., on odd rows 1, 3, 5...; stops at the bottom
    // edge.
    void CopyCheckered(const RasterImage& source, const RECT& rect, std::int32_t x,
                       std::int32_t y);

    // Vertical smears: the top (bottom) row is halved, then each row down (up) becomes the
    // rounded-down average of itself and its already changed neighbour above (below).
    void SmoothDown();
    void SmoothUp();
    // Subtracts (adds) amount from (to) every pixel byte, leaving a byte alone where the result
    // would leave 0..255. A negative amount does the other operation by its magnitude.
    void Darken(std::int32_t amount);
    void Brighten(std::int32_t amount);

private:
    std::int32_t width;          // pixels
    std::int32_t height;         // rows
    std::int32_t bytesPerPixel;  // 3 or 4 once created, 0 when empty
    std::int32_t stride;         // width x bytesPerPixel rounded up to a multiple of 4
    HBITMAP bitmap;              // the DIB section; owns the pixel memory
    HGDIOBJ displacedBitmap;     // what memoryDC held before bitmap; put back before deleting
    HDC memoryDC;                // owned, with bitmap selected into it
    unsigned char* bits;         // pixel memory of bitmap; never freed by itself

    void ZeroFields();
    void AddToEveryByte(std::int32_t amount);
    void SubtractFromEveryByte(std::int32_t amount);
};
