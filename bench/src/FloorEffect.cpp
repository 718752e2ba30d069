#include "bench/src/FloorEffect.h"

#include <cstring>

namespace {

struct FloorEffect {
    vst2::AEffect effect;
    vst2::HostCallback host;
    vst2::VstEvents back;  // one event at a time, as the plug-in sends them
};

FloorEffect* Self(vst2::AEffect* effect) { return static_cast<FloorEffect*>(effect->object); }

intptr_t Dispatcher(vst2::AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    FloorEffect* self = Self(effect);
    switch (opcode) {
    case vst2::effClose: delete self; return 0;
    case vst2::effProcessEvents: {
        const auto* list = static_cast<const vst2::VstEvents*>(ptr);
        if (!list) return 0;
        vst2::VstEvent* const* events = list->events;
        for (int i = 0; i < list->numEvents; ++i) {
            if (!events[i]) continue;
            self->back.events[0] = events[i];
            self->host(effect, vst2::audioMasterProcessEvents, 0, 0, &self->back, 0.0f);
        }
        return 1;
    }
    default: return 0;
    }
}

template <typename Sample>
void Silence(Sample** outputs, int32_t frames) {
    if (!outputs || frames <= 0) return;
    for (int c = 0; c < 2; ++c)
        if (outputs[c]) std::memset(outputs[c], 0, sizeof(Sample) * static_cast<size_t>(frames));
}

void Accumulate(vst2::AEffect*, float**, float**, int32_t) {}
void Replace(vst2::AEffect*, float**, float** outputs, int32_t frames) { Silence(outputs, frames); }
void ReplaceDouble(vst2::AEffect*, double**, double** outputs, int32_t frames) { Silence(outputs, frames); }
void SetParameter(vst2::AEffect*, int32_t, float) {}
float GetParameter(vst2::AEffect*, int32_t) { return 0.0f; }

}  // namespace

vst2::AEffect* FloorEffectEntry(vst2::HostCallback host) {
    auto* self = new FloorEffect();
    self->host = host;
    self->back.numEvents = 1;
    vst2::AEffect& e = self->effect;
    e.magic = vst2::kEffectMagic;
    e.dispatcher = Dispatcher;
    e.process = Accumulate;
    e.setParameter = SetParameter;
    e.getParameter = GetParameter;
    e.numPrograms = 1;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = vst2::effFlagsCanReplacing | vst2::effFlagsCanDoubleReplacing | vst2::effFlagsIsSynth;
    e.ioRatio = 1.0f;
    e.object = self;
    e.processReplacing = Replace;
    e.processDoubleReplacing = ReplaceDouble;
    return &e;
}
