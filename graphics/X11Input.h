// How the Linux window layer turns X11 input into the editor's event arguments: key
// codes from keysyms, the pointer state from an event's state mask and button, and wheel
// notches from the wheel buttons. Plain functions, so the rules hold without a display;
// every one is [any thread] (tags as in framework/IEffectBase.h).
#pragma once

#include "graphics/EditorTypes.h"

// The editor's key code (KeySpace ... KeyLetterA + 25) for a keysym, or -1 for a key the
// editor ignores. Letters map without regard to case; keypad digits count as digits.
int EditorKeyForKeysym(unsigned long keysym);

// The pointer state of an X11 pointer event. state is the event's state mask, which
// describes the moment before the event; button is the event's button (0 for motion),
// press tells a press from a release, so the button that changes is counted as it ends up.
IPointerState EditorPointerForX11(unsigned int state, unsigned int button, bool press);

// Notches for a wheel button press: button 4 (up) is +1, button 5 (down) is -1, others 0.
int EditorWheelNotchesForButton(unsigned int button);
