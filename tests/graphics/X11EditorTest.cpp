// Opens Tamborelle64.so's editor the way a Linux host does: dlopen, a top-level X
// window of the host's own, the editor as its child through effEditOpen, and
// effEditIdle called again and again. Real input arrives through XTest. Checks what
// reaches the host, the in-place entry, the pixels on screen against the headless
// render of the same build, and that closing leaves nothing behind. Runs under a
// private Xvfb (run-in-xvfb.sh).
#include <gtest/gtest.h>

#include <dirent.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Vst2Abi.h"
#include "graphics/IEditorRaster.h"
#include "graphics/ITextControl.h"
#include "raster/RasterBitmap.h"
#include "src/Tamborelle.h"
#include "tools/tamborelle-snapshot/EditorSession.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

const int W = 410, H = 680;
// Places on the panel, and the parameters behind them.
const int FADER7_Y = 216, FADER8_Y = 192, FADER_LEFT = 120, HALF_HANDLE = 6, TRAVEL = 172;
const int LIST3_X = 280, LIST3_Y = 133;  // the main voice's delay: "--off--", "1/1", ...
const int MUTE5_X = 363, MUTE5_Y = 236;
const int LIST_ROW = 16;  // a drop-down row
// Text boxes may differ from the headless render by this much per channel: the same
// glyphs, but anti-aliased edges where a box was drawn over itself in another order.
const int TEXT_TOLERANCE = 40;

int64_t NowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

int sHostErrors = 0;
// The bits of 0xRRGGBB a screen read back holds: all of them at depth 24, the top five or
// six of each channel at depth 16.
uint32_t sScreenBits = 0xFFFFFF;
int HostErrorHandler(Display*, XErrorEvent*) {
    ++sHostErrors;
    return 0;
}

// A host: one effect, the calls it makes about parameters as letters (b, a, e).
class EditorHost : public VstHost {
public:
    std::string Calls(int index) const {
        std::string seq;
        for (const Call& c : mCalls)
            if (c.index == index) seq += c.kind;
        return seq;
    }
    void Forget() { mCalls.clear(); }

protected:
    void OnAutomate(int index, float) override { mCalls.push_back({'a', index}); }
    void OnBeginEdit(int index) override { mCalls.push_back({'b', index}); }
    void OnEndEdit(int index) override { mCalls.push_back({'e', index}); }

private:
    struct Call {
        char kind;
        int index;
    };
    std::vector<Call> mCalls;
};

class X11EditorTest : public ::testing::Test {
protected:
    static VstModule* sModule;
    Display* mDisplay = nullptr;  // the host's connection
    std::vector<EditorHost*> mHosts;
    std::vector<Window> mFrames;

