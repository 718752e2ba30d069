#include "graphics/ISubject.h"

#include "graphics/IObserverInterface.h"

ISubject::~ISubject() { delete mpObservers; }

void ISubject::Attach(IObserverInterface* observer) {
    if (!mpObservers) mpObservers = new GrowArray<IObserverInterface*>(32);
    for (int i = 0; i < mpObservers->Count(); ++i)
        if ((*mpObservers)[i] == observer) return;
    mpObservers->Add(observer);
}

void ISubject::Notify() {
    if (!mpObservers || !mChanged) return;
    mChanged = false;
    for (int i = 0; i < mpObservers->Count(); ++i) (*mpObservers)[i]->Update();
}
