// The window layer of the editor graphics: the native child window with its event
// translation and redraw tick, text drawing into the draw bitmap, the in-place value
// editor, the system dialogs and the image loader for the module's resources. Each
// platform supplies the whole class in its own source files: IEditorWindowLinux.cpp with
// InPlaceEditLinux.cpp (an X11 window driven from the host's idle calls), or
// IEditorWindowWin32.cpp with InPlaceEditWin32.cpp and SystemDialogsWin32.cpp (a window
// with its own timer). Drawing, the dirty cycle and every event entry point work with no
// window at all, so tests and tools can drive the editor directly. Thread tags as in
// framework/IEffectBase.h; the overrides keep those of IEditorBase's and IEffectEditor's
// declarations, and the window runs on the GUI thread.
#pragma once

#include "graphics/IEditorRaster.h"

class TextRasterizer;
class IEditorWindowProcs;
struct INativeWindow;

enum IEditState : int32_t { EditNone = 0, EditFocused = 1, EditRefresh = 2, EditCancel = 3, EditCommit = 4 };

class IEditorWindow : public IEditorRaster {
public:
    // [construction]
    IEditorWindow(IEffectBase* plug, int w, int h, int frameRate = 0);
    ~IEditorWindow() override;

    // Does nothing while no window is open.
    bool PresentToScreen(IBounds* r) override;
    // The font of the first call is kept for every later call; the colour follows each call.
    bool DrawText(ITextStyle* style, const char* text, IBounds* r) override;
    void Resize(int w, int h) override;
    bool WindowIsOpen() override { return mWindow != nullptr; }
    void PromptUserInput(IControl* control, IParameter* param, void* reserved) override;
    void GetHostDirectory(char* out, int outSize) override;
    void GetPluginDirectory(char* out, int outSize) override;
    void AskForFile(char* out, int outSize, int action, const char* directory) override;
    bool AskForColor(IArgb* color, const char* title) override;
    bool OpenLink(const char* url, const char* title, const char* question, const char* errorText) override;
    void* OpenWindow(void* parent) override;
    void CloseWindow() override;
    void* GetWindow() override { return mWindow; }
    void PopupValueMenu(IControl* control, IParameter* param, int columns) override;
    RasterBitmap* LoadImageResource(int id, const char* name) override;
    // Linux: events, the in-place entry's pending outcome and the frame tick, timed by
    // the frame rate. Windows: nothing, the window's own timer does it.
    void Idle() override;
    // Keys go to an open in-place entry, which then has the keyboard (Linux only).
    bool HostKey(IEditKey key, char character, bool down) override;

    // [construction]
    void SetInstance(void* instance) { mInstance = instance; }
    // [GUI thread] The family name the text font resolved to ("" before the first text is drawn).
    const char* TextFontFamily() const;

private:
    friend class IEditorWindowProcs;  // the native window procedures reach the fields below

    bool mFontSelected = false;
    IArgb mLastTextColor{255, 0, 0, 0};
    void* mInstance = nullptr;
    void* mWindow = nullptr;
    void* mEditWindow = nullptr;
    void* mDefaultEditProc = nullptr;
    int32_t mEditState = EditNone;
    uint32_t* mCustomColors = nullptr;
    TextRasterizer* mpText = nullptr;  // the font of the first DrawText and its glyphs
    // Native objects this layer creates and releases itself (unused where there are none).
    void* mTextFont = nullptr;          // the font of the first DrawText
    void* mTextFontDC = nullptr;        // the drawing context it is selected into
    void* mPreviousFont = nullptr;      // what that context held before
    void* mEditFont = nullptr;          // the in-place editor's font
    INativeWindow* mpNative = nullptr;  // the platform's state of an open window, where it keeps one
};
