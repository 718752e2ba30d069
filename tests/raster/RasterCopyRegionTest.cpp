// Unscaled copy: clipping at every edge, bottom-up bitmaps, channel copies and the cases where
// nothing may change.
#include "raster/RasterOperations.h"
#include "raster/RasterSysBitmap.h"
#include "tests/raster/RasterTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

const RasterPixel SENTINEL = 0x5A5A5A5A;

void FillWith(RasterBitmap& bmp, RasterPixel p) {
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x) SetPixelAt(bmp, x, y, p);
}

// Source pixel (x, y) holds a value naming its position.
void FillNumbered(RasterBitmap& bmp) {
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x)
            SetPixelAt(bmp, x, y, 0xFF000000 | RasterPixel(y << 8) | RasterPixel(x));
}

// Checks that dest holds src shifted by (ox, oy) inside [x0, x1) x [y0, y1) and SENTINEL elsewhere.
void ExpectPlaced(const RasterBitmap& dest, const RasterBitmap& src, int ox, int oy, int x0, int y0, int x1, int y1) {
    for (int y = 0; y < dest.GetHeight(); ++y)
        for (int x = 0; x < dest.GetWidth(); ++x) {
            bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
            RasterPixel expected = inside ? PixelAt(src, x - ox, y - oy) : SENTINEL;
            ASSERT_EQ(PixelAt(dest, x, y), expected) << x << "," << y;
        }
}

// Runs of 1 to 12 wholly transparent, wholly opaque or mixed pixels, as in control images, so
// that groups of pixels take every path of the vector kernels.
void FillRuns(RasterBitmap& bmp, std::mt19937& rng) {
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth();) {
            int kind = int(rng() % 3), run = 1 + int(rng() % 12);
            for (; run > 0 && x < bmp.GetWidth(); --run, ++x) {
                RasterPixel p = RasterPixel(rng());
                SetPixelAt(bmp, x, y, kind == 0 ? p & 0x00FFFFFF : kind == 1 ? p | 0xFF000000 : RandomPixel(rng));
            }
        }
}

}  // namespace

// The copy with source alpha, every kernel on this machine, at every width up to 40 and some
// wide ones (every tail length, rows handled one and two at a time), into the middle of a
// larger bitmap with odd row spans and bottom-up rows: exactly the reference inside, nothing
// changed outside.
TEST(RasterCopyRegion, AlphaCopyKernelsAtEveryWidth) {
    std::mt19937 rng(2024);
    std::vector<int> widths;
    for (int w = 1; w <= 40; ++w) widths.push_back(w);
    for (int w : {63, 64, 65, 410, 411}) widths.push_back(w);
    AlphaKernelRestorer restorer;
    for (const NamedAlphaKernel& kernel : AvailableAlphaKernels()) {
        ASSERT_TRUE(SelectAlphaKernel(kernel.mKernel));
        for (float opacity : {1.0f, 0.25f, 0.6f}) {
            int weight = int(opacity * 256);
            for (int w : widths) {
                int h = 1 + w % 5;
                // Row alignment 1 makes odd spans; some bitmaps store their rows bottom-up.
                std::unique_ptr<RasterMemBitmap> src, dst;
                if (w % 2)
                    src.reset(new BottomUpBitmap(w + 3, h + 1));
                else
                    src.reset(new RasterMemBitmap(w + 3, h + 1, 1));
                if (w % 3 == 0)
                    dst.reset(new BottomUpBitmap(w + 4, h + 2));
                else
                    dst.reset(new RasterMemBitmap(w + 5, h + 2, 1));
                RasterMemBitmap before(dst->GetWidth(), dst->GetHeight(), 1);
                FillRuns(*src, rng);
                FillRandomAlpha(*dst, rng);
                for (int y = 0; y < dst->GetHeight(); ++y)
                    for (int x = 0; x < dst->GetWidth(); ++x) SetPixelAt(before, x, y, PixelAt(*dst, x, y));
                RasterCopyRegion(dst.get(), src.get(), 2, 1, 3, 1, w, h, opacity, BlitCopy | BlitUseAlpha);
                for (int y = 0; y < dst->GetHeight(); ++y)
                    for (int x = 0; x < dst->GetWidth(); ++x) {
                        bool inside = x >= 2 && x < 2 + w && y >= 1 && y < 1 + h;
                        RasterPixel expected = inside ? RefCombine(BlitCopy | BlitUseAlpha, PixelAt(before, x, y),
                                                                   PixelAt(*src, x + 1, y), weight, true)
                                                      : PixelAt(before, x, y);
                        ASSERT_EQ(PixelAt(*dst, x, y), expected) << kernel.mName << " kernel, opacity " << opacity
                                                                 << ", width " << w << ", at " << x << "," << y;
                    }
            }
        }
    }
}

