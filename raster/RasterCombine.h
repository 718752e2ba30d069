// Internal: the pixel-combine operations. Each per-channel formula is a small inline function;
// each combiner applies one formula to B, G, R and A (A with the source alpha as s) and is a
// template argument of the drawing loops, so every combine operation gets its own loop and
// nothing switches on the mode per pixel. Division is integer division truncating toward zero.
#pragma once

#include "raster/RasterBlitMode.h"
#include "raster/RasterPixel.h"

#include <cstdint>

namespace raster {

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Applies f(d, s) to each of the four bytes of d and s.
template <class F>
inline RasterPixel PerChannel(RasterPixel d, RasterPixel s, F f) {
    RasterPixel out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= RasterPixel(f(int((d >> shift) & 0xFF), int((s >> shift) & 0xFF))) << shift;
    return out;
}

// Source weight scaled by the source's own alpha: w' = w * (sa + 1) / 256.
inline int AlphaWeight(int w, RasterPixel s) { return w * (int(s >> 24) + 1) / 256; }

// ---- Per-channel formulas ----

// d moves toward s, keeping keep/256 of the difference: s + (d - s) * keep / 256.
inline int CopyChannel(int d, int s, int keep) { return s + (d - s) * keep / 256; }

// d + s * w / 256, clamped.
inline int AddChannel(int d, int s, int w) { return Clamp255(d + s * w / 256); }

// Colour dodge: t = s * w / 256 brightens d to d * 256 / (256 - t); t above 254 saturates.
inline int DodgeChannel(int d, int s, int w) {
    int t = s * w / 256;
    int v = t > 254 ? d * 256 : d * 256 / (256 - t);
    return v >= 256 ? 255 : v;
}

// Multiply mixed by weight: d * (s * w + (256 - w) * 256) / 65536. The clamp only matters
// for negative weights.
inline int MultiplyChannel(int d, int s, int w) { return Clamp255(d * (s * w + (256 - w) * 256) / 65536); }

// Multiply for source-alpha weights: d * (w * (s - 256) + 65536) / 65536.
inline int MultiplyAlphaChannel(int d, int s, int w) { return Clamp255(d * (w * (s - 256) + 65536) / 65536); }

// Overlay: with m = (256 - w) * 128 as the neutral part,
// ((32768 - s * w - m) * d / 256 + s * w + m) * d / 32768, clamped.
inline int OverlayChannel(int d, int s, int w) {
    int sw = s * w;
    int m = (256 - w) * 128;
    return Clamp255(((32768 - sw - m) * d / 256 + sw + m) * d / 32768);
}

// Hue/saturation/value adjustment of d by the adjustment pixel s (RasterHsv.cpp).
RasterPixel HsvAdjust(RasterPixel d, RasterPixel s, int w);

// ---- Combiners: Apply(d, s, w) -> new d ----

// Plain copy at any weight.
struct CombineCopy {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        int keep = 256 - w;
        return PerChannel(d, s, [keep](int dc, int sc) { return CopyChannel(dc, sc, keep); });
    }
};

// Plain copy at full weight: a store.
struct CombineCopyFull {
    static RasterPixel Apply(RasterPixel, RasterPixel s, int) { return s; }
};

// Copy weighted by source alpha; transparent source pixels leave d alone.
struct CombineCopyAlpha {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        if ((s >> 24) == 0) return d;
        int keep = 256 - AlphaWeight(w, s);
        return PerChannel(d, s, [keep](int dc, int sc) { return CopyChannel(dc, sc, keep); });
    }
};

// Copy weighted by source alpha at full weight. Colours keep (255 - sa) / 256 of the
// difference; alpha moves toward sa + 1 the same way, so it reaches 255 for sa = 254.
// An opaque source pixel is stored whole, alpha included.
struct CombineCopyFullAlpha {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int) {
        int sa = int(s >> 24);
        if (sa == 0) return d;
        if (sa == 255) return s;
        int keep = 255 - sa;
        RasterPixel rgb = PerChannel(d, s, [keep](int dc, int sc) { return CopyChannel(dc, sc, keep); });
        int a = CopyChannel(int(d >> 24), sa + 1, keep);
        return (rgb & 0x00FFFFFF) | (RasterPixel(a) << 24);
    }
};

struct CombineAdd {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        return PerChannel(d, s, [w](int dc, int sc) { return AddChannel(dc, sc, w); });
    }
};

struct CombineAddAlpha {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        if ((s >> 24) == 0) return d;
        return CombineAdd::Apply(d, s, AlphaWeight(w, s));
    }
};

