// Fills, channel clears, single pixels, segments, rings and arcs: fast paths against the
// general formula, clipping, and where the pixels land.
#include "raster/RasterOperations.h"
#include "tests/raster/RasterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

namespace {

typedef std::set<std::pair<int, int>> PixelSet;

// Pixels that differ from zero.
PixelSet Touched(const RasterBitmap& bmp) {
    PixelSet out;
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x)
            if (PixelAt(bmp, x, y) != 0) out.insert({x, y});
    return out;
}

}  // namespace

// Fill fast paths (store, halving, quartering) stay within the lowest bits of the formula;
// other weights follow it exactly.
TEST(RasterFillRegion, FastPathsAgainstGeneral) {
    std::mt19937 rng(31);
    struct {
        float mOpacity;
        int mTolerance;
    } cases[] = {{1.0f, 0}, {0.5f, 1}, {0.25f, 2}, {0.75f, 2}, {0.3f, 0}, {0.9f, 0}};
    for (auto c : cases) {
        ZeroBitmap bmp(23, 7), before(23, 7);
        FillRandom(bmp, rng);
        RasterCopyWhole(&before, &bmp);
        RasterPixel colour = RasterPixel(rng());
        RasterFillRegion(&bmp, 0, 0, 23, 7, colour, c.mOpacity, BlitCopy);
        int worst = 0;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 23; ++x) {
                RasterPixel expected = RefCombine(BlitCopy, PixelAt(before, x, y), colour, int(c.mOpacity * 256), true);
                worst = std::max(worst, ChannelDistance(PixelAt(bmp, x, y), expected));
            }
        EXPECT_LE(worst, c.mTolerance) << "opacity " << c.mOpacity;
    }
}

// With source alpha the colour's alpha scales the opacity; other operations use the formula.
TEST(RasterFillRegion, AlphaAndOperations) {
    ZeroBitmap bmp(2, 1);
    bmp.GetPixelData()[0] = 0xFF000000;
    // Alpha 64 of 255 at opacity 1.0 gives weight 64.
    RasterFillRegion(&bmp, 0, 0, 1, 1, 0x40FFFFFF, 1.0f, BlitCopy | BlitUseAlpha);
    EXPECT_EQ(bmp.GetPixelData()[0], 0xCE3F3F3Fu);  // quartering fast path
    // Transparent colour with source alpha draws nothing.
    RasterFillRegion(&bmp, 0, 0, 2, 1, 0x00FFFFFF, 1.0f, BlitCopy | BlitUseAlpha);
    EXPECT_EQ(bmp.GetPixelData()[1], 0u);
    RasterFillRegion(&bmp, 0, 0, 2, 1, 0x10101010, 1.0f, BlitAdd);
    EXPECT_EQ(bmp.GetPixelData()[1], 0x10101010u);
    RasterFillRegion(&bmp, 1, 0, 1, 1, 0xFF808080, 1.0f, BlitMultiply);
    EXPECT_EQ(bmp.GetPixelData()[1], 0x0F080808u);
}

// Fills clip to the bitmap at every edge and ignore nonsense sizes.
TEST(RasterFillRegion, Clipping) {
    BottomUpBitmap bmp(6, 5);
    RasterFillRegion(&bmp, -3, -2, 5, 4, 0xFFFFFFFF, 1.0f, BlitCopy);
    RasterFillRegion(&bmp, 4, 3, 100, 100, 0xFFFFFFFF, 1.0f, BlitCopy);
    RasterFillRegion(&bmp, 0x7FFFFFF0, 0, 0x7FFFFFFF, 1, 0xFFFFFFFF, 1.0f, BlitCopy);
    RasterFillRegion(&bmp, 0, 0, -5, 5, 0xFFFFFFFF, 1.0f, BlitCopy);
    RasterFillRegion(nullptr, 0, 0, 5, 5, 0xFFFFFFFF, 1.0f, BlitCopy);
    PixelSet expected;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            if ((x < 2 && y < 2) || (x >= 4 && y >= 3)) expected.insert({x, y});
    EXPECT_EQ(Touched(bmp), expected);
}

// The channel clear masks and sets bits inside the clipped rectangle only.
TEST(RasterClearChannels, MasksInsideRectangle) {
    ZeroBitmap bmp(4, 3);
    for (int i = 0; i < bmp.GetRowSpan() * 3; ++i) bmp.GetPixelData()[i] = 0xAABBCCDD;
    RasterClearChannels(&bmp, 1, -1, 10, 2, 0x00FFFFFF, 0x01000000);
    EXPECT_EQ(PixelAt(bmp, 0, 0), 0xAABBCCDDu);
    EXPECT_EQ(PixelAt(bmp, 1, 0), 0x01BBCCDDu);
    EXPECT_EQ(PixelAt(bmp, 3, 0), 0x01BBCCDDu);
    EXPECT_EQ(PixelAt(bmp, 1, 1), 0xAABBCCDDu);
}

