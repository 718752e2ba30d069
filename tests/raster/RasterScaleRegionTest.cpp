// Scaled and rotated copies against simple references written here: fixed-point source walk,
// nearest or bilinear sample, box average for strong downscales.
#include "raster/RasterOperations.h"
#include "tests/raster/RasterTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>

namespace {

struct ScaleCase {
    int mDstX, mDstY, mDstW, mDstH;
    float mSrcX, mSrcY, mSrcW, mSrcH;
};

RasterPixel RefLerp(RasterPixel a, RasterPixel b, uint32_t f) {
    RasterPixel out = 0;
    for (int k = 0; k < 32; k += 8) out |= ((((a >> k) & 0xFF) * (65536 - f) + ((b >> k) & 0xFF) * f) >> 16) << k;
    return out;
}

// Bilinear sample at 16.16 (fx, fy) within [0, clipW) x [0, clipH).
RasterPixel RefBilinear(const RasterBitmap& src, int64_t fx, int64_t fy, int clipW, int clipH) {
    int ix = int(fx >> 16), iy = int(fy >> 16);
    uint32_t u = uint32_t(fx & 0xFFFF), v = uint32_t(fy & 0xFFFF);
    bool lastCol = ix == clipW - 1, lastRow = iy == clipH - 1;
    RasterPixel p00 = PixelAt(src, ix, iy);
    if (lastCol && lastRow) return p00;
    if (lastCol) return RefLerp(p00, PixelAt(src, ix, iy + 1), v);
    if (lastRow) return RefLerp(p00, PixelAt(src, ix + 1, iy), u);
    uint32_t uv = uint32_t((uint64_t(u) * v) >> 16);
    uint32_t w[4] = {65536 - u - v + uv, u - uv, v - uv, uv};
    RasterPixel p[4] = {p00, PixelAt(src, ix + 1, iy), PixelAt(src, ix, iy + 1), PixelAt(src, ix + 1, iy + 1)};
    RasterPixel out = 0;
    for (int k = 0; k < 32; k += 8) {
        uint32_t sum = 0;
        for (int i = 0; i < 4; ++i) sum += ((p[i] >> k) & 0xFF) * w[i];
        out |= (sum >> 16) << k;
    }
    return out;
}

// Scaled copy of a case whose destination lies inside the bitmap (no clipping or mirroring).
void RefScale(RasterBitmap& dst, const RasterBitmap& src, const ScaleCase& c, uint32_t mode, float opacity) {
    int64_t startX = int64_t(std::floor(double(c.mSrcX) * 65536)),
            startY = int64_t(std::floor(double(c.mSrcY) * 65536));
    int64_t stepX = int64_t(double(c.mSrcW) / c.mDstW * 65536), stepY = int64_t(double(c.mSrcH) / c.mDstH * 65536);
    int clipW = std::min(src.GetWidth(), int(std::ceil(double(c.mSrcX) + c.mSrcW)));
    int clipH = std::min(src.GetHeight(), int(std::ceil(double(c.mSrcY) + c.mSrcH)));
    int w = int(opacity * 256);
    for (int j = 0; j < c.mDstH; ++j)
        for (int i = 0; i < c.mDstW; ++i) {
            int64_t fx = startX + i * stepX, fy = startY + j * stepY;
            if (fx < 0 || fy < 0 || (fx >> 16) >= clipW || (fy >> 16) >= clipH) continue;
            RasterPixel s = (mode & BlitFilterBilinear) ? RefBilinear(src, fx, fy, clipW, clipH)
                                                        : PixelAt(src, int(fx >> 16), int(fy >> 16));
            int x = c.mDstX + i, y = c.mDstY + j;
            SetPixelAt(dst, x, y, RefCombine(mode, PixelAt(dst, x, y), s, w, true));
        }
}

void ExpectSame(const RasterBitmap& a, const RasterBitmap& b, const char* what) {
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            ASSERT_EQ(PixelAt(a, x, y), PixelAt(b, x, y)) << what << " at " << x << "," << y;
}

const ScaleCase CASES[] = {
    {0, 0, 40, 30, 0.0f, 0.0f, 20.0f, 15.0f},   // 2x up
    {3, 2, 17, 9, 1.25f, 0.5f, 13.3f, 7.1f},    // odd factors, fractional start
    {1, 1, 25, 20, 0.0f, 0.0f, 24.0f, 17.0f},   // slight down
    {0, 0, 31, 29, 5.7f, 2.2f, 10.0f, 30.0f},   // runs past the source's bottom
    {2, 3, 12, 12, -3.0f, -2.5f, 12.0f, 6.0f},  // starts before the source
};

}  // namespace

