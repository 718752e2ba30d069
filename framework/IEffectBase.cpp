#include "framework/IEffectBase.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "framework/Assert.h"
#include "framework/HostId.h"
#include "framework/TextCopy.h"
#include "framework/Trace.h"

IEffectBase::IEffectBase(int numParams, const char* channelIOStr, int numPresets, const char* effectName,
                         const char* productName, const char* vendorName, int32_t vendorVersion, int32_t uniqueId,
                         int32_t vendorId, int32_t latency, bool /*doesMidi: the binding's*/, bool usesChunks,
                         bool isInstrument, AudioUse audioUse)
    : mUniqueId(uniqueId),
      mVendorId(vendorId),
      mVendorVersion(vendorVersion),
      mUsesChunks(usesChunks),
      mIsInstrument(isInstrument),
      mLatency(latency),
      mNumHostParameters(numParams),
      mAudioUse(audioUse) {
    TRACE("IEffectBase::IEffectBase", "%s:%s", effectName, TraceTimestamp());

    // The host's parameters in one block, their list at its size at once: plug-ins are
    // made often (a host scanning, a project loading) and every allocation shows.
    const int hostParams = numParams > 0 ? numParams : 0;
    mpHostParameterBlock = new IParameter[hostParams];
    mHostParameterBlockSize = hostParams;
    if (mParameters.Resize(hostParams))
        for (int i = 0; i < hostParams; ++i) mParameters[i] = &mpHostParameterBlock[i];
    for (int i = 0; i < numPresets; ++i) {
        PresetSlot* slot = new PresetSlot();
        std::snprintf(slot->mName, sizeof slot->mName, "- %d -", i + 1);
        mPresetSlots.Add(slot);
    }
    CopyTerminated(mPluginName, effectName, sizeof mPluginName);
    CopyTerminated(mProductString, productName, sizeof mProductString);
    CopyTerminated(mVendorString, vendorName, sizeof mVendorString);

    // "in-out" pairs separated by blanks, e.g. "1-1 2-2".
    int maxInputs = 0, maxOutputs = 0;
    for (const char* p = channelIOStr; p;) {
        ChannelConfig config{};
        bool channelIOStrValid = std::sscanf(p, "%d-%d", &config.mNumInputs, &config.mNumOutputs) == 2;
        TAMB_ASSERT(channelIOStrValid, "channelIOStrValid", "IEffectBase");
        mChannelConfigs.Add(config);
        if (config.mNumInputs > maxInputs) maxInputs = config.mNumInputs;
        if (config.mNumOutputs > maxOutputs) maxOutputs = config.mNumOutputs;
        p = std::strchr(p, ' ');
        if (p) ++p;
    }
    AddChannels(maxInputs, maxOutputs);
}

IEffectBase::~IEffectBase() {
    delete mpGraphics;
    mpGraphics = nullptr;
    std::less<const IParameter*> before;  // a total order, also for pointers outside the block
    for (int i = 0; i < mParameters.Count(); ++i) {
        IParameter* param = mParameters[i];
        const bool inBlock =
            !before(param, mpHostParameterBlock) && before(param, mpHostParameterBlock + mHostParameterBlockSize);
        if (!inBlock) delete param;  // appended by the plug-in
    }
    delete[] mpHostParameterBlock;
    for (int i = 0; i < mPresetSlots.Count(); ++i) delete mPresetSlots[i];
    for (int i = 0; i < mInputChannels.Count(); ++i) delete mInputChannels[i];
    for (int i = 0; i < mOutputChannels.Count(); ++i) delete mOutputChannels[i];
}

void IEffectBase::AddChannels(int numInputs, int numOutputs) {
    for (int i = 0; i < numInputs; ++i) {
        InputChannel* channel = new InputChannel();
        channel->mSlot = mInputPointers.Count();
        mInputPointers.Add(nullptr);
        mInputChannels.Add(channel);
    }
    for (int i = 0; i < numOutputs; ++i) {
        OutputChannel* channel = new OutputChannel();
        channel->mSlot = mOutputPointers.Count();
        mOutputPointers.Add(nullptr);
        mOutputChannels.Add(channel);
    }
}

