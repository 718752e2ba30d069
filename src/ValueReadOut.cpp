#include "src/ValueReadOut.h"

#include <cstdio>

#include "framework/IEffectBase.h"
#include "framework/Numbers.h"
#include "graphics/IEditorBase.h"
#include "graphics/ITextControl.h"

ValueReadOut::ValueReadOut(IEffectBase* plug, IEditorBase* graphics, IControl* watched, const IBounds& rect,
                           const ITextStyle& style)
    : mpWatched(watched), mpText(new ITextControl(plug, rect, style, "")), mpShownParam(nullptr) {
    if (graphics->AttachControl(mpText) < 0) mpText = nullptr;
    watched->Attach(this);
    mpShownParam = plug->Param(watched->ParamIdx());
}

void ValueReadOut::Update() {
    if (!mpText) return;
    if (mpText->IsGrayed() != mpWatched->IsGrayed()) mpText->GrayOut(mpWatched->IsGrayed());
    if (mpText->IsHidden() != mpWatched->IsHidden()) mpText->Hide(mpWatched->IsHidden());
    char text[64] = "";
    if (mpShownParam) Format(mpShownParam->Value(), text, sizeof(text));
    mpText->SetTextFromPlug(text);
}

void ValueReadOut::Format(double value, char* out, int size) { std::snprintf(out, size_t(size), "%.2f", value); }

void ValueReadOutInt::Format(double value, char* out, int size) {
    std::snprintf(out, size_t(size), "%d", static_cast<int>(TruncToInt32(value)));
}
