// Opens Tamborelle64.dll's editor the way a Windows host does: LoadLibrary, the
// editor as a child of a top-level window, a message loop. Drives it with mouse and
// key messages and checks what reaches the host, the in-place editor, the repaint
// timer, the pixels on screen, and that closing and unloading leave nothing behind.
// The same program links the editor statically, to draw the reference picture without
// a window and to reach the operations that the plug-in itself never calls.
//
//   win_editor_test Tamborelle64.dll golden.png        the checks
//   win_editor_test Tamborelle64.dll --timing N        medians of N load/open/close rounds
#include <windows.h>
#undef DrawText
#undef LoadImage

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/IParameter.h"
#include "framework/IVstEffect.h"
#include "graphics/IControl.h"
#include "graphics/IEditorWindow.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"
#include "tests/windows/Checks.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

namespace {

const char* const CLASS_NAME = "TamborelleWndClass";
const int W = 410, H = 680;

using checks::Check;

struct EditCall {
    char kind;  // 'b' begin, 'a' automate, 'e' end
    int index;
    float value;
};

class EditorHost : public VstHost {
public:
    std::vector<EditCall> calls;

    // True when the calls for index are exactly begin, one or more automations, end.
    bool SawGesture(int index) const {
        std::string seq;
        for (const EditCall& c : calls)
            if (c.index == index) seq += c.kind;
        return seq.size() >= 3 && seq.front() == 'b' && seq.back() == 'e' &&
               seq.find_first_not_of('a', 1) == seq.size() - 1;
    }
    // The calls for index as letters, in order: "bae" is one gesture with one value.
    std::string Kinds(int index) const {
        std::string seq;
        for (const EditCall& c : calls)
            if (c.index == index) seq += c.kind;
        return seq;
    }
    bool Automated(int index) const {
        for (const EditCall& c : calls)
            if (c.index == index && c.kind == 'a') return true;
        return false;
    }

protected:
    void OnAutomate(int index, float value) override { calls.push_back({'a', index, value}); }
    void OnBeginEdit(int index) override { calls.push_back({'b', index, 0.0f}); }
    void OnEndEdit(int index) override { calls.push_back({'e', index, 0.0f}); }
};

// Runs the message loop for ms milliseconds.
void Pump(DWORD ms) {
    ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now), QS_ALLINPUT);
    }
}

HWND MakeFrame(int x = 0) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TamborelleTestFrame";
        registered = RegisterClassA(&wc) != 0;
    }
    HWND frame = CreateWindowExA(0, "TamborelleTestFrame", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, 0, W, H,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(frame);
    return frame;
}

bool ClassRegistered(HMODULE module) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    return GetClassInfoExA(module, CLASS_NAME, &wc) != 0;
}

// Counts the editor window's timer ticks and paints on the way to its own procedure.
WNDPROC sEditorProc = nullptr;
int sTicks = 0, sPaints = 0;
std::vector<ULONGLONG> sTickTimes;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        ++sTicks;
        sTickTimes.push_back(GetTickCount64());
    }
    if (message == WM_PAINT) ++sPaints;
    return CallWindowProcA(sEditorProc, window, message, wParam, lParam);
}

HWND OpenEditor(EditorHost& host, HWND frame) {
    if (host.Dispatch(vst2::effEditOpen, 0, 0, frame) != 1) return nullptr;
    HWND editor = FindWindowExA(frame, nullptr, CLASS_NAME, nullptr);
    if (editor)
        sEditorProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
    return editor;
}

void Post(HWND window, UINT message, WPARAM keys, int x, int y) {
    PostMessageA(window, message, keys, MAKELPARAM(x, y));
}

void Click(HWND editor, int x, int y, bool right = false) {
    Post(editor, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, x, y);
    Post(editor, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, x, y);
    Pump(120);
}

void Wheel(HWND editor, int x, int y, int delta) {
    POINT p = {x, y};
    ClientToScreen(editor, &p);
    PostMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                 MAKELPARAM(p.x, p.y));
    Pump(60);
}