// ---- plug-in hooks ----

void IEffectBase::Reset() { ILockGuard guard(mLock); }

void IEffectBase::OnParameterChange(int /*index*/) { ILockGuard guard(mLock); }

void IEffectBase::OnActivate(bool /*active*/) { ILockGuard guard(mLock); }

void IEffectBase::ProcessBlock(double** inputs, double** outputs, int frames) {
    if (!inputs || !outputs) return;
    int numIn = NumInputs(), numOut = NumOutputs();
    for (int c = 0; c < numOut; ++c) {
        if (c < numIn)
            std::memmove(outputs[c], inputs[c], sizeof(double) * static_cast<size_t>(frames));
        else
            std::memset(outputs[c], 0, sizeof(double) * static_cast<size_t>(frames));
    }
}

void IEffectBase::ProcessMidiMessage(const IMidiMessage* message) { SendMidiMessage(message); }

bool IEffectBase::NoteNameFor(int /*note*/, char* text) {
    if (text) text[0] = 0;
    return false;
}

void IEffectBase::AppendVariadicValues(StateChunk* chunk, va_list args) {
    for (int i = 0; i < mParameters.Count(); ++i) {
        ParameterKind kind = mParameters[i]->Kind();
        double value =
            kind == KindBool || kind == KindInt || kind == KindEnum ? va_arg(args, int) : va_arg(args, double);
        chunk->AppendDouble(value);
    }
}

void IEffectBase::AppendValues(StateChunk* chunk, ...) {
    va_list args;
    va_start(args, chunk);
    AppendVariadicValues(chunk, args);
    va_end(args);
}

// ---- parameters ----

IParameter* IEffectBase::AddParameter() {
    IParameter* param = new IParameter();
    if (!mParameters.Add(param)) {
        delete param;
        return nullptr;
    }
    return param;
}

void IEffectBase::SetParameterFromHost(int index, double normalized) {
    ILockGuard guard(mLock);
    IParameter* param = Param(index);
    if (!param) return;
    if (mpGraphics) mpGraphics->SetParameterFromPlug(index, normalized, true);
    param->SetFromNormalized(normalized);
    OnParameterChange(index);
}

void IEffectBase::SetParameterFromGUI(int index, double normalized) {
    ILockGuard guard(mLock);
    TRACE("IEffectBase::SetParameterFromGUI", "%d:%f", index, normalized);
    IParameter* param = Param(index);
    if (!param) return;
    param->SetFromNormalized(normalized);
    InformHostOfParamChange(index, normalized);
    OnParameterChange(index);
}

void IEffectBase::PushParamsToControls() {
    if (!mpGraphics) return;
    for (int i = 0; i < mParameters.Count(); ++i) mpGraphics->SetParameterFromPlug(i, mParameters[i]->Value(), false);
}

void IEffectBase::ResetAllParams() {
    for (int i = 0; i < mParameters.Count(); ++i) OnParameterChange(i);
}

void IEffectBase::AttachEditorGraphics(IEffectEditor* graphics) {
    if (!graphics) return;
    ILockGuard guard(mLock);
    for (int i = 0; i < mParameters.Count(); ++i)
        graphics->SetParameterFromPlug(i, mParameters[i]->GetNormalized(), true);
    delete mpGraphics;  // a second editor replaces the first
    mpGraphics = graphics;
    mEditorPrepared = false;
}

bool IEffectBase::PrepareEditor() {
    ILockGuard guard(mLock);
    if (!mpGraphics) return false;
    if (!mEditorPrepared) mpGraphics->PrepareDraw();
    mEditorPrepared = true;
    return true;
}

// ---- state ----

bool IEffectBase::SerializeParams(StateChunk* chunk) {
    ILockGuard guard(mLock);
    bool ok = true;
    for (int i = 0; i < mNumHostParameters; ++i)
        ok = chunk->AppendDouble(mParameters[i]->Value()) && chunk->Size() > 0 && ok;
    return ok;
}

