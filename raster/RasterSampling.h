// Internal: source samplers for the scaled and rotated copies. A sampler reads the source at a
// 16.16 fixed-point coordinate and reports false for samples outside its bounds, which the
// loops skip. The samplers are template arguments of the loops, next to the combiner.
#pragma once

#include "raster/RasterPixel.h"
#include "raster/RasterView.h"

#include <cstdint>

namespace raster {

// Source view plus the allowed area [mX0, mX1) x [mY0, mY1) in whole pixels.
struct SampleSource {
    RasterView mView;
    int mX0 = 0, mY0 = 0, mX1 = 0, mY1 = 0;
};

// The pixel under the coordinate's integer part.
struct NearestSampler {
    static bool Sample(const SampleSource& src, int64_t fx, int64_t fy, RasterPixel& out) {
        int64_t ix = fx >> 16, iy = fy >> 16;
        if (ix < src.mX0 || iy < src.mY0 || ix >= src.mX1 || iy >= src.mY1) return false;
        out = *src.mView.At(int(ix), int(iy));
        return true;
    }
};

// Blends two pixels per channel: (a * (65536 - f) + b * f) >> 16.
inline RasterPixel LerpPixel(RasterPixel a, RasterPixel b, uint32_t f) {
    RasterPixel out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= ((ca * (65536 - f) + cb * f) >> 16) << shift;
    }
    return out;
}

// Four neighbours weighted by the 16-bit fractions fx, fy: (65536 - fx - fy + fx*fy/65536),
// (fx - fx*fy/65536), (fy - fx*fy/65536) and fx*fy/65536, which sum to 65536. At the last
// column of the bounds only the vertical pair is blended, at the last row only the horizontal
// pair, and the corner pixel is taken as is.
struct BilinearSampler {
    static bool Sample(const SampleSource& src, int64_t fx, int64_t fy, RasterPixel& out) {
        int64_t ix = fx >> 16, iy = fy >> 16;
        if (ix < src.mX0 || iy < src.mY0 || ix >= src.mX1 || iy >= src.mY1) return false;
        uint32_t fracX = uint32_t(fx & 0xFFFF), fracY = uint32_t(fy & 0xFFFF);
        const RasterPixel* p = src.mView.At(int(ix), int(iy));
        bool lastCol = ix + 1 >= src.mX1, lastRow = iy + 1 >= src.mY1;
        if (lastCol && lastRow)
            out = p[0];
        else if (lastCol)
            out = LerpPixel(p[0], p[src.mView.mStride], fracY);
        else if (lastRow)
            out = LerpPixel(p[0], p[1], fracX);
        else {
            uint32_t xy = uint32_t((uint64_t(fracX) * fracY) >> 16);
            uint32_t w00 = 65536 - fracX - fracY + xy, w10 = fracX - xy, w01 = fracY - xy, w11 = xy;
            const RasterPixel* q = p + src.mView.mStride;
            RasterPixel r = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t c = ((p[0] >> shift) & 0xFF) * w00 + ((p[1] >> shift) & 0xFF) * w10 +
                             ((q[0] >> shift) & 0xFF) * w01 + ((q[1] >> shift) & 0xFF) * w11;
                r |= (c >> 16) << shift;
            }
            out = r;
        }
        return true;
    }
};

// Strong downscales: a (2 * RADIUS + 1) square around the sample. Every off-centre weight comes
// out equal to the centre's (65536) for steps of 1.7 and more, so the kernel is a box average
// over the neighbours inside the bounds.
template <int RADIUS>
struct BoxSampler {
    static bool Sample(const SampleSource& src, int64_t fx, int64_t fy, RasterPixel& out) {
        int64_t ix = fx >> 16, iy = fy >> 16;
        if (ix < src.mX0 || iy < src.mY0 || ix >= src.mX1 || iy >= src.mY1) return false;
        int x0 = int(ix) - RADIUS < src.mX0 ? src.mX0 : int(ix) - RADIUS;
        int x1 = int(ix) + RADIUS >= src.mX1 ? src.mX1 - 1 : int(ix) + RADIUS;
        int y0 = int(iy) - RADIUS < src.mY0 ? src.mY0 : int(iy) - RADIUS;
        int y1 = int(iy) + RADIUS >= src.mY1 ? src.mY1 - 1 : int(iy) + RADIUS;
        uint32_t sum[4] = {0, 0, 0, 0};
        for (int y = y0; y <= y1; ++y) {
            const RasterPixel* row = src.mView.Row(y);
            for (int x = x0; x <= x1; ++x) {
                RasterPixel p = row[x];
                sum[0] += p & 0xFF;
                sum[1] += (p >> 8) & 0xFF;
                sum[2] += (p >> 16) & 0xFF;
                sum[3] += p >> 24;
            }
        }
        uint32_t n = uint32_t((x1 - x0 + 1) * (y1 - y0 + 1));
        out = (sum[0] / n) | ((sum[1] / n) << 8) | ((sum[2] / n) << 16) | ((sum[3] / n) << 24);
        return true;
    }
};

}  // namespace raster
