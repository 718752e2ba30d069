// Draw cost of Tamborelle's panel, headless: a full repaint, one fader move, and the
// idle dirty check that runs 24 times a second while nothing changes.
#include <benchmark/benchmark.h>

#include "graphics/IControl.h"
#include "graphics/IEditorRaster.h"
#include "src/Tamborelle.h"
#include "tools/tamborelle-snapshot/EditorSession.h"

namespace {

const int PAR_INTERVAL = 8;
const int PAR_INTERVAL_FADER = 3;  // index in the control list: background, then fader/read-out pairs

void FullRepaint(benchmark::State& state) {
    EditorSession session;
    IEditorRaster* editor = session.Editor();
    session.Tick();
    for (auto _ : state) {
        editor->SetAllControlsDirty();
        IBounds r;
        editor->IsDirty(&r);
        editor->Draw(&r);
    }
}
BENCHMARK(FullRepaint)->Unit(benchmark::kMicrosecond);

void OneFaderMove(benchmark::State& state) {
    EditorSession session;
    IEditorRaster* editor = session.Editor();
    session.Tick();
    IControl* fader = editor->GetControl(PAR_INTERVAL_FADER);
    double values[2] = {0.25, 0.75};
    int i = 0;
    IBounds r;
    for (auto _ : state) {
        fader->SetValueFromPlug(values[i ^= 1]);
        r = IBounds();
        editor->IsDirty(&r);
        editor->Draw(&r);
    }
    state.counters["width"] = r.W();
    state.counters["height"] = r.H();
}
BENCHMARK(OneFaderMove)->Unit(benchmark::kMicrosecond);

// The same move arriving from the host: the read-out's text changes and is drawn too.
void FaderMoveWithReadOut(benchmark::State& state) {
    EditorSession session;
    IEditorRaster* editor = session.Editor();
    session.Tick();
    vst2::AEffect* effect = session.Plug()->Effect();
    float values[2] = {0.25f, 0.75f};
    int i = 0;
    IBounds r;
    for (auto _ : state) {
        effect->setParameter(effect, PAR_INTERVAL, values[i ^= 1]);
        r = IBounds();
        editor->IsDirty(&r);
        editor->Draw(&r);
    }
    state.counters["width"] = r.W();
    state.counters["height"] = r.H();
}
BENCHMARK(FaderMoveWithReadOut)->Unit(benchmark::kMicrosecond);

void IdleDirtyCheck(benchmark::State& state) {
    EditorSession session;
    IEditorRaster* editor = session.Editor();
    session.Tick();
    session.Tick();  // controls that asked for one more cycle are clean now
    for (auto _ : state) {
        IBounds r;
        benchmark::DoNotOptimize(editor->IsDirty(&r));
    }
}
BENCHMARK(IdleDirtyCheck)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
