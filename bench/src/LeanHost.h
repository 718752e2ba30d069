// The least a host can do for an effect in a benchmark: one callback that answers the
// transport and counts the events it is sent, with nothing virtual in between, so that
// a figure is the effect's and not the host's. Single-threaded, like the benchmarks.
#pragma once

#include <cstdint>

#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstModule.h"

class LeanHost {
public:
    LeanHost() {
        mTime.sampleRate = 44100.0;
        mTime.tempo = 120.0;
        mTime.timeSigNumerator = 4;
        mTime.timeSigDenominator = 4;
        mTime.flags = vst2::kVstTempoValid | vst2::kVstTimeSigValid;
    }
    ~LeanHost() { Close(); }
    LeanHost(const LeanHost&) = delete;
    LeanHost& operator=(const LeanHost&) = delete;

    bool Instantiate(VstEntryProc entry) {
        Close();
        sCreating = this;
        vst2::AEffect* effect = entry ? entry(&LeanHost::Callback) : nullptr;
        sCreating = nullptr;
        if (!effect || effect->magic != vst2::kEffectMagic) return false;
        effect->user = this;
        mEffect = effect;
        return true;
    }
    // What a DAW sends a new effect before its first block.
    void Start(double sampleRate, int blockSize) {
        mTime.sampleRate = sampleRate;
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
        Dispatch(vst2::effSetBlockSize, 0, blockSize);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }
    void Close() {
        if (!mEffect) return;
        vst2::AEffect* effect = mEffect;
        mEffect = nullptr;
        effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
    }

    vst2::AEffect* Effect() const { return mEffect; }
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
    }
    void SetParameter(int index, float value) { mEffect->setParameter(mEffect, index, value); }
    void ProcessEvents(VstEventList& events) { Dispatch(vst2::effProcessEvents, 0, 0, events.Events()); }
    void ProcessFloat(float** inputs, float** outputs, int frames) {
        mEffect->processReplacing(mEffect, inputs, outputs, frames);
    }

    vst2::VstTimeInfo mTime{};
    long mEvents = 0;  // events the effect sent

private:
    static intptr_t Callback(vst2::AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
        LeanHost* host = effect && effect->user ? static_cast<LeanHost*>(effect->user) : sCreating;
        switch (opcode) {
        case vst2::audioMasterGetTime: return host ? reinterpret_cast<intptr_t>(&host->mTime) : 0;
        case vst2::audioMasterProcessEvents:
            if (host && ptr) host->mEvents += static_cast<const vst2::VstEvents*>(ptr)->numEvents;
            return 1;
        case vst2::audioMasterVersion: return 2400;
        default: return 0;
        }
    }

    static inline LeanHost* sCreating = nullptr;
    vst2::AEffect* mEffect = nullptr;
};
