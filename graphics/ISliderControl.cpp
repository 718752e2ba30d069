#include "graphics/ISliderControl.h"

#include "graphics/IEditorBase.h"

namespace {
IBounds SliderRect(int x, int y, int length, const IImage& handle, int horizontal) {
    return horizontal ? IBounds(x, y, x + length, y + handle.mHeight) : IBounds(x, y, x + handle.mWidth, y + length);
}
}  // namespace

ISliderControl::ISliderControl(IEffectBase* plug, int x, int y, int length, int paramIdx, const IImage& handleImage,
                               int horizontal)
    : IControl(plug, SliderRect(x, y, length, handleImage, horizontal), paramIdx, IBlend(BlendNormal, 1.0f)),
      mLength(length),
      mHandleLength(horizontal ? handleImage.mWidth : handleImage.mHeight),
      mHandleImage(handleImage),
      mHorizontal(horizontal) {}

void ISliderControl::SnapToMouse(int x, int y) {
    int half = mHandleLength / 2;
    double travel = mLength - mHandleLength;
    if (mHorizontal)
        mValue = (x - mRect.L - half) / travel;
    else
        mValue = 1.0 - (y - mRect.T - half) / travel;
    SetDirty(true);
}

void ISliderControl::OnMouseDown(int x, int y, const IPointerState* state) {
    if (state && state->R)
        PromptUserInput();
    else
        SnapToMouse(x, y);
}

void ISliderControl::OnMouseDrag(int x, int y, int, int, const IPointerState*) { SnapToMouse(x, y); }

IBounds ISliderControl::HandleRect() const {
    IBounds r(mRect.L, mRect.T, mRect.L + mHandleImage.mWidth, mRect.T + mHandleImage.mHeight);
    int travel = mLength - mHandleLength;
    if (mHorizontal) {
        int offset = static_cast<int>(travel * mValue);
        r.L += offset;
        r.R += offset;
    } else {
        int offset = static_cast<int>(travel * (1.0 - mValue));
        r.T += offset;
        r.B += offset;
    }
    return r;
}

bool ISliderControl::Draw(IEditorBase* graphics) {
    IBounds r = HandleRect();
    return graphics->DrawImageFrame(&mHandleImage, &r, 1, &mBlend);
}
