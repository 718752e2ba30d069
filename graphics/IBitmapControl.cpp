#include "graphics/IBitmapControl.h"

#include "graphics/IEditorBase.h"

namespace {
int FrameHeight(const IImage& image) { return image.mNumFrames > 0 ? image.mHeight / image.mNumFrames : image.mHeight; }
}  // namespace

IBitmapControl::IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx, const IImage& image, int32_t blendMode)
    : IControl(plug, IBounds(x, y, x + image.mWidth, y + FrameHeight(image)), paramIdx, IBlend(blendMode)),
      mImage(image) {}

int IBitmapControl::FrameForValue() const {
    int n = mImage.mNumFrames;
    if (n <= 1) return 1;
    int frame = static_cast<int>((n - 1) * mValue + 0.5) + 1;
    return frame < 1 ? 1 : frame > n ? n : frame;
}

bool IBitmapControl::Draw(IEditorBase* graphics) {
    return graphics->DrawImageFrame(&mImage, &mRect, FrameForValue(), &mBlend);
}
