// RasterPixel: the raster library's 32-bit pixel, (A << 24) | (R << 16) | (G << 8) | B.
// Channels are 0..255 and never premultiplied; in memory the bytes are B, G, R, A.
#pragma once

#include <cstdint>

typedef uint32_t RasterPixel;

inline RasterPixel RasterMakePixel(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline uint32_t RasterAlpha(RasterPixel p) { return p >> 24; }
inline uint32_t RasterRed(RasterPixel p) { return (p >> 16) & 0xFF; }
inline uint32_t RasterGreen(RasterPixel p) { return (p >> 8) & 0xFF; }
inline uint32_t RasterBlue(RasterPixel p) { return p & 0xFF; }
