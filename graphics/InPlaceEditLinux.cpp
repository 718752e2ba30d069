// The in-place value entry on Linux: a right click on a control opens a text field (or,
// for a parameter with value texts, a drop-down list) in a child window over it, drawn
// with the raster library and FreeType; the value menu offers the texts in columns at
// the pointer. The entry has the keyboard while it is open: Return or a pick applies the
// value, Escape or a click elsewhere discards it. Part of IEditorWindow; runs on the GUI
// thread, inside the window's error traps.
#include <cstring>

#include "framework/IParameter.h"
#include "graphics/IControl.h"
#include "graphics/IEditorWindowProcsLinux.h"
#include "graphics/TextRasterizer.h"
#include "graphics/X11ErrorTrap.h"
#include "raster/RasterOperations.h"

namespace {

const RasterPixel FRAME = 0xFF7A7A7A, PAPER = 0xFFFFFFFF, INK = 0xFF000000;
const RasterPixel MARKED = 0xFF3875D7, MARKED_INK = 0xFFFFFFFF;
const int TEXT_INSET = 4, CHECK_SPACE = 14;

TextRasterizer* EntryFont(void*& font) {
    // Windows gives its entry Arial at 14 pixels; the same face the panel's text uses.
    if (!font) font = new TextRasterizer("Arial", 14, TextNormal);
    return static_cast<TextRasterizer*>(font);
}

void Fill(RasterBitmap* b, const IBounds& r, RasterPixel colour) {
    RasterFillRegion(b, r.L, r.T, r.W(), r.H(), colour, 1.0f, BlitCopy);
}

}  // namespace

void IEditorWindowProcs::OpenPopup(IEditorWindow* g, IPopupKind kind, IControl* control, IParameter* param, int x,
                                   int y, int columns) {
    INativeWindow* w = g->mpNative;
    if (!w || !w->mAlive || g->mEditWindow || !control || !param) return;
    X11ErrorTrap trap(w->mDisplay);
    int n = param->NumValueTexts();
    IBounds r;
    if (kind == PopupField) {
        char text[PARAM_DISPLAY_SIZE];
        param->FormatValue(param->Value(), false, text);
        w->mEntry.Reset(text);
        r = InPlaceFieldRect(control->Rect());
    } else if (kind == PopupDropDown) {
        // Where and as wide as Windows makes its list; as high as its entries need.
        const int width = InPlaceDropDownRect(control->Rect(), param, 0).W();
        w->mList.Reset(n, n, InPlaceCurrentEntry(param), width - 2 * ChoiceList::BORDER);
        r = InPlaceDropDownRect(control->Rect(), param, w->mList.Height());
    } else {
        TextRasterizer* font = EntryFont(g->mEditFont);
        int width = 0;
        for (int i = 0; i < n; ++i) {
            int tw = font->TextWidth(param->TextForValue(i));
            if (tw > width) width = tw;
        }
        w->mChecked = int(param->Value());
        w->mList.Reset(n, columns, w->mChecked, width + CHECK_SPACE + 2 * TEXT_INSET);
        r = IBounds(x, y, x + w->mList.Width(), y + w->mList.Height());
    }
    // Inside the editor's window, which clips its children.
    int dx = r.R > g->mWidth ? g->mWidth - r.R : 0, dy = r.B > g->mHeight ? g->mHeight - r.B : 0;
    if (r.L + dx < 0) dx = -r.L;
    if (r.T + dy < 0) dy = -r.T;
    r = IBounds(r.L + dx, r.T + dy, r.R + dx, r.B + dy);
    if (r.W() <= 0 || r.H() <= 0) return;

    XSetWindowAttributes set;
    std::memset(&set, 0, sizeof set);
    set.event_mask = ExposureMask;  // pointer and keys reach the editor's window
    set.background_pixmap = None;
    Window popup = XCreateWindow(w->mDisplay, w->mWindow, r.L, r.T, unsigned(r.W()), unsigned(r.H()), 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWEventMask | CWBackPixmap, &set);
    if (!popup) return;
    XMapRaised(w->mDisplay, popup);
    // The keyboard comes here while the entry is open; it goes back on close.
    XGetInputFocus(w->mDisplay, &w->mFocusBefore, &w->mRevertBefore);
    XSetInputFocus(w->mDisplay, w->mWindow, RevertToParent, CurrentTime);
    w->mPopup = kind;
    w->mPopupWindow = popup;
    w->mPopupRect = r;
    w->mPopupPressed = false;
    g->mEditWindow = reinterpret_cast<void*>(static_cast<uintptr_t>(popup));
    g->mEditState = EditFocused;
    g->mpEditControl = control;
    g->mpEditParam = param;
    DrawPopup(g);
}

