// The window layer on Windows: a child window of the host's editor frame that turns
// window messages into the editor's events, repaints the dirty region on a timer,
// copies the draw bitmap (a DIB section in a memory device context) to the screen,
// draws GDI text into that bitmap, and offers the in-place value editor, the value menu
// and a few system dialogs. Everything runs on the thread that owns the window.
#include <windows.h>
#include <commdlg.h>
// The API's character-set macros would rename the graphics' own operations.
#undef DrawText
#undef LoadImage

#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/IParameter.h"
#include "graphics/IControl.h"
#include "graphics/IEditorWindow.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"

namespace {

const char* const CLASS_NAME = "TamborelleWndClass";
const UINT_PTR TIMER_ID = 2;
const int EDIT_CONTROL_ID = 99;
const int TEXT_BUFFER_SIZE = 1000;

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

// The editor's key code for a virtual key, or -1 for a key the editor ignores. The last
// range works on key codes, not characters: keypad keys and F1..F11 count as letters.
int EditorKeyForVirtualKey(WPARAM key) {
    switch (key) {
    case VK_SPACE: return KeySpace;
    case VK_UP: return KeyArrowUp;
    case VK_DOWN: return KeyArrowDown;
    case VK_LEFT: return KeyArrowLeft;
    case VK_RIGHT: return KeyArrowRight;
    default: break;
    }
    if (key >= 0x30 && key <= 0x39) return int(key) - 43;
    if (key >= 0x41 && key <= 0x5A) return int(key) - 50;
    if (key >= 0x61 && key <= 0x7A) return int(key) - 82;
    return -1;
}

IPointerState PointerFromKeys(WPARAM keys) {
    return IPointerState((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                         (keys & MK_CONTROL) != 0, (GetKeyState(VK_MENU) & 0x8000) != 0);
}

int SignedLow(LPARAM v) { return static_cast<short>(LOWORD(v)); }
int SignedHigh(LPARAM v) { return static_cast<short>(HIWORD(v)); }

// The module's file name, whatever its length (up to the system's 32767-character limit).
bool ModuleFileName(HMODULE module, char* out, DWORD size) {
    DWORD n = GetModuleFileNameA(module, out, size);
    return n > 0 && n < size;
}

// out = the text up to and including the last backslash; empty when there is none, when
// nothing follows it, or when it does not fit.
void DirectoryOf(const char* path, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    if (!path || !*path) return;
    const char* slash = std::strrchr(path, '\\');
    if (!slash || !slash[1]) return;
    size_t n = size_t(slash - path) + 1;
    if (n >= size_t(outSize)) return;
    std::memcpy(out, path, n);
    out[n] = 0;
}

void ModuleDirectory(HMODULE module, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    // Long-path names run far beyond MAX_PATH.
    const DWORD size = 32768;
    char* path = new (std::nothrow) char[size];
    if (!path) return;
    if (ModuleFileName(module, path, size)) DirectoryOf(path, out, outSize);
    delete[] path;
}

// A system function from a library loaded on first use, so the module imports only what
// every host has loaded already.
template <typename Proc>
Proc SystemProc(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadLibraryA(library);
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

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

UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG && lParam) {
        const char* title = reinterpret_cast<const char*>(reinterpret_cast<CHOOSECOLORA*>(lParam)->lCustData);
        if (title) SetWindowTextA(dialog, title);
    }
    return 0;
}

}  // namespace

// The window procedures and the steps they share, with access to the layer's fields.
class IEditorWindowProcs {
public:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void Tick(IEditorWindow* g);
    static void CloseEditor(IEditorWindow* g);
    static void WindowGone(IEditorWindow* g);
};

void IEditorWindowProcs::WindowGone(IEditorWindow* g) {
    g->mWindow = nullptr;
    if (sClassUsers > 0) --sClassUsers;
}

void IEditorWindowProcs::CloseEditor(IEditorWindow* g) {
    HWND edit = static_cast<HWND>(g->mEditWindow);
    if (edit) {
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g->mDefaultEditProc));
        SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
        DestroyWindow(edit);
    }
    if (g->mEditFont) DeleteObject(static_cast<HGDIOBJ>(g->mEditFont));
    g->mEditFont = nullptr;
    g->mEditWindow = nullptr;
    g->mpEditParam = nullptr;
    g->mpEditControl = nullptr;
    g->mDefaultEditProc = nullptr;
    g->mEditState = EditNone;
}

