#include "graphics/X11Input.h"

#include "graphics/IEditorBase.h"

namespace {

// The X11 values this file needs, from the protocol: keysyms and the state mask bits.
const unsigned long XK_LEFT = 0xFF51, XK_UP = 0xFF52, XK_RIGHT = 0xFF53, XK_DOWN = 0xFF54;
const unsigned long XK_KP_0 = 0xFFB0, XK_KP_9 = 0xFFB9;
const unsigned int SHIFT_MASK = 1u << 0, CONTROL_MASK = 1u << 2, MOD1_MASK = 1u << 3;
const unsigned int BUTTON1_MASK = 1u << 8, BUTTON3_MASK = 1u << 10;

bool ButtonDown(unsigned int state, unsigned int mask, unsigned int which, unsigned int button, bool press) {
    if (button == which) return press;
    return (state & mask) != 0;
}

}  // namespace

int EditorKeyForKeysym(unsigned long keysym) {
    switch (keysym) {
    case XK_UP: return KeyArrowUp;
    case XK_DOWN: return KeyArrowDown;
    case XK_LEFT: return KeyArrowLeft;
    case XK_RIGHT: return KeyArrowRight;
    default: break;
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return KeyDigit0 + int(keysym - XK_KP_0);
    // Latin-1 keysyms are their characters, lower-case letters included.
    return EditorKeyForCharacterCode(keysym);
}

IPointerState EditorPointerForX11(unsigned int state, unsigned int button, bool press) {
    IPointerState p;
    p.L = ButtonDown(state, BUTTON1_MASK, 1, button, press);
    p.R = ButtonDown(state, BUTTON3_MASK, 3, button, press);
    p.S = (state & SHIFT_MASK) != 0;
    p.C = (state & CONTROL_MASK) != 0;
    p.A = (state & MOD1_MASK) != 0;
    return p;
}

int EditorWheelNotchesForButton(unsigned int button) { return button == 4 ? 1 : button == 5 ? -1 : 0; }

IEditKey EditKeyForKeysym(unsigned long keysym, char* character) {
    *character = 0;
    switch (keysym) {
    case 0xFF08: return EditKeyBackspace;
    case 0xFF09: return EditKeyTab;
    case 0xFF0D:  // Return
    case 0xFF8D:  // keypad Enter
        return EditKeyReturn;
    case 0xFF1B: return EditKeyEscape;
    case 0xFF50:
    case 0xFF95: return EditKeyHome;
    case 0xFF57:
    case 0xFF9C: return EditKeyEnd;
    case XK_LEFT:
    case 0xFF96: return EditKeyLeft;
    case XK_RIGHT:
    case 0xFF98: return EditKeyRight;
    case XK_UP:
    case 0xFF97: return EditKeyUp;
    case XK_DOWN:
    case 0xFF99: return EditKeyDown;
    case 0xFF55:
    case 0xFF9A: return EditKeyPageUp;
    case 0xFF56:
    case 0xFF9B: return EditKeyPageDown;
    case 0xFFFF:
    case 0xFF9F: return EditKeyDelete;
    case 0xFFAD: *character = '-'; return EditKeyCharacter;  // keypad minus
    case 0xFFAE: *character = '.'; return EditKeyCharacter;  // keypad decimal point
    default: break;
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        *character = static_cast<char>('0' + (keysym - XK_KP_0));
        return EditKeyCharacter;
    }
    // Printable Latin-1 keysyms are their characters.
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
        *character = static_cast<char>(keysym);
        return EditKeyCharacter;
    }
    return EditKeyNone;
}

bool DoubleClickTracker::Press(unsigned long time, int x, int y) {
    // Server time is 32 bits of milliseconds; the difference survives its wrap.
    unsigned long gap = (time - mTime) & 0xFFFFFFFFul;
    bool twice = mArmed && gap <= DOUBLE_CLICK_MS && x - mX <= DOUBLE_CLICK_SLOP && mX - x <= DOUBLE_CLICK_SLOP &&
                 y - mY <= DOUBLE_CLICK_SLOP && mY - y <= DOUBLE_CLICK_SLOP;
    mArmed = !twice;
    mTime = time;
    mX = x;
    mY = y;
    return twice;
}
