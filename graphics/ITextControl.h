// Draws a text in a text style; when grayed the text takes a darker colour.
#pragma once

#include "framework/GrowBuffer.h"
#include "graphics/IControl.h"

class ITextControl : public IControl {
public:
    // [construction]
    ITextControl(IEffectBase* plug, const IBounds& rect, const ITextStyle& style, const char* text = "");

    void GrayOut(bool gray) override;
    bool Draw(IEditorBase* graphics) override;

    // [GUI thread] Replaces the text and marks the control dirty, unless it is the same text.
    void SetTextFromPlug(const char* text);
    // [any thread]
    const char* Text() const;
    const ITextStyle& Style() const { return mStyle; }
    const IArgb& NormalColor() const { return mNormalColor; }
    const IArgb& GrayedColor() const { return mGrayedColor; }

protected:
    void SetText(const char* text);

    ITextStyle mStyle;
    IArgb mNormalColor;
    IArgb mGrayedColor;
    GrowBuffer mText{128};  // always NUL-terminated once set
};
