// One idle playing block (float, and double without sample conversion) and
// one trigger (note-on, block, note-off, block), for the module and for the
// do-nothing floor effect, through the binary interface as a host drives them.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/src/FloorEffect.h"
#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

namespace {

constexpr int kFrames = 512;

// Counts what comes back instead of storing it, so the host costs next to nothing.
class CountingHost : public VstHost {
public:
    long mEvents = 0;

protected:
    void OnEvent(const vst2::VstEvent&) override { ++mEvents; }
};

// A host, its audio buffers and a transport that moves on by one block per call.
struct Rig {
    CountingHost host;
    float audio[4][kFrames] = {};
    float* inputs[2] = {audio[0], audio[1]};
    float* outputs[2] = {audio[2], audio[3]};
    double wide[4][kFrames] = {};
    double* wideInputs[2] = {wide[0], wide[1]};
    double* wideOutputs[2] = {wide[2], wide[3]};

    bool Start(VstEntryProc entry) {
        if (!host.Instantiate(entry)) return false;
        host.Start(44100.0, kFrames);
        host.mTime.samplePos = 0.0;
        host.mTime.flags |= vst2::kVstTransportPlaying;
        Block();
        return true;
    }

    void Block() {
        host.ProcessFloat(inputs, outputs, kFrames);
        host.mTime.samplePos += kFrames;
    }

    // The same through processDoubleReplacing, which needs no sample conversion.
    void DoubleBlock() {
        host.Effect()->processDoubleReplacing(host.Effect(), wideInputs, wideOutputs, kFrames);
        host.mTime.samplePos += kFrames;
    }
};

// Starts the rig, or marks the benchmark skipped when there is no effect to drive.
bool Started(Rig& rig, benchmark::State& state, VstEntryProc entry) {
    if (entry && rig.Start(entry)) return true;
    state.SkipWithError("no effect");
    return false;
}

void IdleBlock(benchmark::State& state, VstEntryProc entry, bool wide) {
    Rig rig;
    if (!Started(rig, state, entry)) return;
    if (wide)
        for (auto _ : state) rig.DoubleBlock();
    else
        for (auto _ : state) rig.Block();
}

void Trigger(benchmark::State& state, VstEntryProc entry, bool spreadVoices) {
    Rig rig;
    if (!Started(rig, state, entry)) return;
    if (spreadVoices) {
        // Four voices on four channels with distinct intervals: four notes per trigger.
        rig.host.SetParameter(6, 1.0f / 15.0f);
        rig.host.SetParameter(12, 2.0f / 15.0f);
        rig.host.SetParameter(26, 3.0f / 15.0f);
        rig.host.SetParameter(8, 31.0f / 48.0f);
        for (int slot = 0; slot < 4; ++slot) {
            rig.host.SetParameter(14 + slot, (24.0f + 3 + slot) / 48.0f);
            rig.host.SetParameter(28 + slot, (24.0f - 5 - slot) / 48.0f);
        }
    }
    VstEventList on, off;
    on.AddMidi(64, 0x90, 60, 100);
    off.AddMidi(128, 0x80, 60, 0);
    rig.Block();
    rig.host.mEvents = 0;
    for (auto _ : state) {
        rig.host.ProcessEvents(on);
        rig.Block();
        rig.host.ProcessEvents(off);
        rig.Block();
    }
    state.counters["events_per_trigger"] =
        static_cast<double>(rig.host.mEvents) / static_cast<double>(state.iterations());
}

#ifdef TAMBORELLE_MODULE_PATH
VstModule& Module() {
    static VstModule module;
    if (!module.IsLoaded()) module.Load(TAMBORELLE_MODULE_PATH);
    return module;
}

void BM_PluginIdleBlock(benchmark::State& state) { IdleBlock(state, Module().Entry(), false); }
void BM_PluginIdleDoubleBlock(benchmark::State& state) { IdleBlock(state, Module().Entry(), true); }
void BM_PluginTrigger(benchmark::State& state) { Trigger(state, Module().Entry(), true); }
BENCHMARK(BM_PluginIdleBlock);
BENCHMARK(BM_PluginIdleDoubleBlock);
BENCHMARK(BM_PluginTrigger);
#endif

void BM_FloorIdleBlock(benchmark::State& state) { IdleBlock(state, &FloorEffectEntry, false); }
void BM_FloorTrigger(benchmark::State& state) { Trigger(state, &FloorEffectEntry, false); }
BENCHMARK(BM_FloorIdleBlock);
BENCHMARK(BM_FloorTrigger);

}  // namespace
