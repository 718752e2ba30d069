// The module's costs as a host sees them, through its binary interface, each next to
// the same figure for the floor effect (bench/src/FloorEffect.h), so that ratios come
// from one run: a playing block without events (single and double precision), a
// stopped-transport block, one trigger (note-on, block, note-off, block; four voices),
// a dense block (32 triggers, all voices, delays on), a warm instantiation (entry,
// effOpen, effClose) and the first entry call in a new process.
//
// TAMBORELLE_BENCH_MODULE names another module to measure (an older build, say).
#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/src/FloorEffect.h"
#include "bench/src/LeanHost.h"
#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstModule.h"

namespace {

constexpr int kFrames = 512;

std::string ModulePath() {
    const char* path = std::getenv("TAMBORELLE_BENCH_MODULE");
#ifdef TAMBORELLE_MODULE_PATH
    if (!path || !*path) path = TAMBORELLE_MODULE_PATH;
#endif
    return path ? path : "";
}

VstModule& Module() {
    static VstModule module;
    if (!module.IsLoaded() && !ModulePath().empty()) module.Load(ModulePath());
    return module;
}

// A host, its audio buffers and a transport that moves on by one block per call.
struct Rig {
    LeanHost host;
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

    // The same through processDoubleReplacing.
    void DoubleBlock() {
        host.Effect()->processDoubleReplacing(host.Effect(), wideInputs, wideOutputs, kFrames);
        host.mTime.samplePos += kFrames;
    }

    // Four voices on four channels with distinct intervals: four notes per trigger.
    void SpreadVoices() {
        host.SetParameter(6, 1.0f / 15.0f);
        host.SetParameter(12, 2.0f / 15.0f);
        host.SetParameter(26, 3.0f / 15.0f);
        host.SetParameter(8, 31.0f / 48.0f);
        for (int slot = 0; slot < 4; ++slot) {
            host.SetParameter(14 + slot, (24.0f + 3 + slot) / 48.0f);
            host.SetParameter(28 + slot, (24.0f - 5 - slot) / 48.0f);
        }
    }
};

// Starts the rig, or marks the benchmark skipped when there is no effect to drive.
bool Started(Rig& rig, benchmark::State& state, VstEntryProc entry) {
    if (entry && rig.Start(entry)) return true;
    state.SkipWithError("no effect");
    return false;
}

void PerIteration(benchmark::State& state, const char* name, long count) {
    state.counters[name] = static_cast<double>(count) / static_cast<double>(state.iterations());
}

void IdleBlock(benchmark::State& state, VstEntryProc entry, bool wide) {
    Rig rig;
    if (!Started(rig, state, entry)) return;
    if (wide)
        for (auto _ : state) rig.DoubleBlock();
    else
        for (auto _ : state) rig.Block();
}

// The transport stopped with nothing sounding: what a host pays while the user edits.
void StoppedBlock(benchmark::State& state, VstEntryProc entry) {
    Rig rig;
    if (!Started(rig, state, entry)) return;
    rig.host.mTime.flags &= ~vst2::kVstTransportPlaying;
    rig.Block();
    for (auto _ : state) rig.host.ProcessFloat(rig.inputs, rig.outputs, kFrames);
}

void Trigger(benchmark::State& state, VstEntryProc entry) {
    Rig rig;
    if (!Started(rig, state, entry)) return;
    rig.SpreadVoices();
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
    PerIteration(state, "events_per_trigger", rig.host.mEvents);
}

// 32 short notes a block, four voices each, three of them delayed by up to two blocks:
// a drum roll under a busy arrangement.
void DenseBlock(benchmark::State& state, VstEntryProc entry) {
    Rig rig;
    if (!Started(rig, state, entry)) return;
    rig.SpreadVoices();
    rig.host.SetParameter(9, 16.0f / 16.0f);   // parallel: 1/32t
    rig.host.SetParameter(23, 15.0f / 16.0f);  // v1: 1/16t
    rig.host.SetParameter(37, 14.0f / 16.0f);  // v2: 1/32
    VstEventList blocks[4];
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 32; ++i) {
            const uint8_t note = static_cast<uint8_t>(40 + (8 * k + i) % 48);
            blocks[k].AddMidi(16 * i, 0x90, note, 100);
            blocks[k].AddMidi(16 * i + 8, 0x80, note, 0);
        }
    }
    for (int k = 0; k < 64; ++k) {  // the pools reach their working size
        rig.host.ProcessEvents(blocks[k % 4]);
        rig.Block();
    }
    rig.host.mEvents = 0;
    long k = 0;
    for (auto _ : state) {
        rig.host.ProcessEvents(blocks[k++ % 4]);
        rig.Block();
    }
    PerIteration(state, "events_per_block", rig.host.mEvents);
}

// ---- ratios under a changing load ----

