// Opens Tamborelle64.so's editor the way a Linux host does: dlopen, a top-level X
// window of the host's own, the editor as its child through effEditOpen, effEditIdle
// again and again, real input through XTest. Checks what reaches the host, the
// in-place entry, the pixels on screen against the headless render of the same build,
// and that closing leaves nothing behind. Runs under a private Xvfb (run-in-xvfb.sh).
#include <gtest/gtest.h>

#include <dirent.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
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

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEAP_NOT_MEASURABLE 1  // the sanitizer's allocator keeps its own books
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HEAP_NOT_MEASURABLE 1
#endif

namespace {

const int W = 410, H = 680;
const int FADER7_Y = 216, FADER8_Y = 192, MUTE5_X = 363, MUTE5_Y = 236;
const int LIST3_X = 280, LIST3_Y = 133, LIST_ROW = 16;  // the main voice's delay: "--off--", "1/1", ...
// Text boxes may differ from the headless render by this much per channel: the same
// glyphs, with edges blended over what was there before.
const int TEXT_TOLERANCE = 40;

int FaderX(double normalized) { return 120 + 6 + int(172 * normalized); }

int64_t NowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

int sHostErrors = 0;
int HostErrorHandler(Display*, XErrorEvent*) { return ++sHostErrors, 0; }
// The bits of 0xRRGGBB a screen shows: all of them at depth 24, fewer at depth 16.
uint32_t sScreenBits = 0xFFFFFF;

// One effect, and the calls it makes about a parameter as letters: b(egin), a(utomate), e(nd).
class EditorHost : public VstHost {
public:
    std::string Calls(int index) const {
        std::string seq;
        for (const auto& c : mCalls)
            if (c.second == index) seq += c.first;
        return seq;
    }
    void Forget() { mCalls.clear(); }
    bool mCloseOnBegin = false;  // closes the editor from inside its begin-edit call, as some hosts do

protected:
    void OnAutomate(int index, float) override { mCalls.push_back({'a', index}); }
    void OnBeginEdit(int index) override {
        mCalls.push_back({'b', index});
        if (mCloseOnBegin) Dispatch(vst2::effEditClose);
    }
    void OnEndEdit(int index) override { mCalls.push_back({'e', index}); }

private:
    std::vector<std::pair<char, int>> mCalls;
};

// The panel drawn without a window by the statically linked editor, and where its text is.
struct Headless {
    EditorSession session;
    void Set(int index, float value) {
        vst2::AEffect* e = session.Plug()->Effect();
        e->setParameter(e, index, value);
    }
    std::vector<uint32_t> Render() {
        session.Tick();
        std::vector<uint32_t> out(size_t(W) * H);
        const RasterBitmap* b = session.Bitmap();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) out[size_t(y) * W + x] = b->GetPixelData()[y * b->GetRowSpan() + x] & 0xFFFFFF;
        return out;
    }
    std::vector<bool> TextMask() {
        std::vector<bool> mask(size_t(W) * H, false);
        IEditorRaster* editor = session.Editor();
        for (int i = 0; i < editor->NumControls(); ++i) {
            if (!dynamic_cast<ITextControl*>(editor->GetControl(i))) continue;
            IBounds r = editor->GetControl(i)->Rect();  // grown by the glyphs' overhang
            for (int y = std::max(0, r.T - 2); y < std::min(H, r.B + 2); ++y)
                for (int x = std::max(0, r.L - 2); x < std::min(W, r.R + 2); ++x) mask[size_t(y) * W + x] = true;
        }
        return mask;
    }
};

