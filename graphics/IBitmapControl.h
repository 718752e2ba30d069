// Shows one frame of a vertical frame strip, chosen by the value.
#pragma once

#include "graphics/IControl.h"

class IBitmapControl : public IControl {
public:
    // [construction]
    IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx, const IImage& image, int32_t blendMode = BlendNormal);
    bool Draw(IEditorBase* graphics) override;
    // [any thread] The frame, 1..N, that the current value selects.
    int FrameForValue() const;
    const IImage& Image() const { return mImage; }

protected:
    IImage mImage;  // shared, not owned
};
