#include "graphics/X11PixelFormat.h"

namespace {

int Shift(uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1u)) mask >>= 1, ++shift;
    return shift;
}

int Width(uint32_t mask) {
    mask >>= Shift(mask);
    int width = 0;
    while (mask & 1u) mask >>= 1, ++width;
    return width;
}

// An 8-bit channel placed into a mask of any width up to 32 bits.
struct Channel {
    int mShift, mWidth;
    explicit Channel(uint32_t mask) : mShift(Shift(mask)), mWidth(Width(mask)) {}
    uint32_t Put(uint32_t c) const {
        if (mWidth <= 0) return 0;
        uint32_t v = mWidth <= 8 ? c >> (8 - mWidth) : (c << (mWidth - 8)) | (c >> (16 - mWidth > 0 ? 16 - mWidth : 0));
        return v << mShift;
    }
};

bool LittleEndianMachine() {
    const uint16_t probe = 1;
    return *reinterpret_cast<const uint8_t*>(&probe) == 1;
}

}  // namespace

bool X11PixelFormat::IsSupported() const {
    bool size = mBitsPerPixel == 8 || mBitsPerPixel == 16 || mBitsPerPixel == 24 || mBitsPerPixel == 32;
    return size && mRedMask && mGreenMask && mBlueMask && mDepth > 0 && mDepth <= mBitsPerPixel;
}

bool X11PixelFormat::TakesRasterPixels() const {
    return mBitsPerPixel == 32 && mDepth == 24 && mRedMask == 0xFF0000 && mGreenMask == 0xFF00 && mBlueMask == 0xFF &&
           mMsbFirst != LittleEndianMachine();
}

void X11ConvertRow(const X11PixelFormat& format, const RasterPixel* in, int count, uint8_t* out) {
    const Channel red(format.mRedMask), green(format.mGreenMask), blue(format.mBlueMask);
    uint32_t opaque = 0;
    if (format.mDepth == 32 && format.mBitsPerPixel == 32)
        opaque = ~(format.mRedMask | format.mGreenMask | format.mBlueMask);
    const int bytes = format.BytesPerPixel();
    for (int i = 0; i < count; ++i) {
        RasterPixel p = in[i];
        uint32_t v = red.Put(RasterRed(p)) | green.Put(RasterGreen(p)) | blue.Put(RasterBlue(p)) | opaque;
        for (int b = 0; b < bytes; ++b) {
            int shift = format.mMsbFirst ? 8 * (bytes - 1 - b) : 8 * b;
            out[b] = static_cast<uint8_t>(v >> shift);
        }
        out += bytes;
    }
}