// Nearest and bilinear samples, plain and with alpha, equal the reference walk.
TEST(RasterScaleRegion, MatchesReference) {
    std::mt19937 rng(2024);
    const uint32_t modes[] = {BlitCopy,
                              BlitCopy | BlitUseAlpha,
                              BlitAdd,
                              BlitCopy | BlitFilterBilinear,
                              BlitCopy | BlitUseAlpha | BlitFilterBilinear,
                              BlitMultiply | BlitFilterBilinear};
    for (const ScaleCase& c : CASES)
        for (uint32_t mode : modes)
            for (float opacity : {1.0f, 0.3f}) {
                ZeroBitmap src(24, 20), dst(48, 40), ref(48, 40);
                FillRandomAlpha(src, rng);
                FillRandomAlpha(dst, rng);
                RasterCopyWhole(&ref, &dst);
                RasterScaleRegion(&dst, &src, c.mDstX, c.mDstY, c.mDstW, c.mDstH, c.mSrcX, c.mSrcY, c.mSrcW, c.mSrcH,
                                  opacity, mode);
                RefScale(ref, src, c, mode, opacity);
                ExpectSame(dst, ref, "scaled copy");
            }
}

// Equal sizes take the unscaled copy from the rounded start; bilinear only near whole pixels.
TEST(RasterScaleRegion, UnscaledShortcut) {
    std::mt19937 rng(5);
    ZeroBitmap src(16, 16), a(16, 16), b(16, 16);
    FillRandom(src, rng);
    RasterScaleRegion(&a, &src, 0, 0, 10, 10, 2.6f, 3.4f, 10.0f, 10.0f, 1.0f, BlitCopy);
    RasterCopyRegion(&b, &src, 0, 0, 3, 3, 10, 10, 1.0f, BlitCopy);
    ExpectSame(a, b, "nearest shortcut");
    RasterScaleRegion(&a, &src, 0, 0, 10, 10, 3.02f, 2.99f, 10.0f, 10.0f, 1.0f, BlitCopy | BlitFilterBilinear);
    ExpectSame(a, b, "bilinear shortcut");
    // Off the whole-pixel grid the bilinear path blends neighbours.
    RasterScaleRegion(&a, &src, 0, 0, 10, 10, 3.5f, 3.0f, 10.0f, 10.0f, 1.0f, BlitCopy | BlitFilterBilinear);
    EXPECT_EQ(PixelAt(a, 0, 0), RefLerp(PixelAt(src, 3, 3), PixelAt(src, 4, 3), 32768));
}

// Negative destination extents mirror the image.
TEST(RasterScaleRegion, NegativeExtentsMirror) {
    ZeroBitmap src(4, 2), dst(8, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) SetPixelAt(src, x, y, RasterPixel(0xFF000000 | (y << 8) | x));
    // Destination x from 8 leftwards: 2x enlargement, mirrored horizontally. The walk starts at
    // the source's far edge (4.0), outside the source, so the first column is skipped.
    RasterScaleRegion(&dst, &src, 8, 0, -8, 4, 0.0f, 0.0f, 4.0f, 2.0f, 1.0f, BlitCopy);
    EXPECT_EQ(PixelAt(dst, 0, 0), 0u);
    for (int x = 1; x < 8; ++x) EXPECT_EQ(PixelAt(dst, x, 0), 0xFF000000 | RasterPixel((8 - x) / 2)) << x;
}

// Clipped scaled copies equal the visible part of the unclipped one (exact binary steps).
TEST(RasterScaleRegion, ClippingKeepsAlignment) {
    std::mt19937 rng(8);
    ZeroBitmap src(20, 20), big(60, 60), small(30, 30);
    FillRandom(src, rng);
    RasterScaleRegion(&big, &src, 20, 20, 40, 40, 0.0f, 0.0f, 20.0f, 20.0f, 1.0f, BlitCopy | BlitFilterBilinear);
    RasterScaleRegion(&small, &src, -10, -10, 40, 40, 0.0f, 0.0f, 20.0f, 20.0f, 1.0f, BlitCopy | BlitFilterBilinear);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(PixelAt(small, x, y), PixelAt(big, x + 30, y + 30)) << x << "," << y;
}

// Bilinear downscales by 2 or more average a box: 3 x 3 up to a factor of 3, then 5 x 5.
TEST(RasterScaleRegion, DownscaleKernel) {
    std::mt19937 rng(13);
    ZeroBitmap src(40, 40);
    FillRandom(src, rng);
    for (int factor : {2, 4}) {
        int radius = factor <= 3 ? 1 : 2;
        int n = 40 / factor;
        ZeroBitmap dst(n, n);
        RasterScaleRegion(&dst, &src, 0, 0, n, n, 0.0f, 0.0f, 40.0f, 40.0f, 1.0f, BlitCopy | BlitFilterBilinear);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                int cx = i * factor, cy = j * factor;
                RasterPixel expected = 0;
                for (int k = 0; k < 32; k += 8) {
                    uint32_t sum = 0, count = 0;
                    for (int y = cy - radius; y <= cy + radius; ++y)
                        for (int x = cx - radius; x <= cx + radius; ++x)
                            if (x >= 0 && y >= 0 && x < 40 && y < 40) {
                                sum += (PixelAt(src, x, y) >> k) & 0xFF;
                                ++count;
                            }
                    expected |= (sum / count) << k;
                }
                ASSERT_EQ(PixelAt(dst, i, j), expected) << factor << " at " << i << "," << j;
            }
    }
}