// Negative destination coordinates draw only the visible part, from the matching source offset.
TEST(RasterCopyRegion, ClipsNegativeDestination) {
    RasterMemBitmap src(8, 8, 4), dst(10, 10, 4);
    FillNumbered(src);
    FillWith(dst, SENTINEL);
    RasterCopyRegion(&dst, &src, -3, -2, 0, 0, 8, 8, 1.0f, BlitCopy);
    ExpectPlaced(dst, src, -3, -2, 0, 0, 5, 6);
}

// Nothing is written beyond the destination's right and bottom edges.
TEST(RasterCopyRegion, ClipsFarEdges) {
    RasterMemBitmap src(8, 8, 4), dst(10, 10, 4);
    FillNumbered(src);
    FillWith(dst, SENTINEL);
    RasterCopyRegion(&dst, &src, 7, 8, 0, 0, 8, 8, 1.0f, BlitCopy | BlitUseAlpha);
    ExpectPlaced(dst, src, 7, 8, 7, 8, 10, 10);
}

// A source start before the bitmap moves the destination along; the source size limits w and h.
TEST(RasterCopyRegion, ClipsSource) {
    RasterMemBitmap src(8, 8, 4), dst(10, 10, 4);
    FillNumbered(src);
    FillWith(dst, SENTINEL);
    RasterCopyRegion(&dst, &src, 1, 1, -2, -1, 100, 100, 0.5001f, BlitAdd);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 3 && y >= 2 && x < 10 && y < 10;
            if (!inside)
                ASSERT_EQ(PixelAt(dst, x, y), SENTINEL) << x << "," << y;
            else
                ASSERT_EQ(PixelAt(dst, x, y), RefCombine(BlitAdd, SENTINEL, PixelAt(src, x - 3, y - 2), 128, true));
        }
}

// Regions wholly outside, opacity 0, empty and null bitmaps change nothing.
TEST(RasterCopyRegion, NothingToDo) {
    RasterMemBitmap src(8, 8, 4), dst(10, 10, 4), empty(0, 0, 4);
    FillNumbered(src);
    FillWith(dst, SENTINEL);
    RasterCopyRegion(&dst, &src, 10, 0, 0, 0, 8, 8, 1.0f, BlitCopy);
    RasterCopyRegion(&dst, &src, -8, 0, 0, 0, 8, 8, 1.0f, BlitCopy);
    RasterCopyRegion(&dst, &src, 0, 0, 8, 0, 8, 8, 1.0f, BlitCopy);
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, 8, 8, 0.0f, BlitCopy);
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, 8, 8, 0.001f, BlitCopy);  // weight 0
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, 8, 8, -1.0f, BlitCopy);
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, -8, 8, 1.0f, BlitCopy);
    RasterCopyRegion(&dst, &src, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0x7FFFFFFF, 8, 1.0f, BlitCopy);
    RasterCopyRegion(&dst, &empty, 0, 0, 0, 0, 8, 8, 1.0f, BlitCopy);
    RasterCopyRegion(&dst, nullptr, 0, 0, 0, 0, 8, 8, 1.0f, BlitCopy);
    RasterCopyRegion(&empty, &src, 0, 0, 0, 0, 8, 8, 1.0f, BlitCopy);
    RasterCopyRegion(nullptr, &src, 0, 0, 0, 0, 8, 8, 1.0f, BlitCopy);
    ExpectPlaced(dst, src, 0, 0, 0, 0, 0, 0);
}

