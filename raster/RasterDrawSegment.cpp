// Line segments: clipped with region codes, then drawn by a pointer-stepping loop for
// horizontal, vertical and diagonal runs, or by stepping the major axis with a 16.16 error term.
#include "raster/RasterCombine.h"
#include "raster/RasterOperations.h"
#include "raster/RasterView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace raster;

namespace {

const int CODE_LEFT = 1, CODE_RIGHT = 2, CODE_ABOVE = 4, CODE_BELOW = 8;

int RegionCode(int64_t x, int64_t y, const RasterView& v) {
    int code = 0;
    if (x < 0)
        code |= CODE_LEFT;
    else if (x >= v.mWidth)
        code |= CODE_RIGHT;
    if (y < 0)
        code |= CODE_ABOVE;
    else if (y >= v.mHeight)
        code |= CODE_BELOW;
    return code;
}

// a * b / c truncated toward zero; in double because a * b can exceed 64 bits.
int64_t Part(int64_t a, int64_t b, int64_t c) { return int64_t(std::trunc(double(a) * double(b) / double(c))); }

// Moves the ends onto the bitmap; false when the segment lies wholly outside.
bool ClipSegment(const RasterView& v, int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2) {
    int c1 = RegionCode(x1, y1, v), c2 = RegionCode(x2, y2, v);
    for (int guard = 0; guard < 8; ++guard) {
        if ((c1 | c2) == 0) return true;
        if (c1 & c2) return false;
        int c = c1 ? c1 : c2;
        int64_t x, y;
        int64_t xmax = v.mWidth - 1, ymax = v.mHeight - 1;
        if (c & CODE_ABOVE) {
            x = x1 + Part(x2 - x1, 0 - y1, y2 - y1);
            y = 0;
        } else if (c & CODE_BELOW) {
            x = x1 + Part(x2 - x1, ymax - y1, y2 - y1);
            y = ymax;
        } else if (c & CODE_LEFT) {
            y = y1 + Part(y2 - y1, 0 - x1, x2 - x1);
            x = 0;
        } else {
            y = y1 + Part(y2 - y1, xmax - x1, x2 - x1);
            x = xmax;
        }
        if (c == c1) {
            x1 = x;
            y1 = y;
            c1 = RegionCode(x1, y1, v);
        } else {
            x2 = x;
            y2 = y;
            c2 = RegionCode(x2, y2, v);
        }
    }
    return (c1 | c2) == 0;
}

// Horizontal, vertical and diagonal runs: count pixels from p, step pixels apart.
template <class Combiner>
struct RunLoop {
    static void Run(RasterPixel* p, ptrdiff_t step, int count, RasterPixel colour, int w) {
        for (int i = 0; i < count; ++i, p += step) *p = Combiner::Apply(*p, colour, w);
    }
};

struct SlopeJob {
    RasterView mView;
    int64_t mMajor1, mMinor1, mMajor2, mMinor2;  // ends, major axis first
    bool mMajorIsX;
};

inline RasterPixel* SlopePixel(const SlopeJob& job, int64_t major, int64_t minor) {
    return job.mMajorIsX ? job.mView.At(int(major), int(minor)) : job.mView.At(int(minor), int(major));
}

// Other slopes, aliased: the minor coordinate rounds to the nearest pixel.
template <class Combiner>
struct SlopeLoop {
    static void Run(const SlopeJob& job, RasterPixel colour, int w) {
        int64_t n = std::llabs(job.mMajor2 - job.mMajor1);
        int64_t dir = job.mMajor2 > job.mMajor1 ? 1 : -1;
        int64_t slope = (job.mMinor2 - job.mMinor1) * 65536 / n;
        int64_t pos = job.mMinor1 * 65536 + 32768;
        for (int64_t i = 0; i <= n; ++i, pos += slope) {
            RasterPixel* p = SlopePixel(job, job.mMajor1 + i * dir, pos >> 16);
            *p = Combiner::Apply(*p, colour, w);
        }
    }
};

// Other slopes, anti-aliased, drawn from both ends toward the middle so the segment is
// symmetric. The two pixels straddling the exact position share the weight: with f the error
// term, the lower one gets 256 - f / 256 and the upper one f / 256 + 1 (in 1/256 of w).
template <class Combiner>
struct SlopeAntiAliasLoop {
    static void Plot(const SlopeJob& job, int64_t major, int64_t pos, RasterPixel colour, int w) {
        int64_t minor = pos >> 16;
        int f = int(pos & 0xFFFF);
        int lowWeight = w * (256 - f / 256) / 256;
        int highWeight = w * (f / 256 + 1) / 256;
        int64_t minorLimit = job.mMajorIsX ? job.mView.mHeight : job.mView.mWidth;
        if (lowWeight != 0 && minor >= 0 && minor < minorLimit) {
            RasterPixel* p = SlopePixel(job, major, minor);
            *p = Combiner::Apply(*p, colour, lowWeight);
        }
        if (highWeight != 0 && minor + 1 >= 0 && minor + 1 < minorLimit) {
            RasterPixel* p = SlopePixel(job, major, minor + 1);
            *p = Combiner::Apply(*p, colour, highWeight);
        }
    }

    static void Run(const SlopeJob& job, RasterPixel colour, int w) {
        int64_t n = std::llabs(job.mMajor2 - job.mMajor1);
        int64_t dir = job.mMajor2 > job.mMajor1 ? 1 : -1;
        int64_t slope = (job.mMinor2 - job.mMinor1) * 65536 / n;
        for (int64_t i = 0; i <= n - i; ++i) {
            Plot(job, job.mMajor1 + i * dir, job.mMinor1 * 65536 + i * slope, colour, w);
            if (i != n - i) Plot(job, job.mMajor2 - i * dir, job.mMinor2 * 65536 - i * slope, colour, w);
        }
    }
};

}  // namespace

void RasterDrawSegment(RasterBitmap* dest, int x1, int y1, int x2, int y2, RasterPixel colour, float opacity,
                       uint32_t mode, bool antiAlias) {
    RasterView v = RasterMakeView(dest);
    if (v.IsEmpty() || opacity == 0.0f) return;
    uint32_t op = mode & BLIT_OPERATION_MASK;
    int weight = RasterWeight(opacity);
    if (weight == 0 || (op == BlitCopy && weight < 0)) return;

    int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (!ClipSegment(v, ax, ay, bx, by)) return;

    int64_t dx = bx - ax, dy = by - ay;
    if (dx == 0 || dy == 0 || std::llabs(dx) == std::llabs(dy)) {
        ptrdiff_t step = (dx > 0 ? 1 : (dx < 0 ? -1 : 0)) + (dy > 0 ? v.mStride : (dy < 0 ? -v.mStride : 0));
        int count = int(std::max(std::llabs(dx), std::llabs(dy))) + 1;
        DispatchConstant<RunLoop>(mode, weight, v.At(int(ax), int(ay)), step, count, colour, weight);
        return;
    }

    SlopeJob job =
        std::llabs(dx) > std::llabs(dy) ? SlopeJob{v, ax, ay, bx, by, true} : SlopeJob{v, ay, ax, by, bx, false};
    if (antiAlias)
        DispatchCombine<SlopeAntiAliasLoop>(mode, weight, false, job, colour, weight);
    else
        DispatchConstant<SlopeLoop>(mode, weight, job, colour, weight);
}