struct CombineDodge {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        return PerChannel(d, s, [w](int dc, int sc) { return DodgeChannel(dc, sc, w); });
    }
};

// No skip for transparent sources: the weight simply becomes w / 256.
struct CombineDodgeAlpha {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        return CombineDodge::Apply(d, s, AlphaWeight(w, s));
    }
};

struct CombineMultiply {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        return PerChannel(d, s, [w](int dc, int sc) { return MultiplyChannel(dc, sc, w); });
    }
};

struct CombineMultiplyAlpha {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        if ((s >> 24) == 0) return d;
        int wa = AlphaWeight(w, s);
        return PerChannel(d, s, [wa](int dc, int sc) { return MultiplyAlphaChannel(dc, sc, wa); });
    }
};

struct CombineOverlay {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        return PerChannel(d, s, [w](int dc, int sc) { return OverlayChannel(dc, sc, w); });
    }
};

struct CombineOverlayAlpha {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
        return CombineOverlay::Apply(d, s, AlphaWeight(w, s));
    }
};

struct CombineHsv {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) { return HsvAdjust(d, s, w); }
};

struct CombineHsvAlpha {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) { return HsvAdjust(d, s, AlphaWeight(w, s)); }
};

// ---- Plain-copy fast paths: byte-masked shifts instead of multiplications ----

// Half of each: ((s >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F).
struct CombineCopyHalf {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int) {
        return ((s >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F);
    }
};

// A quarter of s over three quarters of d (weight 64).
struct CombineCopyQuarter {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int) {
        return ((d >> 1) & 0x7F7F7F7F) + ((d >> 2) & 0x3F3F3F3F) + ((s >> 2) & 0x3F3F3F3F);
    }
};

// Three quarters of s over a quarter of d (weight 192).
struct CombineCopyThreeQuarters {
    static RasterPixel Apply(RasterPixel d, RasterPixel s, int) {
        return ((s >> 1) & 0x7F7F7F7F) + ((s >> 2) & 0x3F3F3F3F) + ((d >> 2) & 0x3F3F3F3F);
    }
};

// ---- Dispatch: picks the loop instantiation once per operation ----

// Runs Loop<Combiner>::Run(args...) for the combine operation and BlitUseAlpha bit of mode.
// With fixedWeight the whole operation uses weight w, so plain and alpha copies at 256 take
// their dedicated full-weight combiners. Returns false for unknown operations.
template <template <class> class Loop, class... Args>
bool DispatchCombine(uint32_t mode, int w, bool fixedWeight, Args&&... args) {
    bool useAlpha = (mode & BlitUseAlpha) != 0;
    bool full = fixedWeight && w == 256;
    switch (mode & BLIT_OPERATION_MASK) {
    case BlitCopy:
        if (useAlpha)
            full ? Loop<CombineCopyFullAlpha>::Run(args...) : Loop<CombineCopyAlpha>::Run(args...);
        else
            full ? Loop<CombineCopyFull>::Run(args...) : Loop<CombineCopy>::Run(args...);
        return true;
    case BlitAdd: useAlpha ? Loop<CombineAddAlpha>::Run(args...) : Loop<CombineAdd>::Run(args...); return true;
    case BlitDodge: useAlpha ? Loop<CombineDodgeAlpha>::Run(args...) : Loop<CombineDodge>::Run(args...); return true;
    case BlitMultiply:
        useAlpha ? Loop<CombineMultiplyAlpha>::Run(args...) : Loop<CombineMultiply>::Run(args...);
        return true;
    case BlitOverlay:
        useAlpha ? Loop<CombineOverlayAlpha>::Run(args...) : Loop<CombineOverlay>::Run(args...);
        return true;
    case BlitHsvAdjust: useAlpha ? Loop<CombineHsvAlpha>::Run(args...) : Loop<CombineHsv>::Run(args...); return true;
    default: return false;
    }
}

// Like DispatchCombine for a constant colour at one weight: plain copies at weights 256,
// 128, 64 and 192 take the store, halving and quartering combiners.
template <template <class> class Loop, class... Args>
bool DispatchConstant(uint32_t mode, int w, Args&&... args) {
    if ((mode & (BLIT_OPERATION_MASK | BlitUseAlpha)) == BlitCopy) {
        switch (w) {
        case 256: Loop<CombineCopyFull>::Run(args...); return true;
        case 128: Loop<CombineCopyHalf>::Run(args...); return true;
        case 64: Loop<CombineCopyQuarter>::Run(args...); return true;
        case 192: Loop<CombineCopyThreeQuarters>::Run(args...); return true;
        default: break;
        }
    }
    return DispatchCombine<Loop>(mode, w, true, args...);
}

}  // namespace raster
