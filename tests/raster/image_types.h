// The image types the loader tests run on: the heap-backed PlainImage everywhere and, in the
// Windows builds, the real RasterImage with its DIB section. Plus the state checks they share.
#pragma once

#include "image_file/image_file_reader.h"
#include "test_support/plain_image.h"
#ifdef _WIN32
#include "raster/raster_image.h"
#endif

#include <gtest/gtest.h>


#ifdef _WIN32
using LoaderImageTypes = ::testing::Types<PlainImage, RasterImage>;
#else
using LoaderImageTypes = ::testing::Types<PlainImage>;
#endif

template <class Image>
::testing::AssertionResult IsEmpty(const Image& image)
{
    if (image.GetBits() == nullptr && image.GetWidth() == 0 && image.GetHeight() == 0 &&
        image.GetBytesPerPixel() == 0 && image.GetStride() == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "not empty: " << image.GetWidth() << " x " << image.GetHeight() << " x "
           << image.GetBytesPerPixel() << ", stride " << image.GetStride();
}

// Empty, or created with sizes a loader may allocate and the stride rule holding.
template <class Image>
::testing::AssertionResult IsConsistent(const Image& image)
{
    if (image.GetBits() == nullptr)
        return IsEmpty(image);
    const std::int64_t w = image.GetWidth(), h = image.GetHeight(), bpp = image.GetBytesPerPixel();
    const std::int64_t stride = image.GetStride();
    if (w >= 1 && w <= ImageFile::MaxSide && h >= 1 && h <= ImageFile::MaxSide &&
        (bpp == 3 || bpp == 4) && stride == (w * bpp + 3) / 4 * 4 &&
        stride * h <= ImageFile::MaxPixelBytes && image.Row(h - 1) == image.GetBits() &&
        image.Row(0) == image.GetBits() + stride * (h - 1))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "inconsistent: " << w << " x " << h << " x " << bpp
                                         << ", stride " << stride;
}
