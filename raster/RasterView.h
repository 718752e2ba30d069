// Internal: a bitmap seen as rows with a signed stride, so that every operation handles
// bottom-up bitmaps by walking rows backwards instead of special-casing them.
#pragma once

#include "raster/RasterBitmap.h"

#include <cstddef>
#include <cstdint>

struct RasterView {
    RasterPixel* mpOrigin = nullptr;  // row 0 as the caller counts rows
    ptrdiff_t mStride = 0;            // pixels from one row to the next, negative for bottom-up
    int mWidth = 0;
    int mHeight = 0;

    bool IsEmpty() const { return !mpOrigin || mWidth <= 0 || mHeight <= 0; }
    RasterPixel* Row(int y) const { return mpOrigin + y * mStride; }
    RasterPixel* At(int x, int y) const { return mpOrigin + y * mStride + x; }
};

inline RasterView RasterMakeView(const RasterBitmap* bitmap) {
    RasterView v;
    if (!bitmap) return v;
    RasterPixel* pixels = bitmap->GetPixelData();
    int w = bitmap->GetWidth();
    int h = bitmap->GetHeight();
    int span = bitmap->GetRowSpan();
    if (!pixels || w <= 0 || h <= 0 || span < w) return v;
    v.mWidth = w;
    v.mHeight = h;
    if (bitmap->IsBottomUp()) {
        v.mpOrigin = pixels + ptrdiff_t(h - 1) * span;
        v.mStride = -ptrdiff_t(span);
    } else {
        v.mpOrigin = pixels;
        v.mStride = span;
    }
    return v;
}

// trunc(opacity * 256), limited to -256..256 so that nonsense opacities stay harmless.
inline int RasterWeight(float opacity) {
    float f = opacity * 256.0f;
    if (!(f == f)) return 0;
    if (f >= 256.0f) return 256;
    if (f <= -256.0f) return -256;
    return int(f);
}
