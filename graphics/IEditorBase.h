// The platform-neutral editor graphics: the ordered control list (index 0 is the
// background), the dirty check and draw cycle, the routing of pointer and key events to
// the control under the pointer, and the link between controls and plug-in parameters.
// Drawing itself is left to the raster layer below the window layer. Thread tags as in
// framework/IEffectBase.h; the graphics take no lock of their own around the controls.
#pragma once

#include <cstdint>
#include <mutex>

#include "framework/GrowArray.h"
#include "framework/IEffectEditor.h"
#include "graphics/EditorTypes.h"

class IControl;
class IEffectBase;
class IParameter;

// Key codes handed to OnKeyDown by the window layer.
enum IKeyCode : int {
    KeySpace = 0,
    KeyArrowUp = 1,
    KeyArrowDown = 2,
    KeyArrowLeft = 3,
    KeyArrowRight = 4,
    KeyDigit0 = 5,   // to KeyDigit0 + 9
    KeyLetterA = 15  // to KeyLetterA + 25
};

// [any thread] The key code for a character key, where both platforms' key codes agree
// (Windows' virtual keys and X11's keysyms): space, digits 0x30..0x39, letters 0x41..0x5A,
// and 0x61..0x7A as letters too; -1 for any other code.
int EditorKeyForCharacterCode(unsigned long code);

enum IFileAction : int { FileActionOpen = 0, FileActionSave = 1 };

constexpr int DEFAULT_FRAME_RATE = 24;

class IEditorBase : public IEffectEditor {
public:
    // [construction]
    IEditorBase(IEffectBase* plug, int w, int h, int frameRate = 0);

    // ---- virtual operations; the window layer supplies the ones left abstract ----
    // [GUI thread, lock held] Creates the bitmaps drawing goes into; called once before
    // the graphics are first shown.
    void PrepareDraw() override = 0;
    // [GUI thread] Copies a region of the draw bitmap to the screen.
    virtual bool PresentToScreen(IBounds* r) = 0;
    // [GUI thread] Drawing into the draw bitmap, clipped to the region being drawn.
    virtual bool DrawImage(IImage* image, IBounds* dest, int srcX, int srcY, IBlend* blend) = 0;
    virtual bool DrawRotatedImage(IImage* image, int ctrX, int ctrY, double angle, int yOffsetZeroDeg,
                                  IBlend* blend) = 0;
    virtual bool DrawRotatedMask(IImage* base, RasterBitmap* mask, RasterBitmap* top, int x, int y, double angleDeg,
                                 IBlend* blend) = 0;
    virtual bool DrawPoint(IArgb* color, float x, float y, IBlend* blend) = 0;
    virtual bool ForcePixel(IArgb* color, int x, int y) = 0;
    virtual bool DrawLine(IArgb* color, float x1, float y1, float x2, float y2, IBlend* blend, bool antiAlias) = 0;
    virtual bool DrawArc(IArgb* color, float cx, float cy, float r, float minAngle, float maxAngle, IBlend* blend,
                         bool antiAlias) = 0;
    virtual bool DrawCircle(IArgb* color, float cx, float cy, float r, IBlend* blend, bool antiAlias) = 0;
    virtual bool FillRect(IArgb* color, IBounds* r, IBlend* blend) = 0;
    virtual bool DrawText(ITextStyle* style, const char* text, IBounds* r) = 0;
    virtual IArgb GetPoint(int x, int y) = 0;
    virtual void* GetPixels() = 0;
    // [GUI thread] Drops every control and republishes the editor size to the plug-in.
    virtual void Resize(int w, int h);
    // [GUI thread]
    virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
    // [GUI thread] Typed entry, folders and dialogs, offered by the window layer.
    virtual void PromptUserInput(IControl* control, IParameter* param, void* reserved) = 0;
    virtual void GetHostDirectory(char* out, int outSize) = 0;
    virtual void GetPluginDirectory(char* out, int outSize) = 0;
    virtual void AskForFile(char* out, int outSize, int action, const char* directory) = 0;
    virtual bool AskForColor(IArgb* color, const char* title) = 0;
    virtual bool OpenLink(const char* url, const char* title, const char* question, const char* errorText) = 0;
    // Never called; answers 0.
    virtual intptr_t Query() { return 0; }
    // [GUI thread, lock held] Opens the window as a child of the host's parent; the window, or null.
    void* OpenWindow(void* parent) override = 0;
    // [GUI thread]
    void CloseWindow() override = 0;
    virtual void* GetWindow() = 0;
    // [any thread] Deleted with the plug-in, from effClose.
    ~IEditorBase() override;
    // [construction, or GUI thread before the first draw] Fills out with the image (shared
    // through the process-wide cache); false, and a bitmap-less image that draws nothing,
    // when the image cannot be loaded.
    virtual bool LoadImage(IImage* out, int id, const char* name, int nFrames) = 0;
    virtual void ScaleImage(IImage* out, IImage* in, int w, int h) = 0;
    virtual void CropImage(IImage* out, IImage* in, IBounds* r) = 0;
    // [construction, or GUI thread before the first draw] Loads the image and puts it behind
    // everything, at index 0; false when it is missing.
    virtual bool AttachBackground(int id, const char* name);
    // [GUI thread]
    virtual bool DrawVerticalLine(IArgb* color, int x, int yLo, int yHi);
    virtual bool DrawHorizontalLine(IArgb* color, int y, int xLo, int xHi);
    // [any thread] The image cache takes its own lock, not the plug-in's.
    virtual void RetainImage(IImage* image) = 0;
    virtual void ReleaseImage(IImage* image) = 0;
    // [GUI thread]
    virtual void PopupValueMenu(IControl* control, IParameter* param, int columns) = 0;