// Pixels outside the bitmap read as 0 and ignore writes; writes do not apply source alpha.
TEST(RasterPixels, ReadAndWrite) {
    BottomUpBitmap bmp(3, 2);
    RasterWritePixel(&bmp, 2, 0, 0x11223344, 1.0f, BlitCopy);
    EXPECT_EQ(RasterReadPixel(&bmp, 2, 0), 0x11223344u);
    EXPECT_EQ(bmp.GetPixelData()[bmp.GetRowSpan() + 2], 0x11223344u);  // logical row 0 is stored last
    RasterWritePixel(&bmp, 0, 0, 0x00FFFFFF, 0.5f, BlitCopy | BlitUseAlpha);
    EXPECT_EQ(RasterReadPixel(&bmp, 0, 0), 0x007F7F7Fu);
    RasterWritePixel(&bmp, 1, 1, 0xFF404040, 0.3f, BlitAdd);
    EXPECT_EQ(RasterReadPixel(&bmp, 1, 1), RefCombine(BlitAdd, 0, 0xFF404040, 76, true));
    for (auto xy : {std::make_pair(-1, 0), std::make_pair(0, -1), std::make_pair(3, 0), std::make_pair(0, 2)}) {
        RasterWritePixel(&bmp, xy.first, xy.second, 0xFFFFFFFF, 1.0f, BlitCopy);
        EXPECT_EQ(RasterReadPixel(&bmp, xy.first, xy.second), 0u);
    }
    EXPECT_EQ(RasterReadPixel(nullptr, 0, 0), 0u);
    ZeroBitmap empty(0, 0);
    EXPECT_EQ(RasterReadPixel(&empty, 0, 0), 0u);
    RasterWritePixel(&empty, 0, 0, 0xFFFFFFFF, 1.0f, BlitCopy);
}

