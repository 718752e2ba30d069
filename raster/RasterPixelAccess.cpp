// Single-pixel reads and writes.
#include "raster/RasterCombine.h"
#include "raster/RasterOperations.h"
#include "raster/RasterView.h"

using namespace raster;

namespace {

template <class Combiner>
struct PixelLoop {
    static void Run(RasterPixel* p, RasterPixel colour, int w) { *p = Combiner::Apply(*p, colour, w); }
};

}  // namespace

RasterPixel RasterReadPixel(const RasterBitmap* bitmap, int x, int y) {
    RasterView v = RasterMakeView(bitmap);
    if (v.IsEmpty() || x < 0 || y < 0 || x >= v.mWidth || y >= v.mHeight) return 0;
    return *v.At(x, y);
}

void RasterWritePixel(RasterBitmap* dest, int x, int y, RasterPixel colour, float opacity, uint32_t mode) {
    RasterView v = RasterMakeView(dest);
    if (v.IsEmpty() || x < 0 || y < 0 || x >= v.mWidth || y >= v.mHeight || opacity == 0.0f) return;
    uint32_t op = mode & BLIT_OPERATION_MASK;
    int weight = RasterWeight(opacity);
    if (weight == 0 || (op == BlitCopy && weight < 0)) return;
    DispatchConstant<PixelLoop>(op, weight, v.At(x, y), colour, weight);
}