// Pixels that differ outside the text boxes, and inside them beyond the tolerance.
std::pair<int, int> Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                                const std::vector<bool>& text) {
    int outside = 0, inside = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        uint32_t p = a[i] & sScreenBits, q = b[i] & sScreenBits;
        if (p == q) continue;
        if (!text[i]) ++outside;
        for (int s : {0, 8, 16})
            if (text[i] && std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF)) > TEXT_TOLERANCE) {
                ++inside;
                break;
            }
    }
    return {outside, inside};
}

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
    static void TearDownTestSuite() { delete sModule; }
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
        mHosts.push_back(new EditorHost);
        EXPECT_TRUE(mHosts.back()->Instantiate(sModule->Entry()));
        mHosts.back()->Start(44100.0, 512);
        return mHosts.back();
    }
    // A top-level window of the host's, mapped at (x, 0).
    Window NewFrame(int x = 0) {
        XSetWindowAttributes set{};
        set.override_redirect = True;
        set.event_mask = StructureNotifyMask;
        Window frame = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), x, 0, W, H, 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWOverrideRedirect | CWEventMask, &set);
        XMapWindow(mDisplay, frame);
        XEvent e;
        do XNextEvent(mDisplay, &e);
        while (e.type != MapNotify);
        mFrames.push_back(frame);
        return frame;
    }
    std::vector<Window> Children(Window w) {
        Window root, parent, *children = nullptr;
        unsigned int n = 0;
        XQueryTree(mDisplay, w, &root, &parent, &children, &n);
        std::vector<Window> out(children, children + n);
        if (children) XFree(children);
        return out;
    }
    // The editor's window after effEditOpen in frame, drawn; 0 when there is none.
    Window Open(EditorHost* host, Window frame) {
        if (host->Dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(frame)) != 1) return 0;
        XSync(mDisplay, False);
        Pump();
        std::vector<Window> children = Children(frame);
        return children.size() == 1 ? children[0] : 0;
    }
    // The host's idle loop: every open editor's effEditIdle every 10 ms, for ms.
    void Pump(int ms = 150) {
        for (int64_t end = NowMs() + ms; NowMs() < end; usleep(10000)) {
            for (EditorHost* host : mHosts) host->Dispatch(vst2::effEditIdle);
            while (XPending(mDisplay)) {
                XEvent e;
                XNextEvent(mDisplay, &e);
            }
        }
    }

    // ---- real input, at places in the editor window ----
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
    void Click(Window editor, int x, int y, unsigned int button = 1, int times = 1) {
        MoveTo(editor, x, y);
        for (int i = 0; i < times; ++i) Button(button, true), Button(button, false);
        Pump();
    }
    void Type(const char* keys) {
        for (const char* k = keys; *k; ++k) {
            KeySym sym = *k == '\n' ? XK_Return : *k == 27 ? XK_Escape : *k == '-' ? XK_minus : KeySym(*k);
            XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, sym), True, CurrentTime);
            XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, sym), False, CurrentTime);
        }
        Pump();
    }

    // The window's pixels as 0xRRGGBB, top row first; the low bits a screen lacks are 0.
    std::vector<uint32_t> ReadBack(Window window) {
        std::vector<uint32_t> out(size_t(W) * H, 0);
        XImage* image = XGetImage(mDisplay, window, 0, 0, W, H, AllPlanes, ZPixmap);
        if (!image) return out;
        sScreenBits = 0;
        auto channel = [&](unsigned long pixel, unsigned long mask, int place) {
            int shift = 0, bits = 0;
            while (mask && !(mask & 1)) mask >>= 1, ++shift;
            while (mask >> bits) ++bits;
            uint32_t v = uint32_t((pixel >> shift) & mask);
            sScreenBits |= (0xFFu << (8 - std::min(bits, 8)) & 0xFF) << place;
            return (bits >= 8 ? v >> (bits - 8) : v << (8 - bits)) << place;
        };
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                unsigned long p = XGetPixel(image, x, y);
                out[size_t(y) * W + x] = channel(p, image->red_mask, 16) | channel(p, image->green_mask, 8) |
                                         channel(p, image->blue_mask, 0);
            }
        XDestroyImage(image);
        return out;
    }
};

VstModule* X11EditorTest::sModule = nullptr;

