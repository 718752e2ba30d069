#include "graphics/IEditorRaster.h"

#include <cmath>

#include "framework/Trace.h"
#include "graphics/ImageCache.h"
#include "raster/RasterMemBitmap.h"
#include "raster/RasterOperations.h"
#include "raster/RasterSysBitmap.h"

IEditorRaster::IEditorRaster(IEffectBase* plug, int w, int h, int frameRate) : IEditorBase(plug, w, h, frameRate) {}

IEditorRaster::~IEditorRaster() {
    delete mpDrawBitmap;
    delete mpScratchBitmap;
}

void IEditorRaster::PrepareDraw() {
    delete mpDrawBitmap;
    delete mpScratchBitmap;
    mpDrawBitmap = new RasterSysBitmap(mWidth, mHeight);
    mpScratchBitmap = new RasterMemBitmap(0, 0, 4);
}

bool IEditorRaster::DrawImage(IImage* image, IBounds* dest, int srcX, int srcY, IBlend* blend) {
    // An image that failed to load draws nothing.
    if (!image || !image->mpBitmap || !dest) return true;
    IBounds c = dest->Intersect(mDrawRect);
    if (c.W() <= 0 || c.H() <= 0) return true;
    RasterCopyRegion(mpDrawBitmap, image->mpBitmap, c.L, c.T, srcX + c.L - dest->L, srcY + c.T - dest->T, c.W(), c.H(),
                     BlendOpacity(blend), BlendImageMode(blend));
    return true;
}

bool IEditorRaster::DrawRotatedImage(IImage* image, int ctrX, int ctrY, double angle, int yOffsetZeroDeg,
                                     IBlend* blend) {
    if (!image || !image->mpBitmap) return true;
    int w = image->mWidth, h = image->mHeight;
    RasterRotateRegion(mpDrawBitmap, image->mpBitmap, ctrX - w / 2, ctrY - h / 2, w, h, 0.0f, 0.0f, float(w), float(h),
                       float(angle), false, BlendOpacity(blend), BlendImageMode(blend) | BlitFilterBilinear, 0.0f,
                       float(yOffsetZeroDeg));
    return true;
}

bool IEditorRaster::DrawRotatedMask(IImage* base, RasterBitmap* mask, RasterBitmap* top, int x, int y, double angleDeg,
                                    IBlend* blend) {
    if (!base || !base->mpBitmap) return true;
    if (!mpScratchBitmap) mpScratchBitmap = new RasterMemBitmap(0, 0, 4);
    RasterCopyWhole(mpScratchBitmap, base->mpBitmap);
    int w = base->mWidth, h = base->mHeight;
    RasterClearChannels(mpScratchBitmap, 0, 0, w, h, 0x00FFFFFF, 0);
    float angle = float(angleDeg * 3.14159265358979323846 / 180.0);
    float offsetX = (w & 1) ? -0.5f : 0.0f;
    RasterRotateRegion(mpScratchBitmap, mask, 0, 0, w, h, 0.0f, 0.0f, float(w), float(h), angle, true, 1.0f, 0x10101,
                       offsetX, 0.0f);
    RasterRotateRegion(mpScratchBitmap, top, 0, 0, w, h, 0.0f, 0.0f, float(w), float(h), angle, true, 1.0f, 0x10100,
                       offsetX, 0.0f);
    IBounds c = IBounds(x, y, x + w, y + h).Intersect(mDrawRect);
    if (c.W() > 0 && c.H() > 0)
        RasterCopyRegion(mpDrawBitmap, mpScratchBitmap, c.L, c.T, c.L - x, c.T - y, c.W(), c.H(), BlendOpacity(blend),
                         BlendImageMode(blend));
    return true;
}

bool IEditorRaster::DrawPoint(IArgb* color, float x, float y, IBlend* blend) {
    RasterWritePixel(mpDrawBitmap, int(x + 0.5f), int(y + 0.5f), color->ToPixel(), BlendOpacity(blend),
                     BlendPointMode(blend));
    return true;
}

bool IEditorRaster::ForcePixel(IArgb* color, int x, int y) {
    // Kept inside the bitmap even though callers promise to stay there.
    if (!mpDrawBitmap || x < 0 || y < 0 || x >= mpDrawBitmap->GetWidth() || y >= mpDrawBitmap->GetHeight()) return true;
    int row = mpDrawBitmap->IsBottomUp() ? mpDrawBitmap->GetHeight() - 1 - y : y;
    mpDrawBitmap->GetPixelData()[row * mpDrawBitmap->GetRowSpan() + x] = color->ToPixel();
    return true;
}

bool IEditorRaster::DrawLine(IArgb* color, float x1, float y1, float x2, float y2, IBlend* blend, bool antiAlias) {
    RasterDrawSegment(mpDrawBitmap, int(x1), int(y1), int(x2), int(y2), color->ToPixel(), BlendOpacity(blend),
                      BlendImageMode(blend), antiAlias);
    return true;
}

