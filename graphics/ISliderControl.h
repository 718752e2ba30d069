// A handle image that moves along a horizontal or vertical track; the track itself is
// part of the background.
#pragma once

#include "graphics/IControl.h"

class ISliderControl : public IControl {
public:
    // [construction]
    ISliderControl(IEffectBase* plug, int x, int y, int length, int paramIdx, const IImage& handleImage,
                   int horizontal = 1);

    void OnMouseDown(int x, int y, const IPointerState* state) override;
    void OnMouseDrag(int x, int y, int dX, int dY, const IPointerState* state) override;
    bool Draw(IEditorBase* graphics) override;

    // [GUI thread] Puts the handle's centre under the pointer.
    void SnapToMouse(int x, int y);
    // [any thread] Where the handle is drawn for the current value.
    IBounds HandleRect() const;

protected:
    int32_t mLength;
    int32_t mHandleLength;
    IImage mHandleImage;
    int32_t mHorizontal;
};
