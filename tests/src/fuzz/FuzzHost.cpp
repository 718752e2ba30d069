#include "tests/src/fuzz/FuzzHost.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void FuzzHost::ProcessReplacing(float** inputs, float** outputs, int frames) {
    mInProcess = true;
    Effect()->processReplacing(Effect(), inputs, outputs, frames);
    mInProcess = false;
}

void FuzzHost::ProcessAccumulating(float** inputs, float** outputs, int frames) {
    mInProcess = true;
    Effect()->process(Effect(), inputs, outputs, frames);
    mInProcess = false;
}

void FuzzHost::ProcessDouble(double** inputs, double** outputs, int frames) {
    mInProcess = true;
    Effect()->processDoubleReplacing(Effect(), inputs, outputs, frames);
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
