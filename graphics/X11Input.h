// How the Linux window layer turns X11 input into the editor's event arguments: key
// codes from keysyms, the in-place entry's keys, the pointer state from an event's state
// mask and button, wheel notches from the wheel buttons, and double clicks from the
// times and places of presses. Plain code, so the rules hold without a display; every
// function is [any thread] (tags as in framework/IEffectBase.h).
#pragma once

#include "framework/IEffectEditor.h"
#include "graphics/EditorTypes.h"

// The editor's key code (KeySpace ... KeyLetterA + 25) for a keysym, or -1 for a key the
// editor ignores. Letters map without regard to case; keypad digits count as digits.
int EditorKeyForKeysym(unsigned long keysym);

// The in-place entry's key for a keysym (as XLookupString gives it, modifiers applied);
// a printable character comes back in *character. EditKeyNone for keys it ignores.
IEditKey EditKeyForKeysym(unsigned long keysym, char* character);

// The pointer state of an X11 pointer event. state is the event's state mask, which
// describes the moment before the event; button is the event's button (0 for motion),
// press tells a press from a release, so the button that changes is counted as it ends up.
IPointerState EditorPointerForX11(unsigned int state, unsigned int button, bool press);

// Notches for a wheel button press: button 4 (up) is +1, button 5 (down) is -1, others 0.
int EditorWheelNotchesForButton(unsigned int button);

// Tells double clicks from the left button's presses: a press within DOUBLE_CLICK_MS of
// the one before, and within DOUBLE_CLICK_SLOP pixels of it each way, is a double click.
// The press after a double click starts over, as on Windows.
class DoubleClickTracker {
public:
    static constexpr unsigned long DOUBLE_CLICK_MS = 400;
    static constexpr int DOUBLE_CLICK_SLOP = 4;

    // time is the event's server time in milliseconds (it wraps); true for a double click.
    bool Press(unsigned long time, int x, int y);
    // Any other button, or the pointer leaving, breaks a pair.
    void Reset() { mArmed = false; }

private:
    bool mArmed = false;
    unsigned long mTime = 0;
    int mX = 0, mY = 0;
};
