#include "graphics/X11Input.h"

#include "graphics/IEditorBase.h"

namespace {

// The X11 values this file needs, from the protocol: keysyms and the state mask bits.
const unsigned long XK_SPACE = 0x20, XK_LEFT = 0xFF51, XK_UP = 0xFF52, XK_RIGHT = 0xFF53, XK_DOWN = 0xFF54;
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
    case XK_SPACE: return KeySpace;
    case XK_UP: return KeyArrowUp;
    case XK_DOWN: return KeyArrowDown;
    case XK_LEFT: return KeyArrowLeft;
    case XK_RIGHT: return KeyArrowRight;
    default: break;
    }
    if (keysym >= '0' && keysym <= '9') return KeyDigit0 + int(keysym - '0');
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return KeyDigit0 + int(keysym - XK_KP_0);
    if (keysym >= 'A' && keysym <= 'Z') return KeyLetterA + int(keysym - 'A');
    if (keysym >= 'a' && keysym <= 'z') return KeyLetterA + int(keysym - 'a');
    return -1;
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