// Horizontal, vertical and diagonal segments cover their inclusive run in either direction.
TEST(RasterDrawSegment, StraightRuns) {
    ZeroBitmap bmp(10, 10);
    RasterDrawSegment(&bmp, 7, 2, 2, 2, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    RasterDrawSegment(&bmp, 0, 9, 0, 4, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    RasterDrawSegment(&bmp, 3, 4, 6, 7, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    PixelSet expected;
    for (int x = 2; x <= 7; ++x) expected.insert({x, 2});
    for (int y = 4; y <= 9; ++y) expected.insert({0, y});
    for (int i = 0; i <= 3; ++i) expected.insert({3 + i, 4 + i});
    EXPECT_EQ(Touched(bmp), expected);
}

// Line fast paths stay within the lowest bits of the general formula.
TEST(RasterDrawSegment, FastPathsAgainstGeneral) {
    for (float opacity : {0.5f, 0.25f, 0.75f, 0.6f}) {
        ZeroBitmap bmp(8, 1);
        for (int x = 0; x < 8; ++x) bmp.GetPixelData()[x] = 0x80FF10C3;
        RasterDrawSegment(&bmp, 0, 0, 7, 0, 0x37A0FF01, opacity, BlitCopy, false);
        RasterPixel expected = RefCombine(BlitCopy, 0x80FF10C3, 0x37A0FF01, int(opacity * 256), true);
        EXPECT_LE(ChannelDistance(bmp.GetPixelData()[3], expected), opacity == 0.6f ? 0 : 2) << opacity;
    }
}

// Sloped segments include both ends, draw one pixel per major step, and clip like the
// visible part of an unclipped segment.
TEST(RasterDrawSegment, SlopesAndClipping) {
    ZeroBitmap bmp(20, 20);
    RasterDrawSegment(&bmp, 1, 2, 15, 7, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    PixelSet line = Touched(bmp);
    EXPECT_EQ(line.size(), 15u);
    EXPECT_TRUE(line.count({1, 2}));
    EXPECT_TRUE(line.count({15, 7}));
    BottomUpBitmap bu(20, 20);
    RasterDrawSegment(&bu, 1, 2, 15, 7, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    EXPECT_EQ(Touched(bu), line);

    ZeroBitmap big(40, 40), small(20, 20);
    RasterDrawSegment(&big, 0, 0, 39, 13, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    RasterDrawSegment(&small, -20, -20, 19, -7, 0xFFFFFFFF, 1.0f, BlitCopy, false);  // wholly above
    EXPECT_TRUE(Touched(small).empty());
    RasterDrawSegment(&small, -20, -6, 19, 7, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    for (const auto& p : Touched(small)) EXPECT_NEAR(p.second, (p.first + 20) * 13.0 / 39.0 - 6, 1.0) << p.first;
    EXPECT_FALSE(Touched(small).empty());
    RasterDrawSegment(&small, -2000000000, 5, 2000000000, 5, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    EXPECT_EQ(RasterReadPixel(&small, 19, 5), 0xFFFFFFFFu);
    RasterDrawSegment(&small, -2000000000, -2000000000, 2000000000, 1999999999, 0xFFFFFFFF, 1.0f, BlitAdd, true);
}

// Anti-aliased slopes split the weight between two neighbours and stay symmetric.
TEST(RasterDrawSegment, AntiAliased) {
    ZeroBitmap bmp(12, 12);
    RasterDrawSegment(&bmp, 1, 1, 10, 4, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    EXPECT_EQ(RasterReadPixel(&bmp, 1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(RasterReadPixel(&bmp, 10, 4), 0xFFFFFFFFu);
    // Column 4 lies exactly on row 2.
    EXPECT_EQ(RasterReadPixel(&bmp, 4, 2), 0xFFFFFFFFu);
    // Column 2 lies at minor 1.333: both rows get part of the colour.
    RasterPixel upper = RasterReadPixel(&bmp, 2, 1), lower = RasterReadPixel(&bmp, 2, 2);
    EXPECT_GT(upper & 0xFF, lower & 0xFF);
    EXPECT_GT(lower & 0xFF, 0u);
    EXPECT_LT(upper & 0xFF, 255u);
    // The pixels mirrored about the segment's middle get the same shares.
    EXPECT_NEAR(int(RasterReadPixel(&bmp, 9, 3) & 0xFF), int(lower & 0xFF), 2);
    EXPECT_NEAR(int(RasterReadPixel(&bmp, 9, 4) & 0xFF), int(upper & 0xFF), 2);
}

// Rings put their pixels on the radius, clip to the bitmap and mirror for bottom-up bitmaps.
TEST(RasterDrawRing, TracesTheRadius) {
    ZeroBitmap bmp(40, 40);
    RasterDrawRing(&bmp, 20.0f, 18.0f, 11.0f, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    PixelSet ring = Touched(bmp);
    EXPECT_GT(ring.size(), 50u);
    for (const auto& p : ring)
        EXPECT_NEAR(std::hypot(p.first - 20.0, p.second - 18.0), 11.0, 0.75) << p.first << "," << p.second;
    EXPECT_TRUE(ring.count({31, 18}));
    EXPECT_TRUE(ring.count({20, 7}));

    BottomUpBitmap bu(40, 40);
    RasterDrawRing(&bu, 20.0f, 18.0f, 11.0f, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    EXPECT_EQ(Touched(bu), ring);

    ZeroBitmap clipped(10, 10);
    RasterDrawRing(&clipped, 0.0f, 0.0f, 30.0f, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    RasterDrawRing(&clipped, 5.0f, 5.0f, 6.2f, 0xFFFFFFFF, 0.5f, BlitAdd, true);
    RasterDrawRing(&clipped, 5.0f, 5.0f, 1e20f, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    RasterDrawRing(&clipped, NAN, 5.0f, 3.0f, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    EXPECT_FALSE(Touched(clipped).empty());
}

// Small radii stamp a ring of coverage at (trunc(cx - r), trunc(cy - r)).
TEST(RasterDrawRing, SmallRadiusStamp) {
    ZeroBitmap bmp(12, 12);
    RasterDrawRing(&bmp, 5.0f, 6.0f, 2.0f, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    PixelSet expected;
    for (int i = 1; i <= 3; ++i) {
        expected.insert({3 + i, 4});
        expected.insert({3 + i, 8});
        expected.insert({3, 4 + i});
        expected.insert({7, 4 + i});
    }
    EXPECT_EQ(Touched(bmp), expected);

    ZeroBitmap aa(12, 12);
    RasterDrawRing(&aa, 0.0f, 0.0f, 3.5f, 0xFFFFFFFF, 1.0f, BlitCopy, true);  // square from (-3, -3), 8 wide
    EXPECT_EQ(RasterReadPixel(&aa, 0, 0), 0u);                                // inside the ring
    EXPECT_NE(RasterReadPixel(&aa, 4, 0), 0u);                                // on it
    for (const auto& p : Touched(aa)) EXPECT_TRUE(p.first < 5 && p.second < 5) << p.first << "," << p.second;
}

// Arcs draw only the part of the ring between the angles (clockwise on screen from +x).
TEST(RasterDrawArcSegment, OnlyBetweenAngles) {
    ZeroBitmap bmp(40, 40);
    const float pi = 3.14159265f;
    RasterDrawArcSegment(&bmp, 20.0f, 20.0f, 10.0f, 0.0f, pi / 2, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    PixelSet arc = Touched(bmp);
    EXPECT_GT(arc.size(), 10u);
    for (const auto& p : arc) {
        EXPECT_GE(p.first, 20) << "right half only";
        EXPECT_GE(p.second, 20) << "lower half only";
    }
    // Reversed angles give the same arc; a full turn gives the whole ring.
    ZeroBitmap reversed(40, 40), whole(40, 40), ring(40, 40);
    RasterDrawArcSegment(&reversed, 20.0f, 20.0f, 10.0f, pi / 2, 0.0f, 0xFFFFFFFF, 1.0f, BlitCopy, false);
    EXPECT_EQ(Touched(reversed), arc);
    RasterDrawArcSegment(&whole, 20.0f, 20.0f, 10.0f, -pi, 3 * pi, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    RasterDrawRing(&ring, 20.0f, 20.0f, 10.0f, 0xFFFFFFFF, 1.0f, BlitCopy, true);
    EXPECT_EQ(Touched(whole), Touched(ring));
}
