// System bitmap on Windows: a 32-bit top-down DIB section selected into a memory device
// context compatible with the screen, so GDI text can be drawn into the pixels and the
// window layer can BitBlt them to the window.
#include "raster/RasterSysBitmap.h"

#include <windows.h>

RasterSysBitmap::RasterSysBitmap(int w, int h) {
    mDeviceContext = CreateCompatibleDC(nullptr);
    ResizeTo(w, h);
}

RasterSysBitmap::~RasterSysBitmap() {
    HDC dc = static_cast<HDC>(mDeviceContext);
    if (dc && mPreviousObject) SelectObject(dc, static_cast<HGDIOBJ>(mPreviousObject));
    if (mSection) DeleteObject(static_cast<HGDIOBJ>(mSection));
    if (dc) DeleteDC(dc);
}

bool RasterSysBitmap::ResizeTo(int w, int h) {
    HDC dc = static_cast<HDC>(mDeviceContext);
    if (!dc) {
        mWidth = 0;
        mHeight = 0;
        mpPixels = nullptr;
        return false;
    }
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (w == mWidth && h == mHeight) return false;

    mWidth = w;
    mHeight = h;
    // Shrinking reuses the section and keeps the old row span.
    if (w > 0 && h > 0 && mpPixels && w <= mAllocatedWidth && h <= mAllocatedHeight) return true;

    mAllocatedWidth = (w + 3) & ~3;
    mAllocatedHeight = h;
    if (mSection) {
        SelectObject(dc, static_cast<HGDIOBJ>(mPreviousObject));
        DeleteObject(static_cast<HGDIOBJ>(mSection));
        mSection = nullptr;
        mPreviousObject = nullptr;
    }
    mpPixels = nullptr;
    if (mAllocatedWidth == 0 || mAllocatedHeight == 0) return false;

    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = mAllocatedWidth;
    info.bmiHeader.biHeight = -h;  // negative: rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section && bits) {
        mSection = section;
        mPreviousObject = SelectObject(dc, section);
        mpPixels = static_cast<RasterPixel*>(bits);
    } else {
        if (section) DeleteObject(section);
        mWidth = 0;
        mHeight = 0;
        mAllocatedWidth = 0;
        mAllocatedHeight = 0;
    }
    return true;
}
