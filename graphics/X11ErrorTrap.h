// Keeps X errors on the editor's own display connection from ending the host: while a
// trap lives, errors on its connection are counted and dropped, and errors on any other
// connection go to whatever handler was installed before. The handler is process-wide,
// so a trap is put up only around the editor's own calls and taken down, restoring the
// host's handler, before control returns to the host. Traps nest. Only the editor's
// code reads its connection, so every error on it arrives inside some trap.
// Every function: [GUI thread] (tags as in framework/IEffectBase.h).
#pragma once

struct _XDisplay;

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Errors on the trap's connection so far.
    int Errors() const { return mErrors; }

private:
    friend struct X11ErrorTrapHandler;

    _XDisplay* mDisplay;
    X11ErrorTrap* mOuter;
    void* mPreviousHandler;  // XErrorHandler
    int mErrors = 0;
};
