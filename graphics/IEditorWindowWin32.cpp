// The window layer on Windows. This file does not open a native window yet: OpenWindow
// answers null, so hosts are told there is no editor window to show, while GDI text
// drawing into the draw bitmap's section, the image loader and every drawing and event
// path work without one.
#include <windows.h>
// The API's character-set macros would rename the graphics' own operations.
#undef DrawText
#undef LoadImage

#include <cstring>

#include "RasterBitmap.h"
#include "graphics/IEditorWindow.h"
#include "graphics/PngLoader.h"

namespace {

// The module this code lives in, so that its own resources are found.
HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

// The text up to and including the last backslash; empty when there is none or nothing follows it.
void DirectoryOf(const char* path, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    if (!path || !*path) return;
    const char* slash = std::strrchr(path, '\\');
    if (!slash || !slash[1]) return;
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
}

bool IEditorWindow::PresentToScreen(IBounds*) {
    // Nothing to copy to while there is no window; the draw bitmap holds the picture.
    return true;
}

bool IEditorWindow::DrawText(ITextStyle* style, const char* text, IBounds* r) {
    if (!text || !*text || !style || !r || !mpDrawBitmap) return true;
    HDC dc = static_cast<HDC>(mpDrawBitmap->GetDeviceContext());
    if (!dc) return true;
    if (!mFontSelected) {
        HFONT font = CreateFontA(style->mSize, 0, style->mOrientation * 10, style->mOrientation * 10,
                                 style->mStyle == TextBold ? FW_BOLD : 0, style->mStyle == TextItalic, 0, 0, 0, 0, 0,
                                 CLEARTYPE_QUALITY, 0, style->mFont);
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        mFontSelected = true;
        mLastTextColor = style->mColor;
        SetTextColor(dc, RGB(style->mColor.R, style->mColor.G, style->mColor.B));
    } else if (style->mColor != mLastTextColor) {
        mLastTextColor = style->mColor;
        SetTextColor(dc, RGB(style->mColor.R, style->mColor.G, style->mColor.B));
    }
    UINT format = style->mAlign == AlignCenter ? DT_CENTER : style->mAlign == AlignRight ? DT_RIGHT : DT_LEFT;
    RECT rect = {r->L, r->T, r->R, r->B};
    return DrawTextA(dc, text, -1, &rect, format | DT_NOCLIP) != 0;
}

const char* IEditorWindow::TextFontFamily() const { return ""; }

void IEditorWindow::Resize(int w, int h) {
    IEditorRaster::Resize(w, h);
    if (mpDrawBitmap) mpDrawBitmap->ResizeTo(w, h);
}

void IEditorWindow::PromptUserInput(IControl* control, IParameter* param, void*) {
    // The in-place editor lives in the native window.
    if (!control || !param || !mWindow || mEditWindow) return;
}

void IEditorWindow::GetHostDirectory(char* out, int outSize) {
    char path[256] = "";
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    DirectoryOf(n > 0 && n < sizeof(path) ? path : "", out, outSize);
}

void IEditorWindow::GetPluginDirectory(char* out, int outSize) {
    char path[256] = "";
    HMODULE module = mInstance ? static_cast<HMODULE>(mInstance) : ThisModule();
    DWORD n = GetModuleFileNameA(module, path, sizeof(path));
    DirectoryOf(n > 0 && n < sizeof(path) ? path : "", out, outSize);
}

void IEditorWindow::AskForFile(char* out, int outSize, int, const char*) {
    if (out && outSize > 0) out[0] = 0;
}

bool IEditorWindow::AskForColor(IArgb*, const char*) { return false; }

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
    return LoadPngResourceByName(mInstance ? mInstance : ThisModule(), id, name, nullptr);
}
