#include "graphics/IParamTextControl.h"

#include <cmath>
#include <cstring>

#include "framework/IEffectBase.h"
#include "framework/IParameter.h"

IParamTextControl::IParamTextControl(IEffectBase* plug, const IBounds& rect, int paramIdx, const ITextStyle& style,
                                     IParameter* ownParam, bool showValue, bool showLabel, int horizontal,
                                     double gearing)
    : ITextControl(plug, rect, style, ""),
      mHorizontal(horizontal),
      mGearing(gearing),
      mShowValue(showValue),
      mShowLabel(showLabel),
      mpOwnParam(ownParam) {
    mParamIndex = paramIdx;
}

IParameter* IParamTextControl::Parameter() const {
    if (mParamIndex >= 0) return mpPlug ? mpPlug->Param(mParamIndex) : nullptr;
    return mpOwnParam;
}

void IParamTextControl::OnMouseDown(int x, int y, const IPointerState* state) { IControl::OnMouseDown(x, y, state); }

void IParamTextControl::Wrap() {
    if (!(mValue >= 0.0))
        mValue = 1.0;
    else if (mValue > 1.0)
        mValue = 0.0;
}

void IParamTextControl::OnMouseDrag(int, int, int dX, int dY, const IPointerState*) {
    if (mHorizontal)
        mValue += static_cast<double>(dX) / (mRect.R - mRect.L) / mGearing;
    else
        mValue += static_cast<double>(dY) / (mRect.T - mRect.B) / mGearing;
    Wrap();
    SetDirty(true);
}

void IParamTextControl::OnMouseWheel(int, int, const IPointerState* state, int notches) {
    double step = 0.01;
    if (IParameter* param = Parameter()) {
        double range = param->Max() - param->Min();
        double valueStep = range != 0.0 ? param->Step() / range : 0.0;
        if (param->Kind() != KindDouble && valueStep != 0.0) {
            // Counted in whole steps: sums of steps like 1/11 drift past 0 or 1 and
            // would wrap one entry early.
            double steps = std::floor(1.0 / valueStep + 0.5);
            double at = std::floor(mValue * steps + 0.5) + notches;
            mValue = at < 0.0 ? 1.0 : at > steps ? 0.0 : at / steps;
            SetDirty(true);
            return;
        }
        if (state && (state->C || state->S)) step = 0.001;
    }
    mValue += notches * step;
    Wrap();
    SetDirty(true);
}

bool IParamTextControl::Draw(IEditorBase* graphics) {
    if (mpOwnParam) mpOwnParam->SetFromNormalized(mValue);
    IParameter* param = Parameter();
    if (mShowValue && param) {
        char text[PARAM_DISPLAY_SIZE + PARAM_TEXT_SIZE + 2];
        param->FormatValue(param->Value(), false, text);
        if (mShowLabel) {
            std::strcat(text, " ");
            std::strcat(text, param->Label());
        }
        SetText(text);
    }
    return ITextControl::Draw(graphics);
}
