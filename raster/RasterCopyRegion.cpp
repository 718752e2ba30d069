// Unscaled copies: the editor's background (plain copy at 1.0), its controls (copy with source
// alpha at 1.0 and 0.25), and the whole-bitmap copy.
#include "raster/RasterAlphaCopy.h"
#include "raster/RasterCombine.h"
#include "raster/RasterOperations.h"
#include "raster/RasterView.h"

#include <cstring>

using namespace raster;

namespace {

struct RowRange {
    RasterPixel* mpDst;
    ptrdiff_t mDstStride;
    const RasterPixel* mpSrc;
    ptrdiff_t mSrcStride;
    int mWidth;
    int mHeight;
};

// The unscaled scanline loop: one instantiation per combiner.
template <class Combiner>
struct CopyRowsLoop {
    static void Run(const RowRange& r, int w) {
        RasterPixel* d = r.mpDst;
        const RasterPixel* s = r.mpSrc;
        for (int y = 0; y < r.mHeight; ++y, d += r.mDstStride, s += r.mSrcStride)
            for (int x = 0; x < r.mWidth; ++x) d[x] = Combiner::Apply(d[x], s[x], w);
    }
};

// A plain copy at full weight is a block move per row (memmove: source and destination may
// be the same bitmap).
template <>
struct CopyRowsLoop<CombineCopyFull> {
    static void Run(const RowRange& r, int) {
        RasterPixel* d = r.mpDst;
        const RasterPixel* s = r.mpSrc;
        for (int y = 0; y < r.mHeight; ++y, d += r.mDstStride, s += r.mSrcStride)
            std::memmove(d, s, size_t(r.mWidth) * sizeof(RasterPixel));
    }
};

// The copies with source alpha run a vector kernel over the whole region.
AlphaRegion AsAlphaRegion(const RowRange& r) {
    return AlphaRegion{r.mpDst, r.mDstStride, r.mpSrc, r.mSrcStride, r.mWidth, r.mHeight};
}

template <>
struct CopyRowsLoop<CombineCopyFullAlpha> {
    static void Run(const RowRange& r, int) { AlphaCopyRegion(AsAlphaRegion(r), 256); }
};

template <>
struct CopyRowsLoop<CombineCopyAlpha> {
    static void Run(const RowRange& r, int w) { AlphaCopyRegion(AsAlphaRegion(r), w); }
};

void CopyChannelRows(const RowRange& r, uint32_t mode) {
    int srcShift = int(mode & 3) * 8;
    int dstShift = int((mode >> 2) & 3) * 8;
    RasterPixel keepMask = ~(RasterPixel(0xFF) << dstShift);
    RasterPixel* d = r.mpDst;
    const RasterPixel* s = r.mpSrc;
    for (int y = 0; y < r.mHeight; ++y, d += r.mDstStride, s += r.mSrcStride)
        for (int x = 0; x < r.mWidth; ++x) d[x] = (d[x] & keepMask) | (((s[x] >> srcShift) & 0xFF) << dstShift);
}

}  // namespace

void RasterCopyRegion(RasterBitmap* dest, const RasterBitmap* src, int dstx, int dsty, int srcx, int srcy, int w, int h,
                      float opacity, uint32_t mode) {
    if (!dest || !src || opacity == 0.0f) return;
    // The views carry the sizes, so each bitmap is asked once: a control image is small
    // enough for the virtual calls to show.
    RasterView dv = RasterMakeView(dest);
    RasterView sv = RasterMakeView(src);
    if (dv.IsEmpty() || sv.IsEmpty()) return;

    // Work in 64 bits so that extreme coordinates cannot overflow.
    int64_t sx0 = srcx, sy0 = srcy;
    int64_t sx1 = sx0 + w, sy1 = sy0 + h;
    int64_t dx = dstx, dy = dsty;
    if (sx1 > sv.mWidth) sx1 = sv.mWidth;
    if (sy1 > sv.mHeight) sy1 = sv.mHeight;
    // A source start before the bitmap moves the destination along with it.
    if (sx0 < 0) {
        dx -= sx0;
        sx0 = 0;
    }
    if (sy0 < 0) {
        dy -= sy0;
        sy0 = 0;
    }
    // A destination start before the bitmap skips the hidden source part.
    if (dx < 0) {
        sx0 -= dx;
        dx = 0;
    }
    if (dy < 0) {
        sy0 -= dy;
        dy = 0;
    }
    int64_t width = sx1 - sx0, height = sy1 - sy0;
    if (width > dv.mWidth - dx) width = dv.mWidth - dx;
    if (height > dv.mHeight - dy) height = dv.mHeight - dy;
    if (width <= 0 || height <= 0) return;

    RowRange rows{dv.At(int(dx), int(dy)), dv.mStride, sv.At(int(sx0), int(sy0)), sv.mStride, int(width), int(height)};

    uint32_t op = mode & BLIT_OPERATION_MASK;
    if (op >= BlitChannelCopy) {
        CopyChannelRows(rows, mode);
        return;
    }
    if ((mode & (BLIT_OPERATION_MASK | BlitUseAlpha)) == BlitCopy) {
        if (opacity == 1.0f) {
            CopyRowsLoop<CombineCopyFull>::Run(rows, 256);
            return;
        }
        if (opacity == 0.5f) {
            CopyRowsLoop<CombineCopyHalf>::Run(rows, 128);
            return;
        }
    }

    int weight = RasterWeight(opacity);
    if (weight == 0 || (op == BlitCopy && weight < 0)) return;
    DispatchCombine<CopyRowsLoop>(mode, weight, true, rows, weight);
}

void RasterCopyWhole(RasterBitmap* dest, const RasterBitmap* src) {
    if (!dest || !src) return;
    int w = src->GetWidth(), h = src->GetHeight();
    dest->ResizeTo(w, h);
    if (dest->GetWidth() != w || dest->GetHeight() != h) return;
    RasterCopyRegion(dest, src, 0, 0, 0, 0, w, h, 1.0f, BlitCopy);
}
