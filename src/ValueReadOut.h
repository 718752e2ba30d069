// The numbers beside the faders: an observer of a fader that mirrors its parameter's
// value, its visibility and its grayed state into a text control.
#pragma once

#include "graphics/EditorTypes.h"
#include "graphics/IObserverInterface.h"

class IControl;
class IEditorBase;
class IEffectBase;
class IParameter;
class ITextControl;

class ValueReadOut : public IObserverInterface {
public:
    // Creates the text control in rect, attaches it to the graphics and starts watching.
    ValueReadOut(IEffectBase* plug, IEditorBase* graphics, IControl* watched, const IBounds& rect,
                 const ITextStyle& style);

    void Update() override;

    ITextControl* Text() const { return mpText; }

protected:
    // The shown value as text; two decimals here.
    virtual void Format(double value, char* out, int size);

    IControl* mpWatched;       // not owned
    ITextControl* mpText;      // owned by the graphics
    IParameter* mpShownParam;  // not owned; null when the fader has no parameter
};

// Shows the value truncated toward zero, without decimals.
class ValueReadOutInt : public ValueReadOut {
public:
    using ValueReadOut::ValueReadOut;

protected:
    void Format(double value, char* out, int size) override;
};
