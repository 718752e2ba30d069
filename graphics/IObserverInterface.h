// Something that watches a control and is told, lazily at the next dirty check, that
// the control's value, visibility or grayed state may have changed.
#pragma once

class IObserverInterface {
public:
    // [GUI thread] At the dirty check, when the watched control had a change pending
    // (tags as in framework/IEffectBase.h).
    virtual void Update() = 0;
    virtual ~IObserverInterface() = default;
};
