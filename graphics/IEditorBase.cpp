#include "graphics/IEditorBase.h"

#include <cstring>

#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IControl.h"

int EditorKeyForCharacterCode(unsigned long code) {
    if (code == 0x20) return KeySpace;
    if (code >= 0x30 && code <= 0x39) return KeyDigit0 + int(code - 0x30);
    if (code >= 0x41 && code <= 0x5A) return KeyLetterA + int(code - 0x41);
    if (code >= 0x61 && code <= 0x7A) return KeyLetterA + int(code - 0x61);
    return -1;
}

IEditorBase::IEditorBase(IEffectBase* plug, int w, int h, int frameRate)
    : mpPlug(plug), mWidth(w), mHeight(h), mFrameRate(frameRate > 0 ? frameRate : DEFAULT_FRAME_RATE) {}

IEditorBase::~IEditorBase() { DeleteAllControls(); }

void IEditorBase::DeleteAllControls() {
    for (int i = mControls.Count() - 1; i >= 0; --i) delete mControls[i];
    mControls.Clear();
}

// ---- control list ----

int IEditorBase::AttachControl(IControl* control) {
    if (!control) return -1;
    if (!mControls.Add(control)) {
        delete control;  // the graphics own it either way
        return -1;
    }
    return mControls.Count() - 1;
}

IControl* IEditorBase::GetControl(int index) {
    IControl** slot = mControls.At(index);
    return slot ? *slot : nullptr;
}

bool IEditorBase::AttachBackground(int id, const char* name) {
    IImage image;
    bool loaded = LoadImage(&image, id, name, 1);
    IControl* background = new IBitmapControl(mpPlug, 0, 0, -1, image, BlendReplace);
    if (!mControls.Add(background)) {
        delete background;
        return false;
    }
    // Shift everything up: the background is drawn first and hit last.
    int n = mControls.Count();
    IControl** data = mControls.Data();
    std::memmove(data + 1, data, sizeof(IControl*) * static_cast<size_t>(n - 1));
    data[0] = background;
    return loaded;
}

// ---- drawing ----

bool IEditorBase::DrawImageFrame(IImage* image, IBounds* dest, int frame, IBlend* blend) {
    int srcY = 0;
    if (image->mNumFrames > 1 && frame > 1)
        srcY = static_cast<int>(static_cast<double>(image->mHeight) * (frame - 1) / image->mNumFrames + 0.5);
    return DrawImage(image, dest, 0, srcY, blend);
}

bool IEditorBase::DrawVerticalLine(IArgb* color, int x, int yLo, int yHi) {
    IBlend replace(BlendReplace, 1.0f);
    return DrawLine(color, float(x), float(yLo), float(x), float(yHi), &replace, false);
}

bool IEditorBase::DrawHorizontalLine(IArgb* color, int y, int xLo, int xHi) {
    IBlend replace(BlendReplace, 1.0f);
    return DrawLine(color, float(xLo), float(y), float(xHi), float(y), &replace, false);
}

void IEditorBase::SetAllControlsDirty() {
    for (int i = 0; i < mControls.Count(); ++i) mControls[i]->SetDirty(false);
}

bool IEditorBase::IsDirty(IBounds* out) {
    bool dirty = false;
    for (int i = 0; i < mControls.Count(); ++i) {
        IControl* control = mControls[i];
        control->Notify();
        if (control->IsDirty()) {
            out->Union(control->Rect());
            dirty = true;
        }
    }
    return dirty;
}

bool IEditorBase::Draw(IBounds* r) {
    int n = mControls.Count();
    if (n == 0) return true;
    if (mStrictDrawing) {
        mDrawRect = *r;
        for (int i = 0; i < n; ++i) {
            IControl* control = mControls[i];
            if (!control->IsHidden() && r->Intersects(control->Rect())) control->Draw(this);
        }
        for (int i = 0; i < n; ++i) mControls[i]->SetClean();
    } else if (mControls[0]->IsDirty()) {
        mDrawRect = mControls[0]->Rect();
        for (int j = 0; j < n; ++j) {
            IControl* control = mControls[j];
            if (j == 0 || !control->IsHidden()) {
                control->Draw(this);
                control->SetClean();
            }
        }
    } else {
        for (int i = 1; i < n; ++i) {
            IControl* dirty = mControls[i];
            if (!dirty->IsDirty()) continue;
            mDrawRect = dirty->Rect();
            for (int j = 0; j < n; ++j) {
                IControl* control = mControls[j];
                if (j == i || (!control->IsHidden() && control->Rect().Intersects(mDrawRect))) control->Draw(this);
            }
            dirty->SetClean();
        }
    }
    return PresentToScreen(r);
}

// ---- parameters ----

void IEditorBase::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
    if (!normalized) {
        IParameter* param = mpPlug ? mpPlug->Param(paramIdx) : nullptr;
        if (!param) return;
        value = param->GetNormalized(value);
    }
    for (int i = 0; i < mControls.Count(); ++i)
        if (mControls[i]->ParamIdx() == paramIdx) mControls[i]->SetValueFromPlug(value);
}