int OpenFileDescriptors() {
    int n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++n;
        closedir(dir);
    }
    return n;
}

// effEditOpen makes a 410 x 680 child of the host's window that shows what the headless
// editor draws; a second open leaves one window.
TEST_F(X11EditorTest, OpensAChildWindowShowingThePanel) {
    EditorHost* host = NewHost();
    Window frame = NewFrame();
    ASSERT_NE(0u, Open(host, frame));
    Window editor = Open(host, frame);
    ASSERT_NE(0u, editor);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(mDisplay, editor, &a));
    EXPECT_EQ(W, a.width);
    EXPECT_EQ(H, a.height);
    Headless headless;
    auto d = Differences(ReadBack(editor), headless.Render(), headless.TextMask());
    EXPECT_EQ(0, d.first) << "pixels outside the text boxes";
    EXPECT_EQ(0, d.second) << "pixels inside the text boxes beyond the tolerance";
}

// Host automation and a restored state redraw the panel as the headless editor draws them.
TEST_F(X11EditorTest, HostChangesRedrawThePanel) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    Headless headless;
    std::vector<bool> text = headless.TextMask();
    std::vector<uint32_t> opened = ReadBack(editor);
    void* data = nullptr;
    intptr_t size = host->Dispatch(vst2::effGetChunk, 0, 0, &data);
    std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);

    for (auto set : {std::make_pair(7, 1.0f), std::make_pair(3, 5.0f / 16.0f)}) {
        host->SetParameter(set.first, set.second);
        headless.Set(set.first, set.second);
    }
    Pump();
    EXPECT_EQ(std::make_pair(0, 0), Differences(ReadBack(editor), headless.Render(), text));
    EXPECT_LT(0, Differences(ReadBack(editor), opened, text).first);
    ASSERT_EQ(1, host->Dispatch(vst2::effSetChunk, 0, intptr_t(saved.size()), saved.data()));
    Pump();
    EXPECT_EQ(std::make_pair(0, 0), Differences(ReadBack(editor), opened, text));
}

// A drag on a fader, an LED click and a double click reach the host framed as gestures
// (the restore is one of its own); the wheel steps a list.
TEST_F(X11EditorTest, MouseGesturesReachTheHost) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    const float initial = host->GetParameter(7);
    MoveTo(editor, FaderX(0.25), FADER7_Y);
    Button(1, true);
    Pump(60);
    MoveTo(editor, FaderX(0.5), FADER7_Y);
    Pump(60);
    MoveTo(editor, FaderX(1.0) + 200, FADER7_Y + 40);  // off the track and the window: still the fader's
    Pump(60);
    Button(1, false);
    Pump();
    std::string calls = host->Calls(7);
    EXPECT_TRUE(calls.size() >= 3 && calls.front() == 'b' && calls.find('e') == calls.size() - 1) << calls;
    EXPECT_EQ(1.0f, host->GetParameter(7));

    host->Forget();
    Click(editor, FaderX(0.5), FADER7_Y, 1, 2);
    EXPECT_EQ("baebae", host->Calls(7)) << "a click, then the restore";
    EXPECT_EQ(initial, host->GetParameter(7));

    float mute = host->GetParameter(5);
    Click(editor, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("bae", host->Calls(5));
    EXPECT_NE(mute, host->GetParameter(5));

    Click(editor, LIST3_X, LIST3_Y, 4, 2);
    EXPECT_FLOAT_EQ(2.0f / 16.0f, host->GetParameter(3)) << "two notches up, two entries on";
    Click(editor, LIST3_X, LIST3_Y, 5, 3);
    EXPECT_EQ(1.0f, host->GetParameter(3)) << "and past the first to the last";
}