int IEffectBase::UnserializeParams(const StateChunk* chunk, int startPos) {
    ILockGuard guard(mLock);
    int pos = startPos;
    for (int i = 0; i < mNumHostParameters && pos >= 0; ++i) {
        IParameter* param = mParameters[i];
        TRACE("IEffectBase::UnserializeParams", "%d %s", i, param->Name());
        double value = 0.0;
        if (chunk->ReadDouble(pos, &value))
            pos += 8;
        else
            pos = -1;
        param->SetClamped(value);
    }
    for (int i = 0; i < mParameters.Count(); ++i) OnParameterChange(i);
    return pos;
}

void IEffectBase::WriteChunkHeader(StateChunk* chunk) {
    chunk->Clear();
    chunk->AppendInt32(CHUNK_TAG);
    chunk->AppendInt32(CHUNK_VERSION);
}

int IEffectBase::ReadChunkHeader(const StateChunk* chunk, int32_t* version) {
    int32_t tag = 0, v = 0;
    if (version) *version = 0;
    if (!chunk->ReadInt32(0, &tag) || tag != CHUNK_TAG) return 0;
    if (!chunk->ReadInt32(4, &v)) return -1;
    if (version) *version = v;
    return CHUNK_HEADER_SIZE;
}

// ---- program slots ----

bool IEffectBase::SelectPreset(int index) {
    PresetSlot* slot = mPresetSlots.At(index) ? mPresetSlots[index] : nullptr;
    if (!slot) return false;
    bool ok;
    if (slot->mInitialized) {
        ok = UnserializeParams(&slot->mState, 0) > 0;
    } else {
        slot->mInitialized = true;
        NextUserPresetName(slot->mName, sizeof slot->mName);
        ok = SerializeParams(&slot->mState);
    }
    if (ok) {
        mCurrentPreset = index;
        PushParamsToControls();
    }
    return ok;
}

void IEffectBase::CaptureCurrentPreset(const char* name) {
    PresetSlot* slot = mPresetSlots.At(mCurrentPreset) ? mPresetSlots[mCurrentPreset] : nullptr;
    if (!slot) return;
    slot->mState.Clear();
    SerializeParams(&slot->mState);
    if (name && name[0]) std::snprintf(slot->mName, sizeof slot->mName, "%s", name);
}

const char* IEffectBase::PresetName(int index) { return mPresetSlots.At(index) ? mPresetSlots[index]->mName : ""; }

void IEffectBase::MakeDefaultSlotIfNone() {
    if (mPresetSlots.Count() > 0) return;
    PresetSlot* slot = new PresetSlot();
    std::snprintf(slot->mName, sizeof slot->mName, "- %d -", 1);
    mPresetSlots.Add(slot);
    slot->mInitialized = true;
    std::snprintf(slot->mName, sizeof slot->mName, "Default");
    SerializeParams(&slot->mState);
}

void IEffectBase::NextUserPresetName(char* name, int size) {
    int count = 0;
    for (int i = 0; i < mPresetSlots.Count(); ++i)
        if (std::strstr(mPresetSlots[i]->mName, "user preset")) ++count;
    std::snprintf(name, static_cast<size_t>(size), "%s %d", "user preset", count + 1);
}

// ---- channels and audio ----

bool IEffectBase::LegalIO(int inputs, int outputs) {
    bool legal = false;
    for (int i = 0; i < mChannelConfigs.Count() && !legal; ++i) {
        const ChannelConfig& config = mChannelConfigs[i];
        legal = (inputs < 0 || inputs == config.mNumInputs) && (outputs < 0 || outputs == config.mNumOutputs);
    }
    TRACE("IEffectBase::LegalIO", "%d:%d:%s", inputs, outputs, legal ? "legal" : "illegal");
    return legal;
}