    static void SetUpTestSuite() {
        sModule = new VstModule;
        ASSERT_TRUE(sModule->Load(TAMBORELLE_MODULE_PATH)) << sModule->Error();
    }
    static void TearDownTestSuite() {
        delete sModule;
        sModule = nullptr;
    }
    void SetUp() override {
        mDisplay = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, mDisplay) << "no X server; run under run-in-xvfb.sh";
        XSetErrorHandler(&HostErrorHandler);
        sHostErrors = 0;
    }
    void TearDown() override {
        for (EditorHost* host : mHosts) {
            host->Dispatch(vst2::effEditClose);
            delete host;
        }
        for (Window frame : mFrames) XDestroyWindow(mDisplay, frame);
        XSync(mDisplay, False);
        EXPECT_EQ(0, sHostErrors) << "X errors reached the host's handler";
        EXPECT_EQ(&HostErrorHandler, XSetErrorHandler(nullptr)) << "the host's error handler was not restored";
        XCloseDisplay(mDisplay);
    }

    EditorHost* NewHost() {
        auto* host = new EditorHost;
        mHosts.push_back(host);
        EXPECT_TRUE(host->Instantiate(sModule->Entry()));
        host->Start(44100.0, 512);
        return host;
    }
    // A top-level window of the host's, mapped and on screen at (x, 0).
    Window NewFrame(int x = 0) {
        XSetWindowAttributes set{};
        set.background_pixel = BlackPixel(mDisplay, DefaultScreen(mDisplay));
        set.override_redirect = True;
        set.event_mask = StructureNotifyMask;
        Window frame = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), x, 0, W, H, 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask, &set);
        XMapWindow(mDisplay, frame);
        XEvent e;
        do XNextEvent(mDisplay, &e);
        while (e.type != MapNotify || e.xmap.window != frame);
        mFrames.push_back(frame);
        return frame;
    }
    std::vector<Window> Children(Window w) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        std::vector<Window> out;
        if (XQueryTree(mDisplay, w, &root, &parent, &children, &n)) out.assign(children, children + n);
        if (children) XFree(children);
        return out;
    }
    // Opens the editor in frame as a host does; the editor's window, or 0.
    Window Open(EditorHost* host, Window frame) {
        if (host->Dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(frame)) != 1) return 0;
        XSync(mDisplay, False);
        std::vector<Window> children = Children(frame);
        return children.size() == 1 ? children[0] : 0;
    }
    // The host's idle loop for ms milliseconds, every 10 ms, for every open host.
    void Pump(int ms = 150) {
        int64_t end = NowMs() + ms;
        do {
            for (EditorHost* host : mHosts) host->Dispatch(vst2::effEditIdle);
            while (XPending(mDisplay)) {
                XEvent e;
                XNextEvent(mDisplay, &e);
            }
            usleep(10000);
        } while (NowMs() < end);
    }

    // ---- real input, in the editor window's coordinates ----
    void MoveTo(Window editor, int x, int y) {
        Window child;
        int rx = 0, ry = 0;
        XTranslateCoordinates(mDisplay, editor, DefaultRootWindow(mDisplay), x, y, &rx, &ry, &child);
        XTestFakeMotionEvent(mDisplay, -1, rx, ry, CurrentTime);
        XFlush(mDisplay);
    }
    void Button(unsigned int button, bool press) {
        XTestFakeButtonEvent(mDisplay, button, press, CurrentTime);
        XFlush(mDisplay);
    }
    void Click(Window editor, int x, int y, unsigned int button = 1) {
        MoveTo(editor, x, y);
        Button(button, true);
        Button(button, false);
        Pump();
    }
    void Wheel(Window editor, int x, int y, int notches) {
        MoveTo(editor, x, y);
        for (int i = 0; i < std::abs(notches); ++i) {
            Button(notches > 0 ? 4 : 5, true);
            Button(notches > 0 ? 4 : 5, false);
        }
        Pump();
    }
    void Type(const char* keys) {
        for (const char* k = keys; *k; ++k) {
            KeySym sym = *k == '\n' ? XK_Return : *k == 27 ? XK_Escape : *k == '-' ? XK_minus : KeySym(*k);
            KeyCode code = XKeysymToKeycode(mDisplay, sym);
            XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
            XTestFakeKeyEvent(mDisplay, code, False, CurrentTime);
        }
        XFlush(mDisplay);
        Pump();
    }

    // The window's pixels as the screen shows them, 0xRRGGBB, top row first. On a screen
    // with fewer bits per channel, the low bits of each byte stay 0 (see sScreenBits).
    std::vector<uint32_t> ReadBack(Window window) {
        std::vector<uint32_t> out(size_t(W) * H, 0);
        XImage* image = XGetImage(mDisplay, window, 0, 0, W, H, AllPlanes, ZPixmap);
        if (!image) return out;
        uint32_t screenBits = 0;
        auto channel = [&](unsigned long pixel, unsigned long mask, int place) {
            int shift = 0, bits = 0;
            while (mask && !(mask & 1)) mask >>= 1, ++shift;
            while (mask >> bits) ++bits;
            uint32_t v = uint32_t((pixel >> shift) & mask);
            v = bits >= 8 ? v >> (bits - 8) : v << (8 - bits);
            screenBits |= (0xFFu << (8 - std::min(bits, 8)) & 0xFF) << place;
            return v << place;
        };
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                unsigned long p = XGetPixel(image, x, y);
                out[size_t(y) * W + x] = channel(p, image->red_mask, 16) | channel(p, image->green_mask, 8) |
                                         channel(p, image->blue_mask, 0);
            }
        XDestroyImage(image);
        sScreenBits = screenBits;
        return out;
    }
};