void IEditorWindowProcs::Tick(IEditorWindow* g) {
    HWND window = static_cast<HWND>(g->mWindow);
    HWND edit = static_cast<HWND>(g->mEditWindow);
    if (edit && g->mEditState != EditNone) {
        char text[TEXT_BUFFER_SIZE];
        switch (g->mEditState) {
        case EditRefresh:
            if (g->mpEditParam) {
                char current[PARAM_DISPLAY_SIZE];
                g->mpEditParam->FormatValue(g->mpEditParam->Value(), false, current);
                text[0] = 0;
                SendMessageA(edit, WM_GETTEXT, TEXT_BUFFER_SIZE, reinterpret_cast<LPARAM>(text));
                if (std::strcmp(text, current) != 0) {
                    if (g->mpEditParam->NumValueTexts() > 0)
                        SendMessageA(edit, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(current));
                    else
                        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(current));
                }
            }
            g->mEditState = EditNone;
            break;
        case EditCancel: CloseEditor(g); break;
        case EditCommit:
            text[0] = 0;
            SendMessageA(edit, WM_GETTEXT, TEXT_BUFFER_SIZE, reinterpret_cast<LPARAM>(text));
            if (g->mpEditParam && g->mpEditControl) {
                IParameter* param = g->mpEditParam;
                double value;
                if (param->NumValueTexts() > 0) {
                    int32_t v = 0;
                    param->ValueForText(text, &v);
                    value = v;
                } else {
                    value = std::strtod(text, nullptr);
                    if (param->ShowNegated()) value = -value;
                }
                g->mpEditControl->SetValueFromUserInput(param->GetNormalized(value));
            }
            CloseEditor(g);
            break;
        default: g->mEditState = EditNone; break;
        }
        return;
    }
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
        ReleaseCapture();
        IPointerState state = PointerFromKeys(wParam);
        g->OnMouseUp(x, y, &state);
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

LRESULT CALLBACK IEditorWindowProcs::EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* g = reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!g || g->mEditWindow != window) return DefWindowProcA(window, message, wParam, lParam);
    auto passOn = [&]() {
        return CallWindowProcA(reinterpret_cast<WNDPROC>(g->mDefaultEditProc), window, message, wParam, lParam);
    };
    switch (message) {
    case WM_SETFOCUS: g->mEditState = EditFocused; return passOn();
    case WM_KILLFOCUS: g->mEditState = EditNone; return passOn();
    case WM_GETDLGCODE: {
        LRESULT code = passOn();
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            g->mEditState = EditCommit;
            return 0;
        }
        return passOn();
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            g->mEditState = EditCommit;
            return 0;
        }
        return passOn();
    default: return passOn();
    }
}

IEditorWindow::IEditorWindow(IEffectBase* plug, int w, int h, int frameRate)
    : IEditorRaster(plug, w, h, frameRate), mInstance(ThisModule()) {}

IEditorWindow::~IEditorWindow() {
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

void IEditorWindow::PromptUserInput(IControl* control, IParameter* param, void*) {
    if (!control || !param || !mWindow || mEditWindow) return;
    const IBounds& rect = control->Rect();
    int cx = int((float(rect.L) + float(rect.R)) * 0.5f);
    int cy = int((float(rect.T) + float(rect.B)) * 0.5f);
    char text[PARAM_DISPLAY_SIZE];
    param->FormatValue(param->Value(), false, text);
    int n = param->NumValueTexts();
    HWND parent = static_cast<HWND>(mWindow);
    HINSTANCE instance = static_cast<HINSTANCE>(mInstance);
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(EDIT_CONTROL_ID));
    HWND edit = nullptr;
    if (n == 0) {
        edit = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, cx - 18, cy - 8, 36,
                               16, parent, id, instance, nullptr);
        if (!edit) return;
        SendMessageA(edit, EM_SETSEL, 0, -1);
    } else {
        int w = 24, selected = -1;
        for (int i = 0; i < n; ++i) {
            const char* t = param->TextForValue(i);
            int tw = int(std::strlen(t)) * 8 + 24;
            if (tw > w) w = tw;
            if (std::strcmp(t, text) == 0) selected = i;
        }
        edit = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, cx - w / 2, cy, w,
                               (n + 1) * 36, parent, id, instance, nullptr);
        if (!edit) return;
        for (int i = 0; i < n; ++i)
            SendMessageA(edit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(param->TextForValue(i)));
        SendMessageA(edit, CB_SETCURSEL, WPARAM(selected), 0);
    }
    // Known before the focus moves, so the control's own focus message already finds this object.
    mEditWindow = edit;
    mDefaultEditProc = reinterpret_cast<void*>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IEditorWindowProcs::EditWindowProc)));
    SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    mEditFont = CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(mEditFont), FALSE);
    mpEditControl = control;
    mpEditParam = param;
    SetFocus(edit);
}

