// Bitmap classes: row spans, alignment, buffer growth and the system bitmap's reuse on shrink.
#include "raster/RasterMemBitmap.h"
#include "raster/RasterSysBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

bool Aligned64(const void* p) { return (reinterpret_cast<uintptr_t>(p) & 63) == 0; }

}  // namespace

// An empty memory bitmap has no pixels at all.
TEST(RasterMemBitmap, EmptyHasNoBuffer) {
    RasterMemBitmap bmp(0, 0, 4);
    EXPECT_EQ(bmp.GetPixelData(), nullptr);
    EXPECT_EQ(bmp.GetWidth(), 0);
    EXPECT_EQ(bmp.GetHeight(), 0);
    EXPECT_EQ(bmp.GetAllocatedBytes(), 0);
    EXPECT_FALSE(bmp.IsBottomUp());
    EXPECT_EQ(bmp.GetDeviceContext(), nullptr);
}

// Rows pad to the alignment; a non-power of two uses its lowest power-of-two factor.
TEST(RasterMemBitmap, RowSpanFollowsAlignment) {
    EXPECT_EQ(RasterMemBitmap(101, 1, 4).GetRowSpan(), 104);
    EXPECT_EQ(RasterMemBitmap(101, 1, 1).GetRowSpan(), 101);
    EXPECT_EQ(RasterMemBitmap(101, 1, 0).GetRowSpan(), 101);
    EXPECT_EQ(RasterMemBitmap(101, 1, 12).GetRowSpan(), 104);  // 12 = 4 * 3
    EXPECT_EQ(RasterMemBitmap(101, 1, 6).GetRowSpan(), 102);
    EXPECT_EQ(RasterMemBitmap(101, 1, 16).GetRowSpan(), 112);
    EXPECT_EQ(RasterMemBitmap(101, 1, 64).GetRowSpan(), 112);  // capped at 16
    EXPECT_EQ(RasterMemBitmap(100, 1, 4).GetRowSpan(), 100);
}

// The block grows with a 25 % margin and never shrinks while the size stays positive.
TEST(RasterMemBitmap, BufferGrowth) {
    RasterMemBitmap bmp(100, 100, 4);
    EXPECT_EQ(bmp.GetAllocatedBytes(), 40000);
    EXPECT_TRUE(Aligned64(bmp.GetPixelData()));

    EXPECT_TRUE(bmp.ResizeTo(101, 100));
    EXPECT_EQ(bmp.GetRowSpan(), 104);
    EXPECT_EQ(bmp.GetAllocatedBytes(), 52000);
    EXPECT_TRUE(Aligned64(bmp.GetPixelData()));

    EXPECT_TRUE(bmp.ResizeTo(110, 100));
    EXPECT_EQ(bmp.GetRowSpan(), 112);
    EXPECT_EQ(bmp.GetAllocatedBytes(), 52000);

    EXPECT_TRUE(bmp.ResizeTo(10, 10));
    EXPECT_EQ(bmp.GetAllocatedBytes(), 52000);
    EXPECT_FALSE(bmp.ResizeTo(10, 10));

    EXPECT_TRUE(bmp.ResizeTo(0, 10));
    EXPECT_EQ(bmp.GetPixelData(), nullptr);
    EXPECT_EQ(bmp.GetAllocatedBytes(), 0);
    EXPECT_EQ(bmp.GetWidth(), 0);
    EXPECT_EQ(bmp.GetHeight(), 0);
}

// Every byte of a grown bitmap is writable (the sanitizer build checks the bounds).
TEST(RasterMemBitmap, WholeBufferWritable) {
    RasterMemBitmap bmp(3, 3, 4);
    ASSERT_TRUE(bmp.ResizeTo(37, 29));
    RasterPixel* p = bmp.GetPixelData();
    for (int i = 0; i < bmp.GetRowSpan() * bmp.GetHeight(); ++i) p[i] = RasterPixel(i);
    EXPECT_EQ(p[bmp.GetRowSpan() * bmp.GetHeight() - 1], RasterPixel(bmp.GetRowSpan() * 29 - 1));
}

// Nonsense sizes give an empty bitmap instead of a crash or a wrapped allocation.
TEST(RasterMemBitmap, BadSizesGiveEmptyBitmap) {
    RasterMemBitmap neg(-4, -4, 4);
    EXPECT_EQ(neg.GetPixelData(), nullptr);
    EXPECT_EQ(neg.GetWidth(), 0);
    RasterMemBitmap huge(1 << 20, 1 << 20, 4);
    EXPECT_EQ(huge.GetPixelData(), nullptr);
    EXPECT_EQ(huge.GetHeight(), 0);
}

// The editor's 410-pixel draw bitmap pads rows to 412 and keeps them when shrunk.
TEST(RasterSysBitmap, RowSpanAndShrink) {
    RasterSysBitmap bmp(410, 680);
    ASSERT_NE(bmp.GetPixelData(), nullptr);
    EXPECT_EQ(bmp.GetRowSpan(), 412);
    RasterPixel* before = bmp.GetPixelData();

    EXPECT_TRUE(bmp.ResizeTo(400, 600));
    EXPECT_EQ(bmp.GetRowSpan(), 412);
    EXPECT_EQ(bmp.GetPixelData(), before);
    EXPECT_EQ(bmp.GetWidth(), 400);
    EXPECT_FALSE(bmp.ResizeTo(400, 600));

    EXPECT_TRUE(bmp.ResizeTo(413, 10));
    EXPECT_EQ(bmp.GetRowSpan(), 416);
    RasterPixel* p = bmp.GetPixelData();
    ASSERT_NE(p, nullptr);
    p[416 * 10 - 1] = 0xFFFFFFFF;
}

// Zero sizes leave a system bitmap without pixels.
TEST(RasterSysBitmap, ZeroSizeHasNoPixels) {
    RasterSysBitmap bmp(0, 0);
    EXPECT_EQ(bmp.GetPixelData(), nullptr);
    EXPECT_FALSE(bmp.ResizeTo(0, 7));
    EXPECT_EQ(bmp.GetPixelData(), nullptr);
}