VstModule* X11EditorTest::sModule = nullptr;

// The same panel drawn without a window, by the statically linked editor.
struct Headless {
    EditorSession session;
    std::vector<uint32_t> Render() {
        session.Tick();
        std::vector<uint32_t> out(size_t(W) * H, 0);
        const RasterBitmap* b = session.Bitmap();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) out[size_t(y) * W + x] = b->GetPixelData()[y * b->GetRowSpan() + x] & 0xFFFFFF;
        return out;
    }
    // Where text is drawn, grown by two pixels for the glyphs' overhang.
    std::vector<bool> TextMask() {
        std::vector<bool> mask(size_t(W) * H, false);
        IEditorRaster* editor = session.Editor();
        for (int i = 0; i < editor->NumControls(); ++i) {
            if (!dynamic_cast<ITextControl*>(editor->GetControl(i))) continue;
            IBounds r = editor->GetControl(i)->Rect();
            for (int y = std::max(0, r.T - 2); y < std::min(H, r.B + 2); ++y)
                for (int x = std::max(0, r.L - 2); x < std::min(W, r.R + 2); ++x) mask[size_t(y) * W + x] = true;
        }
        return mask;
    }
};

struct Difference {
    int outside = 0, inside = 0, insideBeyond = 0;
};

Difference Compare(const std::vector<uint32_t>& screen, const std::vector<uint32_t>& reference,
                   const std::vector<bool>& textMask) {
    Difference d;
    for (size_t i = 0; i < screen.size(); ++i) {
        uint32_t a = screen[i] & sScreenBits, b = reference[i] & sScreenBits;
        if (a == b) continue;
        if (!textMask[i]) {
            ++d.outside;
            continue;
        }
        ++d.inside;
        for (int shift : {0, 8, 16})
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > TEXT_TOLERANCE) {
                ++d.insideBeyond;
                break;
            }
    }
    return d;
}

int FaderX(double normalized) { return FADER_LEFT + HALF_HANDLE + int(TRAVEL * normalized); }

int OpenFileDescriptors() {
    int n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++n;
        closedir(dir);
    }
    return n;
}

// ---- the window ----

// effEditOpen makes a 410 x 680 child of the host's window that shows the panel exactly
// as the headless render does; a second open replaces the window.
TEST_F(X11EditorTest, OpensAChildWindowShowingThePanel) {
    EditorHost* host = NewHost();
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(1, host->Dispatch(vst2::effEditGetRect, 0, 0, &rect));
    EXPECT_EQ(W, rect->right);
    EXPECT_EQ(H, rect->bottom);
    Window frame = NewFrame();
    Window first = Open(host, frame);
    ASSERT_NE(0u, first);
    Window editor = Open(host, frame);
    ASSERT_NE(0u, editor) << "a second open leaves one window";
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(mDisplay, editor, &a));
    EXPECT_EQ(W, a.width);
    EXPECT_EQ(H, a.height);
    EXPECT_EQ(IsViewable, a.map_state);
    Pump(300);

    Headless headless;
    Difference d = Compare(ReadBack(editor), headless.Render(), headless.TextMask());
    EXPECT_EQ(0, d.outside) << "pixels outside text boxes differ from the headless render";
    EXPECT_EQ(0, d.insideBeyond) << d.inside << " pixels differ inside text boxes";
    std::printf("screen vs headless: %d pixels differ outside text boxes, %d inside (%d beyond %d levels)\n", d.outside,
                d.inside, d.insideBeyond, TEXT_TOLERANCE);
}

