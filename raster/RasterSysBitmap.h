// RasterSysBitmap: the bitmap the editor draws into and presents from. On Windows it is a
// 32-bit top-down DIB section selected into a memory device context, so system text can be
// drawn into it and it can be copied to a window; elsewhere it holds its pixels in memory and
// has no device context. Rows are padded to a multiple of 4 pixels, and shrinking keeps the
// existing pixels and row span.
#pragma once

#include "raster/RasterBitmap.h"

#include <cstdint>

class RasterSysBitmap : public RasterBitmap {
public:
    RasterSysBitmap(int w, int h);
    ~RasterSysBitmap() override;

    RasterSysBitmap(const RasterSysBitmap&) = delete;
    RasterSysBitmap& operator=(const RasterSysBitmap&) = delete;

    RasterPixel* GetPixelData() const override { return mpPixels; }
    int GetWidth() const override { return mWidth; }
    int GetHeight() const override { return mHeight; }
    int GetRowSpan() const override { return mAllocatedWidth; }
    bool ResizeTo(int w, int h) override;
    void* GetDeviceContext() const override { return mDeviceContext; }

private:
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    void* mDeviceContext = nullptr;  // Windows: HDC; null elsewhere
    RasterPixel* mpPixels = nullptr;
    int32_t mAllocatedWidth = 0;
    int32_t mAllocatedHeight = 0;
    void* mSection = nullptr;                          // Windows: HBITMAP; elsewhere the heap block behind mpPixels
    [[maybe_unused]] void* mPreviousObject = nullptr;  // Windows: object selected before the section
};
