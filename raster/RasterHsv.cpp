// BlitHsvAdjust: the source pixel is an adjustment (R shifts the hue, G the saturation, B the
// value; 128 is neutral), the destination is the colour it adjusts. Hue runs on a circle of
// 384 steps, 64 per sixth, so that each sixth interpolates with shifts.
#include "raster/RasterCombine.h"

namespace raster {

namespace {

const int HUE_STEPS = 384;
const int HUE_SIXTH = 64;

// Entry i is 65536 / i - 1 (0 for i = 0): x * table[i] >> 16 divides by i without a division.
struct ReciprocalTable {
    int mEntry[256];
    ReciprocalTable() {
        mEntry[0] = 0;
        for (int i = 1; i < 256; ++i) mEntry[i] = 65536 / i - 1;
    }
};

const ReciprocalTable RECIPROCAL;

int WrapHue(int h) {
    h %= HUE_STEPS;
    return h < 0 ? h + HUE_STEPS : h;
}

}  // namespace

RasterPixel HsvAdjust(RasterPixel d, RasterPixel s, int w) {
    int r = int(RasterRed(d)), g = int(RasterGreen(d)), b = int(RasterBlue(d));
    int maxc = r > g ? (r > b ? r : b) : (g > b ? g : b);
    int minc = r < g ? (r < b ? r : b) : (g < b ? g : b);
    int delta = maxc - minc;

    // To hue, saturation, value.
    int value = maxc;
    // Rounded, so that a fully saturated colour comes out at 255.
    int sat = maxc ? (delta * 255 * (RECIPROCAL.mEntry[maxc] + 1) + 32768) >> 16 : 0;
    int hue = 0;
    if (delta) {
        int inv = RECIPROCAL.mEntry[delta];
        if (maxc == r)
            hue = ((g - b) * HUE_SIXTH * inv) / 65536;
        else if (maxc == g)
            hue = 2 * HUE_SIXTH + ((b - r) * HUE_SIXTH * inv) / 65536;
        else
            hue = 4 * HUE_SIXTH + ((r - g) * HUE_SIXTH * inv) / 65536;
    }

    // Adjust: R + R/2 - 192 spans about half the circle either way; G and B move by up to 255.
    int ar = int(RasterRed(s)), ag = int(RasterGreen(s)), ab = int(RasterBlue(s));
    hue = WrapHue(hue + w * (ar + ar / 2 - 192) / 256);
    sat = Clamp255(sat + w * (ag - 128) / 128);
    value = Clamp255(value + w * (ab - 128) / 128);

    // Back to R, G, B.
    int nr = value, ng = value, nb = value;
    if (sat) {
        int sixth = hue / HUE_SIXTH;
        int f = hue % HUE_SIXTH;
        int p = value * (255 - sat) / 255;
        int q = value * (255 * HUE_SIXTH - sat * f) / (255 * HUE_SIXTH);
        int t = value * (255 * HUE_SIXTH - sat * (HUE_SIXTH - f)) / (255 * HUE_SIXTH);
        // clang-format off
        switch (sixth) {
        case 0: nr = value; ng = t; nb = p; break;
        case 1: nr = q; ng = value; nb = p; break;
        case 2: nr = p; ng = value; nb = t; break;
        case 3: nr = p; ng = q; nb = value; break;
        case 4: nr = t; ng = p; nb = value; break;
        default: nr = value; ng = p; nb = q; break;
        }
        // clang-format on
    }
    return RasterMakePixel(RasterAlpha(s), uint32_t(nr), uint32_t(ng), uint32_t(nb));
}

}  // namespace raster
