#include "tests/src/fuzz/FuzzHost.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

void FuzzFail(const char* format, ...) {
    std::fprintf(stderr, "\n*** fuzz oracle: ");
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fprintf(stderr, "\n");
    std::abort();
}

VstEntryProc ModuleEntry() {
    // Loaded once, never unloaded: every load of an instrumented module adds its counters
    // again, and instances held in static hosts are closed at exit, after this returns.
    static VstModule& module = *new VstModule;
    if (!module.IsLoaded() && !module.Load(TAMBORELLE_MODULE_PATH))
        FuzzFail("cannot load %s: %s", TAMBORELLE_MODULE_PATH, module.Error().c_str());
    return module.Entry();
}

FuzzHost::FuzzHost() {
    mSent.reserve(4096);
    mTime.samplePos = 0.0;
}

void FuzzHost::Create() {
    if (!Instantiate(ModuleEntry())) FuzzFail("the entry made no effect");
}

namespace {
// The host's buffers for one block: exactly `frames` samples each, so a plug-in that
// runs past them meets the sanitizer's red zone.
template <typename Sample>
struct HostBuffers {
    std::unique_ptr<Sample[]> audio[4];
    Sample* inputs[2] = {};
    Sample* outputs[2] = {};

    HostBuffers(int frames, int buffers, Sample fill) {
        for (int c = 0; c < buffers && c < 2; ++c) {
            for (int side = 0; side < 2; ++side) {
                std::unique_ptr<Sample[]>& a = audio[2 * c + side];
                a.reset(new Sample[static_cast<size_t>(frames)]);
                std::fill(a.get(), a.get() + frames, fill);
                (side == 0 ? inputs : outputs)[c] = a.get();
            }
        }
    }
    void Check(int frames, int checked, Sample expected) const {
        for (int c = 0; c < checked && c < 2; ++c)
            for (int f = 0; f < frames; ++f)
                if (outputs[c][f] != expected)
                    FuzzFail("output %d, frame %d of %d: %g, not %g", c, f, frames, double(outputs[c][f]),
                             double(expected));
    }
};
}  // namespace

void FuzzHost::ProcessSilence(ProcessKind kind, int frames, int buffers, int connected) {
    const int checked = buffers < connected ? buffers : connected;
    mInProcess = true;
    if (kind == kDouble) {
        HostBuffers<double> b(frames, buffers, 0.25);
        Effect()->processDoubleReplacing(Effect(), buffers ? b.inputs : nullptr, buffers ? b.outputs : nullptr, frames);
        b.Check(frames, checked, 0.0);
    } else {
        HostBuffers<float> b(frames, buffers, 0.25f);
        vst2::ProcessProc process = kind == kReplacing ? Effect()->processReplacing : Effect()->process;
        process(Effect(), buffers ? b.inputs : nullptr, buffers ? b.outputs : nullptr, frames);
        // Silence added leaves the host's samples as they were.
        b.Check(frames, checked, kind == kReplacing ? 0.0f : 0.25f);
    }
    mInProcess = false;
}

intptr_t FuzzHost::OnHostCall(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    if (!Effect()) ++mCallsDuringCreation;
    switch (opcode) {
    case vst2::audioMasterProcessEvents: {
        const auto* list = static_cast<const vst2::VstEvents*>(ptr);
        if (!list) FuzzFail("audioMasterProcessEvents without a list");
        if (list->numEvents < 0) FuzzFail("audioMasterProcessEvents with %d events", list->numEvents);
        vst2::VstEvent* const* events = list->events;
        for (int i = 0; i < list->numEvents; ++i) {
            const vst2::VstEvent* event = events[i];
            if (!event) FuzzFail("audioMasterProcessEvents with a null event");
            SentEvent s;
            s.event = event;
            s.type = event->type;
            s.byteSize = event->byteSize;
            s.deltaFrames = event->deltaFrames;
            s.flags = event->flags;
            if (event->type == vst2::kVstMidiType)
                std::memcpy(s.midi, reinterpret_cast<const vst2::VstMidiEvent*>(event)->midiData, 4);
            s.duringProcess = mInProcess;
            mSent.push_back(s);
        }
        return 1;
    }
    case vst2::audioMasterAutomate:
    case vst2::audioMasterBeginEdit:
    case vst2::audioMasterEndEdit: ++mAutomations; return 0;
    default: return VstHost::OnHostCall(opcode, index, value, ptr, opt);
    }
}