// Bottom-up bitmaps give the same image as top-down ones.
TEST(RasterScaleRegion, BottomUp) {
    std::mt19937 rng(21);
    ZeroBitmap srcTd(15, 11), dstTd(30, 25);
    BottomUpBitmap srcBu(15, 11), dstBu(30, 25);
    FillRandom(srcTd, rng);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 15; ++x) SetPixelAt(srcBu, x, y, PixelAt(srcTd, x, y));
    RasterScaleRegion(&dstTd, &srcTd, -2, 1, 33, 26, 0.5f, 0.0f, 14.0f, 11.0f, 0.7f, BlitCopy | BlitFilterBilinear);
    RasterScaleRegion(&dstBu, &srcBu, -2, 1, 33, 26, 0.5f, 0.0f, 14.0f, 11.0f, 0.7f, BlitCopy | BlitFilterBilinear);
    ExpectSame(dstBu, dstTd, "bottom-up");
    RasterRotateRegion(&dstTd, &srcTd, 0, 0, 15, 11, 0.0f, 0.0f, 15.0f, 11.0f, 0.3f, true, 1.0f,
                       BlitCopy | BlitFilterBilinear, 0.0f, 0.0f);
    RasterRotateRegion(&dstBu, &srcBu, 0, 0, 15, 11, 0.0f, 0.0f, 15.0f, 11.0f, 0.3f, true, 1.0f,
                       BlitCopy | BlitFilterBilinear, 0.0f, 0.0f);
    ExpectSame(dstBu, dstTd, "bottom-up rotated");
}

// Rotation by 0, a quarter and a half turn moves whole pixels (nearest sampling).
TEST(RasterRotateRegion, QuarterTurns) {
    std::mt19937 rng(17);
    ZeroBitmap src(4, 4), dst(4, 4);
    FillRandom(src, rng);
    const float pi = 3.14159265f;
    RasterRotateRegion(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 0.0f, true, 1.0f, BlitCopy, 0.0f, 0.0f);
    ExpectSame(dst, src, "angle 0");
    RasterRotateRegion(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, pi / 2, true, 1.0f, BlitCopy, 0.0f, 0.0f);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(dst, x, y), PixelAt(src, y, 3 - x)) << "clockwise quarter turn at " << x << "," << y;
    RasterRotateRegion(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, pi, true, 1.0f, BlitCopy, 0.0f, 0.0f);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(dst, x, y), PixelAt(src, 3 - x, 3 - y)) << "half turn at " << x << "," << y;
}

// Clipping to the source rectangle skips samples outside it; the destination is clipped.
TEST(RasterRotateRegion, ClipsToSource) {
    ZeroBitmap src(8, 8), dst(8, 8);
    for (int i = 0; i < 64; ++i) src.GetPixelData()[i] = 0xFFFFFFFF;
    // A 4 x 4 source rectangle turned by 45 degrees cannot reach the destination's corners.
    RasterRotateRegion(&dst, &src, 2, 2, 4, 4, 2.0f, 2.0f, 4.0f, 4.0f, 0.785398f, true, 1.0f, BlitCopy, 0.0f, 0.0f);
    EXPECT_EQ(PixelAt(dst, 2, 2), 0u);
    EXPECT_EQ(PixelAt(dst, 3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(dst, 1, 1), 0u);
    // Without the clip the whole source is available and the corners fill.
    RasterRotateRegion(&dst, &src, 2, 2, 4, 4, 2.0f, 2.0f, 4.0f, 4.0f, 0.785398f, false, 1.0f, BlitCopy, 0.0f, 0.0f);
    EXPECT_EQ(PixelAt(dst, 2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(dst, 1, 1), 0u);
    // Far outside and nonsense input draw nothing.
    RasterRotateRegion(&dst, &src, -100, -100, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, false, 1.0f, BlitCopy, 0.0f, 0.0f);
    RasterRotateRegion(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, NAN, 4.0f, 1.0f, false, 1.0f, BlitCopy, 0.0f, 0.0f);
    RasterScaleRegion(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, INFINITY, 4.0f, 1.0f, BlitCopy);
    RasterScaleRegion(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 1e30f, 4.0f, 1.0f, BlitCopy);
    RasterScaleRegion(&dst, &src, INT_MIN, INT_MIN, INT_MIN, 4, -1e30f, 0.0f, 4.0f, -1e30f, 1.0f, BlitAdd);
    RasterRotateRegion(&dst, &src, INT_MIN, 0, INT_MIN, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, false, 1.0f, BlitCopy, 0.0f,
                       0.0f);
    RasterRotateRegion(&dst, &src, 0, 0, 1, 1, 0.0f, 0.0f, 9e8f, 9e8f, 1.0f, false, 1.0f, BlitCopy, 0.0f, 0.0f);
}