    // ---- control list ----
    // [construction, or GUI thread before the first draw] Takes ownership; returns the control's index.
    int AttachControl(IControl* control);
    // [any thread]
    IControl* GetControl(int index);
    int NumControls() const { return mControls.Count(); }

    // ---- drawing, all [GUI thread] ----
    // Frames count from 1; frame f of N starts at row trunc(H * (f - 1) / N + 0.5).
    bool DrawImageFrame(IImage* image, IBounds* dest, int frame, IBlend* blend);
    void SetAllControlsDirty();
    // Delivers pending observer notifications, then unions the dirty controls' rectangles
    // into out (which the caller zeroes); true when any control is dirty.
    bool IsDirty(IBounds* out);
    // Draws the controls that meet r, cleans them and presents r.
    bool Draw(IBounds* r);
    // [construction]
    void SetStrictDrawing(bool strict) { mStrictDrawing = strict; }
    // [GUI thread]
    const IBounds& DrawRect() const { return mDrawRect; }

    // ---- parameters ----
    // [any thread, lock held] Every control bound to the parameter shows the value (plain unless normalized).
    void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
    // [GUI thread] Every control bound to the parameter takes the value and sends it to the plug-in.
    void SetControlsFromUserInput(int paramIdx, double value);

    // ---- events, in client coordinates, all [GUI thread] ----
    // Topmost visible, enabled control under the point; the capturing control wins.
    int GetMouseControlIndex(int x, int y);
    void OnMouseDown(int x, int y, const IPointerState* state);
    void OnMouseUp(int x, int y, const IPointerState* state);
    void OnMouseDrag(int x, int y, const IPointerState* state);
    // True when the window layer should capture the pointer.
    bool OnMouseDblClick(int x, int y, const IPointerState* state);
    bool OnMouseOver(int x, int y, const IPointerState* state);
    void OnMouseWheel(int x, int y, const IPointerState* state, int notches);
    void OnKeyDown(int x, int y, int key);
    void OnMouseOut();
    // The window lost the pointer in the middle of a gesture (another window took it):
    // the capturing control is released and the host's gesture ends.
    void OnMouseCaptureLost();
    // [construction]
    void SetHandleMouseOver(bool on) { mHandleMouseOver = on; }
    // [GUI thread]
    int MouseCapture() const { return mMouseCapture; }
    bool LastClickWasRight() const { return mLastClickWasRight; }

    // [any thread]
    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    int FrameRate() const { return mFrameRate; }
    IEffectBase* Plug() const { return mpPlug; }

protected:
    void DeleteAllControls();

    GrowArray<IControl*> mControls{4096};
    IEffectBase* mpPlug;
    IBounds mDrawRect;
    std::mutex mLock;  // kept for subclasses; nothing here takes it
    IControl* mpEditControl = nullptr;
    IParameter* mpEditParam = nullptr;
    int32_t mWidth;
    int32_t mHeight;
    int32_t mFrameRate;
    int32_t mMouseCapture = -1;
    int32_t mMouseOver = -1;
    int32_t mMouseX = 0;
    int32_t mMouseY = 0;
    bool mHandleMouseOver = false;
    bool mStrictDrawing = true;
    bool mLastClickWasRight = false;
    bool mSwallowRelease = false;  // the next mouse-up ends a double click, already complete
};
