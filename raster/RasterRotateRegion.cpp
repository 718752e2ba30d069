// Rotated copies. Each destination pixel centre is mapped back into the source by the inverse
// rotation about the pivot (source rectangle centre plus the centre offset); the walk along
// rows and columns is incremental in 16.16 fixed point.
#include "raster/RasterCombine.h"
#include "raster/RasterOperations.h"
#include "raster/RasterSampling.h"
#include "raster/RasterView.h"

#include <cmath>

using namespace raster;

namespace {

const double FIXED_ONE = 65536.0;
// Source coordinates beyond this (in pixels) would overflow the 16.16 walk.
const double MAX_WALK = double(int64_t(1) << 40);

struct RotateJob {
    RasterView mDst;
    int mX0, mY0, mX1, mY1;  // destination pixels to visit
    // Source coordinate (16.16) of the centre of destination pixel (mX0, mY0) and its steps.
    int64_t mStartX, mStartY;
    int64_t mRowStepX, mRowStepY;  // per pixel along a row
    int64_t mColStepX, mColStepY;  // per row
    SampleSource mSrc;
};

// Nearest: the pixel containing the mapped point.
struct RotateNearest {
    static bool Sample(const SampleSource& src, int64_t x, int64_t y, RasterPixel& out) {
        return NearestSampler::Sample(src, x, y, out);
    }
};

// Bilinear: points inside the allowed area blend the four pixels around it (pixel centres at
// +0.5); neighbours beyond the area's edges fall back to the edge pixels.
struct RotateBilinear {
    static bool Sample(const SampleSource& src, int64_t x, int64_t y, RasterPixel& out) {
        if (x < int64_t(src.mX0) << 16 || y < int64_t(src.mY0) << 16 || x >= int64_t(src.mX1) << 16 ||
            y >= int64_t(src.mY1) << 16)
            return false;
        x -= 32768;
        y -= 32768;
        if (x < int64_t(src.mX0) << 16) x = int64_t(src.mX0) << 16;
        if (y < int64_t(src.mY0) << 16) y = int64_t(src.mY0) << 16;
        return BilinearSampler::Sample(src, x, y, out);
    }
};

template <class Sampler, class Combiner>
void RotateRows(const RotateJob& job, int w) {
    int64_t lineX = job.mStartX, lineY = job.mStartY;
    for (int y = job.mY0; y < job.mY1; ++y, lineX += job.mColStepX, lineY += job.mColStepY) {
        RasterPixel* row = job.mDst.Row(y);
        int64_t fx = lineX, fy = lineY;
        for (int x = job.mX0; x < job.mX1; ++x, fx += job.mRowStepX, fy += job.mRowStepY) {
            RasterPixel s;
            if (Sampler::Sample(job.mSrc, fx, fy, s)) row[x] = Combiner::Apply(row[x], s, w);
        }
    }
}

template <class Sampler>
struct RotateWith {
    template <class Combiner>
    struct Loop {
        static void Run(const RotateJob& job, int w) { RotateRows<Sampler, Combiner>(job, w); }
    };
};

bool Finite(double v) { return std::isfinite(v) && std::fabs(v) < 1e9; }

}  // namespace