void IEditorWindowProcs::DrawPopup(IEditorWindow* g) {
    INativeWindow* w = g->mpNative;
    if (!w || !w->mPopupWindow || !g->mpEditParam) return;
    int width = w->mPopupRect.W(), height = w->mPopupRect.H();
    RasterMemBitmap* b = &w->mPopupBitmap;
    if (b->GetWidth() != width || b->GetHeight() != height) b->ResizeTo(width, height);
    IBounds all(0, 0, width, height), inner(1, 1, width - 1, height - 1);
    Fill(b, all, FRAME);
    Fill(b, inner, PAPER);
    TextRasterizer* font = EntryFont(g->mEditFont);
    if (w->mPopup == PopupField) {
        const TextEntry& e = w->mEntry;
        int textWidth = font->TextWidth(e.Text());
        int left = inner.L + (inner.W() - textWidth) / 2;
        if (textWidth > inner.W() - 2) left = inner.R - 2 - textWidth;  // the end, where typing goes, stays in sight
        IBounds line(left, inner.T, inner.R, inner.B);
        bool marked = e.AllSelected() && e.Text()[0];
        if (marked) Fill(b, IBounds(left - 1, inner.T, left + textWidth + 1, inner.B).Intersect(inner), MARKED);
        font->Draw(b, e.Text(), line, AlignLeft, marked ? MARKED_INK : INK, inner);
        if (!marked) {
            char before[TextEntry::MAX_LENGTH + 1];
            std::memcpy(before, e.Text(), size_t(e.Caret()));
            before[e.Caret()] = 0;
            int x = left + font->TextWidth(before);
            if (x >= inner.L && x < inner.R) Fill(b, IBounds(x, inner.T + 1, x + 1, inner.B - 1), INK);
        }
    } else {
        const ChoiceList& list = w->mList;
        int inset = TEXT_INSET + (w->mPopup == PopupMenu ? CHECK_SPACE : 0);
        for (int i = 0; i < list.Count(); ++i) {
            IBounds r = list.EntryRect(i);
            bool marked = i == list.Highlighted();
            if (marked) Fill(b, r, MARKED);
            RasterPixel ink = marked ? MARKED_INK : INK;
            IBounds text(r.L + inset, r.T + 1, r.R, r.B);
            font->Draw(b, g->mpEditParam->TextForValue(i), text, AlignLeft, ink, r);
            if (w->mPopup == PopupMenu && i == w->mChecked) {
                // A check mark before the current value, as a menu shows it.
                int x = r.L + TEXT_INSET, y = r.T + ChoiceList::ROW_HEIGHT / 2;
                RasterDrawSegment(b, x, y, x + 3, y + 3, ink, 1.0f, BlitCopy, true);
                RasterDrawSegment(b, x + 3, y + 3, x + 9, y - 4, ink, 1.0f, BlitCopy, true);
            }
        }
    }
    PutPixels(w, w->mPopupWindow, b, all, 0, 0);
}

bool IEditorWindowProcs::PopupPointer(IEditorWindow* g, XEvent& event, int x, int y) {
    INativeWindow* w = g->mpNative;
    if (!g->mEditWindow) {
        // The release of the press that closed the entry belongs to no gesture.
        if (event.type == ButtonRelease && w->mSwallowRelease) {
            w->mSwallowRelease = false;
            return true;
        }
        return false;
    }
    const XButtonEvent& e = event.xbutton;  // read for presses and releases only
    bool inside = w->mPopupRect.Contains(x, y);
    bool list = w->mPopup != PopupField;
    int entry = list && inside ? w->mList.EntryAt(x - w->mPopupRect.L, y - w->mPopupRect.T) : -1;
    switch (event.type) {
    case ButtonPress:
        if (int notches = EditorWheelNotchesForButton(e.button)) {
            if (list) {
                w->mList.Wheel(notches);
                DrawPopup(g);
            }
        } else if (e.button == Button1 || e.button == Button3) {
            if (inside) {
                w->mPopupPressed = true;
                if (entry >= 0) {
                    w->mList.Highlight(entry);
                    DrawPopup(g);
                }
            } else {
                g->mEditState = EditCancel;
                w->mSwallowRelease = true;
            }
        }
        return true;
    case ButtonRelease:
        // The release of the press that opened the entry still ends its gesture.
        if (g->MouseCapture() >= 0) return false;
        if (w->mSwallowRelease) {
            w->mSwallowRelease = false;
        } else if (w->mPopupPressed && entry >= 0 && (e.button == Button1 || e.button == Button3)) {
            w->mList.Highlight(entry);
            g->mEditState = EditCommit;
        }
        w->mPopupPressed = false;
        return true;
    case MotionNotify:
        if (entry >= 0 && entry != w->mList.Highlighted()) {
            w->mList.Highlight(entry);
            DrawPopup(g);
        }
        return true;
    default: return false;
    }
}