// The parent may go first; the editor notices, and closes and opens again cleanly.
TEST_F(X11EditorTest, HostWindowDestroyedBeforeClose) {
    EditorHost* host = NewHost();
    Window frame = NewFrame();
    ASSERT_NE(0u, Open(host, frame));
    Pump(100);
    XDestroyWindow(mDisplay, frame);
    XSync(mDisplay, False);
    mFrames.clear();
    host->SetParameter(7, 1.0f);  // something to repaint into the window that is gone
    Pump(150);
    EXPECT_EQ(1, host->Dispatch(vst2::effEditClose));
    Window again = NewFrame();
    Window editor = Open(host, again);
    ASSERT_NE(0u, editor);
    Pump(150);
    Click(editor, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("bae", host->Calls(5));
}

// ---- gestures, as a host records them ----

// Press, drag and release on a fader reach the host as one gesture; an LED click
// toggles; the wheel steps a list; a double click restores the default in a gesture of
// its own, and its release tells the host nothing more.
TEST_F(X11EditorTest, MouseGesturesReachTheHost) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    Pump();
    const float initial = host->GetParameter(7);

    MoveTo(editor, FaderX(0.25), FADER7_Y);
    Button(1, true);
    Pump(60);
    MoveTo(editor, FaderX(0.5), FADER7_Y);
    Pump(60);
    MoveTo(editor, FaderX(0.75) + 200, FADER7_Y + 40);  // far off the track: still the fader's
    Pump(60);
    Button(1, false);
    Pump();
    std::string calls = host->Calls(7);
    EXPECT_TRUE(calls.size() >= 3 && calls.front() == 'b' && calls.back() == 'e' &&
                calls.find_first_not_of('a', 1) == calls.size() - 1)
        << calls;
    EXPECT_EQ(1.0f, host->GetParameter(7));

    host->Forget();
    float mute = host->GetParameter(5);
    Click(editor, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("bae", host->Calls(5));
    EXPECT_NE(mute, host->GetParameter(5));

    ASSERT_EQ(0.0f, host->GetParameter(3));
    Wheel(editor, LIST3_X, LIST3_Y, 2);
    EXPECT_FLOAT_EQ(2.0f / 16.0f, host->GetParameter(3)) << "two notches up, two entries on";
    Wheel(editor, LIST3_X, LIST3_Y, -3);
    EXPECT_EQ(1.0f, host->GetParameter(3)) << "and past the first to the last";

    host->Forget();
    MoveTo(editor, FaderX(0.5), FADER7_Y);
    for (int i = 0; i < 2; ++i) {
        Button(1, true);
        Button(1, false);
    }
    Pump();
    EXPECT_EQ("baebae", host->Calls(7)) << "a click, then the restore as one gesture";
    EXPECT_EQ(initial, host->GetParameter(7));

    // Slower than a double click, or apart: two clicks.
    host->Forget();
    Click(editor, FaderX(0.5), FADER7_Y);
    usleep(450000);
    Click(editor, FaderX(0.5), FADER7_Y);
    MoveTo(editor, FaderX(0.5) + 10, FADER7_Y);
    Button(1, true);
    Button(1, false);
    Pump();
    EXPECT_EQ("baebaebae", host->Calls(7));
    EXPECT_NE(initial, host->GetParameter(7));
}

// A window hidden in the middle of a drag loses the pointer: the host's gesture ends
// then, not at some release that will never come.
TEST_F(X11EditorTest, HidingTheWindowEndsAGesture) {
    EditorHost* host = NewHost();
    Window frame = NewFrame();
    Window editor = Open(host, frame);
    ASSERT_NE(0u, editor);
    Pump();
    MoveTo(editor, FaderX(0.25), FADER7_Y);
    Button(1, true);
    Pump(60);
    MoveTo(editor, FaderX(0.75), FADER7_Y);
    Pump(60);
    XUnmapWindow(mDisplay, frame);  // the host hides its plug-in window
    XSync(mDisplay, False);
    Pump();
    std::string calls = host->Calls(7);
    EXPECT_TRUE(calls.size() >= 3 && calls.back() == 'e') << calls;
    Button(1, false);
    XMapWindow(mDisplay, frame);
    Pump();
    EXPECT_EQ(calls, host->Calls(7)) << "nothing more once the gesture ended";

    // Shown again, the same window is drawn again in full, with the value the drag left.
    Headless headless;
    vst2::AEffect* same = headless.session.Plug()->Effect();
    same->setParameter(same, 7, host->GetParameter(7));
    Difference d = Compare(ReadBack(editor), headless.Render(), headless.TextMask());
    EXPECT_EQ(0, d.outside);
    EXPECT_EQ(0, d.insideBeyond);
}

// ---- the in-place entry ----

// A right click on a fader opens a field over it that has the keyboard: typed digits and
// Return set the value, Escape or a click elsewhere discards; keys the host passes on
// count as typed, and are taken only while the field is open.
TEST_F(X11EditorTest, TypedEntryOnAFader) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    Pump();
    EXPECT_EQ(0, host->Dispatch(vst2::effEditKeyDown, '7', 0)) << "no field: the host keeps its keys";

    host->Forget();
    Click(editor, 200, FADER8_Y, 3);
    ASSERT_EQ(1u, Children(editor).size()) << "right-click on a fader opens a field";
    EXPECT_EQ("be", host->Calls(8)) << "the right click itself changes nothing";
    Type("7\n");
    EXPECT_EQ("7", host->ParamDisplay(8));
    EXPECT_EQ(0u, Children(editor).size()) << "Return closes the field";
    EXPECT_EQ("bea", host->Calls(8));

    Click(editor, 200, FADER8_Y, 3);
    Type("-12\x1b");
    EXPECT_EQ("7", host->ParamDisplay(8)) << "Escape discards";
    EXPECT_EQ(0u, Children(editor).size());

    Click(editor, 200, FADER8_Y, 3);
    Type("3");
    Click(editor, 20, 20);
    EXPECT_EQ("7", host->ParamDisplay(8)) << "a click elsewhere discards";
    EXPECT_EQ(0u, Children(editor).size());

    Click(editor, 200, FADER8_Y, 3);
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, '-', 0));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyUp, '-', 0));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_NUMPAD0 + 5));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_RETURN));
    Pump();
    EXPECT_EQ("-5", host->ParamDisplay(8));
    EXPECT_EQ(0, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_RETURN)) << "closed: keys are the host's again";

    // An open field follows the host until typed in; text that is no number applies 0.
    Click(editor, 200, FADER8_Y, 3);
    host->SetParameter(8, 36.0f / 48.0f);
    Pump();
    Type("\n");
    EXPECT_EQ("12", host->ParamDisplay(8));
    Click(editor, 200, FADER8_Y, 3);
    Type("x\n");
    EXPECT_EQ("0", host->ParamDisplay(8));
}

