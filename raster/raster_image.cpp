#include "raster/raster_image.h"

#include "image_file/image_file_reader.h"

#include <cstddef>
#include <cstring>

// Eight 32-bit fields on the 32-bit target, in the order the header declares them.
static_assert(sizeof(void*) != 4 || sizeof(RasterImage) == 32, "RasterImage is eight 32-bit fields");

namespace {

// Byte j of a pixel takes byte j of the colour word (blue, green, red, alpha).
void StoreColor(unsigned char* pixel, std::int32_t bytesPerPixel, std::uint32_t color)
{
    for (std::int32_t j = 0; j < bytesPerPixel; ++j)
        pixel[j] = static_cast<unsigned char>(color >> (8 * j));
}

// One pixel between images that may differ in bytes per pixel. Only the bytes the source pixel
// has are read. The colour channels always travel; alpha travels between two 4-byte images, is
// dropped into a 3-byte image, and is set to 255 when a 3-byte source fills a 4-byte image: a
// picture without alpha is fully opaque, and an opaque pixel stays what a later alpha-aware
// blend of the destination expects, instead of inheriting whatever alpha was there before.
void CopyPixel(unsigned char* destination, std::int32_t destinationBytes,
               const unsigned char* source, std::int32_t sourceBytes)
{
    destination[0] = source[0];
    destination[1] = source[1];
    destination[2] = source[2];
    if (destinationBytes == 4)
        destination[3] = sourceBytes == 4 ? source[3] : 255;
}

}  // namespace

RasterImage::RasterImage()
    : width(0), height(0), bytesPerPixel(0), stride(0), bitmap(nullptr), displacedBitmap(nullptr),
      memoryDC(nullptr), bits(nullptr)
{
    GdiFlush();
}

RasterImage::RasterImage(const RasterImage& source)
    : width(0), height(0), bytesPerPixel(0), stride(0), bitmap(nullptr), displacedBitmap(nullptr),
      memoryDC(nullptr), bits(nullptr)
{
    *this = source;
}

RasterImage& RasterImage::operator=(const RasterImage& source)
{
    if (this == &source)
        return *this;
    if (!source.bits) {
        // Nothing to copy: an empty source gives an empty image, as Create cannot make one.
        Release();
        return *this;
    }
    // Only a successful Create guarantees bits addresses height x stride bytes of our own.
    if (Create(source.width, source.height, source.bytesPerPixel))
        std::memcpy(bits, source.bits, std::size_t(height) * std::size_t(stride));
    return *this;
}

RasterImage::~RasterImage()
{
    Release();
}

void RasterImage::ZeroFields()
{
    width = 0;
    height = 0;
    bytesPerPixel = 0;
    stride = 0;
    bitmap = nullptr;
    displacedBitmap = nullptr;
    memoryDC = nullptr;
    bits = nullptr;
}

bool RasterImage::Create(std::int32_t newWidth, std::int32_t newHeight,
                         std::int32_t newBytesPerPixel)
{
    // Refuse what cannot be addressed before touching the current image: a size below 1 would
    // break the row addressing, and more than 2^31 - 1 bytes would overflow its arithmetic.
    ImageFile::Layout layout;
    if (!ImageFile::MakeLayout(newWidth, newHeight, newBytesPerPixel, layout))
        return false;
    Release();
    if (displacedBitmap)
        return false;  // the old image could not be given back; keep it rather than leak it

    memoryDC = CreateCompatibleDC(nullptr);
    if (!memoryDC)
        return false;
    width = layout.width;
    height = layout.height;
    bytesPerPixel = layout.bytesPerPixel;
    stride = layout.stride;  // width x bytesPerPixel rounded up to a multiple of 4

    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up, which Row relies on
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bytesPerPixel * 8);
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bitmap = CreateDIBSection(memoryDC, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) {
        // Give back what this call made: Release only acts on a selected bitmap, so a half-made
        // image would otherwise leak its device context.
        DeleteDC(memoryDC);
        ZeroFields();
        return false;
    }
    bits = static_cast<unsigned char*>(pixels);
    displacedBitmap = SelectObject(memoryDC, bitmap);
    if (!displacedBitmap) {
        DeleteObject(bitmap);
        DeleteDC(memoryDC);
        ZeroFields();
        return false;
    }
    return true;
}

