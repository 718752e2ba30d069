// Scaled copies: nearest, bilinear, or a box kernel for strong bilinear downscales. Source
// coordinates are walked in 16.16 fixed point.
#include "raster/RasterCombine.h"
#include "raster/RasterOperations.h"
#include "raster/RasterSampling.h"
#include "raster/RasterView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace raster;

namespace {

const int64_t FIXED_ONE = 65536;

// One axis of the walk: destination pixels [mFirst, mLast) map to source coordinates
// mStart + i * mStep (16.16), all inside the source.
struct Axis {
    int64_t mStart = 0;
    int64_t mStep = 0;
    int mFirst = 0;
    int mLast = 0;
};

// Finds the destination pixels whose sample lies in [0, size) pixels. The samples are
// monotonic, so the valid ones form one run.
bool ValidRun(int64_t start, int64_t step, int count, int size, Axis& axis) {
    int64_t limit = int64_t(size) * FIXED_ONE;
    int first = 0;
    while (first < count && !(start + first * step >= 0 && start + first * step < limit)) ++first;
    int last = first;
    while (last < count && start + last * step >= 0 && start + last * step < limit) ++last;
    axis.mStart = start;
    axis.mStep = step;
    axis.mFirst = first;
    axis.mLast = last;
    return first < last;
}

struct ScaleJob {
    RasterView mDst;
    int mDstX, mDstY;  // destination pixel of walk index 0
    Axis mX, mY;
    SampleSource mSrc;
};

template <class Sampler, class Combiner>
void ScaleRows(const ScaleJob& job, int w) {
    for (int j = job.mY.mFirst; j < job.mY.mLast; ++j) {
        int64_t fy = job.mY.mStart + j * job.mY.mStep;
        RasterPixel* row = job.mDst.Row(job.mDstY + j) + job.mDstX;
        int64_t fx = job.mX.mStart + job.mX.mFirst * job.mX.mStep;
        for (int i = job.mX.mFirst; i < job.mX.mLast; ++i, fx += job.mX.mStep) {
            RasterPixel s;
            if (Sampler::Sample(job.mSrc, fx, fy, s)) row[i] = Combiner::Apply(row[i], s, w);
        }
    }
}

template <class Sampler>
struct ScaleWith {
    template <class Combiner>
    struct Loop {
        static void Run(const ScaleJob& job, int w) { ScaleRows<Sampler, Combiner>(job, w); }
    };
};

bool NearInteger(float v) { return std::fabs(v - std::floor(v + 0.5f)) <= 0.03f; }

bool Finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Source coordinates beyond this (in pixels) would overflow the 16.16 walk; no real bitmap
// comes near it.
const double MAX_WALK = double(int64_t(1) << 40);

}  // namespace

void RasterScaleRegion(RasterBitmap* dest, const RasterBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                       float srcy, float srcw, float srch, float opacity, uint32_t mode) {
    if (!dest || !src || dstw == 0 || dsth == 0 || opacity == 0.0f || !Finite(srcx, srcy, srcw, srch)) return;

    bool bilinear = (mode & BlitFilterBilinear) != 0;
    if (std::fabs(srcw - float(dstw)) < 0.001f && std::fabs(srch - float(dsth)) < 0.001f &&
        (!bilinear || (NearInteger(srcx) && NearInteger(srcy)))) {
        if (std::fabs(srcx) < 2e9f && std::fabs(srcy) < 2e9f)
            RasterCopyRegion(dest, src, dstx, dsty, int(srcx + 0.5f), int(srcy + 0.5f), dstw, dsth, opacity, mode);
        return;
    }

    RasterView dv = RasterMakeView(dest);
    RasterView sv = RasterMakeView(src);
    if (dv.IsEmpty() || sv.IsEmpty()) return;

    // Negative destination extents mirror: walk the source backwards from its far edge.
    double sx = srcx, sy = srcy, sw = srcw, sh = srch;
    int64_t dx0 = dstx, dy0 = dsty, dw = dstw, dh = dsth;
    if (dw < 0) {
        dx0 += dw;
        dw = -dw;
        sx += sw;
        sw = -sw;
    }
    if (dh < 0) {
        dy0 += dh;
        dh = -dh;
        sy += sh;
        sh = -sh;
    }
    double stepX = sw / double(dw), stepY = sh / double(dh);

    SampleSource source;
    source.mView = sv;
    source.mX1 = int(std::fmax(0.0, std::fmin(double(sv.mWidth), std::ceil(std::fmax(sw, 0.0) + sx))));
    source.mY1 = int(std::fmax(0.0, std::fmin(double(sv.mHeight), std::ceil(std::fmax(sh, 0.0) + sy))));
    if (source.mX1 <= 0 || source.mY1 <= 0) return;

    // Clip the destination, advancing the source by the clipped amount.
    if (dx0 < 0) {
        sx -= double(dx0) * stepX;
        dw += dx0;
        dx0 = 0;
    }
    if (dy0 < 0) {
        sy -= double(dy0) * stepY;
        dh += dy0;
        dy0 = 0;
    }
    if (dw > dv.mWidth - dx0) dw = dv.mWidth - dx0;
    if (dh > dv.mHeight - dy0) dh = dv.mHeight - dy0;
    if (dw <= 0 || dh <= 0) return;
    if (std::fabs(sx) + std::fabs(stepX) * double(dw) > MAX_WALK ||
        std::fabs(sy) + std::fabs(stepY) * double(dh) > MAX_WALK)
        return;

    ScaleJob job;
    job.mDst = dv;
    job.mDstX = int(dx0);
    job.mDstY = int(dy0);
    job.mSrc = source;
    int64_t fixedStepX = int64_t(stepX * FIXED_ONE), fixedStepY = int64_t(stepY * FIXED_ONE);
    if (!ValidRun(int64_t(std::floor(sx * FIXED_ONE)), fixedStepX, int(dw), sv.mWidth, job.mX) ||
        !ValidRun(int64_t(std::floor(sy * FIXED_ONE)), fixedStepY, int(dh), sv.mHeight, job.mY))
        return;

    uint32_t op = mode & BLIT_OPERATION_MASK;
    int weight = RasterWeight(opacity);
    if (weight == 0 || (op == BlitCopy && weight < 0)) return;

    if (!bilinear) {
        if ((mode & (BLIT_OPERATION_MASK | BlitUseAlpha)) == BlitCopy && weight == 128)
            ScaleRows<NearestSampler, CombineCopyHalf>(job, weight);
        else
            DispatchCombine<ScaleWith<NearestSampler>::Loop>(mode, weight, true, job, weight);
        return;
    }
    if (std::fabs(stepX) >= 1.7 && std::fabs(stepY) >= 1.7) {
        int64_t largest = std::max(std::llabs(fixedStepX), std::llabs(fixedStepY));
        if (largest <= 0x30000)
            DispatchCombine<ScaleWith<BoxSampler<1>>::Loop>(mode, weight, true, job, weight);
        else
            DispatchCombine<ScaleWith<BoxSampler<2>>::Loop>(mode, weight, true, job, weight);
        return;
    }
    DispatchCombine<ScaleWith<BilinearSampler>::Loop>(mode, weight, true, job, weight);
}
