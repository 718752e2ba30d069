// The watched side of the observer link: a list of observers (not owned) and a flag that
// says a notification is pending. Thread tags as in framework/IEffectBase.h.
#pragma once

#include "framework/GrowArray.h"

class IObserverInterface;

class ISubject {
public:
    // [construction]
    ISubject() = default;
    // [any thread]
    virtual ~ISubject();
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;

    // [construction] Adds the observer once; the array is created on first use.
    void Attach(IObserverInterface* observer);
    // [GUI thread] Delivers a pending notification to every observer, in attach order.
    void Notify();
    // [any thread]
    int NumObservers() const { return mpObservers ? mpObservers->Count() : 0; }

protected:
    GrowArray<IObserverInterface*>* mpObservers = nullptr;
    bool mChanged = false;
};
