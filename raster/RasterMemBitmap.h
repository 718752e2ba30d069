// RasterMemBitmap: a bitmap in heap memory, pixels on a 64-byte boundary and rows
// padded to a power-of-two pixel alignment. The block only grows while the size stays
// positive, with a 25 % margin, so repeated resizes do not reallocate.
#pragma once

#include "raster/RasterBitmap.h"

#include <cstdint>

class RasterMemBitmap : public RasterBitmap {
public:
    // rowAlignment is in pixels; below 2 means unpadded rows. A non-power of two is
    // rounded down to its lowest power-of-two factor; alignments above 16 act as 16.
    RasterMemBitmap(int w = 0, int h = 0, int rowAlignment = 4);
    ~RasterMemBitmap() override;

    RasterMemBitmap(const RasterMemBitmap&) = delete;
    RasterMemBitmap& operator=(const RasterMemBitmap&) = delete;

    RasterPixel* GetPixelData() const override;
    int GetWidth() const override { return mWidth; }
    int GetHeight() const override { return mHeight; }
    int GetRowSpan() const override { return (mWidth + mAlignMask) & ~mAlignMask; }
    bool ResizeTo(int w, int h) override;

    // Usable bytes in the current block (0 without one).
    int GetAllocatedBytes() const { return mAllocated; }

private:
    uint8_t* mpBuffer = nullptr;  // heap block of mAllocated + 63 bytes
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mAllocated = 0;
    int32_t mAlignMask = 0;  // row alignment in pixels minus 1
};