void IEditorBase::SetControlsFromUserInput(int paramIdx, double value) {
    for (int i = 0; i < mControls.Count(); ++i)
        if (mControls[i]->ParamIdx() == paramIdx) mControls[i]->SetValueFromUserInput(value);
}

// ---- events ----

int IEditorBase::GetMouseControlIndex(int x, int y) {
    if (mMouseCapture >= 0) return mMouseCapture;
    for (int i = mControls.Count() - 1; i >= 0; --i) {
        IControl* control = mControls[i];
        if (!control->IsHidden() && !control->IsGrayed() && control->IsHit(x, y)) return i;
    }
    return -1;
}

void IEditorBase::OnMouseDown(int x, int y, const IPointerState* state) {
    mMouseX = mMouseY = -1;
    mMouseCapture = -1;
    mSwallowRelease = false;
    int i = GetMouseControlIndex(x, y);
    IControl* control = GetControl(i);
    if (!control) return;
    mMouseCapture = i;
    mMouseX = x;
    mMouseY = y;
    mLastClickWasRight = state && state->R;
    // The gesture is announced before the press changes the value, so hosts that record
    // automation by touch see the first value inside the gesture.
    int paramIdx = control->ParamIdx();
    if (paramIdx >= 0 && mpPlug) mpPlug->BeginInformHostOfParamChange(paramIdx);
    control->OnMouseDown(x, y, state);
}

void IEditorBase::OnMouseUp(int x, int y, const IPointerState* state) {
    bool captured = mMouseCapture >= 0;
    int i = GetMouseControlIndex(x, y);
    mMouseX = mMouseY = -1;
    mMouseCapture = -1;
    mLastClickWasRight = false;
    if (mSwallowRelease) {
        // The double click this release ends was a whole gesture already.
        mSwallowRelease = false;
        return;
    }
    IControl* control = GetControl(i);
    if (!control) return;
    control->OnMouseUp(x, y, state);
    // Only a gesture that began here ends here: a release whose press went elsewhere
    // (or whose gesture ended when the capture was lost) has nothing to end.
    int paramIdx = control->ParamIdx();
    if (captured && paramIdx >= 0 && mpPlug) mpPlug->EndInformHostOfParamChange(paramIdx);
}

void IEditorBase::OnMouseDrag(int x, int y, const IPointerState* state) {
    IControl* control = GetControl(mMouseCapture);
    if (!control || (x == mMouseX && y == mMouseY)) return;
    int dX = x - mMouseX;
    int dY = y - mMouseY;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDrag(x, y, dX, dY, state);
}

bool IEditorBase::OnMouseDblClick(int x, int y, const IPointerState* state) {
    mMouseX = mMouseY = -1;
    mMouseCapture = -1;
    mSwallowRelease = false;
    int i = GetMouseControlIndex(x, y);
    IControl* control = GetControl(i);
    if (!control) return false;
    if (!control->DoubleClickAsSingle()) {
        // The restore is framed like any gesture, so hosts that record by touch take it;
        // the release that follows belongs to it and tells the host nothing more.
        int paramIdx = control->ParamIdx();
        bool bound = paramIdx >= 0 && mpPlug;
        if (bound) mpPlug->BeginInformHostOfParamChange(paramIdx);
        control->OnMouseDblClick(x, y, state);
        if (bound) mpPlug->EndInformHostOfParamChange(paramIdx);
        mSwallowRelease = true;
        return false;
    }
    mMouseCapture = i;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDown(x, y, state);
    return true;
}

bool IEditorBase::OnMouseOver(int x, int y, const IPointerState* state) {
    if (!mHandleMouseOver) return false;
    int i = GetMouseControlIndex(x, y);
    if (IControl* control = GetControl(i)) {
        mMouseX = x;
        mMouseY = y;
        control->OnMouseOver(x, y, state);
    }
    if (mMouseOver >= 0 && mMouseOver != i)
        if (IControl* old = GetControl(mMouseOver)) old->OnMouseOut();
    mMouseOver = i;
    return true;
}

void IEditorBase::OnMouseWheel(int x, int y, const IPointerState* state, int notches) {
    if (IControl* control = GetControl(GetMouseControlIndex(x, y))) control->OnMouseWheel(x, y, state, notches);
}

void IEditorBase::OnKeyDown(int x, int y, int key) {
    if (IControl* control = GetControl(GetMouseControlIndex(x, y))) control->OnKeyDown(x, y, key);
}

void IEditorBase::OnMouseCaptureLost() {
    mSwallowRelease = false;
    if (mMouseCapture < 0) return;
    // Ends the gesture as a release where the pointer was last seen would.
    IPointerState none;
    OnMouseUp(mMouseX, mMouseY, &none);
}

void IEditorBase::OnMouseOut() {
    for (int i = 0; i < mControls.Count(); ++i) mControls[i]->OnMouseOut();
    mMouseOver = -1;
}

void IEditorBase::Resize(int w, int h) {
    mWidth = w;
    mHeight = h;
    mMouseCapture = -1;
    mMouseX = mMouseY = -1;
    DeleteAllControls();
    if (mpPlug) mpPlug->ResizeGraphics(w, h);
}
