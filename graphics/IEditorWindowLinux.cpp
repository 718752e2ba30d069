// The window layer on Linux. This file does not open a native window yet: OpenWindow
// answers null, so hosts are told there is no editor window to show, while text drawing,
// the image loader and every drawing and event path work without one.
#include "graphics/IEditorWindow.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

#include "graphics/TextRasterizer.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"

namespace {

// The text up to and including the last '/', or "" when there is none.
void DirectoryOf(const char* path, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    if (!path) return;
    const char* slash = std::strrchr(path, '/');
    if (!slash) return;
    size_t n = size_t(slash - path) + 1;
    if (n >= size_t(outSize)) return;
    std::memcpy(out, path, n);
    out[n] = 0;
}

}  // namespace

IEditorWindow::IEditorWindow(IEffectBase* plug, int w, int h, int frameRate) : IEditorRaster(plug, w, h, frameRate) {}

IEditorWindow::~IEditorWindow() {
    CloseWindow();
    delete[] mCustomColors;
    delete mpText;
}

bool IEditorWindow::PresentToScreen(IBounds*) {
    // Nothing to copy to while there is no window; the draw bitmap holds the picture.
    return true;
}

bool IEditorWindow::DrawText(ITextStyle* style, const char* text, IBounds* r) {
    if (!text || !*text || !style || !r) return true;
    if (!mFontSelected) {
        mpText = new TextRasterizer(style->mFont, style->mSize, style->mStyle);
        mFontSelected = true;
        mLastTextColor = style->mColor;
    } else if (style->mColor != mLastTextColor) {
        mLastTextColor = style->mColor;
    }
    // Text stays inside the region being drawn, so anti-aliased edges are never blended twice.
    IBounds clip = mDrawRect.Empty() ? IBounds(0, 0, mWidth, mHeight) : mDrawRect;
    mpText->Draw(mpDrawBitmap, text, *r, style->mAlign, mLastTextColor.ToPixel(), clip);
    return mpText->IsValid();
}

const char* IEditorWindow::TextFontFamily() const { return mpText ? mpText->Family() : ""; }

void IEditorWindow::Resize(int w, int h) {
    IEditorRaster::Resize(w, h);
    if (mpDrawBitmap) mpDrawBitmap->ResizeTo(w, h);
}

void IEditorWindow::PromptUserInput(IControl* control, IParameter* param, void*) {
    // The in-place editor lives in the native window.
    if (!control || !param || !mWindow || mEditWindow) return;
}

void IEditorWindow::GetHostDirectory(char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return;
    path[n] = 0;
    DirectoryOf(path, out, outSize);
}

void IEditorWindow::GetPluginDirectory(char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&DirectoryOf), &info) && info.dli_fname)
        DirectoryOf(info.dli_fname, out, outSize);
}

void IEditorWindow::AskForFile(char* out, int outSize, int, const char*) {
    if (out && outSize > 0) out[0] = 0;
}

bool IEditorWindow::AskForColor(IArgb*, const char*) {
    if (!mCustomColors && mWindow) mCustomColors = new uint32_t[16]();
    return false;
}

bool IEditorWindow::OpenLink(const char*, const char*, const char*, const char*) { return false; }

void* IEditorWindow::OpenWindow(void*) { return nullptr; }

void IEditorWindow::CloseWindow() {
    mWindow = nullptr;
    mEditWindow = nullptr;
    mDefaultEditProc = nullptr;
    mEditState = EditNone;
    mpEditControl = nullptr;
    mpEditParam = nullptr;
}

void IEditorWindow::PopupValueMenu(IControl*, IParameter*, int) {}

RasterBitmap* IEditorWindow::LoadImageResource(int id, const char* name) {
    return LoadPngResourceByName(mInstance, id, name, nullptr);
}
