// The window layer on Windows: a child window of the host's editor frame that turns
// window messages into the editor's events, repaints the dirty region on a timer,
// copies the draw bitmap (a DIB section in a memory device context) to the screen and
// draws GDI text into that bitmap. The in-place value entry and the system dialogs are
// in InPlaceEditWin32.cpp and SystemDialogsWin32.cpp. Everything runs on the thread that
// owns the window.
#include <cstring>

#include "graphics/IEditorWindowProcsWin32.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"

namespace {

const char* const CLASS_NAME = "TamborelleWndClass";
const UINT_PTR TIMER_ID = 2;

// Shared by every editor of the module; touched only on the user-interface thread.
int32_t sClassUsers = 0;
double sFrameRate = DEFAULT_FRAME_RATE;
HINSTANCE sClassInstance = nullptr;  // the module the class is registered for, while it is

// A class left behind outlives the module and blocks the next load's registration.
void UnregisterClassIfUnused() {
    if (sClassUsers == 0 && sClassInstance && UnregisterClassA(CLASS_NAME, sClassInstance)) sClassInstance = nullptr;
}

// A window the host destroyed together with its own still held the class when its last
// message arrived; the class goes at the next close or, at the latest, with the module.
struct ClassGuard {
    ~ClassGuard() {
        if (sClassInstance) UnregisterClassA(CLASS_NAME, sClassInstance);
    }
} sClassGuard;

// The module this code lives in, so that its own resources and class are found.
HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

// The editor's key code for a virtual key, or -1 for a key the editor ignores. The
// character range works on key codes, not characters: keypad keys and F1..F11
// (0x61..0x7A) count as letters.
int EditorKeyForVirtualKey(WPARAM key) {
    switch (key) {
    case VK_UP: return KeyArrowUp;
    case VK_DOWN: return KeyArrowDown;
    case VK_LEFT: return KeyArrowLeft;
    case VK_RIGHT: return KeyArrowRight;
    default: return EditorKeyForCharacterCode(key);
    }
}

IPointerState PointerFromKeys(WPARAM keys) {
    return IPointerState((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                         (keys & MK_CONTROL) != 0, (GetKeyState(VK_MENU) & 0x8000) != 0);
}

int SignedLow(LPARAM v) { return static_cast<short>(LOWORD(v)); }
int SignedHigh(LPARAM v) { return static_cast<short>(HIWORD(v)); }

bool IsChildWindow(HWND window) {
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    return (style & WS_CHILD) && !(exStyle & WS_EX_MDICHILD);
}

void GrowWindow(HWND window, int dw, int dh) {
    RECT r;
    if (!window || !GetWindowRect(window, &r)) return;
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void IEditorWindowProcs::WindowGone(IEditorWindow* g) {
    g->mWindow = nullptr;
    if (sClassUsers > 0) --sClassUsers;
}

void IEditorWindowProcs::Tick(IEditorWindow* g) {
    if (StepEditor(g)) return;
    HWND window = static_cast<HWND>(g->mWindow);
    IBounds dirty;
    if (g->IsDirty(&dirty)) {
        RECT r = {dirty.L, dirty.T, dirty.R, dirty.B};
        InvalidateRect(window, &r, FALSE);
        UpdateWindow(window);
        if (g->mEditWindow) g->mEditState = EditRefresh;
    }
}

LRESULT CALLBACK IEditorWindowProcs::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        SetTimer(window, TIMER_ID, UINT(1000.0 / sFrameRate), nullptr);
        SetFocus(window);
        return 0;
    }
    auto* g = reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!g || g->mWindow != window) return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_DESTROY) {
        // However the window goes (closed by the host, or with its parent), the in-place
        // editor goes with it, and nothing may point at it afterwards.
        KillTimer(window, TIMER_ID);
        CloseEditor(g);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        WindowGone(g);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_COMMAND && g->mEditWindow && reinterpret_cast<HWND>(lParam) == g->mEditWindow &&
        HIWORD(wParam) == CBN_SELCHANGE) {
        // The list tells its parent about a new selection, even while it holds the focus.
        g->mEditState = EditCommit;
        return 0;
    }
    if (message == WM_CAPTURECHANGED) {
        // Another window took the mouse in the middle of a drag (a host dialog, a
        // switch of application): the release will never come here.
        if (reinterpret_cast<HWND>(lParam) != window) g->OnMouseCaptureLost();
        return 0;
    }
    if (g->mEditWindow && g->mEditState == EditFocused) {
        if (message == WM_RBUTTONDOWN) {
            g->mEditState = EditCancel;
            return 0;
        }
        // The release of the press that opened the field still ends its gesture and
        // gives the capture back.
        bool release = message == WM_LBUTTONUP || message == WM_RBUTTONUP;
        if (!release || GetCapture() != window) return DefWindowProcA(window, message, wParam, lParam);
    }

    int x = SignedLow(lParam), y = SignedHigh(lParam);
    switch (message) {
    case WM_PAINT: {
        RECT r;
        if (GetUpdateRect(window, &r, FALSE)) {
            IBounds b(r.left, r.top, r.right, r.bottom);
            g->Draw(&b);
        }
        return 0;
    }
    case WM_CLOSE: g->CloseWindow(); return 0;
    case WM_MOUSEACTIVATE: SetFocus(window); return MA_ACTIVATE;
    case WM_KEYDOWN: {
        int key = EditorKeyForVirtualKey(wParam);
        if (key < 0) return 0;
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        g->OnKeyDown(p.x, p.y, key);
        return 0;
    }
    case WM_TIMER:
        if (wParam == TIMER_ID) Tick(g);
        return 0;
    case WM_MOUSEMOVE: {
        IPointerState state = PointerFromKeys(wParam);
        if (state.L || state.R) {
            if (GetCapture() == window) g->OnMouseDrag(x, y, &state);
        } else if (g->OnMouseOver(x, y, &state)) {
            TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, HOVER_DEFAULT};
            TrackMouseEvent(&track);
        }
        return 0;
    }
    case WM_LBUTTONDOWN: {
        if (g->mEditWindow) g->mEditState = EditCommit;
        SetCapture(window);
        IPointerState state = PointerFromKeys(wParam);
        g->OnMouseDown(x, y, &state);
        return 0;
    }
    case WM_RBUTTONDOWN: {
        if (g->mEditWindow) {
            g->mEditState = EditCancel;
            return 0;
        }
        SetCapture(window);
        IPointerState state = PointerFromKeys(wParam);
        g->OnMouseDown(x, y, &state);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        // The gesture ends before the capture goes, so the capture change that
        // ReleaseCapture sends finds nothing left to end.
        IPointerState state = PointerFromKeys(wParam);
        g->OnMouseUp(x, y, &state);
        ReleaseCapture();
        return 0;
    }

    case WM_LBUTTONDBLCLK: {
        IPointerState state = PointerFromKeys(wParam);
        if (g->OnMouseDblClick(x, y, &state)) SetCapture(window);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        RECT r;
        GetWindowRect(window, &r);
        IPointerState state = PointerFromKeys(LOWORD(wParam));
        int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
        g->OnMouseWheel(x - r.left, y - r.top, &state, notches);
        return 0;
    }
    case WM_MOUSELEAVE: g->OnMouseOut(); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

