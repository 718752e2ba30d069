// The editor's small records: rectangles, colours, blend modes, images, text styles and
// the pointer state, with the rectangle arithmetic the draw and hit cycles rely on.
// Plain values: every function is [any thread] (tags as in framework/IEffectBase.h).
#pragma once

#include <cstdint>

class RasterBitmap;

// A rectangle with exclusive right and bottom edges. Only the all-zero rectangle is
// empty; one with R <= L still counts as a rectangle.
struct IBounds {
    int32_t L = 0, T = 0, R = 0, B = 0;

    IBounds() = default;
    IBounds(int32_t l, int32_t t, int32_t r, int32_t b) : L(l), T(t), R(r), B(b) {}

    int32_t W() const { return R - L; }
    int32_t H() const { return B - T; }
    bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
    // Touching on the left or top side counts: the dirty union relies on it.
    bool Intersects(const IBounds& o) const {
        return !Empty() && !o.Empty() && L < o.R && R >= o.L && T < o.B && B >= o.T;
    }
    // The overlap, or the empty rectangle when the two do not intersect.
    IBounds Intersect(const IBounds& o) const {
        if (!Intersects(o)) return IBounds();
        return IBounds(L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B);
    }
    // Grows this rectangle to cover o; an empty side takes the other unchanged.
    void Union(const IBounds& o) {
        if (Empty()) {
            *this = o;
        } else if (!o.Empty()) {
            if (o.L < L) L = o.L;
            if (o.T < T) T = o.T;
            if (o.R > R) R = o.R;
            if (o.B > B) B = o.B;
        }
    }
    bool Contains(int x, int y) const { return L <= x && x < R && T <= y && y < B; }
    bool operator==(const IBounds& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
    bool operator!=(const IBounds& o) const { return !(*this == o); }
};

// A colour, each channel 0..255, not premultiplied.
struct IArgb {
    int32_t A = 255, R = 0, G = 0, B = 0;

    IArgb() = default;
    IArgb(int32_t a, int32_t r, int32_t g, int32_t b) : A(a), R(r), G(g), B(b) {}

    uint32_t ToPixel() const {
        return (uint32_t(A) << 24) | (uint32_t(R & 0xFF) << 16) | (uint32_t(G & 0xFF) << 8) | uint32_t(B & 0xFF);
    }
    static IArgb FromPixel(uint32_t p) {
        return IArgb(int32_t(p >> 24), int32_t((p >> 16) & 0xFF), int32_t((p >> 8) & 0xFF), int32_t(p & 0xFF));
    }
    bool operator==(const IArgb& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
    bool operator!=(const IArgb& o) const { return !(*this == o); }
};

enum IBlendMode : int32_t { BlendNormal = 0, BlendReplace = 1, BlendAdd = 2, BlendDodge = 3 };

struct IBlend {
    int32_t mMode = BlendNormal;
    float mOpacity = 1.0f;

    IBlend() = default;
    IBlend(int32_t mode, float opacity = 1.0f) : mMode(mode), mOpacity(opacity) {}
};

// Raster mode words for a blend: the first for images, lines, circles and fills, the
// second for points and arcs. A null blend is normal at full opacity.
uint32_t BlendImageMode(const IBlend* blend);
uint32_t BlendPointMode(const IBlend* blend);
inline float BlendOpacity(const IBlend* blend) { return blend ? blend->mOpacity : 1.0f; }

// A bitmap with its frames stacked vertically; the bitmap is not owned by the record.
struct IImage {
    RasterBitmap* mpBitmap = nullptr;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mNumFrames = 1;

    IImage() = default;
    IImage(RasterBitmap* bitmap, int32_t w, int32_t h, int32_t frames = 1)
        : mpBitmap(bitmap), mWidth(w), mHeight(h), mNumFrames(frames) {}
};

enum ITextAlign : int32_t { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };
enum ITextWeight : int32_t { TextNormal = 0, TextBold = 1, TextItalic = 2 };

struct ITextStyle {
    char mFont[32] = "Arial";
    int32_t mSize = 14;
    IArgb mColor;
    int32_t mStyle = TextNormal;
    int32_t mAlign = AlignLeft;
    int32_t mOrientation = 0;  // degrees

    ITextStyle() = default;
    ITextStyle(const char* font, int32_t size, const IArgb& color, int32_t style, int32_t align,
               int32_t orientation = 0);
};

// Buttons and modifier keys at the time of a pointer event, each 0 or 1.
struct IPointerState {
    uint8_t L = 0, R = 0, S = 0, C = 0, A = 0;

    IPointerState() = default;
    IPointerState(bool l, bool r = false, bool s = false, bool c = false, bool a = false)
        : L(l), R(r), S(s), C(c), A(a) {}
};
