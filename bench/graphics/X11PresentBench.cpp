// The editor in an X11 window, timed where a host sees it: a full repaint shown on
// screen, one fader move shown on screen, and the host's idle call while nothing
// changes. Needs an X server; run it under a private one:
//   tests/graphics/run-in-xvfb.sh build/bench/graphics/tamborelle_graphics_x11_bench
// The headless figures of the same steps are in tamborelle_graphics_bench.
#include <benchmark/benchmark.h>

#include "graphics/IControl.h"
#include "graphics/IEditorWindow.h"
#include "src/Tamborelle.h"
#include "tools/tamborelle-snapshot/EditorSession.h"

#include <X11/Xlib.h>

namespace {

const int PAR_INTERVAL_FADER = 3;  // index in the control list: background, then fader/read-out pairs

// A host's window with the session's editor open in it.
class OpenEditor {
public:
    OpenEditor() {
        mDisplay = XOpenDisplay(nullptr);
        if (!mDisplay) return;
        mFrame = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 410, 680, 0, 0, 0);
        XMapWindow(mDisplay, mFrame);
        XSync(mDisplay, False);
        mEditor = static_cast<IEditorWindow*>(mSession.Editor());
        if (!mEditor->OpenWindow(reinterpret_cast<void*>(mFrame))) mEditor = nullptr;
        for (int i = 0; mEditor && i < 10; ++i) mEditor->Idle();  // mapped, exposed, drawn
    }
    ~OpenEditor() {
        if (mEditor) mEditor->CloseWindow();
        if (mDisplay) XCloseDisplay(mDisplay);
    }
    // The editor, or null (the benchmark is then skipped with a message).
    IEditorWindow* Editor(benchmark::State& state) {
        if (!mEditor) state.SkipWithError("no X server or no editor window; run under run-in-xvfb.sh");
        return mEditor;
    }

private:
    EditorSession mSession;
    Display* mDisplay = nullptr;
    Window mFrame = 0;
    IEditorWindow* mEditor = nullptr;
};

// Every control drawn and the whole panel put on screen; the idle call sends it.
void FullRepaintPresented(benchmark::State& state) {
    OpenEditor open;
    IEditorWindow* editor = open.Editor(state);
    if (!editor) return;
    for (auto _ : state) {
        editor->SetAllControlsDirty();
        IBounds r;
        editor->IsDirty(&r);
        editor->Draw(&r);
        editor->Idle();
    }
}
BENCHMARK(FullRepaintPresented)->Unit(benchmark::kMicrosecond);

void OneFaderMovePresented(benchmark::State& state) {
    OpenEditor open;
    IEditorWindow* editor = open.Editor(state);
    if (!editor) return;
    IControl* fader = editor->GetControl(PAR_INTERVAL_FADER);
    double values[2] = {0.25, 0.75};
    int i = 0;
    IBounds r;
    for (auto _ : state) {
        fader->SetValueFromPlug(values[i ^= 1]);
        r = IBounds();
        editor->IsDirty(&r);
        editor->Draw(&r);
        editor->Idle();
    }
    state.counters["width"] = r.W();
    state.counters["height"] = r.H();
}
BENCHMARK(OneFaderMovePresented)->Unit(benchmark::kMicrosecond);

// The host's effEditIdle while nothing changes: the event queue is read and, when the
// frame period is up, the dirty check finds nothing.
void IdleNothingDirty(benchmark::State& state) {
    OpenEditor open;
    IEditorWindow* editor = open.Editor(state);
    if (!editor) return;
    for (auto _ : state) editor->Idle();
}
BENCHMARK(IdleNothingDirty)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
