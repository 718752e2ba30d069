// Internal to the Linux window layer: IEditorWindow is one class spread over two files
// (the window, its in-place value entry), and this is the state of an open X11 window
// and the steps the two files share. Included by those files only. Every function:
// [GUI thread] (tags as in framework/IEffectBase.h).
#pragma once

#include <cstdint>

#include "framework/GrowBuffer.h"
#include "graphics/IEditorWindow.h"
#include "graphics/InPlaceEdit.h"
#include "graphics/X11Input.h"
#include "graphics/X11PixelFormat.h"
#include "raster/RasterMemBitmap.h"

// Xlib last: its macros (None, Bool, Status...) would rename things in the headers above.
#include <X11/Xlib.h>

enum IPopupKind : int { PopupNone = 0, PopupField = 1, PopupDropDown = 2, PopupMenu = 3 };

// An open editor window: its own display connection, the child window of the host's,
// how its pixels go to the server, the tick's clock, and the in-place entry's window.
struct INativeWindow {
    Display* mDisplay = nullptr;
    Window mWindow = 0;
    GC mGC = nullptr;
    X11PixelFormat mFormat;
    bool mAlive = true;           // false once the window was destroyed (with the host's window)
    GrowBuffer mConverted{4096};  // pixels in the server's format, when they differ from ours

    int64_t mNextTickMs = 0;
    int mTickMs = 41;
    IBounds mExposed;  // exposed area gathered until the last Expose of a series
    DoubleClickTracker mClicks;
    int mPointerX = 0, mPointerY = 0;  // last pointer position seen

    // The in-place entry: a field, a drop-down list or a value menu, in a child window.
    IPopupKind mPopup = PopupNone;
    Window mPopupWindow = 0;
    IBounds mPopupRect;            // in the editor window's coordinates
    bool mPopupPressed = false;    // a press began inside the popup, its release may pick
    bool mSwallowRelease = false;  // the press that closed the popup: its release does nothing
    TextEntry mEntry;
    ChoiceList mList;
    int mChecked = -1;  // the value menu's current entry
    RasterMemBitmap mPopupBitmap;
    Window mFocusBefore = 0;  // who had the keyboard before the entry took it
    int mRevertBefore = 0;
};

// The steps of the Linux window layer, with access to IEditorWindow's fields.
class IEditorWindowProcs {
public:
    // IEditorWindowLinux.cpp: the window.
    static void HandleEvent(IEditorWindow* g, XEvent& event);
    // Redraws area plus whatever is dirty, and shows it.
    static void Repaint(IEditorWindow* g, const IBounds& area);
    // Puts region r of bitmap on target at (x, y), converting to the server's format.
    static void PutPixels(INativeWindow* w, Window target, const RasterBitmap* bitmap, const IBounds& r, int x, int y);
    static int64_t NowMs();

    // InPlaceEditLinux.cpp: the entry that a right click or the value menu opens.
    static void OpenPopup(IEditorWindow* g, IPopupKind kind, IControl* control, IParameter* param, int x, int y,
                          int columns);
    // Pointer events (at x, y in the editor window) and keys while the entry is open;
    // true when the entry took them.
    static bool PopupPointer(IEditorWindow* g, XEvent& event, int x, int y);
    static bool PopupKey(IEditorWindow* g, IEditKey key, char character);
    static void DrawPopup(IEditorWindow* g);
    // Applies or discards the entry when a key or a click asked for it.
    static void StepEditor(IEditorWindow* g);
    // The parameter changed meanwhile: an entry the user has not touched follows it.
    static void RefreshPopup(IEditorWindow* g);
    // Closes the entry; windowGone when its window went with the editor's.
    static void CloseEditor(IEditorWindow* g, bool windowGone = false);
};
