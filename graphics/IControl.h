// A piece of the editor: a rectangle with a normalized value that may be bound to one
// plug-in parameter. The graphics route events to it and ask it to draw; it reports
// user changes to the plug-in and is watched by observers. Thread tags as in
// framework/IEffectBase.h; subclasses keep the tags of the declarations they override.
#pragma once

#include "graphics/EditorTypes.h"
#include "graphics/ISubject.h"

class IEffectBase;
class IEditorBase;

class IControl : public ISubject {
public:
    // [construction]
    IControl(IEffectBase* plug, const IBounds& rect, int paramIdx = -1, const IBlend& blend = IBlend());
    // [any thread] Deleted with the graphics.
    ~IControl() override = default;

    // [GUI thread] Events routed by the graphics, and drawing.
    virtual void OnMouseDown(int x, int y, const IPointerState* state);
    virtual void OnMouseUp(int x, int y, const IPointerState* state);
    virtual void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState* state);
    virtual void OnMouseDblClick(int x, int y, const IPointerState* state);
    virtual void OnMouseWheel(int x, int y, const IPointerState* state, int notches);
    virtual void OnKeyDown(int x, int y, int key);
    virtual void OnMouseOver(int x, int y, const IPointerState* state);
    virtual void OnMouseOut();
    virtual bool Draw(IEditorBase* graphics) = 0;
    // [any thread, lock held] The plug-in pushes a value: no echo back. The first value becomes the default.
    virtual void SetValueFromPlug(double value);
    // [GUI thread]
    virtual void Hide(bool hide);
    virtual void GrayOut(bool gray);
    virtual bool IsHit(int x, int y);
    // Clamps the value, marks the control dirty and its observers pending; with
    // pushToPlug the value also goes to the plug-in. [GUI thread] with pushToPlug,
    // [any thread, lock held] without.
    virtual void SetDirty(bool pushToPlug);
    // [GUI thread]
    virtual void SetClean();
    virtual bool IsDirty();
    virtual void ResetToDefault();
    // Never called.
    virtual void Hook() {}

    // [GUI thread] A value the user typed or picked: shown and sent to the plug-in.
    void SetValueFromUserInput(double value);
    // [GUI thread] Asks the window layer for typed entry over this control.
    void PromptUserInput();

    // [any thread]
    const IBounds& Rect() const { return mRect; }
    const IBounds& TargetRect() const { return mTargetRect; }
    // [construction]
    void SetTargetRect(const IBounds& r) { mTargetRect = r; }
    // [any thread]
    int ParamIdx() const { return mParamIndex; }
    double Value() const { return mValue; }
    // [GUI thread]
    void SetValue(double v) { mValue = v; }
    // [any thread]
    double DefaultValue() const { return mDefaultValue; }
    bool IsHidden() const { return mHidden; }
    bool IsGrayed() const { return mGrayed; }
    const IBlend& Blend() const { return mBlend; }
    // [construction]
    void SetClamp(double lo, double hi) {
        mClampLo = lo;
        mClampHi = hi;
    }
    void DisablePrompt(bool disable) { mPromptDisabled = disable; }
    void SetDoubleClickAsSingle(bool on) { mDoubleClickAsSingle = on; }
    // [any thread]
    bool DoubleClickAsSingle() const { return mDoubleClickAsSingle; }

protected:
    IEffectBase* mpPlug;
    IBounds mRect;
    IBounds mTargetRect;
    int mParamIndex;
    double mValue = 0.0;
    double mDefaultValue = -1.0;
    double mClampLo = 0.0;
    double mClampHi = 1.0;
    bool mDirty = true;
    bool mHidden = false;
    bool mGrayed = false;
    bool mRedraw = false;
    bool mPromptDisabled = false;
    bool mDoubleClickAsSingle = false;
    IBlend mBlend;
};
