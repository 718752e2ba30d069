// RasterBitmap: the abstract bitmap every raster operation reads and writes.
// Pixel (x, y) lives at GetPixelData() + y' * GetRowSpan() + x, where y' = y for a
// top-down bitmap and GetHeight() - 1 - y for a bottom-up one.
#pragma once

#include "raster/RasterPixel.h"

#include <cstdint>

class RasterBitmap {
public:
    virtual ~RasterBitmap() {}

    // First stored row; null when the bitmap holds no pixels.
    virtual RasterPixel* GetPixelData() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Distance between stored rows, in pixels (at least the width).
    virtual int GetRowSpan() const = 0;
    virtual bool IsBottomUp() const { return false; }
    // Returns true if anything changed. Pixel contents are not preserved.
    virtual bool ResizeTo(int w, int h) = 0;
    // Platform drawing context behind the pixels, or null where there is none.
    virtual void* GetDeviceContext() const { return nullptr; }
    // Reserved query for later bitmap kinds; nothing answers it yet.
    virtual intptr_t Extension(int /*query*/, intptr_t /*arg*/) { return 0; }
};