// A window the host hides in the middle of a drag loses the pointer: the gesture ends
// then, and the window shown again is drawn in full. A plug-in closed in the middle of
// a drag goes quietly.
TEST_F(X11EditorTest, HidingTheWindowEndsAGesture) {
    EditorHost* host = NewHost();
    Window frame = NewFrame();
    Window editor = Open(host, frame);
    ASSERT_NE(0u, editor);
    MoveTo(editor, FaderX(0.25), FADER7_Y);
    Button(1, true);
    Pump(60);
    MoveTo(editor, FaderX(0.75), FADER7_Y);
    Pump(60);
    XUnmapWindow(mDisplay, frame);
    XSync(mDisplay, False);
    Pump();
    std::string calls = host->Calls(7);
    EXPECT_TRUE(calls.size() >= 3 && calls.back() == 'e') << calls;
    Button(1, false);
    XMapWindow(mDisplay, frame);
    Pump();
    EXPECT_EQ(calls, host->Calls(7)) << "nothing more once the gesture ended";
    Headless headless;
    headless.Set(7, host->GetParameter(7));
    EXPECT_EQ(std::make_pair(0, 0), Differences(ReadBack(editor), headless.Render(), headless.TextMask()));

    // A host that closes the plug-in in the middle of a drag, its editor still open.
    MoveTo(editor, FaderX(0.5), FADER7_Y);
    Button(1, true);
    Pump(60);
    host->Close();
    Button(1, false);
}

// A right click on a fader opens a field with the keyboard: digits and Return apply,
// Escape or a click elsewhere discards; keys the host passes on count as typed, and are
// taken only while the field is open; text that is no number applies 0.
TEST_F(X11EditorTest, TypedEntryOnAFader) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    EXPECT_EQ(0, host->Dispatch(vst2::effEditKeyDown, '7', 0)) << "no field: the host keeps its keys";
    Click(editor, 200, FADER8_Y, 3);
    ASSERT_EQ(1u, Children(editor).size()) << "right-click on a fader opens a field";
    Type("7\n");
    EXPECT_EQ("7", host->ParamDisplay(8));
    EXPECT_EQ(0u, Children(editor).size()) << "Return closes the field";
    EXPECT_EQ("bea", host->Calls(8)) << "the right click changes nothing itself";

    Click(editor, 200, FADER8_Y, 3);
    Type("-12\x1b");
    Click(editor, 200, FADER8_Y, 3);
    Type("3");
    Click(editor, 20, 20);
    EXPECT_EQ("7", host->ParamDisplay(8)) << "Escape and a click elsewhere discard";
    EXPECT_EQ(0u, Children(editor).size());

    Click(editor, 200, FADER8_Y, 3);
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, '-', 0));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyUp, '-', 0));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_NUMPAD0 + 5));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_RETURN));
    Pump();
    EXPECT_EQ("-5", host->ParamDisplay(8));
    EXPECT_EQ(0, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_RETURN)) << "closed: the keys are the host's";

    Click(editor, 200, FADER8_Y, 3);
    Type("x\n");
    EXPECT_EQ("0", host->ParamDisplay(8));
}

// A right click on a list opens a drop-down of its entries under the list's middle: a
// click picks one; the pointer, the wheel and the arrows move through them until Return.
TEST_F(X11EditorTest, DropDownOnAList) {
    EditorHost* host = NewHost();
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    auto entry = [&]() { return int(host->GetParameter(3) * 16.0f + 0.5f); };
    Click(editor, LIST3_X, LIST3_Y, 3);
    std::vector<Window> popup = Children(editor);
    ASSERT_EQ(1u, popup.size());
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(mDisplay, popup[0], &a));
    EXPECT_EQ(LIST3_Y, a.y);
    EXPECT_EQ(17 * LIST_ROW + 2, a.height) << "one row per entry";
    auto row = [&](int i) { return a.y + 1 + i * LIST_ROW + LIST_ROW / 2; };
    Click(editor, a.x + 10, row(3));
    EXPECT_EQ(3, entry());
    EXPECT_EQ(0u, Children(editor).size());

    Click(editor, LIST3_X, LIST3_Y, 3);
    Click(editor, a.x + 10, row(6), 5, 2);  // onto entry 6, then two down
    EXPECT_EQ(3, entry()) << "the wheel only moves through the list";
    Type("\n");
    EXPECT_EQ(8, entry());
    Click(editor, LIST3_X, LIST3_Y, 3);
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_UP));
    EXPECT_EQ(1, host->Dispatch(vst2::effEditKeyDown, 0, vst2::VKEY_RETURN));
    Pump();
    EXPECT_EQ(7, entry());
    Click(editor, LIST3_X, LIST3_Y, 3);
    Type("\x1b");
    EXPECT_EQ(7, entry());
}