IEditorWindow::IEditorWindow(IEffectBase* plug, int w, int h, int frameRate)
    : IEditorRaster(plug, w, h, frameRate), mInstance(ThisModule()) {}

IEditorWindow::~IEditorWindow() {
    // The plug-in is being taken down around its editor: a gesture still open is not
    // reported to it any more.
    mMouseCapture = -1;
    CloseWindow();
    delete[] mCustomColors;
    HDC dc = mpDrawBitmap ? static_cast<HDC>(mpDrawBitmap->GetDeviceContext()) : nullptr;
    if (mTextFont) {
        if (dc && dc == mTextFontDC) SelectObject(dc, static_cast<HGDIOBJ>(mPreviousFont));
        DeleteObject(static_cast<HGDIOBJ>(mTextFont));
    }
}

bool IEditorWindow::PresentToScreen(IBounds* r) {
    HWND window = static_cast<HWND>(GetWindow());
    if (!window || !r || !mpDrawBitmap) return true;
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(window, &paint);
    BitBlt(screen, r->L, r->T, r->R - r->L, r->B - r->T, static_cast<HDC>(mpDrawBitmap->GetDeviceContext()), r->L, r->T,
           SRCCOPY);
    EndPaint(window, &paint);
    return true;
}

bool IEditorWindow::DrawText(ITextStyle* style, const char* text, IBounds* r) {
    if (!text || !*text) return true;
    if (!style || !r || !mpDrawBitmap) return true;
    HDC dc = static_cast<HDC>(mpDrawBitmap->GetDeviceContext());
    if (!dc) return true;
    bool setColor = style->mColor != mLastTextColor;
    if (!mFontSelected) {
        mTextFont = CreateFontA(style->mSize, 0, style->mOrientation * 10, style->mOrientation * 10,
                                style->mStyle == TextBold ? FW_BOLD : 0, style->mStyle == TextItalic, 0, 0, 0, 0, 0,
                                CLEARTYPE_QUALITY, 0, style->mFont);
        mFontSelected = true;
        setColor = true;
    }
    if (mTextFont && dc != mTextFontDC) {
        // A draw bitmap made anew has a fresh context that needs the font again.
        mPreviousFont = SelectObject(dc, static_cast<HGDIOBJ>(mTextFont));
        mTextFontDC = dc;
        SetBkMode(dc, TRANSPARENT);
        setColor = true;
    }
    if (setColor) {
        mLastTextColor = style->mColor;
        SetTextColor(dc, RGB(style->mColor.R, style->mColor.G, style->mColor.B));
    }
    UINT format = DT_NOCLIP | (style->mAlign == AlignCenter  ? DT_CENTER
                               : style->mAlign == AlignRight ? DT_RIGHT
                                                             : DT_LEFT);
    RECT rect = {r->L, r->T, r->R, r->B};
    // Text stays inside the region being drawn, so anti-aliased edges are never blended twice.
    HRGN clip = nullptr;
    if (!mDrawRect.Empty()) {
        clip = CreateRectRgn(mDrawRect.L, mDrawRect.T, mDrawRect.R, mDrawRect.B);
        SelectClipRgn(dc, clip);
    }
    bool drawn = DrawTextA(dc, text, -1, &rect, format) != 0;
    if (clip) {
        SelectClipRgn(dc, nullptr);
        DeleteObject(clip);
    }
    return drawn;
}

