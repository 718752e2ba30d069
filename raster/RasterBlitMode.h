// The mode word passed to every raster drawing operation: combine operation in bits 0-7,
// filter in bits 8-15, source-alpha weighting in bit 16.
#pragma once

#include <cstdint>

enum : uint32_t {
    BlitCopy = 0,
    BlitAdd = 1,
    BlitDodge = 2,
    BlitMultiply = 3,
    BlitOverlay = 4,
    BlitHsvAdjust = 5,
    // 0xF0..0xFF: copy one byte per pixel; bits 0-1 name the source byte, bits 2-3 the destination byte.
    BlitChannelCopy = 0xF0,

    BlitFilterBilinear = 0x100,  // scaled and rotated copies only
    BlitUseAlpha = 0x10000,      // weight each source pixel by its own alpha

    BLIT_OPERATION_MASK = 0xFF,
    BLIT_FILTER_MASK = 0xFF00
};

// Channel-copy mode word that moves source byte srcByte to destination byte dstByte
// (bytes in memory order: 0 = B, 1 = G, 2 = R, 3 = A).
inline uint32_t RasterChannelCopyMode(uint32_t srcByte, uint32_t dstByte) {
    return BlitChannelCopy | (srcByte & 3) | ((dstByte & 3) << 2);
}
