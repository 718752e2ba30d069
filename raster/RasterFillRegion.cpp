// Rectangle fills and the channel clear.
#include "raster/RasterCombine.h"
#include "raster/RasterOperations.h"
#include "raster/RasterView.h"

using namespace raster;

namespace {

struct Rect {
    int mX0, mY0, mX1, mY1;
};

// Clips (x, y, w, h) to the view; false when nothing remains.
bool ClipRect(const RasterView& v, int x, int y, int w, int h, Rect& out) {
    int64_t x0 = x, y0 = y, x1 = int64_t(x) + w, y1 = int64_t(y) + h;
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > v.mWidth) x1 = v.mWidth;
    if (y1 > v.mHeight) y1 = v.mHeight;
    if (x0 >= x1 || y0 >= y1) return false;
    out = Rect{int(x0), int(y0), int(x1), int(y1)};
    return true;
}

template <class Combiner>
struct FillLoop {
    static void Run(const RasterView& v, const Rect& r, RasterPixel colour, int w) {
        for (int y = r.mY0; y < r.mY1; ++y) {
            RasterPixel* row = v.Row(y);
            for (int x = r.mX0; x < r.mX1; ++x) row[x] = Combiner::Apply(row[x], colour, w);
        }
    }
};

}  // namespace

void RasterFillRegion(RasterBitmap* dest, int x, int y, int w, int h, RasterPixel colour, float opacity,
                      uint32_t mode) {
    RasterView v = RasterMakeView(dest);
    if (v.IsEmpty()) return;
    // The colour's alpha is folded into the opacity here, so the loops run without BlitUseAlpha.
    if (mode & BlitUseAlpha) opacity *= float(RasterAlpha(colour)) * 0.003921569f;
    Rect r;
    if (!ClipRect(v, x, y, w, h, r) || opacity == 0.0f) return;
    uint32_t op = mode & BLIT_OPERATION_MASK;
    int weight = RasterWeight(opacity);
    if (weight == 0 || (op == BlitCopy && weight < 0)) return;
    DispatchConstant<FillLoop>(op, weight, v, r, colour, weight);
}

void RasterClearChannels(RasterBitmap* dest, int x, int y, int w, int h, RasterPixel andMask, RasterPixel orBits) {
    RasterView v = RasterMakeView(dest);
    Rect r;
    if (v.IsEmpty() || !ClipRect(v, x, y, w, h, r)) return;
    for (int row = r.mY0; row < r.mY1; ++row) {
        RasterPixel* p = v.Row(row);
        for (int col = r.mX0; col < r.mX1; ++col) p[col] = (p[col] & andMask) | orBits;
    }
}
