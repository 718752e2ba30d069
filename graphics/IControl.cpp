#include "graphics/IControl.h"

#include <cmath>

#include "framework/IEffectBase.h"
#include "graphics/IEditorBase.h"

IControl::IControl(IEffectBase* plug, const IBounds& rect, int paramIdx, const IBlend& blend)
    : mpPlug(plug), mRect(rect), mTargetRect(rect), mParamIndex(paramIdx), mBlend(blend) {}

void IControl::OnMouseDown(int, int, const IPointerState* state) {
    if (state && state->R) PromptUserInput();
}

void IControl::OnMouseUp(int, int, const IPointerState*) {}

void IControl::OnMouseDrag(int, int, int, int, const IPointerState*) {}

void IControl::OnMouseDblClick(int, int, const IPointerState*) {
    // A control that has never heard from the plug-in has no default yet.
    if (mDefaultValue >= 0.0) {
        mValue = mDefaultValue;
        SetDirty(true);
    }
}

void IControl::OnMouseWheel(int, int, const IPointerState* state, int notches) {
    double step = state && (state->C || state->S) ? 0.001 : 0.01;
    mValue += notches * step;
    SetDirty(true);
}

void IControl::OnKeyDown(int, int, int) {}

void IControl::OnMouseOver(int, int, const IPointerState*) {}

void IControl::OnMouseOut() {}

void IControl::SetValueFromPlug(double value) {
    if (mDefaultValue < 0.0) {
        mDefaultValue = value;
    } else if (value == mValue) {
        return;
    }
    mValue = value;
    SetDirty(false);
    mRedraw = true;
}

void IControl::Hide(bool hide) {
    mHidden = hide;
    mRedraw = true;
    SetDirty(false);
}

void IControl::GrayOut(bool gray) {
    mGrayed = gray;
    mBlend.mOpacity = gray ? 0.25f : 1.0f;
    SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return !mTargetRect.Empty() && mTargetRect.Contains(x, y); }

void IControl::SetDirty(bool pushToPlug) {
    if (std::isnan(mValue) || mValue < mClampLo)
        mValue = mClampLo;
    else if (mValue > mClampHi)
        mValue = mClampHi;
    mDirty = true;
    mChanged = true;
    if (pushToPlug && mpPlug && mParamIndex >= 0) mpPlug->SetParameterFromGUI(mParamIndex, mValue);
}

void IControl::SetClean() {
    mDirty = mRedraw;
    mRedraw = false;
}

bool IControl::IsDirty() { return mDirty; }

void IControl::ResetToDefault() {
    mValue = mDefaultValue;
    SetDirty(true);
    mRedraw = true;
}

void IControl::SetValueFromUserInput(double value) {
    if (value == mValue) return;
    mValue = value;
    SetDirty(true);
    mRedraw = true;
}

void IControl::PromptUserInput() {
    if (mParamIndex < 0 || mPromptDisabled || !mpPlug) return;
    // The plug-in knows its editor only by the framework's interface; ours is always an IEditorBase.
    IEditorBase* graphics = dynamic_cast<IEditorBase*>(mpPlug->Graphics());
    IParameter* param = mpPlug->Param(mParamIndex);
    if (graphics) graphics->PromptUserInput(this, param, nullptr);
    mRedraw = true;
}