void IEffectBase::SetMaxBlockSize(int frames) {
    // Longer host blocks run in slices of this size, so it is never below one frame.
    if (frames < 1 || frames == mBlockSize) return;
    if (MidiOnly()) {
        mBlockSize = frames;  // the slice length; no samples pass through this plug-in
        return;
    }
    // Every channel's scratch must hold the new size before it counts: when one cannot
    // grow (no memory, or a byte count beyond int), the others go back to the old size.
    const int numInputs = mInputChannels.Count(), numChannels = numInputs + mOutputChannels.Count();
    auto scratchOf = [&](int i) -> GrowArray<double>& {
        return i < numInputs ? mInputChannels[i]->mScratch : mOutputChannels[i - numInputs]->mScratch;
    };
    for (int i = 0; i < numChannels; ++i) {
        if (scratchOf(i).Resize(frames)) continue;
        for (int j = 0; j < i; ++j) scratchOf(j).Resize(mBlockSize);
        return;
    }
    for (int i = 0; i < numChannels; ++i)
        std::memset(scratchOf(i).Data(), 0, sizeof(double) * static_cast<size_t>(frames));
    for (int i = 0; i < numInputs; ++i) mInputChannels[i]->mScratchHoldsSamples = false;
    mBlockSize = frames;
}

void IEffectBase::SetInputConnections(int first, int count, bool connected) {
    const int64_t end = static_cast<int64_t>(first) + count;  // any two ints, no overflow
    for (int i = first < 0 ? 0 : first; i < end && i < mInputChannels.Count(); ++i) {
        InputChannel* channel = mInputChannels[i];
        channel->mConnected = connected;
        if (connected) continue;
        ClearStaleScratch(channel);
        mInputPointers[channel->mSlot] = channel->mScratch.Data();
    }
}

void IEffectBase::ClearStaleScratch(InputChannel* channel) {
    if (!channel->mScratchHoldsSamples) return;
    std::memset(channel->mScratch.Data(), 0, sizeof(double) * static_cast<size_t>(channel->mScratch.Count()));
    channel->mScratchHoldsSamples = false;
}

void IEffectBase::SetOutputConnections(int first, int count, bool connected) {
    const int64_t end = static_cast<int64_t>(first) + count;
    for (int i = first < 0 ? 0 : first; i < end && i < mOutputChannels.Count(); ++i) {
        OutputChannel* channel = mOutputChannels[i];
        channel->mConnected = connected;
        if (!connected) mOutputPointers[channel->mSlot] = channel->mScratch.Data();
    }
}

// A host that sends fewer buffers than the plug-in has channels (or none) gets
// the remaining channels on their scratch buffers, so nothing reads a null pointer.
void IEffectBase::AttachInputBuffers(double** inputs, int first) {
    int next = 0;
    for (int i = 0; i < mInputChannels.Count(); ++i) {
        InputChannel* channel = mInputChannels[i];
        double* buffer = channel->mConnected && inputs ? inputs[next++] : nullptr;
        if (!buffer) ClearStaleScratch(channel);
        mInputPointers[channel->mSlot] = buffer ? buffer + first : channel->mScratch.Data();
    }
}

void IEffectBase::AttachInputBuffers(float** inputs, int frames, int first) {
    int next = 0;
    for (int i = 0; i < mInputChannels.Count(); ++i) {
        InputChannel* channel = mInputChannels[i];
        double* scratch = channel->mScratch.Data();
        const float* source = channel->mConnected && inputs ? inputs[next++] : nullptr;
        if (source) {
            for (int f = 0; f < frames; ++f) scratch[f] = source[first + f];
            channel->mScratchHoldsSamples = true;
        } else {
            ClearStaleScratch(channel);
        }
        mInputPointers[channel->mSlot] = scratch;
    }
}

void IEffectBase::AttachOutputBuffers(double** outputs, int first) {
    int next = 0;
    for (int i = 0; i < mOutputChannels.Count(); ++i) {
        OutputChannel* channel = mOutputChannels[i];
        double* buffer = channel->mConnected && outputs ? outputs[next++] : nullptr;
        mOutputPointers[channel->mSlot] = buffer ? buffer + first : channel->mScratch.Data();
        channel->mpFloatDest = nullptr;
    }
}

