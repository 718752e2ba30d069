#include "graphics/ITextControl.h"

#include <cstring>

#include "graphics/IEditorBase.h"

namespace {
int Darker(int channel) { return channel > 128 ? channel - 128 : 0; }
}  // namespace

ITextControl::ITextControl(IEffectBase* plug, const IBounds& rect, const ITextStyle& style, const char* text)
    : IControl(plug, rect, -1), mStyle(style) {
    SetText(text);
    mNormalColor = mStyle.mColor;
    mGrayedColor = IArgb(255, Darker(mNormalColor.R), Darker(mNormalColor.G), Darker(mNormalColor.B));
}

void ITextControl::SetText(const char* text) {
    if (!text) text = "";
    int n = static_cast<int>(std::strlen(text));
    if (mText.Resize(n + 1)) std::memcpy(mText.Data(), text, static_cast<size_t>(n) + 1);
}

const char* ITextControl::Text() const {
    const unsigned char* data = mText.Data();
    return data ? reinterpret_cast<const char*>(data) : "";
}

void ITextControl::SetTextFromPlug(const char* text) {
    if (!text) text = "";
    if (std::strcmp(text, Text()) == 0) return;
    SetDirty(false);
    SetText(text);
}

void ITextControl::GrayOut(bool gray) {
    IControl::GrayOut(gray);
    mStyle.mColor = gray ? mGrayedColor : mNormalColor;
}

bool ITextControl::Draw(IEditorBase* graphics) {
    const char* text = Text();
    if (!*text) return true;
    return graphics->DrawText(&mStyle, text, &mRect);
}
