// Shared helpers for the raster tests: a bottom-up bitmap, seeded random pixels and a plain
// per-channel reference of the combine formulas, written independently of the library's loops.
#pragma once

#include "raster/RasterAlphaCopy.h"
#include "raster/RasterBlitMode.h"
#include "raster/RasterMemBitmap.h"

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

// Memory bitmaps start with undefined pixels; tests start from zero.
inline void ClearBitmap(RasterBitmap& bmp) {
    RasterPixel* p = bmp.GetPixelData();
    for (int i = 0; p && i < bmp.GetRowSpan() * bmp.GetHeight(); ++i) p[i] = 0;
}

// A row-aligned memory bitmap cleared to zero.
class ZeroBitmap : public RasterMemBitmap {
public:
    ZeroBitmap(int w, int h) : RasterMemBitmap(w, h, 4) { ClearBitmap(*this); }
};

// Same storage as a memory bitmap, but row 0 is the last stored row.
class BottomUpBitmap : public RasterMemBitmap {
public:
    BottomUpBitmap(int w, int h) : RasterMemBitmap(w, h, 4) { ClearBitmap(*this); }
    bool IsBottomUp() const override { return true; }
};

inline void FillRandom(RasterBitmap& bmp, std::mt19937& rng) {
    RasterPixel* p = bmp.GetPixelData();
    for (int i = 0; i < bmp.GetRowSpan() * bmp.GetHeight(); ++i) p[i] = RasterPixel(rng());
}

// Random pixels whose alpha is often 0 or 255, where the copy-with-alpha rules change.
inline RasterPixel RandomPixel(std::mt19937& rng) {
    RasterPixel p = RasterPixel(rng());
    switch (rng() % 4) {
    case 0: return p & 0x00FFFFFF;
    case 1: return p | 0xFF000000;
    default: return p;
    }
}

inline void FillRandomAlpha(RasterBitmap& bmp, std::mt19937& rng) {
    RasterPixel* p = bmp.GetPixelData();
    for (int i = 0; i < bmp.GetRowSpan() * bmp.GetHeight(); ++i) p[i] = RandomPixel(rng);
}

inline int RefClamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// One channel of the combine formulas for weight w (already scaled by source alpha when the
// mode uses it).
inline int RefChannel(uint32_t op, int d, int s, int w) {
    switch (op) {
    case BlitCopy: return s + (d - s) * (256 - w) / 256;
    case BlitAdd: return RefClamp(d + s * w / 256);
    case BlitDodge: {
        int t = s * w / 256;
        int v = t > 254 ? d * 256 : d * 256 / (256 - t);
        return v >= 256 ? 255 : v;
    }
    case BlitOverlay: {
        int m = (256 - w) * 128;
        return RefClamp(((32768 - s * w - m) * d / 256 + s * w + m) * d / 32768);
    }
    default: return -1;
    }
}

// Reference combine of s into d with weight w for the given mode word. fullWeightLoop selects
// the dedicated w = 256 rule of the copy with source alpha.
inline RasterPixel RefCombine(uint32_t mode, RasterPixel d, RasterPixel s, int w, bool fullWeightLoop) {
    uint32_t op = mode & 0xFF;
    bool useAlpha = (mode & BlitUseAlpha) != 0;
    int sa = int(s >> 24);
    if (useAlpha && sa == 0 && op != BlitDodge && op != BlitOverlay) return d;
    if (op == BlitCopy && useAlpha && fullWeightLoop && w == 256) {
        if (sa == 255) return s;
        RasterPixel out = 0;
        for (int k = 0; k < 3; ++k) {
            int dc = int((d >> (8 * k)) & 0xFF), sc = int((s >> (8 * k)) & 0xFF);
            out |= RasterPixel(sc + (dc - sc) * (255 - sa) / 256) << (8 * k);
        }
        int da = int(d >> 24);
        out |= RasterPixel((sa + 1) + (da - (sa + 1)) * (255 - sa) / 256) << 24;
        return out;
    }
    int weight = useAlpha ? w * (sa + 1) / 256 : w;
    RasterPixel out = 0;
    for (int k = 0; k < 4; ++k) {
        int dc = int((d >> (8 * k)) & 0xFF), sc = int((s >> (8 * k)) & 0xFF);
        int v;
        if (op == BlitMultiply)
            v = useAlpha ? dc * (weight * (sc - 256) + 65536) / 65536
                         : dc * (sc * weight + (256 - weight) * 256) / 65536;
        else
            v = RefChannel(op, dc, sc, weight);
        out |= RasterPixel(v) << (8 * k);
    }
    return out;
}

// Largest per-channel difference between two pixels.
inline int ChannelDistance(RasterPixel a, RasterPixel b) {
    int worst = 0;
    for (int k = 0; k < 32; k += 8) {
        int diff = std::abs(int((a >> k) & 0xFF) - int((b >> k) & 0xFF));
        if (diff > worst) worst = diff;
    }
    return worst;
}

inline RasterPixel PixelAt(const RasterBitmap& bmp, int x, int y) {
    int row = bmp.IsBottomUp() ? bmp.GetHeight() - 1 - y : y;
    return bmp.GetPixelData()[row * bmp.GetRowSpan() + x];
}

inline void SetPixelAt(RasterBitmap& bmp, int x, int y, RasterPixel p) {
    int row = bmp.IsBottomUp() ? bmp.GetHeight() - 1 - y : y;
    bmp.GetPixelData()[row * bmp.GetRowSpan() + x] = p;
}

// The alpha-copy kernels this build and processor can run, each with a name for messages.
// Tests force every one in turn, so the fallbacks are covered on a machine that has AVX2.
struct NamedAlphaKernel {
    raster::AlphaKernel mKernel;
    const char* mName;
};

inline std::vector<NamedAlphaKernel> AvailableAlphaKernels() {
    std::vector<NamedAlphaKernel> out;
    const NamedAlphaKernel all[] = {{raster::AlphaKernel::Scalar, "scalar"},
                                    {raster::AlphaKernel::Sse2, "SSE2"},
                                    {raster::AlphaKernel::Avx2, "AVX2"}};
    for (const NamedAlphaKernel& k : all)
        if (raster::AlphaKernelAvailable(k.mKernel)) out.push_back(k);
    return out;
}

// Puts the fastest kernel back when a test that forced one ends, passed or not.
struct AlphaKernelRestorer {
    ~AlphaKernelRestorer() { raster::SelectAlphaKernel(raster::AlphaKernel::Best); }
};