// A right click on a list opens a drop-down of its entries: a click picks one; the wheel
// and the arrows move through them until Return; Escape leaves the value alone.
TEST_F(X11EditorTest, DropDownOnAList) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    Pump();
    auto entry = [&]() { return int(host->GetParameter(3) * 16.0f + 0.5f); };
    ASSERT_EQ("--off--", host->ParamDisplay(3));
    Click(editor, LIST3_X, LIST3_Y, 3);
    std::vector<Window> popup = Children(editor);
    ASSERT_EQ(1u, popup.size()) << "right-click on a list opens a drop-down";
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(mDisplay, popup[0], &a));
    EXPECT_EQ(LIST3_Y, a.y) << "it hangs from the list's middle";
    EXPECT_EQ(17 * LIST_ROW + 2, a.height) << "one row per entry";
    Click(editor, a.x + 10, a.y + 1 + 3 * LIST_ROW + LIST_ROW / 2);
    EXPECT_EQ(3, entry()) << host->ParamDisplay(3);
    EXPECT_EQ(0u, Children(editor).size());

    // The pointer marks the entry under it; the wheel moves on from there.
    Click(editor, LIST3_X, LIST3_Y, 3);
    Wheel(editor, a.x + 10, a.y + 1 + 6 * LIST_ROW + LIST_ROW / 2, -2);
    EXPECT_EQ(3, entry()) << "the wheel only moves through the list";
    Type("\n");
    EXPECT_EQ(8, entry());

    // Arrows as a host passes them on, and as X11 keys.
    Click(editor, LIST3_X, LIST3_Y, 3);
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_UP));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_RETURN));
    Pump();
    EXPECT_EQ(7, entry());
    Click(editor, LIST3_X, LIST3_Y, 3);
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, XK_Down), True, CurrentTime);
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, XK_Down), False, CurrentTime);
    Type("\x1b");
    EXPECT_EQ(7, entry());
    EXPECT_EQ(0u, Children(editor).size());
}