bool IEditorRaster::DrawArc(IArgb* color, float cx, float cy, float r, float minAngle, float maxAngle, IBlend* blend,
                            bool antiAlias) {
    RasterDrawArcSegment(mpDrawBitmap, cx, cy, r, minAngle, maxAngle, color->ToPixel(), BlendOpacity(blend),
                         BlendPointMode(blend), antiAlias);
    return true;
}

bool IEditorRaster::DrawCircle(IArgb* color, float cx, float cy, float r, IBlend* blend, bool antiAlias) {
    RasterDrawRing(mpDrawBitmap, cx, cy, r, color->ToPixel(), BlendOpacity(blend), BlendImageMode(blend), antiAlias);
    return true;
}

bool IEditorRaster::FillRect(IArgb* color, IBounds* r, IBlend* blend) {
    RasterFillRegion(mpDrawBitmap, r->L, r->T, r->W(), r->H(), color->ToPixel(), BlendOpacity(blend),
                     BlendImageMode(blend));
    return true;
}

IArgb IEditorRaster::GetPoint(int x, int y) { return IArgb::FromPixel(RasterReadPixel(mpDrawBitmap, x, y)); }

void* IEditorRaster::GetPixels() { return mpDrawBitmap ? mpDrawBitmap->GetPixelData() : nullptr; }

bool IEditorRaster::LoadImage(IImage* out, int id, const char* name, int nFrames) {
    RasterBitmap* bitmap = ImageCache::Find(id);
    if (!bitmap) {
        bitmap = LoadImageResource(id, name);
        // A missing image is a build fault; it is reported and leaves an image that draws
        // nothing, so that the plug-in can decline to offer its editor.
        if (!bitmap) {
            TRACE("IEditorRaster::LoadImage", "imgResourceFound %d %s", id, name ? name : "");
            *out = IImage(nullptr, 0, 0, nFrames > 0 ? nFrames : 1);
            return false;
        }
        bitmap = ImageCache::Add(id, bitmap);
        if (!bitmap) {
            *out = IImage(nullptr, 0, 0, nFrames > 0 ? nFrames : 1);
            return false;
        }
    }
    *out = IImage(bitmap, bitmap->GetWidth(), bitmap->GetHeight(), nFrames > 0 ? nFrames : 1);
    return true;
}

void IEditorRaster::ScaleImage(IImage* out, IImage* in, int w, int h) {
    RasterMemBitmap* bitmap = new RasterMemBitmap(w, h, 4);
    if (in->mpBitmap)
        RasterScaleRegion(bitmap, in->mpBitmap, 0, 0, w, h, 0.0f, 0.0f, float(in->mWidth), float(in->mHeight), 1.0f,
                          BlitFilterBilinear);
    *out = IImage(bitmap, w, h, in->mNumFrames);
    RetainImage(out);
}

void IEditorRaster::CropImage(IImage* out, IImage* in, IBounds* r) {
    RasterMemBitmap* bitmap = new RasterMemBitmap(r->W(), r->H(), 4);
    if (in->mpBitmap) RasterCopyRegion(bitmap, in->mpBitmap, 0, 0, r->L, r->T, r->W(), r->H(), 1.0f, BlitCopy);
    *out = IImage(bitmap, r->W(), r->H(), in->mNumFrames);
    RetainImage(out);
}

namespace {
int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }
}  // namespace

bool IEditorRaster::DrawVerticalLine(IArgb* color, int x, int yLo, int yHi) {
    if (!mpDrawBitmap || !mpDrawBitmap->GetPixelData() || mWidth <= 0 || mHeight <= 0) return true;
    x = Clamp(x, 0, mWidth - 1);
    yLo = Clamp(yLo, 0, mHeight - 1);
    yHi = Clamp(yHi, 0, mHeight - 1);
    if (yHi < yLo) return true;
    for (int y = yLo; y <= yHi; ++y) ForcePixel(color, x, y);
    return true;
}

bool IEditorRaster::DrawHorizontalLine(IArgb* color, int y, int xLo, int xHi) {
    if (!mpDrawBitmap || !mpDrawBitmap->GetPixelData() || mWidth <= 0 || mHeight <= 0) return true;
    y = Clamp(y, 0, mHeight - 1);
    xLo = Clamp(xLo, 0, mWidth - 1);
    xHi = Clamp(xHi, 0, mWidth - 1);
    if (xHi < xLo) return true;
    for (int x = xLo; x <= xHi; ++x) ForcePixel(color, x, y);
    return true;
}

void IEditorRaster::RetainImage(IImage* image) {
    if (!image || !image->mpBitmap) return;
    // The cache deletes the bitmap when it cannot keep it; the image then draws nothing.
    if (!ImageCache::Add(-1, image->mpBitmap)) image->mpBitmap = nullptr;
}

void IEditorRaster::ReleaseImage(IImage* image) {
    if (image) ImageCache::Release(image->mpBitmap);
}