// Two instances, each with its editor open: each shows its own values and hears its own
// clicks, and one goes on when the other closes.
TEST_F(X11EditorTest, TwoInstancesAtOnce) {
    EditorHost* first = NewHost();
    EditorHost* second = NewHost();
    Window a = Open(first, NewFrame(0)), b = Open(second, NewFrame(W + 20));
    ASSERT_TRUE(a && b);
    first->SetParameter(7, 1.0f);
    Click(b, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("", first->Calls(5));
    EXPECT_EQ("bae", second->Calls(5));
    EXPECT_LT(0, Differences(ReadBack(a), ReadBack(b), Headless().TextMask()).first);
    first->Dispatch(vst2::effEditClose);
    Click(b, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("baebae", second->Calls(5));
}

// The host's window may go before effEditClose, or the host may close the editor from
// inside a call the editor makes to it: the editor notices, touches nothing that is gone,
// and closes and opens again cleanly.
TEST_F(X11EditorTest, HostWindowDestroyedBeforeClose) {
    EditorHost* host = NewHost();
    ASSERT_NE(0u, Open(host, NewFrame()));
    XDestroyWindow(mDisplay, mFrames.back());
    XSync(mDisplay, False);
    mFrames.clear();
    host->SetParameter(7, 1.0f);  // something to draw into the window that is gone
    Pump();
    EXPECT_EQ(1, host->Dispatch(vst2::effEditClose));
    Window editor = Open(host, NewFrame());
    ASSERT_NE(0u, editor);
    Click(editor, MUTE5_X, MUTE5_Y);
    EXPECT_EQ("bae", host->Calls(5));

    // A host that closes the editor while the editor is telling it of a click.
    host->mCloseOnBegin = true;
    host->Forget();
    Click(editor, MUTE5_X, MUTE5_Y);
    EXPECT_EQ('b', host->Calls(5).front());
    EXPECT_TRUE(Children(mFrames.back()).empty());
    host->mCloseOnBegin = false;
    ASSERT_NE(0u, Open(host, mFrames.back())) << "opens again";
}

// 200 opens and closes in one process leave no descriptors (each editor's display
// connection closes with its window, and the server frees what that connection made),
// no windows in the host's, and no heap (glibc's count of bytes in use).
TEST_F(X11EditorTest, OpenCloseCyclesLeaveNothingBehind) {
    EditorHost* host = NewHost();
    Window frame = NewFrame();
    auto cycles = [&](int n) {
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(1, host->Dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(frame)));
            host->Dispatch(vst2::effEditIdle);
            ASSERT_EQ(1, host->Dispatch(vst2::effEditClose));
        }
        XSync(mDisplay, False);
    };
    cycles(20);  // the libraries below fill their caches here
    int fds = OpenFileDescriptors();
    size_t heap = mallinfo2().uordblks;
    cycles(200);
    long grown = long(mallinfo2().uordblks) - long(heap);
    std::printf("200 open/close cycles: %d descriptors before, %d after; heap in use grew by %ld bytes\n", fds,
                OpenFileDescriptors(), grown);
    EXPECT_EQ(fds, OpenFileDescriptors());
    EXPECT_EQ(0u, Children(frame).size());
#ifndef HEAP_NOT_MEASURABLE
    EXPECT_LT(grown, 4096);
#endif
}

}  // namespace