// This thread's CPU time in nanoseconds.
double ThreadNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// The plug-in and the floor in alternating batches of the same step, each batch timed on
// this thread's CPU clock: the ratio then holds while other work on the machine comes and
// goes, which two benchmarks run one after the other cannot promise.
template <typename Setup, typename Step>
void Ratio(benchmark::State& state, Setup setup, Step step) {
    constexpr int kBatch = 1024;
    Rig plugin, floor;
    if (!Started(plugin, state, Module().Entry()) || !Started(floor, state, &FloorEffectEntry)) return;
    setup(plugin);
    setup(floor);
    double pluginTime = 0.0, floorTime = 0.0;
    long steps = 0;
    for (auto _ : state) {
        double t0 = ThreadNanoseconds();
        for (int i = 0; i < kBatch; ++i) step(plugin);
        double t1 = ThreadNanoseconds();
        for (int i = 0; i < kBatch; ++i) step(floor);
        double t2 = ThreadNanoseconds();
        pluginTime += t1 - t0;
        floorTime += t2 - t1;
        steps += kBatch;
    }
    if (steps == 0) return;
    state.counters["plugin_ns"] = pluginTime / static_cast<double>(steps);
    state.counters["floor_ns"] = floorTime / static_cast<double>(steps);
    state.counters["ratio"] = floorTime > 0.0 ? pluginTime / floorTime : 0.0;
}

void NoSetup(Rig&) {}
void StopTransport(Rig& rig) { rig.host.mTime.flags &= ~vst2::kVstTransportPlaying; }

void BM_RatioIdleBlock(benchmark::State& state) {
    Ratio(state, NoSetup, [](Rig& rig) { rig.Block(); });
}
void BM_RatioStoppedBlock(benchmark::State& state) {
    Ratio(state, StopTransport, [](Rig& rig) { rig.host.ProcessFloat(rig.inputs, rig.outputs, kFrames); });
}
void BM_RatioTrigger(benchmark::State& state) {
    static VstEventList on, off;
    if (on.Count() == 0) {
        on.AddMidi(64, 0x90, 60, 100);
        off.AddMidi(128, 0x80, 60, 0);
    }
    Ratio(
        state, [](Rig& rig) { rig.SpreadVoices(); },
        [](Rig& rig) {
            rig.host.ProcessEvents(on);
            rig.Block();
            rig.host.ProcessEvents(off);
            rig.Block();
        });
}

// A host scanning its plug-ins, or loading a project: create, open, close.
void Instantiate(benchmark::State& state, VstEntryProc entry) {
    if (!entry) {
        state.SkipWithError("no effect");
        return;
    }
    LeanHost host;
    if (!host.Instantiate(entry)) {  // the first in this process is no warm one
        state.SkipWithError("no effect");
        return;
    }
    host.Close();
    for (auto _ : state) {
        if (!host.Instantiate(entry)) {
            state.SkipWithError("the effect could not be made again");
            return;
        }
        host.Dispatch(vst2::effOpen);
        host.Close();
    }
}

void BM_PluginIdleBlock(benchmark::State& state) { IdleBlock(state, Module().Entry(), false); }
void BM_FloorIdleBlock(benchmark::State& state) { IdleBlock(state, &FloorEffectEntry, false); }
void BM_PluginIdleDoubleBlock(benchmark::State& state) { IdleBlock(state, Module().Entry(), true); }
void BM_FloorIdleDoubleBlock(benchmark::State& state) { IdleBlock(state, &FloorEffectEntry, true); }
void BM_PluginStoppedBlock(benchmark::State& state) { StoppedBlock(state, Module().Entry()); }
void BM_FloorStoppedBlock(benchmark::State& state) { StoppedBlock(state, &FloorEffectEntry); }
void BM_PluginTrigger(benchmark::State& state) { Trigger(state, Module().Entry()); }
void BM_FloorTrigger(benchmark::State& state) { Trigger(state, &FloorEffectEntry); }
void BM_PluginDenseBlock(benchmark::State& state) { DenseBlock(state, Module().Entry()); }
void BM_FloorDenseBlock(benchmark::State& state) { DenseBlock(state, &FloorEffectEntry); }
void BM_PluginInstantiateWarm(benchmark::State& state) { Instantiate(state, Module().Entry()); }
void BM_FloorInstantiateWarm(benchmark::State& state) { Instantiate(state, &FloorEffectEntry); }
BENCHMARK(BM_RatioIdleBlock);
BENCHMARK(BM_RatioStoppedBlock);
BENCHMARK(BM_RatioTrigger);
BENCHMARK(BM_PluginIdleBlock);
BENCHMARK(BM_FloorIdleBlock);
BENCHMARK(BM_PluginIdleDoubleBlock);
BENCHMARK(BM_FloorIdleDoubleBlock);
BENCHMARK(BM_PluginStoppedBlock);
BENCHMARK(BM_FloorStoppedBlock);
BENCHMARK(BM_PluginTrigger);
BENCHMARK(BM_FloorTrigger);
BENCHMARK(BM_PluginDenseBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloorDenseBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PluginInstantiateWarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloorInstantiateWarm)->Unit(benchmark::kMicrosecond);

#ifdef TAMBORELLE_FIRST_ENTRY
// Each measurement is a new process: the driver loads the module and times its entry.
void BM_PluginFirstEntryCall(benchmark::State& state) {
    const std::string command = "'" TAMBORELLE_FIRST_ENTRY "' '" + ModulePath() + "'";
    for (auto _ : state) {
        FILE* driver = popen(command.c_str(), "r");
        long long nanoseconds = -1;
        if (!driver || std::fscanf(driver, "%lld", &nanoseconds) != 1) nanoseconds = -1;
        if (driver) pclose(driver);
        if (nanoseconds < 0) {
            state.SkipWithError("the driver measured nothing");
            return;
        }
        state.SetIterationTime(static_cast<double>(nanoseconds) * 1e-9);
    }
}
BENCHMARK(BM_PluginFirstEntryCall)->UseManualTime()->Iterations(40)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