std::string Text(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The window's pixels as the screen shows them, 0x00RRGGBB, top row first.
std::vector<uint32_t> ReadBack(HWND window) {
    std::vector<uint32_t> out(size_t(W) * H, 0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, W, H, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; p && i < out.size(); ++i) out[i] = p[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return out;
}

std::vector<uint32_t> PixelsOf(const RasterBitmap* bitmap) {
    std::vector<uint32_t> out(size_t(W) * H, 0);
    if (!bitmap || bitmap->GetWidth() < W || bitmap->GetHeight() < H) return out;
    for (int y = 0; y < H; ++y) {
        int row = bitmap->IsBottomUp() ? bitmap->GetHeight() - 1 - y : y;
        const RasterPixel* p = bitmap->GetPixelData() + size_t(row) * bitmap->GetRowSpan();
        for (int x = 0; x < W; ++x) out[size_t(y) * W + x] = p[x] & 0xFFFFFF;
    }
    return out;
}

// The panel's text boxes (read-outs and list texts), grown by two pixels for the
// glyphs' overhang: only there may a picture drawn with another text engine differ.
std::vector<bool> TextMask() {
    std::vector<bool> mask(size_t(W) * H, false);
    auto add = [&](int l, int t, int r, int b) {
        for (int y = std::max(0, t - 2); y < std::min(H, b + 2); ++y)
            for (int x = std::max(0, l - 2); x < std::min(W, r + 2); ++x) mask[size_t(y) * W + x] = true;
    };
    const int faderRows[] = {216, 192, 420, 304, 329, 352, 376, 628, 512, 536, 560, 584};
    for (int y : faderRows) add(308, y - 3, 338, y + 13);
    const int lists[][2] = {{112, 125}, {248, 125}, {112, 231}, {248, 231}, {112, 437}, {112, 393},
                            {248, 439}, {112, 645}, {112, 601}, {248, 645}, {112, 61},  {248, 63}};
    for (const auto& l : lists) add(l[0] + 2, l[1], l[0] + 62, l[1] + 16);
    return mask;
}

// The editor of the statically linked copy, drawn in full without a window.
struct LocalEditor {
    EditorHost host;
    IEditorWindow* graphics = nullptr;

    static vst2::AEffect* Entry(vst2::HostCallback callback) {
        IVstEffect* plug = CreateVstEffect(callback);
        if (!plug) return nullptr;
        plug->MakeDefaultSlotIfNone();
        return plug->Effect();
    }
    bool Make() {
        if (!host.Instantiate(&Entry)) return false;
        host.Dispatch(vst2::effOpen);
        auto* plug = static_cast<IVstEffect*>(host.Effect()->object);
        graphics = dynamic_cast<IEditorWindow*>(plug->Graphics());
        return graphics != nullptr && plug->PrepareEditor();  // drawn without a window
    }
    std::vector<uint32_t> Render() {
        // The dirty check first: it brings the read-outs up to date, as the timer does.
        IBounds dirty, all(0, 0, W, H);
        graphics->IsDirty(&dirty);
        graphics->Draw(&all);
        return PixelsOf(graphics->DrawBitmap());
    }
};

// Sits on top of the panel and records what the window layer hands it.
class RecordingControl : public IControl {
public:
    explicit RecordingControl(IEffectBase* plug) : IControl(plug, IBounds(0, 0, W, H)) {}
    bool Draw(IEditorBase*) override { return true; }
    void OnKeyDown(int, int, int key) override { keys.push_back(key); }
    void OnMouseWheel(int, int, const IPointerState*, int n) override { notches.push_back(n); }
    void OnMouseDown(int, int, const IPointerState* state) override { lastState = *state; }
    void OnMouseDrag(int, int, int, int, const IPointerState*) override { ++drags; }
    std::vector<int> keys, notches;
    IPointerState lastState;
    int drags = 0;
};

void ComparePixels(const std::vector<uint32_t>& screen, const std::vector<uint32_t>& reference,
                   const std::vector<bool>& textMask, const char* what, int textTolerance) {
    int outside = 0, inside = 0, textPixels = 0;
    for (size_t i = 0; i < screen.size(); ++i) {
        if (textMask[i]) ++textPixels;
        if (screen[i] == reference[i]) continue;
        if (textMask[i])
            ++inside;
        else
            ++outside;
    }
    std::printf("%s: %d pixels differ outside the text boxes, %d of %d inside\n", what, outside, inside, textPixels);
    char label[160];
    std::snprintf(label, sizeof label, "%s: identical outside the text boxes", what);
    Check(outside == 0, label);
    std::snprintf(label, sizeof label, "%s: text boxes within tolerance", what);
    Check(inside <= textTolerance, label);
}

// The drop-down or field the editor opens for typed entry (child id 99), or null.
HWND InPlaceEditor(HWND editor) { return GetDlgItem(editor, 99); }

// Centres of controls in the panel.
const int FADER7_Y = 216, FADER8_Y = 192;
const int LIST3_X = 280, LIST3_Y = 133;  // parameter 3's list (the main voice's delay)
const int MUTE5_X = 363, MUTE5_Y = 236;  // parameter 5's LED

void EditorChecks(EditorHost& host, HWND frame, HWND editor, const std::vector<uint32_t>& headless,
                  const std::vector<uint32_t>& golden) {
    // The timer: 41 ms at 24 frames per second, and the first ticks paint the whole panel.
    sTicks = 0;
    sTickTimes.clear();
    Pump(1000);
    std::vector<ULONGLONG> gaps;
    for (size_t i = 1; i < sTickTimes.size(); ++i) gaps.push_back(sTickTimes[i] - sTickTimes[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    ULONGLONG gap = gaps.empty() ? 0 : gaps[gaps.size() / 2];
    std::printf("timer ticks in one second: %d, median gap %llu ms\n", sTicks, gap);
    Check(sTicks <= 26 && gap >= 36 && gap <= 50, "the timer ticks every 41 ms");
    Check(sPaints >= 1, "the first tick paints");

    std::vector<uint32_t> screen = ReadBack(editor);
    std::vector<bool> mask = TextMask();
    ComparePixels(screen, headless, mask, "screen vs headless Windows render", 0);
    if (!golden.empty()) ComparePixels(screen, golden, mask, "screen vs Linux golden image", 4000);

    // A host-side change repaints on the next tick, and only where the fader moved.
    const float initial = host.GetParameter(7);
    int paints = sPaints;
    host.SetParameter(7, 1.0f);
    Pump(150);
    Check(sPaints > paints, "a host change is repainted by the timer");
    std::vector<uint32_t> moved = ReadBack(editor);
    int changed = 0, changedOutsideRow = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (moved[size_t(y) * W + x] != screen[size_t(y) * W + x]) {
                ++changed;
                if (y < FADER7_Y - 4 || y > FADER7_Y + 14) ++changedOutsideRow;
            }
    Check(changed > 0 && changedOutsideRow == 0, "the fader's row, and nothing else, changes on screen");

    // A press and drag on a fader is one gesture: begin, automations, end.
    host.calls.clear();
    float before = host.GetParameter(7);
    Post(editor, WM_LBUTTONDOWN, MK_LBUTTON, 150, FADER7_Y);
    Post(editor, WM_MOUSEMOVE, MK_LBUTTON, 200, FADER7_Y);
    Post(editor, WM_MOUSEMOVE, MK_LBUTTON, 230, FADER7_Y);
    Post(editor, WM_LBUTTONUP, 0, 230, FADER7_Y);
    Pump(150);
    Check(host.SawGesture(7), "fader drag: begin edit, automate, end edit");
    float dragged = host.GetParameter(7);
    Check(dragged != before && dragged > 0.0f, "the drag moves the fader");

    // Double-click returns the fader to the value the plug-in first showed.
    host.calls.clear();
    Post(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, 230, FADER7_Y);
    Post(editor, WM_LBUTTONUP, 0, 230, FADER7_Y);
    Pump(120);
    Check(host.Automated(7) && host.GetParameter(7) == initial, "double-click restores the default");
    Check(host.Kinds(7) == "bae", "the restore is one gesture: begin, automate, end, each once");

    // Another window taking the mouse in the middle of a drag ends the gesture; the
    // release that never comes is not waited for, and a late one ends nothing.
    host.calls.clear();
    Post(editor, WM_LBUTTONDOWN, MK_LBUTTON, 150, FADER7_Y);
    Post(editor, WM_MOUSEMOVE, MK_LBUTTON, 180, FADER7_Y);
    Pump(80);
    SetCapture(frame);
    ReleaseCapture();
    Pump(40);
    Check(host.SawGesture(7), "a lost capture ends the drag at once: begin, automate, end");
    float held = host.GetParameter(7);
    std::string kinds = host.Kinds(7);
    Post(editor, WM_MOUSEMOVE, MK_LBUTTON, 250, FADER7_Y);
    Post(editor, WM_LBUTTONUP, 0, 250, FADER7_Y);
    Pump(80);
    Check(host.Kinds(7) == kinds && host.GetParameter(7) == held, "and a late release moves or ends nothing");

    // The wheel: whole notches only, coordinates from the screen.
    float v = host.GetParameter(7);
    Wheel(editor, 200, FADER7_Y, 60);
    Check(host.GetParameter(7) == v, "a wheel delta of 60 moves nothing");
    Wheel(editor, 200, FADER7_Y, 240);
    float up = host.GetParameter(7);
    Check(up > v, "a wheel delta of 240 moves up");
    Wheel(editor, 200, FADER7_Y, -240);
    Check(host.GetParameter(7) < up, "a wheel delta of -240 moves down");

    // A mute LED toggles with one click, framed as a gesture.
    host.calls.clear();
    float mute = host.GetParameter(5);
    Click(editor, MUTE5_X, MUTE5_Y);
    Check(host.SawGesture(5) && host.GetParameter(5) != mute, "mute LED click toggles and reaches the host");

    // The same through the system's input queue, as a user's click arrives: hit-testing,
    // activation and capture included.
    host.calls.clear();
    mute = host.GetParameter(5);
    POINT led = {MUTE5_X, MUTE5_Y};
    ClientToScreen(editor, &led);
    SetCursorPos(led.x, led.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
    Pump(200);
    Check(host.SawGesture(5) && host.GetParameter(5) != mute, "a click through SendInput toggles the LED");

    // Right-click on a list: a drop-down at the control's vertical centre, the current value selected.
    host.calls.clear();
    std::string shown = host.ParamDisplay(3);
    Click(editor, LIST3_X, LIST3_Y, true);
    HWND combo = InPlaceEditor(editor);
    Check(combo && ClassOf(combo) == "ComboBox", "right-click on a list opens a drop-down list");
    if (combo) {
        RECT r;
        GetWindowRect(combo, &r);
        POINT p = {r.left, r.top};
        ScreenToClient(editor, &p);
        int width = r.right - r.left;
        Check(p.y == LIST3_Y && width >= 24 && std::abs(p.x + width / 2 - LIST3_X) <= 1,
              "the drop-down is centred on the control");
        Check(Text(combo) == shown, "the current value is selected");
        Check(GetFocus() == combo, "the drop-down has the focus");
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(combo, WM_GETFONT, 0, 0));
        Check(font && GetObjectType(font) == OBJ_FONT, "the drop-down has its own font");
        int selected = int(SendMessageA(combo, CB_GETCURSEL, 0, 0));
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        PostMessageA(combo, WM_KEYDOWN, VK_DOWN, 0);
        Pump(150);
        Check(!IsWindow(combo), "picking an entry applies it and closes the drop-down");
        Check(host.Automated(3), "the picked entry reaches the host");
        Check(host.calls.size() >= 2 && host.calls[0].kind == 'b' && host.calls[1].kind == 'e' &&
                  host.calls[1].index == 3,
              "the right click's release ends its gesture although the list has the focus");
        Check(host.ParamDisplay(3) != shown && selected >= 0, "the parameter takes the next entry");
        Check(GetObjectType(font) == 0, "the drop-down's font is released with it");
    }

    // Typed entry on a fader: Enter applies on the next tick; a right click discards.
    Click(editor, 200, FADER8_Y, true);
    HWND field = InPlaceEditor(editor);
    Check(field && ClassOf(field) == "Edit", "right-click on a fader opens a text field");
    if (field) {
        SetWindowTextA(field, "7");
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
        Pump(150);
        Check(!IsWindow(field) && host.ParamDisplay(8) == "7", "typed 7 and Enter sets the interval to 7");
    }
    Click(editor, 200, FADER8_Y, true);
    field = InPlaceEditor(editor);
    if (field) {
        SetWindowTextA(field, "-12");
        Post(editor, WM_RBUTTONDOWN, MK_RBUTTON, 20, 20);
        Pump(150);
        Check(!IsWindow(field) && host.ParamDisplay(8) == "7", "a right click discards the typed text");
    }
    Click(editor, 200, FADER8_Y, true);
    field = InPlaceEditor(editor);
    if (field) {
        SetWindowTextA(field, "abc");
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
        Pump(150);
        Check(host.ParamDisplay(8) == "0", "text that is not a number applies 0");
    }
    // A field that lost the focus follows host changes, and a left click on the panel
    // applies it while the click also reaches the control under the pointer.
    Click(editor, 200, FADER8_Y, true);
    field = InPlaceEditor(editor);
    if (field) {
        SetFocus(frame);
        Pump(60);
        host.SetParameter(8, 36.0f / 48.0f);
        Pump(200);
        Check(Text(field) == "12", "an open field shows the host's new value");
        SetWindowTextA(field, "5");
        float mainMute = host.GetParameter(1);
        Click(editor, 365, 133);
        Pump(100);
        Check(!IsWindow(field) && host.ParamDisplay(8) == "5", "a left click applies the unfocused field");
        Check(host.GetParameter(1) != mainMute, "and the click reaches the LED under the pointer");
    }

    // Closing the editor while the drop-down is open, then opening it again: a new one opens.
    Click(editor, LIST3_X, LIST3_Y, true);
    combo = InPlaceEditor(editor);
    Check(combo != nullptr, "drop-down open before closing");
    host.Dispatch(vst2::effEditClose);
    Check(!IsWindow(combo) && !IsWindow(editor), "closing the editor takes the drop-down with it");
    editor = OpenEditor(host, frame);
    Check(editor != nullptr, "the editor opens again");
    Pump(100);
    Click(editor, LIST3_X, LIST3_Y, true);
    Check(InPlaceEditor(editor) != nullptr, "after a close, right-click opens a drop-down again");

    // The host destroying its own window (and the editor with it) while the drop-down is open.
    DestroyWindow(frame);
    host.Dispatch(vst2::effEditClose);
    frame = MakeFrame();
    editor = OpenEditor(host, frame);
    Check(editor != nullptr, "the editor opens in a new host window");
    Pump(100);
    Click(editor, LIST3_X, LIST3_Y, true);
    Check(InPlaceEditor(editor) != nullptr, "after the parent went, right-click opens a drop-down again");
    Post(editor, WM_RBUTTONDOWN, MK_RBUTTON, 20, 20);
    Pump(120);
    Check(InPlaceEditor(editor) == nullptr, "a right click closes it");
    host.Dispatch(vst2::effEditClose);
    DestroyWindow(frame);
}

void Session(int round, const char* path, const std::vector<uint32_t>& headless, const std::vector<uint32_t>& golden) {
    VstModule module;
    Check(module.Load(path), "the DLL loads");
    if (!module.IsLoaded()) return;
    HMODULE dll = GetModuleHandleA("Tamborelle64.dll");
    Check(dll != nullptr && !ClassRegistered(dll), "no window class before the first editor");

    EditorHost host, second;
    Check(host.Instantiate(module.Entry()) && second.Instantiate(module.Entry()), "two instances");
    if (!host.Effect() || !second.Effect()) return;
    host.Dispatch(vst2::effOpen);
    second.Dispatch(vst2::effOpen);
    vst2::ERect* rect = nullptr;
    Check(host.Dispatch(vst2::effEditGetRect, 0, 0, &rect) == 1 && rect && rect->right == W && rect->bottom == H,
          "editor rectangle 410 x 680");

    HWND frame = MakeFrame();
    HWND editor = OpenEditor(host, frame);
    Check(editor != nullptr, "effEditOpen makes a child window of the host's window");
    if (!editor) return;
    Check(GetParent(editor) == frame && (GetWindowLongA(editor, GWL_STYLE) & WS_CHILD), "a child window");
    Check(ClassRegistered(dll), "the class is registered while a window is open");
    // Opening again while open re-creates the window in place.
    HWND old = editor;
    editor = OpenEditor(host, frame);
    Check(editor && !IsWindow(old) && !FindWindowExA(frame, editor, CLASS_NAME, nullptr),
          "a second effEditOpen replaces the window");
    if (!editor) return;

    // A second instance shares the class; closing the first keeps it for the second.
    HWND frame2 = MakeFrame(W + 20);  // beside the first, so clicks find the first
    Check(second.Dispatch(vst2::effEditOpen, 0, 0, frame2) == 1, "a second editor opens");
    EditorChecks(host, frame, editor, headless, golden);
    Check(ClassRegistered(dll), "the class stays while the second editor is open");
    if (round == 0) {
        // A host that closes the plug-in in the middle of a drag, its editor still open:
        // the window goes with the plug-in, and nothing calls back into it on the way.
        HWND editor2 = FindWindowExA(frame2, nullptr, CLASS_NAME, nullptr);
        Post(editor2, WM_LBUTTONDOWN, MK_LBUTTON, 150, FADER7_Y);
        Pump(60);
        Check(GetCapture() == editor2, "a drag in the second editor holds the mouse");
        second.Close();
        Check(!IsWindow(editor2), "closing the plug-in closes its editor");
        DestroyWindow(frame2);
        Check(!ClassRegistered(dll), "the last window to close unregisters the class");
    } else {
        // A host that closes the editor from another thread: the window cannot be
        // destroyed there, so it must forget the editor, and its timer messages must
        // find nothing once the plug-in has gone.
        HWND frame3 = MakeFrame();
        HWND orphan = OpenEditor(host, frame3);
        HANDLE closer = CreateThread(
            nullptr, 0,
            [](LPVOID p) -> DWORD {
                static_cast<EditorHost*>(p)->Dispatch(vst2::effEditClose);
                return 0;
            },
            &host, 0, nullptr);
        WaitForSingleObject(closer, INFINITE);
        CloseHandle(closer);
        Check(orphan && IsWindow(orphan) && GetWindowLongPtrA(orphan, GWLP_USERDATA) == 0,
              "a window closed from another thread no longer points at the editor");
        Pump(150);
        DestroyWindow(frame3);

        // A careless host: its window goes, with the editor in it, and effEditClose never comes.
        DestroyWindow(frame2);
    }

    host.Close();
    second.Close();
    Check(!ClassRegistered(dll), "no window class is left once the plug-ins are closed");
    module.Unload();
    Check(!ClassRegistered(dll), "no window class survives the unload");
}

// The operations the plug-in never calls, on the statically linked editor: the value
// menu, and the directory helpers with a module in a folder beyond MAX_PATH.
void LocalChecks(LocalEditor& local) {
    IEditorWindow* g = local.graphics;
    HWND frame = MakeFrame();
    Check(g->OpenWindow(frame) != nullptr, "the linked editor opens");
    Pump(100);

    BOOL animation = TRUE, fade = TRUE;
    SystemParametersInfoA(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(FALSE), 0);
    SystemParametersInfoA(SPI_SETMENUFADE, 0, reinterpret_cast<void*>(FALSE), 0);
    IControl* list = nullptr;
    for (int i = 0; i < g->NumControls(); ++i)
        if (g->GetControl(i)->ParamIdx() == 3) list = g->GetControl(i);
    auto* plug = static_cast<IVstEffect*>(local.host.Effect()->object);
    IParameter* param = plug->Param(3);
    Check(list && param && param->NumValueTexts() > 2, "a list control bound to a list parameter");
    if (list && param) {
        double value = param->Value();
        // Chooses the third entry from inside the menu's own loop.
        SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND owner = GetActiveWindow();
            if (!owner) owner = GetForegroundWindow();
            for (WPARAM key : {WPARAM(VK_DOWN), WPARAM(VK_DOWN), WPARAM(VK_DOWN), WPARAM(VK_RETURN)})
                PostMessageA(owner, WM_KEYDOWN, key, 0);
        });
        SetActiveWindow(frame);
        g->PopupValueMenu(list, param, 4);
        Pump(100);
        std::printf("value menu: %g -> %g\n", value, param->Value());
        Check(param->Value() == 2.0, "the value menu applies the chosen entry");
    }
    SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &animation, 0);
    SystemParametersInfoA(SPI_GETMENUFADE, 0, &fade, 0);
    Check(!animation && !fade, "the value menu leaves the system's menu settings alone");

    // Directory helpers with a module name between 256 and MAX_PATH characters, the
    // longest every file function takes without the long-path prefix.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = temp;
    while (dir.size() < 252) {
        size_t n = std::min<size_t>(100, 252 - dir.size() - 1);
        dir += std::string(std::max<size_t>(n, 1), 'd') + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string copy = dir + "x.dll";
    Check(copy.size() > 256 && copy.size() < MAX_PATH && CopyFileA(self, copy.c_str(), FALSE),
          "a module copied to a name longer than 256 characters");
    char out[1024] = "x";
    HMODULE deep = LoadLibraryA(copy.c_str());
    if (deep) {
        g->SetInstance(deep);
        g->GetPluginDirectory(out, sizeof out);
        g->SetInstance(GetModuleHandleA(nullptr));
        FreeLibrary(deep);
        std::printf("long plug-in directory: %zu characters\n", std::strlen(out));
        Check(_stricmp(out, dir.c_str()) == 0, "GetPluginDirectory gives a long folder in full");
    } else {
        std::printf("note: LoadLibrary of a long path failed (%lu); directory check skipped\n", GetLastError());
    }
    g->GetPluginDirectory(out, 4);
    Check(out[0] == 0, "a directory that does not fit leaves the output empty");
    g->GetHostDirectory(out, sizeof out);
    std::string selfDir = self;
    selfDir.erase(selfDir.rfind('\\') + 1);
    Check(selfDir == out, "GetHostDirectory ends with a backslash");
    DeleteFileA(copy.c_str());

    // Keys by virtual-key code, the pointer state, and wheel notches.
    HWND editor = static_cast<HWND>(g->GetWindow());
    auto* recorder = new RecordingControl(plug);
    g->AttachControl(recorder);
    POINT inside = {100, 100};
    ClientToScreen(editor, &inside);
    SetCursorPos(inside.x, inside.y);
    for (WPARAM key : {WPARAM(VK_SPACE), WPARAM(VK_LEFT), WPARAM('0'), WPARAM('9'), WPARAM('A'), WPARAM('Z'),
                       WPARAM(0x61), WPARAM(VK_F11), WPARAM(VK_RETURN), WPARAM(VK_ESCAPE), WPARAM(VK_F12)})
        PostMessageA(editor, WM_KEYDOWN, key, 0);
    Pump(100);
    const std::vector<int> keys = {KeySpace,   KeyArrowLeft,    KeyDigit0,  KeyDigit0 + 9,
                                   KeyLetterA, KeyLetterA + 25, KeyLetterA, KeyLetterA + 25};
    Check(recorder->keys == keys,
          "keys: space, arrows, digits, letters, keypad and F1..F11 as letters; Enter, "
          "Escape and F12 ignored");
    for (int delta : {60, -240, 120, -119}) Wheel(editor, 100, 100, delta);
    Check(recorder->notches == std::vector<int>({0, -2, 1, 0}), "wheel deltas become whole notches toward zero");
    Post(editor, WM_MOUSEMOVE, MK_LBUTTON, 120, 120);  // a button held, but no capture
    Pump(50);
    Check(recorder->drags == 0, "a move with a button held and no capture does nothing");
    Post(editor, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT | MK_CONTROL, 100, 100);
    Post(editor, WM_MOUSEMOVE, MK_LBUTTON, 130, 100);
    Post(editor, WM_LBUTTONUP, 0, 130, 100);
    Pump(80);
    Check(recorder->lastState.L && recorder->lastState.S && recorder->lastState.C && !recorder->lastState.R,
          "pointer state from the key-state word");
    Check(recorder->drags == 1, "a move while the window holds the capture drags");

    // Resizing grows the window and the host's window that holds it by the same amount.
    RECT before, after;
    GetWindowRect(frame, &before);
    g->Resize(W + 10, H - 20);
    RECT size;
    GetWindowRect(editor, &size);
    GetWindowRect(frame, &after);
    Check(size.right - size.left == W + 10 && size.bottom - size.top == H - 20, "Resize resizes the window");
    Check(after.right - after.left == before.right - before.left + 10 &&
              after.bottom - after.top == before.bottom - before.top - 20 && after.left == before.left,
          "the parent grows by the same amount and stays in place");

    g->CloseWindow();
    Check(!ClassRegistered(GetModuleHandleA(nullptr)), "the linked editor's class goes with its window");
    IArgb color(128, 10, 200, 30);
    Check(!g->AskForColor(&color, "x") && color.R == 10, "no colour dialog without a window");
    char file[64] = "stale";
    g->AskForFile(file, sizeof file, FileActionOpen, "");
    Check(file[0] == 0, "no file dialog without a window, and the output is cleared");
    DestroyWindow(frame);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

int Timing(const char* path, int rounds) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    auto now = [&]() {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
    };
    std::vector<double> load, plug, editor, unload;
    HWND frame = MakeFrame();
    for (int i = 0; i < rounds; ++i) {
        VstModule module;
        double t0 = now();
        if (!module.Load(path)) return 1;
        double t1 = now();
        {
            EditorHost host;
            host.Instantiate(module.Entry());
            host.Dispatch(vst2::effOpen);
            host.Close();
        }
        double t2 = now();
        EditorHost host;
        host.Instantiate(module.Entry());
        host.Dispatch(vst2::effOpen);
        double t3 = now();
        host.Dispatch(vst2::effEditOpen, 0, 0, frame);
        Pump(0);
        host.Dispatch(vst2::effEditClose);
        double t4 = now();
        host.Close();
        double t5 = now();
        module.Unload();
        double t6 = now();
        load.push_back(t1 - t0);
        plug.push_back(t2 - t1);
        editor.push_back(t4 - t3);
        unload.push_back(t6 - t5);
    }
    std::printf(
        "medians of %d rounds (ms): load DLL %.2f, open+close plug-in %.2f, open+close editor %.2f, "
        "unload %.2f\n",
        rounds, Median(load), Median(plug), Median(editor), Median(unload));
    DestroyWindow(frame);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: win_editor_test Tamborelle64.dll golden.png | --timing N\n");
        return 2;
    }
    SetProcessDPIAware();
    if (std::strcmp(argv[2], "--timing") == 0) return Timing(argv[1], argc > 3 ? std::atoi(argv[3]) : 10);

    LocalEditor local;
    Check(local.Make(), "the linked editor is made");
    if (!local.graphics) return 1;
    std::vector<uint32_t> headless = local.Render();
    std::vector<uint32_t> golden;
    if (RasterBitmap* png = LoadPngFromFile(argv[2], nullptr)) {
        golden = PixelsOf(png);
        delete png;
    }
    Check(!golden.empty(), "the golden image loads");

    for (int round = 0; round < 2; ++round) Session(round, argv[1], headless, golden);
    LocalChecks(local);
    // The text font lives in the draw bitmap's context until the editor goes.
    HDC dc = static_cast<HDC>(local.graphics->DrawBitmap()->GetDeviceContext());
    HGDIOBJ font = dc ? GetCurrentObject(dc, OBJ_FONT) : nullptr;
    Check(font && GetObjectType(font) == OBJ_FONT, "the text font is selected for drawing");
    local.host.Close();
    Check(font && GetObjectType(font) == 0, "the text font is released with the editor");
    return checks::Summary();
}
