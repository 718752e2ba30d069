#include "tests/tools/FakeEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

FakeEffect gEffect;

FakeEffect& Self(vst2::AEffect* e) { return *static_cast<FakeEffect*>(e->object); }

double Plain(const FakeParam& p, float normalized) {
    const double v = p.mMin + double(normalized) * (p.mMax - p.mMin);
    return std::floor(v / p.mStep + 0.5) * p.mStep;
}

std::string Display(const FakeParam& p) {
    if (!p.mTexts.empty()) {
        const size_t i = size_t((p.mValue - p.mMin) / p.mStep + 0.5);
        return i < p.mTexts.size() ? p.mTexts[i] : "?";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", p.mDecimals, p.mValue);
    return text;
}

intptr_t Dispatcher(vst2::AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    FakeEffect& self = Self(e);
    const bool valid = index >= 0 && size_t(index) < self.mParams.size();
    switch (opcode) {
    case vst2::effOpen: self.mCalls.push_back("open"); return 0;
    case vst2::effClose:
        self.mCalls.push_back("close");
        self.mClosed = true;
        return 0;
    case vst2::effSetSampleRate: self.mCalls.push_back("rate " + std::to_string(int(opt))); return 0;
    case vst2::effSetBlockSize: self.mCalls.push_back("block " + std::to_string(value)); return 0;
    case vst2::effMainsChanged: self.mCalls.push_back("mains " + std::to_string(value)); return 0;
    case vst2::effGetParamName:
        if (valid) std::strcpy(static_cast<char*>(ptr), self.mParams[size_t(index)].mName.c_str());
        return 0;
    case vst2::effGetParamDisplay:
        if (valid) std::strcpy(static_cast<char*>(ptr), Display(self.mParams[size_t(index)]).c_str());
        return 0;
    case vst2::effProcessEvents: {
        auto* list = static_cast<vst2::VstEvents*>(ptr);
        vst2::VstEvent* const* events = list->events;  // hosts allocate past the two declared slots
        for (int i = 0; i < list->numEvents; ++i) {
            ++self.mEventsThisBlock;
            if (events[i]->type == vst2::kVstMidiType)
                self.mPending.push_back(*reinterpret_cast<vst2::VstMidiEvent*>(events[i]));
        }
        return 1;
    }
    default: return 0;
    }
}

void SetParameter(vst2::AEffect* e, int32_t index, float value) {
    FakeEffect& self = Self(e);
    if (index < 0 || size_t(index) >= self.mParams.size()) return;
    self.mParams[size_t(index)].mValue = Plain(self.mParams[size_t(index)], value);
    self.mParams[size_t(index)].mSetAtBlock = self.mBlocks.size();
}

float GetParameter(vst2::AEffect* e, int32_t index) {
    FakeEffect& self = Self(e);
    if (index < 0 || size_t(index) >= self.mParams.size()) return 0.0f;
    const FakeParam& p = self.mParams[size_t(index)];
    return float((p.mValue - p.mMin) / (p.mMax - p.mMin));
}

void Process(vst2::AEffect* e, float**, float**, int32_t frames) {
    FakeEffect& self = Self(e);
    auto* time = reinterpret_cast<vst2::VstTimeInfo*>(self.mHost(e, vst2::audioMasterGetTime, 0, 0, nullptr, 0));
    self.mBlocks.push_back({time ? *time : vst2::VstTimeInfo{}, frames, self.mEventsThisBlock});
    self.mEventsThisBlock = 0;
    const bool playing = time && (time->flags & vst2::kVstTransportPlaying);
    if (playing) {
        for (vst2::VstMidiEvent& m : self.mPending) {
            self.mEcho.Clear();
            self.mEcho.Add(reinterpret_cast<vst2::VstEvent*>(&m));
            self.mHost(e, vst2::audioMasterProcessEvents, 0, 0, self.mEcho.Events(), 0);
        }
    }
    self.mPending.clear();
}

}  // namespace

FakeEffect& TheFakeEffect() { return gEffect; }

void ResetFakeEffect(std::vector<FakeParam> params) {
    gEffect = FakeEffect{};
    gEffect.mParams = std::move(params);
}

vst2::AEffect* FakeEntry(vst2::HostCallback host) {
    FakeEffect& self = gEffect;
    self.mHost = host;
    vst2::AEffect& e = self.mEffect;
    e = vst2::AEffect{};
    e.magic = vst2::kEffectMagic;
    e.dispatcher = Dispatcher;
    e.setParameter = SetParameter;
    e.getParameter = GetParameter;
    e.processReplacing = Process;
    e.numParams = int32_t(self.mParams.size());
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = vst2::effFlagsCanReplacing | vst2::effFlagsIsSynth;
    e.object = &self;
    return &e;
}