const char* IEditorWindow::TextFontFamily() const { return ""; }

void IEditorWindow::Resize(int w, int h) {
    int dw = w - mWidth, dh = h - mHeight;
    IEditorRaster::Resize(w, h);
    if (mpDrawBitmap) mpDrawBitmap->ResizeTo(w, h);
    HWND window = static_cast<HWND>(mWindow);
    if (!window) return;
    RECT old;
    GetWindowRect(window, &old);
    HWND parent = nullptr, grandParent = nullptr;
    if (IsChildWindow(window)) {
        parent = GetParent(window);
        if (parent && IsChildWindow(parent)) grandParent = GetParent(parent);
    }
    GrowWindow(window, dw, dh);
    GrowWindow(parent, dw, dh);
    GrowWindow(grandParent, dw, dh);
    RECT r = {0, 0, old.right - old.left, old.bottom - old.top};
    InvalidateRect(window, &r, FALSE);
}

void* IEditorWindow::OpenWindow(void* parent) {
    int x = 0, y = 0, w = mWidth, h = mHeight;
    if (mWindow) {
        RECT pr, wr;
        GetWindowRect(static_cast<HWND>(parent), &pr);
        GetWindowRect(static_cast<HWND>(mWindow), &wr);
        CloseWindow();
        x = wr.left - pr.left;
        y = wr.top - pr.top;
        w = wr.right - wr.left;
        h = wr.bottom - wr.top;
    }
    if (sClassUsers++ == 0 && !sClassInstance) {
        WNDCLASSA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &IEditorWindowProcs::WindowProc;
        wc.hInstance = static_cast<HINSTANCE>(mInstance);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = CLASS_NAME;
        if (RegisterClassA(&wc)) sClassInstance = wc.hInstance;
    }
    sFrameRate = mFrameRate > 0 ? mFrameRate : DEFAULT_FRAME_RATE;
    mWindow = CreateWindowExA(0, CLASS_NAME, "Tamborelle", WS_CHILD | WS_VISIBLE, x, y, w, h, static_cast<HWND>(parent),
                              nullptr, static_cast<HINSTANCE>(mInstance), this);
    if (mWindow) {
        SetAllControlsDirty();
    } else {
        --sClassUsers;
        UnregisterClassIfUnused();
    }
    return mWindow;
}

void IEditorWindow::CloseWindow() {
    if (!mWindow) {
        UnregisterClassIfUnused();
        return;
    }
    // The window's last message does the bookkeeping; should it never come (a window
    // that could not be destroyed, such as one closed from another thread), the count
    // goes down all the same, and the window forgets this editor and its timer so that
    // a late message finds nothing.
    HWND window = static_cast<HWND>(mWindow);
    DestroyWindow(window);
    if (mWindow) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        KillTimer(window, TIMER_ID);
        IEditorWindowProcs::CloseEditor(this);
        IEditorWindowProcs::WindowGone(this);
    }
    UnregisterClassIfUnused();
}

void IEditorWindow::Idle() {}

bool IEditorWindow::HostKey(IEditKey, char, bool) { return false; }

RasterBitmap* IEditorWindow::LoadImageResource(int id, const char* name) {
    return LoadPngResourceByName(mInstance, id, name, nullptr);
}
