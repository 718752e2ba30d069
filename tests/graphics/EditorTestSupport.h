// Helpers for the editor tests: a headless editor that records what it draws and can be
// told to lose images, and small images made in memory.
#pragma once

#include <set>
#include <vector>

#include "graphics/IEditorWindow.h"
#include "raster/RasterMemBitmap.h"

struct DrawnImage {
    RasterBitmap* mpBitmap;
    IBounds mDest;
    int mSrcY;
};

class RecordingEditor : public IEditorWindow {
public:
    explicit RecordingEditor(IEffectBase* plug, int w = 410, int h = 680, int frameRate = 0)
        : IEditorWindow(plug, w, h, frameRate) {}

    bool DrawImage(IImage* image, IBounds* dest, int srcX, int srcY, IBlend* blend) override {
        mDrawn.push_back({image->mpBitmap, *dest, srcY});
        return IEditorWindow::DrawImage(image, dest, srcX, srcY, blend);
    }
    bool PresentToScreen(IBounds* r) override {
        mPresented.push_back(*r);
        return IEditorWindow::PresentToScreen(r);
    }
    RasterBitmap* LoadImageResource(int id, const char* name) override {
        ++mLoads;
        return mMissing.count(id) ? nullptr : IEditorWindow::LoadImageResource(id, name);
    }

    std::vector<DrawnImage> mDrawn;
    std::vector<IBounds> mPresented;
    std::set<int> mMissing;
    int mLoads = 0;
};

// A w x h bitmap filled with one colour; stays alive for the test binary (retained images
// are freed by the cache).
inline IImage SolidImage(IEditorRaster* editor, int w, int h, uint32_t pixel, int frames = 1) {
    RasterMemBitmap* bitmap = new RasterMemBitmap(w, h, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bitmap->GetPixelData()[y * bitmap->GetRowSpan() + x] = pixel;
    IImage image(bitmap, w, h, frames);
    editor->RetainImage(&image);
    return image;
}
