// A text control that shows a parameter's display text and changes it by dragging and
// by the wheel, wrapping at both ends.
#pragma once

#include "graphics/ITextControl.h"

class IParameter;

class IParamTextControl : public ITextControl {
public:
    // [construction]
    IParamTextControl(IEffectBase* plug, const IBounds& rect, int paramIdx, const ITextStyle& style,
                      IParameter* ownParam = nullptr, bool showValue = true, bool showLabel = false, int horizontal = 0,
                      double gearing = 8.0);

    void OnMouseDown(int x, int y, const IPointerState* state) override;
    void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState* state) override;
    void OnMouseWheel(int x, int y, const IPointerState* state, int notches) override;
    bool Draw(IEditorBase* graphics) override;

    // [any thread] The bound parameter, else the private one (may be null).
    IParameter* Parameter() const;

private:
    void Wrap();

    int32_t mHorizontal;
    double mGearing;
    bool mShowValue;
    bool mShowLabel;
    IParameter* mpOwnParam;
};
