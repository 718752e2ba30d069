// A bitmap control whose click steps to the next frame, wrapping after the last.
#pragma once

#include "graphics/IBitmapControl.h"

class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;
    void OnMouseDown(int x, int y, const IPointerState* state) override;
};
