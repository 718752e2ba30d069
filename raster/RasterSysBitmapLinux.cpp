// System bitmap without a windowing system's drawing context: the pixels live in a heap
// block on a 64-byte boundary, rows padded to a multiple of 4 pixels as on Windows, and
// the window layer presents them itself.
#include "raster/RasterSysBitmap.h"

#include <cstdlib>

namespace {

const int64_t MAX_SECTION_BYTES = 0x7FFFFFFF;

}  // namespace

RasterSysBitmap::RasterSysBitmap(int w, int h) { ResizeTo(w, h); }

RasterSysBitmap::~RasterSysBitmap() { std::free(mSection); }

bool RasterSysBitmap::ResizeTo(int w, int h) {
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (w == mWidth && h == mHeight) return false;

    mWidth = w;
    mHeight = h;
    // Shrinking reuses the pixels and keeps the old row span.
    if (w > 0 && h > 0 && mpPixels && w <= mAllocatedWidth && h <= mAllocatedHeight) return true;

    std::free(mSection);
    mSection = nullptr;
    mpPixels = nullptr;
    mAllocatedWidth = 0;
    mAllocatedHeight = 0;
    if (w == 0 || h == 0) return false;

    int64_t allocWidth = (int64_t(w) + 3) & ~int64_t(3);
    int64_t bytes = allocWidth * h * 4;
    void* block = bytes <= MAX_SECTION_BYTES ? std::calloc(size_t(bytes) + 63, 1) : nullptr;
    if (!block) {
        mWidth = 0;
        mHeight = 0;
        return true;
    }
    mSection = block;
    mpPixels = reinterpret_cast<RasterPixel*>((reinterpret_cast<uintptr_t>(block) + 63) & ~uintptr_t(63));
    mAllocatedWidth = int32_t(allocWidth);
    mAllocatedHeight = h;
    return true;
}
