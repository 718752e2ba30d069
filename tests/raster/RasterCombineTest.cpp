// Combine operations: exact bytes for known cases, and a seeded random run of every operation
// and weight against the reference formulas.
#include "raster/RasterOperations.h"
#include "tests/raster/RasterTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

// Combines s into d through a 1 x 1 unscaled copy.
RasterPixel CombineOne(uint32_t mode, float opacity, RasterPixel d, RasterPixel s) {
    RasterMemBitmap dst(1, 1, 4), src(1, 1, 4);
    dst.GetPixelData()[0] = d;
    src.GetPixelData()[0] = s;
    RasterCopyRegion(&dst, &src, 0, 0, 0, 0, 1, 1, opacity, mode);
    return dst.GetPixelData()[0];
}

struct Regression {
    const char* mWhat;
    uint32_t mMode;
    float mOpacity;
    RasterPixel mDst, mSrc, mExpected;
};

const Regression REGRESSIONS[] = {
    {"alpha copy leaves pixels under a transparent source", BlitCopy | BlitUseAlpha, 1.0f, 0x12345678, 0x00FFFFFF,
     0x12345678},
    {"alpha copy at 0.25 leaves pixels under a transparent source", BlitCopy | BlitUseAlpha, 0.25f, 0x12345678,
     0x00FFFFFF, 0x12345678},
    {"alpha copy, sa = 128: colours keep 127/256, alpha moves toward 129", BlitCopy | BlitUseAlpha, 1.0f, 0xFF0000FF,
     0x80FF0000, 0xBF81007E},
    {"alpha copy of an opaque pixel stores it", BlitCopy | BlitUseAlpha, 1.0f, 0x12345678, 0xFF0A0B0C, 0xFF0A0B0C},
    {"grayed-out control: opaque white over black at 0.25", BlitCopy | BlitUseAlpha, 0.25f, 0xFF000000, 0xFFFFFFFF,
     0xFF404040},
    {"grayed-out control: opaque black over grey at 0.25", BlitCopy | BlitUseAlpha, 0.25f, 0xFF808080, 0xFF000000,
     0xFF606060},
    {"alpha copy at 0.5 with sa = 127 uses w' = 64", BlitCopy | BlitUseAlpha, 0.5f, 0xFF000000, 0x7FFFFFFF, 0xDF404040},
    {"plain copy at 0.25 moves alpha too", BlitCopy, 0.25f, 0x00000000, 0xFFFFFFFF, 0x40404040},
    {"plain copy at 1.0 stores", BlitCopy, 1.0f, 0x11223344, 0x00000000, 0x00000000},
    {"add at 0.5", BlitAdd, 0.5f, 0x10203040, 0xFF808080, 0x8F607080},
    {"add clamps", BlitAdd, 1.0f, 0xFFF0F0F0, 0xFF202020, 0xFFFFFFFF},
    {"add with alpha skips a transparent source", BlitAdd | BlitUseAlpha, 1.0f, 0x10203040, 0x00FFFFFF, 0x10203040},
    {"multiply grey by grey", BlitMultiply, 1.0f, 0xFF808080, 0xFF808080, 0xFE404040},
    {"multiply with alpha skips a transparent source", BlitMultiply | BlitUseAlpha, 1.0f, 0x10203040, 0x00000000,
     0x10203040},
    {"dodge saturates", BlitDodge, 1.0f, 0x80808080, 0x80808080, 0xFFFFFFFF},
    {"dodge by a quarter", BlitDodge, 1.0f, 0x80808080, 0x40404040, 0xAAAAAAAA},
    {"overlay with neutral grey keeps grey", BlitOverlay, 1.0f, 0x80808080, 0x80808080, 0x80808080},
    {"overlay brightens with white", BlitOverlay, 1.0f, 0x40404040, 0xFFFFFFFF, 0x6F6F6F6F},
    {"unknown operation draws nothing", 0x42, 1.0f, 0x12345678, 0xFFFFFFFF, 0x12345678},
};

}  // namespace

// Known inputs give the exact bytes of the formulas.
TEST(RasterCombine, RegressionPixels) {
    for (const Regression& r : REGRESSIONS)
        EXPECT_EQ(CombineOne(r.mMode, r.mOpacity, r.mDst, r.mSrc), r.mExpected) << r.mWhat;
}

// Every operation, with and without source alpha, at many weights matches the reference.
TEST(RasterCombine, RandomAgainstReference) {
    std::mt19937 rng(1234);
    const uint32_t ops[] = {BlitCopy, BlitAdd, BlitDodge, BlitMultiply, BlitOverlay};
    const float opacities[] = {1.0f, 0.9f, 0.75f, 0.3f, 0.25f, 0.01f, 1.5f};
    const int W = 37, H = 5;
    for (uint32_t op : ops) {
        for (uint32_t alpha : {0u, uint32_t(BlitUseAlpha)}) {
            for (float opacity : opacities) {
                uint32_t mode = op | alpha;
                RasterMemBitmap dst(W, H, 4), src(W, H, 4), before(W, H, 4);
                FillRandomAlpha(dst, rng);
                FillRandomAlpha(src, rng);
                // Runs of wholly transparent and wholly opaque pixels, as in real control images.
                for (int x = 8; x < 16; ++x) src.GetPixelData()[x] &= 0x00FFFFFF;
                for (int x = 20; x < 28; ++x) src.GetPixelData()[src.GetRowSpan() + x] |= 0xFF000000;
                RasterCopyWhole(&before, &dst);
                RasterCopyRegion(&dst, &src, 0, 0, 0, 0, W, H, opacity, mode);
                int w = int(opacity * 256) > 256 ? 256 : int(opacity * 256);
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x) {
                        RasterPixel expected = RefCombine(mode, PixelAt(before, x, y), PixelAt(src, x, y), w, true);
                        ASSERT_EQ(PixelAt(dst, x, y), expected)
                            << "mode " << mode << " opacity " << opacity << " at " << x << "," << y;
                    }
            }
        }
    }
}

