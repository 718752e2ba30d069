// The drawing layer of the editor graphics: every drawing operation done with the raster
// library into one off-screen system bitmap, plus image loading through the process-wide
// image cache. The window, the screen transfer, text and the platform image loader are
// left to the window layer. Thread tags as in framework/IEffectBase.h; the overrides
// keep those of IEditorBase's declarations.
#pragma once

#include "graphics/IEditorBase.h"

class RasterBitmap;

class IEditorRaster : public IEditorBase {
public:
    // [construction]
    IEditorRaster(IEffectBase* plug, int w, int h, int frameRate = 0);
    ~IEditorRaster() override;

    void PrepareDraw() override;
    bool DrawImage(IImage* image, IBounds* dest, int srcX, int srcY, IBlend* blend) override;
    bool DrawRotatedImage(IImage* image, int ctrX, int ctrY, double angle, int yOffsetZeroDeg, IBlend* blend) override;
    bool DrawRotatedMask(IImage* base, RasterBitmap* mask, RasterBitmap* top, int x, int y, double angleDeg,
                         IBlend* blend) override;
    bool DrawPoint(IArgb* color, float x, float y, IBlend* blend) override;
    bool ForcePixel(IArgb* color, int x, int y) override;
    bool DrawLine(IArgb* color, float x1, float y1, float x2, float y2, IBlend* blend, bool antiAlias) override;
    bool DrawArc(IArgb* color, float cx, float cy, float r, float minAngle, float maxAngle, IBlend* blend,
                 bool antiAlias) override;
    bool DrawCircle(IArgb* color, float cx, float cy, float r, IBlend* blend, bool antiAlias) override;
    bool FillRect(IArgb* color, IBounds* r, IBlend* blend) override;
    IArgb GetPoint(int x, int y) override;
    void* GetPixels() override;
    bool LoadImage(IImage* out, int id, const char* name, int nFrames) override;
    void ScaleImage(IImage* out, IImage* in, int w, int h) override;
    void CropImage(IImage* out, IImage* in, IBounds* r) override;
    bool DrawVerticalLine(IArgb* color, int x, int yLo, int yHi) override;
    bool DrawHorizontalLine(IArgb* color, int y, int xLo, int xHi) override;
    void RetainImage(IImage* image) override;
    void ReleaseImage(IImage* image) override;
    // [construction, or GUI thread before the first draw] The platform's decoder for a module
    // image: a new bitmap, or null.
    virtual RasterBitmap* LoadImageResource(int id, const char* name) = 0;

    // [GUI thread] Null until PrepareDraw.
    RasterBitmap* DrawBitmap() const { return mpDrawBitmap; }

protected:
    RasterBitmap* mpDrawBitmap = nullptr;     // a RasterSysBitmap, owned
    RasterBitmap* mpScratchBitmap = nullptr;  // a RasterMemBitmap for rotated masks, owned
};