void RasterImage::Release()
{
    if (!displacedBitmap)
        return;
    // Acquisition run backwards; a failing step keeps every field so the handles are not lost.
    if (!SelectObject(memoryDC, displacedBitmap))
        return;
    if (!DeleteObject(bitmap))
        return;
    if (!DeleteDC(memoryDC))
        return;
    ZeroFields();
}

bool RasterImage::LoadBmp(const char* path)
{
    return ImageFile::LoadBmpFile(path, *this);
}

bool RasterImage::LoadTga(const char* path)
{
    return ImageFile::LoadTgaFile(path, *this);
}

unsigned char* RasterImage::Row(std::int32_t k)
{
    return bits + std::ptrdiff_t(stride) * (height - k - 1);
}

const unsigned char* RasterImage::Row(std::int32_t k) const
{
    return bits + std::ptrdiff_t(stride) * (height - k - 1);
}

RECT RasterImage::Bounds() const
{
    RECT rect = {0, 0, width, height};
    return rect;
}

float RasterImage::ConstantFraction() const
{
    return 0.05f;
}

void RasterImage::SetPixel(std::int32_t x, std::int32_t y, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue, std::uint8_t alpha)
{
    unsigned char* pixel = Row(y) + std::ptrdiff_t(x) * bytesPerPixel;
    pixel[0] = blue;
    pixel[1] = green;
    pixel[2] = red;
    if (bytesPerPixel == 4)
        pixel[3] = alpha;
}

void RasterImage::SetPixelColor(std::int32_t x, std::int32_t y, std::uint32_t color)
{
    StoreColor(Row(y) + std::ptrdiff_t(x) * bytesPerPixel, bytesPerPixel, color);
}

void RasterImage::Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    FillColor((std::uint32_t(alpha) << 24) | (std::uint32_t(red) << 16) |
              (std::uint32_t(green) << 8) | blue);
}

void RasterImage::FillColor(std::uint32_t color)
{
    if (!bits)
        return;
    // One row pixel by pixel, then whole-row copies (padding travels with it).
    unsigned char* top = Row(0);
    for (std::int32_t x = 0; x < width; ++x)
        StoreColor(top + std::ptrdiff_t(x) * bytesPerPixel, bytesPerPixel, color);
    for (std::int32_t i = 1; i < height; ++i)
        std::memcpy(Row(i), top, std::size_t(stride));
}

void RasterImage::FillRect(const RECT& rect, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue, std::uint8_t alpha)
{
    FillRectColor(rect, (std::uint32_t(alpha) << 24) | (std::uint32_t(red) << 16) |
                            (std::uint32_t(green) << 8) | blue);
}

void RasterImage::FillRectColor(const RECT& rect, std::uint32_t color)
{
    // The bottom row is included and the right column is not.
    for (std::int32_t y = rect.top; y <= rect.bottom; ++y) {
        unsigned char* row = Row(y);
        for (std::int32_t x = rect.left; x < rect.right; ++x)
            StoreColor(row + std::ptrdiff_t(x) * bytesPerPixel, bytesPerPixel, color);
    }
}

BOOL RasterImage::DrawTo(RasterImage& destination, std::int32_t x, std::int32_t y) const
{
    return BitBlt(destination.memoryDC, x, y, destination.width, destination.height, memoryDC, 0,
                  0, SRCCOPY);
}

BOOL RasterImage::DrawToDC(HDC dc, const RECT& rect) const
{
    return BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  memoryDC, 0, 0, SRCCOPY);
}

bool RasterImage::MatchesKey(std::uint8_t keyRed, std::uint8_t keyGreen, std::uint8_t keyBlue,
                             std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return ((keyRed ^ red) + (keyGreen ^ green) + (keyBlue ^ blue)) == 0;
}

void RasterImage::CopyKeyed(const RasterImage& source, const RECT& rect, std::int32_t x,
                            std::int32_t y, std::uint8_t keyRed, std::uint8_t keyGreen,
                            std::uint8_t keyBlue)
{
    const std::int32_t sourceBytes = source.bytesPerPixel;
    for (std::int32_t r = rect.top; r < rect.bottom; ++r) {
        const unsigned char* sourceRow = source.Row(r);
        unsigned char* row = Row(y);
        for (std::int32_t c = 0; c < rect.right - rect.left; ++c) {
            const unsigned char* s = sourceRow + std::ptrdiff_t(rect.left + c) * sourceBytes;
            if (!MatchesKey(keyRed, keyGreen, keyBlue, s[2], s[1], s[0]))
                CopyPixel(row + std::ptrdiff_t(x + c) * bytesPerPixel, bytesPerPixel, s,
                          sourceBytes);
        }
        if (++y >= height)
            break;  // the rest of the rectangle would fall below the bottom edge
    }
}

