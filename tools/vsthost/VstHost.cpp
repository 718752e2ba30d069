#include "tools/vsthost/VstHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// The instance being created: a plug-in may call back before the host has had
// a chance to put itself into the AEffect's user field.
thread_local VstHost* tCreating = nullptr;
}  // namespace

VstHost::VstHost() {
    mTime.sampleRate = 44100.0;
    mTime.tempo = 120.0;
    mTime.timeSigNumerator = 4;
    mTime.timeSigDenominator = 4;
    mTime.flags = vst2::kVstTempoValid | vst2::kVstTimeSigValid;
}

VstHost::~VstHost() { Close(); }

bool VstHost::Instantiate(VstEntryProc entry) {
    Close();
    if (!entry) return false;
    tCreating = this;
    vst2::AEffect* effect = entry(&VstHost::Callback);
    tCreating = nullptr;
    if (!effect || effect->magic != vst2::kEffectMagic) return false;
    effect->user = this;
    mEffect = effect;
    return true;
}

void VstHost::Start(double sampleRate, int blockSize) {
    mTime.sampleRate = sampleRate;
    Dispatch(vst2::effOpen);
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, float(sampleRate));
    Dispatch(vst2::effSetBlockSize, 0, blockSize);
    Dispatch(vst2::effMainsChanged, 0, 1);
}

void VstHost::Stop() {
    if (!mEffect) return;
    Dispatch(vst2::effMainsChanged, 0, 0);
    Close();
}

void VstHost::Close() {
    if (!mEffect) return;
    vst2::AEffect* effect = mEffect;
    mEffect = nullptr;
    effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
}

intptr_t VstHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    if (!mEffect) return 0;
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

std::string VstHost::Text(int32_t opcode, int32_t index) {
    char text[256] = {};
    Dispatch(opcode, index, 0, text);
    return text;
}

std::string VstHost::ParamName(int index) { return Text(vst2::effGetParamName, index); }
std::string VstHost::ParamDisplay(int index) { return Text(vst2::effGetParamDisplay, index); }
std::string VstHost::ProgramName(int index) { return Text(vst2::effGetProgramNameIndexed, index); }

float VstHost::GetParameter(int index) { return mEffect ? mEffect->getParameter(mEffect, index) : 0.0f; }

void VstHost::SetParameter(int index, float value) {
    if (mEffect) mEffect->setParameter(mEffect, index, value);
}

intptr_t VstHost::ProcessEvents(VstEventList& events) {
    return Dispatch(vst2::effProcessEvents, 0, 0, events.Events());
}

void VstHost::ProcessFloat(float** inputs, float** outputs, int frames) {
    if (mEffect) mEffect->processReplacing(mEffect, inputs, outputs, frames);
}

void VstHost::SetTransport(int64_t position, double bpm, double quarters, int numerator, int denominator,
                           bool playing, bool changed) {
    const double rate = mTime.sampleRate;
    const double perBar = numerator * 4.0 / denominator;
    mTime.samplePos = double(position);
    mTime.nanoSeconds = double(position) / rate * 1e9;
    mTime.tempo = bpm;
    mTime.ppqPos = quarters;
    mTime.barStartPos = std::floor(quarters / perBar + 1e-9) * perBar;
    mTime.timeSigNumerator = numerator;
    mTime.timeSigDenominator = denominator;
    mTime.flags = vst2::kVstNanosValid | vst2::kVstPpqPosValid | vst2::kVstTempoValid | vst2::kVstBarsValid |
                  vst2::kVstTimeSigValid;
    if (playing) mTime.flags |= vst2::kVstTransportPlaying;
    if (changed) mTime.flags |= vst2::kVstTransportChanged;
}

void VstHost::PrepareBuffers(int frames) {
    const int channels = mEffect ? std::max({mEffect->numInputs, mEffect->numOutputs, 2}) : 2;
    mBuffers.assign(size_t(2 * channels), std::vector<float>(size_t(std::max(1, frames)), 0.0f));
    mInputs.clear();
    mOutputs.clear();
    for (int i = 0; i < channels; ++i) {
        mInputs.push_back(mBuffers[size_t(i)].data());
        mOutputs.push_back(mBuffers[size_t(channels + i)].data());
    }
}

void VstHost::ProcessBlock(int frames) {
    if (!mEffect || mBuffers.empty()) return;
    frames = std::min(frames, int(mBuffers[0].size()));
    // Silent inputs and outputs every time: a plug-in may write into either.
    for (std::vector<float>& buffer : mBuffers) std::fill(buffer.begin(), buffer.begin() + frames, 0.0f);
    if (mEffect->flags & vst2::effFlagsCanReplacing)
        ProcessFloat(mInputs.data(), mOutputs.data(), frames);
    else if (mEffect->process)
        mEffect->process(mEffect, mInputs.data(), mOutputs.data(), frames);
}

void VstHost::ApplyParameters(const std::vector<std::pair<int, float>>& parameters) {
    const int count = mEffect ? mEffect->numParams : 0;
    for (int i = 0; i < count; ++i) SetParameter(i, GetParameter(i));
    for (const auto& p : parameters) SetParameter(p.first, p.second);
}

intptr_t VstHost::OnHostCall(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    (void)value;
    switch (opcode) {
    case vst2::audioMasterAutomate: OnAutomate(index, opt); return 0;
    case vst2::audioMasterVersion: return 2400;
    case vst2::audioMasterGetTime: return mHasTime ? reinterpret_cast<intptr_t>(&mTime) : 0;
    case vst2::audioMasterProcessEvents: {
        auto* list = static_cast<const vst2::VstEvents*>(ptr);
        if (!list) return 0;
        vst2::VstEvent* const* events = list->events;  // plug-ins allocate past the two declared slots
        for (int i = 0; i < list->numEvents; ++i)
            if (events[i]) OnEvent(*events[i]);
        return 1;
    }
    case vst2::audioMasterGetSampleRate: return static_cast<intptr_t>(mTime.sampleRate);
    case vst2::audioMasterGetProductString:
        if (ptr) {
            std::strncpy(static_cast<char*>(ptr), mProductString.c_str(), 63);
            static_cast<char*>(ptr)[63] = 0;
        }
        return 1;
    case vst2::audioMasterGetVendorVersion: return mVendorVersion;
    case vst2::audioMasterBeginEdit: OnBeginEdit(index); return 1;
    case vst2::audioMasterEndEdit: OnEndEdit(index); return 1;
    default: return 0;
    }
}

intptr_t VstHost::Callback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    VstHost* host = effect && effect->user ? static_cast<VstHost*>(effect->user) : tCreating;
    if (!host) return opcode == vst2::audioMasterVersion ? 2400 : 0;
    return host->OnHostCall(opcode, index, value, ptr, opt);
}
