// One idle playing block (float, and double without sample conversion) and
// one trigger (note-on, block, note-off, block), for the module and for the
// do-nothing floor effect, through the binary interface as a host drives them.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/plugin/FloorEffect.h"
#include "framework/Vst2Abi.h"
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
        host.Dispatch(vst2::effOpen);
        host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        host.Dispatch(vst2::effSetBlockSize, 0, kFrames);
        host.Dispatch(vst2::effMainsChanged, 0, 1);
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

struct MidiEvent {
    vst2::VstMidiEvent event{};
    const vst2::VstEvent* list[1] = {};

    MidiEvent(uint8_t status, uint8_t data1, uint8_t data2, int offset) {
        event.type = vst2::kVstMidiType;
        event.byteSize = sizeof event;
        event.deltaFrames = offset;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        list[0] = reinterpret_cast<const vst2::VstEvent*>(&event);
    }
};

void IdleBlock(benchmark::State& state, VstEntryProc entry) {
    Rig rig;
    if (!entry || !rig.Start(entry)) {
        state.SkipWithError("no effect");
        return;
    }
    for (auto _ : state) rig.Block();
}

void IdleDoubleBlock(benchmark::State& state, VstEntryProc entry) {
    Rig rig;
    if (!entry || !rig.Start(entry)) {
        state.SkipWithError("no effect");
        return;
    }
    for (auto _ : state) rig.DoubleBlock();
}

void Trigger(benchmark::State& state, VstEntryProc entry, bool spreadVoices) {
    Rig rig;
    if (!entry || !rig.Start(entry)) {
        state.SkipWithError("no effect");
        return;
    }
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
    MidiEvent on(0x90, 60, 100, 64);
    MidiEvent off(0x80, 60, 0, 128);
    rig.Block();
    rig.host.mEvents = 0;
    for (auto _ : state) {
        rig.host.ProcessEvents(on.list, 1);
        rig.Block();
        rig.host.ProcessEvents(off.list, 1);
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

void BM_PluginIdleBlock(benchmark::State& state) { IdleBlock(state, Module().Entry()); }
void BM_PluginIdleDoubleBlock(benchmark::State& state) { IdleDoubleBlock(state, Module().Entry()); }
void BM_PluginTrigger(benchmark::State& state) { Trigger(state, Module().Entry(), true); }
BENCHMARK(BM_PluginIdleBlock);
BENCHMARK(BM_PluginIdleDoubleBlock);
BENCHMARK(BM_PluginTrigger);
#endif

void BM_FloorIdleBlock(benchmark::State& state) { IdleBlock(state, &FloorEffectEntry); }
void BM_FloorTrigger(benchmark::State& state) { Trigger(state, &FloorEffectEntry, false); }
BENCHMARK(BM_FloorIdleBlock);
BENCHMARK(BM_FloorTrigger);

}  // namespace