// ---- the host's side ----

// Host automation and a restored state redraw the panel; the window then shows what the
// headless editor shows for the same values.
TEST_F(X11EditorTest, HostChangesRedrawThePanel) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    Pump();
    Headless headless;
    std::vector<bool> mask = headless.TextMask();
    std::vector<uint32_t> opened = ReadBack(editor);
    void* data = nullptr;
    intptr_t size = host->Dispatch(vst2::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);

    host->SetParameter(7, 1.0f);
    host->SetParameter(3, 5.0f / 16.0f);
    Pump();
    vst2::AEffect* same = headless.session.Plug()->Effect();
    same->setParameter(same, 7, 1.0f);
    same->setParameter(same, 3, 5.0f / 16.0f);
    Difference moved = Compare(ReadBack(editor), headless.Render(), mask);
    EXPECT_EQ(0, moved.outside);
    EXPECT_EQ(0, moved.insideBeyond);
    EXPECT_LT(0, Compare(ReadBack(editor), opened, mask).outside);

    EXPECT_EQ(1, host->Dispatch(vst2::effSetChunk, 0, intptr_t(saved.size()), saved.data()));
    Pump();
    Difference restored = Compare(ReadBack(editor), opened, mask);
    EXPECT_EQ(0, restored.outside);
    EXPECT_EQ(0, restored.insideBeyond);
    EXPECT_EQ(0, restored.inside);
}

// Two instances, each with its editor open: each draws itself and hears its own clicks.
TEST_F(X11EditorTest, TwoInstancesAtOnce) {
    EditorHost* first = NewHost();
    EditorHost* second = NewHost();
    Window a = Open(first, NewFrame(0));
    Window b = Open(second, NewFrame(W + 20));
    ASSERT_NE(0u, a);
    ASSERT_NE(0u, b);
    Pump();
    Click(b, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("", first->Calls(5));
    EXPECT_EQ("bae", second->Calls(5));
    first->SetParameter(7, 1.0f);
    Pump();
    Headless headless;
    std::vector<bool> mask = headless.TextMask();
    std::vector<uint32_t> panelA = ReadBack(a), panelB = ReadBack(b);
    EXPECT_LT(0, Compare(panelA, panelB, mask).outside) << "each shows its own values";
    first->Dispatch(vst2::effEditClose);
    Pump();
    Click(b, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("baebae", second->Calls(5)) << "the second goes on after the first closed";
}

// Many opens and closes in one process leave nothing behind: no descriptors (each
// editor's display connection closes with its window, and the server frees what that
// connection made), no windows in the host's, no heap.
TEST_F(X11EditorTest, OpenCloseCyclesLeaveNothingBehind) {
    EditorHost* host = NewHost();
    Window frame = NewFrame();
    auto cycle = [&]() {
        ASSERT_EQ(1, host->Dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(frame)));
        host->Dispatch(vst2::effEditIdle);
        host->Dispatch(vst2::effEditIdle);
        ASSERT_EQ(1, host->Dispatch(vst2::effEditClose));
    };
    for (int i = 0; i < 20; ++i) cycle();  // caches of the libraries below fill up here
    XSync(mDisplay, False);
    int fds = OpenFileDescriptors();
    size_t heap = mallinfo2().uordblks;
    for (int i = 0; i < 200; ++i) cycle();
    XSync(mDisplay, False);
    EXPECT_EQ(fds, OpenFileDescriptors());
    EXPECT_EQ(0u, Children(frame).size());
    long grown = long(mallinfo2().uordblks) - long(heap);
    std::printf("200 open/close cycles: %d descriptors before and %d after, heap in use grew by %ld bytes\n", fds,
                OpenFileDescriptors(), grown);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(grown, 4096) << "the heap grows with every editor opened";
#endif
}

}  // namespace
