#include "graphics/X11ErrorTrap.h"

#include <X11/Xlib.h>

namespace {
// The innermost trap; traps live on the GUI thread's stack, innermost first.
X11ErrorTrap* sInnermost = nullptr;
}  // namespace

struct X11ErrorTrapHandler {
    static int OnError(Display* display, XErrorEvent* error) {
        X11ErrorTrap* outermost = nullptr;
        for (X11ErrorTrap* trap = sInnermost; trap; trap = trap->mOuter) {
            if (trap->mDisplay == display) {
                ++trap->mErrors;
                return 0;
            }
            outermost = trap;
        }
        // Not ours: the host's handler decides, as if no trap were up.
        auto previous = outermost ? reinterpret_cast<XErrorHandler>(outermost->mPreviousHandler) : nullptr;
        return previous ? previous(display, error) : 0;
    }
};

X11ErrorTrap::X11ErrorTrap(Display* display) : mDisplay(display), mOuter(sInnermost) {
    mPreviousHandler = reinterpret_cast<void*>(XSetErrorHandler(&X11ErrorTrapHandler::OnError));
    sInnermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    sInnermost = mOuter;
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(mPreviousHandler));
}
