// How the draw bitmap's pixels become an X server's pixels: the server's image format
// for the window's visual (bits per pixel, channel masks, byte order) and the conversion
// of a row of raster pixels into it. Plain code, so the rules hold without a display;
// every function is [any thread] (tags as in framework/IEffectBase.h).
#pragma once

#include <cstdint>

#include "raster/RasterPixel.h"

struct X11PixelFormat {
    int mDepth = 24;
    int mBitsPerPixel = 32;  // 8, 16, 24 or 32
    uint32_t mRedMask = 0xFF0000, mGreenMask = 0xFF00, mBlueMask = 0xFF;
    bool mMsbFirst = false;  // the server's image byte order

    // Formats this code can write (a true-colour visual with one of the pixel sizes above).
    bool IsSupported() const;
    // True when raster pixels can go to the server as they are: 32 bits, the masks of
    // A R G B, the byte order of this machine, and no alpha the server would keep.
    bool TakesRasterPixels() const;
    int BytesPerPixel() const { return mBitsPerPixel / 8; }
};

// Writes count pixels in the server's format to out (count * BytesPerPixel() bytes).
// Channels narrower than 8 bits keep their top bits; bits of a 32-bit depth outside
// the three masks (the alpha of an ARGB visual) are set, so the window stays opaque.
void X11ConvertRow(const X11PixelFormat& format, const RasterPixel* in, int count, uint8_t* out);
