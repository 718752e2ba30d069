// Circle outlines and arcs. The outline is traced in two passes: columns where the circle is
// flatter than 45 degrees (two points per column) and rows where it is steeper (two points per
// row). Each point lands on one pixel, or with anti-aliasing is shared by the two pixels
// straddling it. Small radii are stamped from built-in coverage squares.
#include "raster/RasterCombine.h"
#include "raster/RasterOperations.h"
#include "raster/RasterRingStamps.h"
#include "raster/RasterView.h"

#include <cmath>

using namespace raster;

namespace {

const double TWO_PI = 6.283185307179586;

struct RingJob {
    RasterView mView;
    double mCx, mCy, mR;
    double mMinAngle, mSpan;  // arc: angles from mMinAngle through mMinAngle + mSpan
    bool mWhole;
};

inline bool OnArc(const RingJob& job, double x, double y) {
    if (job.mWhole) return true;
    double a = std::atan2(y - job.mCy, x - job.mCx) - job.mMinAngle;
    a = std::fmod(a, TWO_PI);
    if (a < 0) a += TWO_PI;
    return a <= job.mSpan;
}

template <class Combiner>
inline void Blend(const RingJob& job, int64_t x, int64_t y, RasterPixel colour, int w) {
    if (w == 0 || x < 0 || y < 0 || x >= job.mView.mWidth || y >= job.mView.mHeight) return;
    RasterPixel* p = job.mView.At(int(x), int(y));
    *p = Combiner::Apply(*p, colour, w);
}

// Puts the outline point whose minor coordinate is `minor` (fractional) on the pixel grid.
// With anti-aliasing the lower pixel gets 256 - f / 256 and the upper f / 256 + 1 of the weight,
// f being the 16-bit fraction, as for segments.
template <class Combiner, bool ANTI_ALIAS>
inline void PlotPoint(const RingJob& job, bool minorIsY, int64_t major, double minor, RasterPixel colour, int w) {
    if (ANTI_ALIAS) {
        double base = std::floor(minor);
        int f = int((minor - base) * 65536.0);
        int64_t m = int64_t(base);
        int low = w * (256 - f / 256) / 256, high = w * (f / 256 + 1) / 256;
        if (minorIsY) {
            Blend<Combiner>(job, major, m, colour, low);
            Blend<Combiner>(job, major, m + 1, colour, high);
        } else {
            Blend<Combiner>(job, m, major, colour, low);
            Blend<Combiner>(job, m + 1, major, colour, high);
        }
    } else {
        int64_t m = int64_t(std::floor(minor + 0.5));
        if (minorIsY)
            Blend<Combiner>(job, major, m, colour, w);
        else
            Blend<Combiner>(job, m, major, colour, w);
    }
}

template <bool ANTI_ALIAS>
struct TraceWith {
    template <class Combiner>
    struct Loop {
        static void Run(const RingJob& job, RasterPixel colour, int w) {
            double diag = job.mR * 0.7071067811865476;
            // Columns within 45 degrees of the top and bottom; visible columns only.
            double lo = std::fmax(std::ceil(job.mCx - diag), 0.0);
            double hi = std::fmin(std::floor(job.mCx + diag), double(job.mView.mWidth - 1));
            for (double x = lo; x <= hi; x += 1.0) {
                double h = std::sqrt(std::fmax(job.mR * job.mR - (x - job.mCx) * (x - job.mCx), 0.0));
                if (OnArc(job, x, job.mCy - h))
                    PlotPoint<Combiner, ANTI_ALIAS>(job, true, int64_t(x), job.mCy - h, colour, w);
                if (h > 0 && OnArc(job, x, job.mCy + h))
                    PlotPoint<Combiner, ANTI_ALIAS>(job, true, int64_t(x), job.mCy + h, colour, w);
            }
            // Rows strictly within 45 degrees of the left and right, so no point is drawn twice.
            lo = std::fmax(std::floor(job.mCy - diag) + 1.0, 0.0);
            hi = std::fmin(std::ceil(job.mCy + diag) - 1.0, double(job.mView.mHeight - 1));
            for (double y = lo; y <= hi; y += 1.0) {
                double h = std::sqrt(std::fmax(job.mR * job.mR - (y - job.mCy) * (y - job.mCy), 0.0));
                if (OnArc(job, job.mCx - h, y))
                    PlotPoint<Combiner, ANTI_ALIAS>(job, false, int64_t(y), job.mCx - h, colour, w);
                if (h > 0 && OnArc(job, job.mCx + h, y))
                    PlotPoint<Combiner, ANTI_ALIAS>(job, false, int64_t(y), job.mCx + h, colour, w);
            }
        }
    };
};

template <class Combiner>
struct StampLoop {
    static void Run(const RasterView& v, int x0, int y0, int size, const uint8_t* coverage, RasterPixel colour, int w) {
        for (int j = 0; j < size; ++j) {
            for (int i = 0; i < size; ++i) {
                int c = coverage[j * size + i];
                int64_t x = int64_t(x0) + i, y = int64_t(y0) + j;
                if (c == 0 || x < 0 || y < 0 || x >= v.mWidth || y >= v.mHeight) continue;
                int pw = w * c / 255;
                if (pw != 0) {
                    RasterPixel* p = v.At(int(x), int(y));
                    *p = Combiner::Apply(*p, colour, pw);
                }
            }
        }
    }
};

// Common checks; false when nothing is to be drawn.
bool PrepareRing(RasterBitmap* dest, float cx, float cy, float r, float opacity, uint32_t mode, RingJob& job,
                 int& weight) {
    job.mView = RasterMakeView(dest);
    if (job.mView.IsEmpty() || opacity == 0.0f) return false;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || r <= 0.0f || std::fabs(cx) > 1e7f ||
        std::fabs(cy) > 1e7f || r > 1e7f)
        return false;
    weight = RasterWeight(opacity);
    if (weight == 0 || ((mode & BLIT_OPERATION_MASK) == BlitCopy && weight < 0)) return false;
    job.mCx = cx;
    job.mCy = cy;
    job.mR = r;
    job.mMinAngle = 0;
    job.mSpan = TWO_PI;
    job.mWhole = true;
    return true;
}

