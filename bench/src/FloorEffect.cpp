#include "bench/src/FloorEffect.h"

#include "tools/vsthost/VstEventList.h"

namespace {

struct FloorEffect {
    vst2::AEffect effect;
    vst2::HostCallback host;
    VstEventList back;  // one event at a time, as the plug-in sends them
};

FloorEffect* Self(vst2::AEffect* effect) { return static_cast<FloorEffect*>(effect->object); }

intptr_t Dispatcher(vst2::AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    FloorEffect* self = Self(effect);
    switch (opcode) {
    case vst2::effClose: delete self; return 0;
    case vst2::effProcessEvents: {
        const auto* list = static_cast<const vst2::VstEvents*>(ptr);
        if (!list) return 0;
        vst2::VstEvent* const* events = list->events;  // hosts allocate past the two declared slots
        for (int i = 0; i < list->numEvents; ++i) {
            if (!events[i]) continue;
            self->back.Clear();
            self->back.Add(events[i]);
            self->host(effect, vst2::audioMasterProcessEvents, 0, 0, self->back.Events(), 0.0f);
        }
        return 1;
    }
    default: return 0;
    }
}

void Process(vst2::AEffect*, float**, float**, int32_t) {}
void ProcessDouble(vst2::AEffect*, double**, double**, int32_t) {}
void SetParameter(vst2::AEffect*, int32_t, float) {}
float GetParameter(vst2::AEffect*, int32_t) { return 0.0f; }

}  // namespace

vst2::AEffect* FloorEffectEntry(vst2::HostCallback host) {
    auto* self = new FloorEffect();
    self->host = host;
    vst2::AEffect& e = self->effect;
    e.magic = vst2::kEffectMagic;
    e.dispatcher = Dispatcher;
    e.process = Process;
    e.setParameter = SetParameter;
    e.getParameter = GetParameter;
    e.numPrograms = 1;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = vst2::effFlagsCanReplacing | vst2::effFlagsIsSynth;
    e.ioRatio = 1.0f;
    e.object = self;
    e.processReplacing = Process;
    e.processDoubleReplacing = ProcessDouble;
    return &e;
}