void IEditorWindow::GetHostDirectory(char* out, int outSize) { ModuleDirectory(nullptr, out, outSize); }

void IEditorWindow::GetPluginDirectory(char* out, int outSize) {
    ModuleDirectory(static_cast<HMODULE>(mInstance), out, outSize);
}

void IEditorWindow::AskForFile(char* out, int outSize, int action, const char* directory) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    if (!mWindow) return;
    using FileDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
    FileDialog dialog =
        SystemProc<FileDialog>("comdlg32.dll", action == FileActionSave ? "GetSaveFileNameA" : "GetOpenFileNameA");
    if (!dialog) return;
    const DWORD size = 32768;  // long-path names
    char* path = new (std::nothrow) char[size];
    if (!path) return;
    path[0] = 0;
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(mWindow);
    ofn.lpstrFile = path;
    ofn.nMaxFile = size - 1;
    ofn.lpstrInitialDir = directory && *directory ? directory : nullptr;
    ofn.Flags =
        action == FileActionSave ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (dialog(&ofn)) {
        size_t n = std::strlen(path);
        if (n < size_t(outSize)) std::memcpy(out, path, n + 1);
    }
    delete[] path;
}

bool IEditorWindow::AskForColor(IArgb* color, const char* title) {
    if (!mWindow || !color) return false;
    if (!mCustomColors) mCustomColors = new (std::nothrow) uint32_t[16]();
    if (!mCustomColors) return false;
    using ColorDialog = BOOL(WINAPI*)(CHOOSECOLORA*);
    ColorDialog dialog = SystemProc<ColorDialog>("comdlg32.dll", "ChooseColorA");
    if (!dialog) return false;
    CHOOSECOLORA cc;
    std::memset(&cc, 0, sizeof cc);
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = static_cast<HWND>(mWindow);
    cc.rgbResult = RGB(color->R, color->G, color->B);
    cc.lpCustColors = reinterpret_cast<COLORREF*>(mCustomColors);
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    cc.lCustData = reinterpret_cast<LPARAM>(title);
    cc.lpfnHook = ColorDialogHook;
    if (!dialog(&cc)) return false;
    color->R = GetRValue(cc.rgbResult);
    color->G = GetGValue(cc.rgbResult);
    color->B = GetBValue(cc.rgbResult);
    return true;
}

bool IEditorWindow::OpenLink(const char* url, const char* title, const char* question, const char* errorText) {
    HWND owner = static_cast<HWND>(mWindow);
    if (question && MessageBoxA(owner, question, title, MB_YESNO) != IDYES) return false;
    using ConnectedState = BOOL(WINAPI*)(DWORD*, DWORD);
    using Execute = HINSTANCE(WINAPI*)(HWND, const char*, const char*, const char*, const char*, INT);
    ConnectedState connected = SystemProc<ConnectedState>("wininet.dll", "InternetGetConnectedState");
    Execute execute = SystemProc<Execute>("shell32.dll", "ShellExecuteA");
    DWORD flags = 0;
    if (url && connected && execute && connected(&flags, 0) &&
        reinterpret_cast<INT_PTR>(execute(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) > 32)
        return true;
    if (errorText) MessageBoxA(owner, errorText, title, MB_OK);
    return false;
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
    // that could not be destroyed), the count goes down all the same.
    DestroyWindow(static_cast<HWND>(mWindow));
    if (mWindow) IEditorWindowProcs::WindowGone(this);
    UnregisterClassIfUnused();
}

void IEditorWindow::PopupValueMenu(IControl* control, IParameter* param, int columns) {
    if (!control || !param) return;
    int current = int(param->Value());
    POINT p;
    GetCursorPos(&p);
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    int n = param->NumValueTexts();
    for (int i = 0; i < n; ++i) {
        UINT flags = MF_STRING;
        if (i == current) flags |= MF_CHECKED;
        if (columns <= 0 || (i > 0 && i % columns == 0)) flags |= MF_MENUBARBREAK;
        AppendMenuA(menu, flags, UINT_PTR(i + 1), param->TextForValue(i));
    }
    // The menu opens without animation on its own (TPM_NOANIMATION); the user's
    // system-wide menu settings are left as they are.
    int chosen =
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_NOANIMATION, p.x, p.y, GetActiveWindow(), nullptr);
    DestroyMenu(menu);
    if (chosen > 0) {
        int32_t v = 0;
        param->ValueForText(param->TextForValue(chosen - 1), &v);
        control->SetValueFromUserInput(param->GetNormalized(v));
    }
}

RasterBitmap* IEditorWindow::LoadImageResource(int id, const char* name) {
    return LoadPngResourceByName(mInstance, id, name, nullptr);
}