void Trace(const RingJob& job, RasterPixel colour, int weight, uint32_t mode, bool antiAlias) {
    if (antiAlias)
        DispatchCombine<TraceWith<true>::Loop>(mode, weight, false, job, colour, weight);
    else
        DispatchCombine<TraceWith<false>::Loop>(mode, weight, true, job, colour, weight);
}

}  // namespace

void RasterDrawRing(RasterBitmap* dest, float cx, float cy, float r, RasterPixel colour, float opacity, uint32_t mode,
                    bool antiAlias) {
    RingJob job;
    int weight = 0;
    if (!PrepareRing(dest, cx, cy, r, opacity, mode, job, weight)) return;
    for (const RingStamp& stamp : RING_STAMPS) {
        if (r == stamp.mRadius) {
            DispatchCombine<StampLoop>(mode, weight, false, job.mView, int(cx - r), int(cy - r), stamp.mSize,
                                       antiAlias ? stamp.mpAntiAliased : stamp.mpAliased, colour, weight);
            return;
        }
    }
    Trace(job, colour, weight, mode, antiAlias);
}

void RasterDrawArcSegment(RasterBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
                          RasterPixel colour, float opacity, uint32_t mode, bool antiAlias) {
    RingJob job;
    int weight = 0;
    if (!PrepareRing(dest, cx, cy, r, opacity, mode, job, weight) || !std::isfinite(minAngle) ||
        !std::isfinite(maxAngle))
        return;
    double lo = std::fmin(minAngle, maxAngle), hi = std::fmax(minAngle, maxAngle);
    job.mMinAngle = lo;
    job.mSpan = hi - lo;
    job.mWhole = job.mSpan >= TWO_PI;
    Trace(job, colour, weight, mode, antiAlias);
}