void RasterRotateRegion(RasterBitmap* dest, const RasterBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                        float srcy, float srcw, float srch, float angle, bool clipToSource, float opacity,
                        uint32_t mode, float centreOffsetX, float centreOffsetY) {
    if (!dest || !src || dstw == 0 || dsth == 0 || opacity == 0.0f) return;
    RasterView dv = RasterMakeView(dest);
    RasterView sv = RasterMakeView(src);
    if (dv.IsEmpty() || sv.IsEmpty()) return;

    double sx = srcx, sy = srcy, sw = srcw, sh = srch;
    double dx = dstx, dy = dsty, dw = dstw, dh = dsth;
    if (!Finite(sx) || !Finite(sy) || !Finite(sw) || !Finite(sh) || !Finite(angle) || !Finite(centreOffsetX) ||
        !Finite(centreOffsetY))
        return;
    // Negative destination extents mirror, as in the scaled copy.
    if (dw < 0) {
        dx += dw;
        dw = -dw;
        sx += sw;
        sw = -sw;
    }
    if (dh < 0) {
        dy += dh;
        dh = -dh;
        sy += sh;
        sh = -sh;
    }
    double scaleX = sw / dw, scaleY = sh / dh;

    RotateJob job;
    job.mDst = dv;
    job.mSrc.mView = sv;
    job.mSrc.mX1 = sv.mWidth;
    job.mSrc.mY1 = sv.mHeight;
    if (clipToSource) {
        double left = std::fmin(sx, sx + sw), right = std::fmax(sx, sx + sw);
        double top = std::fmin(sy, sy + sh), bottom = std::fmax(sy, sy + sh);
        job.mSrc.mX0 = int(std::fmax(0.0, std::floor(left)));
        job.mSrc.mY0 = int(std::fmax(0.0, std::floor(top)));
        job.mSrc.mX1 = int(std::fmin(double(sv.mWidth), std::ceil(right)));
        job.mSrc.mY1 = int(std::fmin(double(sv.mHeight), std::ceil(bottom)));
    }
    if (job.mSrc.mX0 >= job.mSrc.mX1 || job.mSrc.mY0 >= job.mSrc.mY1) return;

    // Destination pixels to visit: the rectangle clipped to the bitmap.
    job.mX0 = int(std::fmax(dx, 0.0));
    job.mY0 = int(std::fmax(dy, 0.0));
    job.mX1 = int(std::fmax(0.0, std::fmin(dx + dw, double(dv.mWidth))));
    job.mY1 = int(std::fmax(0.0, std::fmin(dy + dh, double(dv.mHeight))));
    if (job.mX0 >= job.mX1 || job.mY0 >= job.mY1) return;

    // source = pivot + S * R(-angle) * (d - pivot'), where pivot' is the pivot's place in the
    // destination when unrotated; at angle 0 this is the plain scaled mapping.
    double pivotX = sx + sw / 2 + centreOffsetX, pivotY = sy + sh / 2 + centreOffsetY;
    double destPivotX = scaleX != 0 ? dx + (pivotX - sx) / scaleX : dx + dw / 2;
    double destPivotY = scaleY != 0 ? dy + (pivotY - sy) / scaleY : dy + dh / 2;
    double c = std::cos(double(angle)), s = std::sin(double(angle));
    double ux = job.mX0 + 0.5 - destPivotX, uy = job.mY0 + 0.5 - destPivotY;
    double startX = pivotX + scaleX * (c * ux + s * uy);
    double startY = pivotY + scaleY * (-s * ux + c * uy);
    // Keep the whole 16.16 walk far from overflow.
    double reach = std::fabs(scaleX) * (job.mX1 - job.mX0 + job.mY1 - job.mY0) +
                   std::fabs(scaleY) * (job.mX1 - job.mX0 + job.mY1 - job.mY0);
    if (!Finite(startX) || !Finite(startY) || !Finite(destPivotX) || !Finite(destPivotY) ||
        std::fabs(startX) + std::fabs(startY) + reach > MAX_WALK)
        return;
    job.mStartX = int64_t(std::floor(startX * FIXED_ONE));
    job.mStartY = int64_t(std::floor(startY * FIXED_ONE));
    job.mRowStepX = std::llround(scaleX * c * FIXED_ONE);
    job.mRowStepY = std::llround(-scaleY * s * FIXED_ONE);
    job.mColStepX = std::llround(scaleX * s * FIXED_ONE);
    job.mColStepY = std::llround(scaleY * c * FIXED_ONE);

    uint32_t op = mode & BLIT_OPERATION_MASK;
    int weight = RasterWeight(opacity);
    if (weight == 0 || (op == BlitCopy && weight < 0)) return;
    if (mode & BlitFilterBilinear)
        DispatchCombine<RotateWith<RotateBilinear>::Loop>(mode, weight, true, job, weight);
    else
        DispatchCombine<RotateWith<RotateNearest>::Loop>(mode, weight, true, job, weight);
}
