// A piece of the editor: a rectangle with a normalized value that may be bound to one
// plug-in parameter. The graphics route events to it and ask it to draw; it reports
// user changes to the plug-in and is watched by observers.
#pragma once

#include "graphics/EditorTypes.h"
#include "graphics/ISubject.h"

class IEffectBase;
class IEditorBase;

class IControl : public ISubject {
public:
    IControl(IEffectBase* plug, const IBounds& rect, int paramIdx = -1, const IBlend& blend = IBlend());
    ~IControl() override = default;

    virtual void OnMouseDown(int x, int y, const IPointerState* state);
    virtual void OnMouseUp(int x, int y, const IPointerState* state);
    virtual void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState* state);
    virtual void OnMouseDblClick(int x, int y, const IPointerState* state);
    virtual void OnMouseWheel(int x, int y, const IPointerState* state, int notches);
    virtual void OnKeyDown(int x, int y, int key);
    virtual void OnMouseOver(int x, int y, const IPointerState* state);
    virtual void OnMouseOut();
    virtual bool Draw(IEditorBase* graphics) = 0;
    // The plug-in pushes a value: no echo back. The first value becomes the default.
    virtual void SetValueFromPlug(double value);
    virtual void Hide(bool hide);
    virtual void GrayOut(bool gray);
    virtual bool IsHit(int x, int y);
    // Clamps the value, marks the control dirty and its observers pending; with
    // pushToPlug the value also goes to the plug-in.
    virtual void SetDirty(bool pushToPlug);
    virtual void SetClean();
    virtual bool IsDirty();
    virtual void ResetToDefault();
    virtual void Hook() {}

    void SetValueFromUserInput(double value);
    void PromptUserInput();

    const IBounds& Rect() const { return mRect; }
    const IBounds& TargetRect() const { return mTargetRect; }
    void SetTargetRect(const IBounds& r) { mTargetRect = r; }
    int ParamIdx() const { return mParamIndex; }
    double Value() const { return mValue; }
    void SetValue(double v) { mValue = v; }
    double DefaultValue() const { return mDefaultValue; }
    bool IsHidden() const { return mHidden; }
    bool IsGrayed() const { return mGrayed; }
    const IBlend& Blend() const { return mBlend; }
    void SetClamp(double lo, double hi) {
        mClampLo = lo;
        mClampHi = hi;
    }
    void DisablePrompt(bool disable) { mPromptDisabled = disable; }
    void SetDoubleClickAsSingle(bool on) { mDoubleClickAsSingle = on; }
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