bool IEditorWindowProcs::PopupKey(IEditorWindow* g, IEditKey key, char character) {
    INativeWindow* w = g->mpNative;
    if (!w || !g->mEditWindow) return false;
    IEditOutcome outcome = w->mPopup == PopupField ? w->mEntry.Key(key, character) : w->mList.Key(key);
    if (outcome == EditApply) g->mEditState = EditCommit;
    if (outcome == EditDiscard) g->mEditState = EditCancel;
    DrawPopup(g);
    return true;
}

void IEditorWindowProcs::StepEditor(IEditorWindow* g) {
    INativeWindow* w = g->mpNative;
    if (!w || !g->mEditWindow) return;
    if (g->mEditState == EditCommit) {
        IParameter* param = g->mpEditParam;
        IControl* control = g->mpEditControl;
        const char* text = "";
        if (w->mPopup == PopupField)
            text = w->mEntry.Text();
        else if (param)
            text = param->TextForValue(w->mList.Highlighted());
        const double value = InPlaceNormalizedValue(param, text);
        // The entry closes first: the new value's repaint then shows no entry over it.
        CloseEditor(g);
        if (param && control) control->SetValueFromUserInput(value);
    } else if (g->mEditState == EditCancel) {
        CloseEditor(g);
    }
}

void IEditorWindowProcs::RefreshPopup(IEditorWindow* g) {
    INativeWindow* w = g->mpNative;
    IParameter* param = g->mpEditParam;
    if (!w || !g->mEditWindow || !param) return;
    if (w->mPopup == PopupField) {
        if (w->mEntry.Edited()) return;
        char text[PARAM_DISPLAY_SIZE];
        param->FormatValue(param->Value(), false, text);
        if (std::strcmp(text, w->mEntry.Text()) == 0) return;
        w->mEntry.Reset(text);
    } else {
        int current = w->mPopup == PopupMenu ? int(param->Value()) : InPlaceCurrentEntry(param);
        if (w->mPopup == PopupMenu) w->mChecked = current;
        w->mList.Follow(current);
    }
    DrawPopup(g);
}

void IEditorWindowProcs::CloseEditor(IEditorWindow* g, bool windowGone) {
    INativeWindow* w = g->mpNative;
    if (w && w->mPopupWindow && !windowGone && w->mAlive) {
        X11ErrorTrap trap(w->mDisplay);
        XDestroyWindow(w->mDisplay, w->mPopupWindow);
        // The keyboard, taken when the entry opened, goes back to where it was, if it is still ours.
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(w->mDisplay, &focus, &revert);
        if (focus == w->mWindow) XSetInputFocus(w->mDisplay, w->mFocusBefore, w->mRevertBefore, CurrentTime);
    }
    if (w) {
        w->mPopupWindow = 0;
        w->mPopup = PopupNone;
        w->mPopupPressed = false;
    }
    g->mEditWindow = nullptr;
    g->mpEditParam = nullptr;
    g->mpEditControl = nullptr;
    g->mEditState = EditNone;
}

// ---- IEditorWindow ----

void IEditorWindow::PromptUserInput(IControl* control, IParameter* param, void*) {
    if (!control || !param || !mpNative || mEditWindow) return;
    IPopupKind kind = param->NumValueTexts() > 0 ? PopupDropDown : PopupField;
    IEditorWindowProcs::OpenPopup(this, kind, control, param, 0, 0, 0);
}

void IEditorWindow::PopupValueMenu(IControl* control, IParameter* param, int columns) {
    if (!control || !param || !mpNative || mEditWindow) return;
    IEditorWindowProcs::OpenPopup(this, PopupMenu, control, param, mpNative->mPointerX, mpNative->mPointerY, columns);
}