void RasterImage::CopyCheckered(const RasterImage& source, const RECT& rect, std::int32_t x,
                                std::int32_t y)
{
    const std::int32_t sourceBytes = source.bytesPerPixel;
    for (std::int32_t r = rect.top; r < rect.bottom; ++r) {
        // Even destination rows take rectangle columns 0, 2, ...; odd rows 1, 3, ...
        const std::int32_t phase = y & 1;
        const unsigned char* sourceRow = source.Row(r);
        unsigned char* row = Row(y);
        for (std::int32_t c = phase; c < rect.right - rect.left; c += 2)
            CopyPixel(row + std::ptrdiff_t(x + c) * bytesPerPixel, bytesPerPixel,
                      sourceRow + std::ptrdiff_t(rect.left + c) * sourceBytes, sourceBytes);
        if (++y >= height)
            break;
    }
}

void RasterImage::SmoothDown()
{
    if (!bits)
        return;
    const std::int32_t rowBytes = width * bytesPerPixel;  // padding is left alone
    unsigned char* top = Row(0);
    for (std::int32_t b = 0; b < rowBytes; ++b)
        top[b] = static_cast<unsigned char>(top[b] >> 1);
    for (std::int32_t k = 1; k < height; ++k) {
        unsigned char* row = Row(k);
        const unsigned char* above = Row(k - 1);  // already smoothed in this pass
        for (std::int32_t b = 0; b < rowBytes; ++b)
            row[b] = static_cast<unsigned char>((row[b] + above[b]) >> 1);
    }
}

void RasterImage::SmoothUp()
{
    if (!bits)
        return;
    const std::int32_t rowBytes = width * bytesPerPixel;
    unsigned char* bottom = Row(height - 1);
    for (std::int32_t b = 0; b < rowBytes; ++b)
        bottom[b] = static_cast<unsigned char>(bottom[b] >> 1);
    for (std::int32_t k = height - 2; k >= 0; --k) {
        unsigned char* row = Row(k);
        const unsigned char* below = Row(k + 1);
        for (std::int32_t b = 0; b < rowBytes; ++b)
            row[b] = static_cast<unsigned char>((row[b] + below[b]) >> 1);
    }
}

void RasterImage::Darken(std::int32_t amount)
{
    // A negative amount brightens by its magnitude. The magnitude is taken only above -256, so
    // INT_MIN is never negated; anything of magnitude 256 or more changes no byte either way.
    if (amount < 0) {
        if (amount > -256)
            AddToEveryByte(-amount);
        return;
    }
    SubtractFromEveryByte(amount);
}

void RasterImage::Brighten(std::int32_t amount)
{
    if (amount < 0) {
        if (amount > -256)
            SubtractFromEveryByte(-amount);
        return;
    }
    AddToEveryByte(amount);
}

void RasterImage::SubtractFromEveryByte(std::int32_t amount)
{
    if (!bits || amount >= 256)
        return;  // every byte is below 256: none would change
    const std::int32_t rowBytes = width * bytesPerPixel;
    for (std::int32_t k = 0; k < height; ++k) {
        unsigned char* row = Row(k);
        for (std::int32_t b = 0; b < rowBytes; ++b) {
            // A byte that would drop below 0 keeps its value rather than clamping to 0.
            if (row[b] >= amount)
                row[b] = static_cast<unsigned char>(row[b] - amount);
        }
    }
}

void RasterImage::AddToEveryByte(std::int32_t amount)
{
    if (!bits || amount >= 256)
        return;  // no byte could take 256 or more and stay in range
    const std::int32_t rowBytes = width * bytesPerPixel;
    for (std::int32_t k = 0; k < height; ++k) {
        unsigned char* row = Row(k);
        for (std::int32_t b = 0; b < rowBytes; ++b) {
            // A byte that would pass 255 keeps its value rather than clamping to 255.
            if (row[b] + amount <= 255)
                row[b] = static_cast<unsigned char>(row[b] + amount);
        }
    }
}