// Copy with source alpha, every kernel on this machine: every (source alpha, source channel,
// destination channel) byte triple, and every destination alpha under every source alpha, at
// full weight, at the grayed-out 0.25 and at other weights, gives the reference bytes.
TEST(RasterCombine, AlphaCopyEveryByteTripleMatchesReference) {
    // Pixel i has source alpha i % 256, so neighbours differ in alpha as at a soft edge, and
    // the n-th pixel of each alpha holds the (sc, dc) pairs 3n, 3n + 1 and 3n + 2 and
    // destination alpha n % 256: every pair meets every alpha once per colour channel.
    const int W = (65536 + 2) / 3, H = 256, N = W * H;
    // Unpadded rows, read and written as one array: the test stays quick under the sanitizers.
    RasterMemBitmap src(W, H, 1), before(W, H, 1), dst(W, H, 1);
    RasterPixel *s = src.GetPixelData(), *d = before.GetPixelData(), *out = dst.GetPixelData();
    for (int i = 0; i < N; ++i) {
        int n = i >> 8;
        s[i] = RasterPixel(i & 0xFF) << 24;
        d[i] = RasterPixel(n & 0xFF) << 24;
        for (int c = 0; c < 3; ++c) {
            int k = (3 * n + c) & 0xFFFF;
            s[i] |= RasterPixel(k >> 8) << (8 * c);
            d[i] |= RasterPixel(k & 0xFF) << (8 * c);
        }
    }
    AlphaKernelRestorer restorer;
    const std::vector<NamedAlphaKernel> kernels = AvailableAlphaKernels();
    std::vector<RasterPixel> expected(N);
    const float opacities[] = {1.0f, 0.25f, 0.75f, 0.6f, 0.999f};  // weights 256, 64, 192, 153, 255
    for (float opacity : opacities) {
        int w = int(opacity * 256);
        for (int i = 0; i < N; ++i) expected[i] = RefCombine(BlitCopy | BlitUseAlpha, d[i], s[i], w, true);
        for (const NamedAlphaKernel& kernel : kernels) {
            ASSERT_TRUE(SelectAlphaKernel(kernel.mKernel));
            std::memcpy(out, d, sizeof(RasterPixel) * size_t(N));
            RasterCopyRegion(&dst, &src, 0, 0, 0, 0, W, H, opacity, BlitCopy | BlitUseAlpha);
            for (int i = 0; i < N; ++i)
                if (out[i] != expected[i])
                    FAIL() << kernel.mName << " kernel, weight " << w << ": source " << std::hex << s[i] << " over "
                           << d[i] << " gives " << out[i] << ", expected " << expected[i];
        }
    }
}

// The halving fast path differs from the general formula by at most the lowest bit.
TEST(RasterCombine, HalvingFastPathCloseToGeneral) {
    std::mt19937 rng(99);
    RasterMemBitmap fast(64, 16, 4), general(64, 16, 4), src(64, 16, 4);
    FillRandom(fast, rng);
    FillRandom(src, rng);
    RasterCopyWhole(&general, &fast);
    RasterCopyRegion(&fast, &src, 0, 0, 0, 0, 64, 16, 0.5f, BlitCopy);
    RasterCopyRegion(&general, &src, 0, 0, 0, 0, 64, 16, 0.5001f, BlitCopy);  // weight 128, general path
    int worst = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            worst = std::max(worst, ChannelDistance(PixelAt(fast, x, y), PixelAt(general, x, y)));
    EXPECT_LE(worst, 1);
    EXPECT_EQ(worst, 1);  // the fast path really ran
}

// Hue/saturation/value: neutral adjustment keeps the colour, the result takes the source alpha.
TEST(RasterCombine, HsvAdjust) {
    const RasterPixel colours[] = {0xFF336699, 0xFFFF0000, 0xFF00FF00, 0xFF808080, 0xFF000000, 0xFFFFFFFF};
    for (RasterPixel c : colours) {
        RasterPixel out = CombineOne(BlitHsvAdjust, 1.0f, c, 0x40808080);
        EXPECT_EQ(out >> 24, 0x40u);
        EXPECT_LE(ChannelDistance(out | 0xFF000000, c), 3) << std::hex << c;
    }
    // Full desaturation gives grey at the colour's value.
    RasterPixel grey = CombineOne(BlitHsvAdjust, 1.0f, 0xFF3366CC, 0xFF800080);
    EXPECT_EQ(grey, 0xFFCCCCCCu);
    // Value to zero gives black.
    EXPECT_EQ(CombineOne(BlitHsvAdjust, 1.0f, 0xFF3366CC, 0xFF808000), 0xFF000000u);
    // A hue shift of a third of the circle (128 of 384 steps) turns pure red into pure green:
    // R = 255 gives 190 at full weight, 173/256 of that is 128.
    EXPECT_EQ(CombineOne(BlitHsvAdjust, 173.0f / 256.0f, 0xFFFF0000, 0xFFFF8080), 0xFF00FF00u);
    // Transparent adjustment with source alpha still runs, at weight 1/256.
    EXPECT_EQ(CombineOne(BlitHsvAdjust | BlitUseAlpha, 1.0f, 0xFF808080, 0x00FF0000) >> 24, 0u);
}