void IEffectBase::AttachOutputBuffers(float** outputs, int first) {
    int next = 0;
    for (int i = 0; i < mOutputChannels.Count(); ++i) {
        OutputChannel* channel = mOutputChannels[i];
        mOutputPointers[channel->mSlot] = channel->mScratch.Data();
        float* dest = channel->mConnected && outputs ? outputs[next++] : nullptr;
        channel->mpFloatDest = dest ? dest + first : nullptr;
    }
}

void IEffectBase::ProcessBuffersDouble(int frames) {
    ProcessBlock(mInputPointers.Data(), mOutputPointers.Data(), frames);
}

void IEffectBase::ProcessBuffersFloat(int frames, bool accumulate) {
    ProcessBlock(mInputPointers.Data(), mOutputPointers.Data(), frames);
    for (int i = 0; i < mOutputChannels.Count(); ++i) {
        OutputChannel* channel = mOutputChannels[i];
        if (!channel->mConnected || !channel->mpFloatDest) continue;
        const double* source = mOutputPointers[channel->mSlot];
        float* dest = channel->mpFloatDest;
        if (accumulate)
            for (int f = 0; f < frames; ++f) dest[f] += static_cast<float>(source[f]);
        else
            for (int f = 0; f < frames; ++f) dest[f] = static_cast<float>(source[f]);
    }
}

namespace {
template <typename Sample>
void ZeroConnected(const GrowArray<OutputChannel*>& channels, Sample** outputs, int frames) {
    if (!outputs) return;
    OutputChannel* const* channel = channels.Data();
    const size_t bytes = sizeof(Sample) * static_cast<size_t>(frames);
    for (int i = 0, count = channels.Count(), next = 0; i < count; ++i) {
        if (!channel[i]->mConnected) continue;
        if (Sample* buffer = outputs[next++]) std::memset(buffer, 0, bytes);
    }
}
}  // namespace

// The same buffers, in the same order, that attaching the outputs would write to.
void IEffectBase::SilenceOutputs(float** outputs, int frames) { ZeroConnected(mOutputChannels, outputs, frames); }
void IEffectBase::SilenceOutputs(double** outputs, int frames) { ZeroConnected(mOutputChannels, outputs, frames); }

void IEffectBase::DisconnectExtraInputsConnectExtraOutputs() {
    SetInputConnections(2, NumInputs() - 2, false);
    SetOutputConnections(2, NumOutputs() - 2, true);
}

void IEffectBase::AddStereoPairIfNoChannels() {
    if (NumInputs() > 0 || NumOutputs() > 0) return;
    mChannelConfigs.Add(ChannelConfig{2, 2});
    AddChannels(2, 2);
    if (mBlockSize) {
        int frames = mBlockSize;
        mBlockSize = 0;  // force the new channels' scratch to be sized
        SetMaxBlockSize(frames);
    }
    SetInputConnections(0, 2, true);
    SetOutputConnections(0, 2, true);
}

// ---- host information ----

void IEffectBase::SetHost(const char* hostName, int32_t version) {
    mHostId = HostIdFromName(hostName);
    mHostVersion = version;
    char versionText[32];
    std::snprintf(versionText, sizeof versionText, "v%d.%02d", static_cast<int>(static_cast<uint32_t>(version) >> 16),
                  (version >> 8) & 0xFF);
    TRACE("IEffectBase::SetHost", "host_%sknown:%s:%s", mHostId == HostUnknown ? "un" : "", hostName, versionText);
}

int32_t IEffectBase::GetPluginVersion(bool decimal) const {
    if (!decimal) return mVendorVersion;
    int32_t major = mVendorVersion >> 16, minor = (mVendorVersion >> 8) & 0xFF, patch = mVendorVersion & 0xFF;
    return major * 10000 + minor * 100 + patch;
}
