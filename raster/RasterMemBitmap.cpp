#include "raster/RasterMemBitmap.h"

#include <cstdlib>

namespace {

const int64_t MAX_BLOCK_BYTES = 0x7FFFFFFF - 63;  // allocated is an int32

int AlignMaskFor(int rowAlignment) {
    if (rowAlignment < 2) return 0;
    int lowest = rowAlignment & -rowAlignment;
    if (lowest > 16 || lowest <= 0)  // <= 0: the sign bit of INT_MIN
        lowest = 16;
    return lowest - 1;
}

}  // namespace

RasterMemBitmap::RasterMemBitmap(int w, int h, int rowAlignment) : mAlignMask(AlignMaskFor(rowAlignment)) {
    if (w != 0 || h != 0) ResizeTo(w, h);
}

RasterMemBitmap::~RasterMemBitmap() { std::free(mpBuffer); }

RasterPixel* RasterMemBitmap::GetPixelData() const {
    if (!mpBuffer) return nullptr;
    uintptr_t p = (reinterpret_cast<uintptr_t>(mpBuffer) + 63) & ~uintptr_t(63);
    return reinterpret_cast<RasterPixel*>(p);
}

bool RasterMemBitmap::ResizeTo(int w, int h) {
    if (w == mWidth && h == mHeight) return false;

    mWidth = w;
    mHeight = h;
    // Negative sizes are treated as empty; 64-bit arithmetic keeps huge sizes from wrapping.
    int64_t rowSpan = (int64_t(w) + mAlignMask) & ~int64_t(mAlignMask);
    int64_t need = (w > 0 && h > 0) ? int64_t(h) * rowSpan * 4 : 0;

    if (need > MAX_BLOCK_BYTES) {
        std::free(mpBuffer);
        mpBuffer = nullptr;
        mAllocated = 0;
    } else if (need > 0 && !mpBuffer) {
        mpBuffer = static_cast<uint8_t*>(std::malloc(size_t(need) + 63));
        mAllocated = mpBuffer ? int32_t(need) : 0;
    } else if (need > 0 && mAllocated < need) {
        int64_t grown = (need / 4) * 5;  // 25 % margin for the next growth
        if (grown > MAX_BLOCK_BYTES) grown = need;
        void* p = std::realloc(mpBuffer, size_t(grown) + 63);
        if (p) {
            mpBuffer = static_cast<uint8_t*>(p);
            mAllocated = int32_t(grown);
        } else {
            std::free(mpBuffer);
            mpBuffer = static_cast<uint8_t*>(std::malloc(size_t(need) + 63));
            mAllocated = mpBuffer ? int32_t(need) : 0;
        }
    } else if (need <= 0) {
        std::free(mpBuffer);
        mpBuffer = nullptr;
        mAllocated = 0;
    }

    if (!mpBuffer) {
        mWidth = 0;
        mHeight = 0;
    }
    return true;
}
