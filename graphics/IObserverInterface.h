// Something that watches a control and is told, lazily at the next dirty check, that
// the control's value, visibility or grayed state may have changed.
#pragma once

class IObserverInterface {
public:
    virtual void Update() = 0;
    virtual ~IObserverInterface() = default;
};
