#include "graphics/ISwitchControl.h"

void ISwitchControl::OnMouseDown(int, int, const IPointerState* state) {
    if (state && state->R) {
        PromptUserInput();
    } else {
        int n = mImage.mNumFrames;
        mValue += n > 1 ? 1.0 / (n - 1) : 1.0;
    }
    // Written as a negated test so that a value that is not a number wraps too.
    if (!(mValue <= 1.001)) mValue = 0.0;
    SetDirty(true);
}