// Opacity 1.0 reproduces the source rows exactly, alpha included, into a padded system bitmap.
TEST(RasterCopyRegion, OpaqueCopyIsExact) {
    std::mt19937 rng(7);
    RasterMemBitmap src(410, 30, 4);
    RasterSysBitmap dst(410, 30);
    FillRandom(src, rng);
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, 410, 30, 1.0f, BlitCopy);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 410; ++x) ASSERT_EQ(PixelAt(dst, x, y), PixelAt(src, x, y));
}

// Bottom-up source and destination are addressed by logical rows in every path.
TEST(RasterCopyRegion, BottomUpBitmaps) {
    std::mt19937 rng(11);
    const uint32_t modes[] = {BlitCopy, BlitCopy | BlitUseAlpha, BlitAdd, RasterChannelCopyMode(3, 0)};
    const float opacities[] = {1.0f, 0.5f, 0.3f};
    for (uint32_t mode : modes)
        for (float opacity : opacities) {
            RasterMemBitmap srcTd(9, 7, 4), dstTd(12, 11, 4);
            BottomUpBitmap srcBu(9, 7), dstBu(12, 11);
            FillRandomAlpha(srcTd, rng);
            FillRandomAlpha(dstTd, rng);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 9; ++x) SetPixelAt(srcBu, x, y, PixelAt(srcTd, x, y));
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 12; ++x) SetPixelAt(dstBu, x, y, PixelAt(dstTd, x, y));
            RasterCopyRegion(&dstTd, &srcTd, 4, -1, 1, 0, 8, 7, opacity, mode);
            RasterCopyRegion(&dstBu, &srcBu, 4, -1, 1, 0, 8, 7, opacity, mode);
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 12; ++x)
                    ASSERT_EQ(PixelAt(dstBu, x, y), PixelAt(dstTd, x, y)) << mode << " " << opacity;
        }
}

// A channel copy moves one byte and leaves the others and the opacity out of it.
TEST(RasterCopyRegion, ChannelCopy) {
    RasterMemBitmap src(2, 1, 4), dst(2, 1, 4);
    src.GetPixelData()[0] = 0xAABBCCDD;
    src.GetPixelData()[1] = 0x11223344;
    dst.GetPixelData()[0] = 0x01020304;
    dst.GetPixelData()[1] = 0x05060708;
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, 2, 1, 0.3f, RasterChannelCopyMode(3, 0));  // alpha to blue
    EXPECT_EQ(dst.GetPixelData()[0], 0x010203AAu);
    EXPECT_EQ(dst.GetPixelData()[1], 0x05060711u);
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, 2, 1, 1.0f, RasterChannelCopyMode(1, 2));  // green to red
    EXPECT_EQ(dst.GetPixelData()[0], 0x01CC03AAu);
}

// The whole copy resizes the destination and copies everything.
TEST(RasterCopyWhole, ResizesAndCopies) {
    std::mt19937 rng(3);
    RasterMemBitmap src(13, 9, 4), dst(0, 0, 4);
    FillRandom(src, rng);
    RasterCopyWhole(&dst, &src);
    ASSERT_EQ(dst.GetWidth(), 13);
    ASSERT_EQ(dst.GetHeight(), 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(PixelAt(dst, x, y), PixelAt(src, x, y));
    RasterCopyWhole(nullptr, &src);
    RasterCopyWhole(&dst, nullptr);
}
