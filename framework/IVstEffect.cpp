#include "framework/IVstEffect.h"

#include <cstdio>
#include <cstring>

#include "framework/HostId.h"
#include "framework/Numbers.h"
#include "framework/TextCopy.h"
#include "framework/Trace.h"

using namespace vst2;

namespace {
IVstEffect* ObjectOf(AEffect* effect) { return effect ? static_cast<IVstEffect*>(effect->object) : nullptr; }

// What the transport queries ask the host for, and what makes its answer usable.
constexpr int32_t TRANSPORT_MASK =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

// Hosts' text buffers are larger than the interface promises for parameter
// texts; ours never exceed this.
constexpr size_t HOST_TEXT_SIZE = 64;

// The editor's key for what a host passes with effEditKeyDown: a key code, or just a
// character (hosts differ in which they fill in).
IEditKey EditKeyForHostKey(int32_t character, intptr_t virtualKey, char* outCharacter) {
    *outCharacter = 0;
    switch (virtualKey) {
    case VKEY_BACK: return EditKeyBackspace;
    case VKEY_TAB: return EditKeyTab;
    case VKEY_RETURN:
    case VKEY_ENTER: return EditKeyReturn;
    case VKEY_ESCAPE: return EditKeyEscape;
    case VKEY_END: return EditKeyEnd;
    case VKEY_HOME: return EditKeyHome;
    case VKEY_LEFT: return EditKeyLeft;
    case VKEY_UP: return EditKeyUp;
    case VKEY_RIGHT: return EditKeyRight;
    case VKEY_DOWN: return EditKeyDown;
    case VKEY_PAGEUP: return EditKeyPageUp;
    case VKEY_PAGEDOWN: return EditKeyPageDown;
    case VKEY_DELETE: return EditKeyDelete;
    case VKEY_SPACE: character = ' '; break;
    case VKEY_SUBTRACT: character = '-'; break;
    case VKEY_DECIMAL: character = '.'; break;
    default:
        if (virtualKey >= VKEY_NUMPAD0 && virtualKey <= VKEY_NUMPAD0 + 9)
            character = '0' + int32_t(virtualKey - VKEY_NUMPAD0);
        break;
    }
    if (character < 0x20 || character > 0x7E) return EditKeyNone;
    *outCharacter = static_cast<char>(character);
    return EditKeyCharacter;
}

int32_t ArrangementFor(int channels) {
    switch (channels) {
    case 0: return kSpeakerArrEmpty;
    case 1: return kSpeakerArrMono;
    case 2: return kSpeakerArrStereo;
    default: return kSpeakerArrUserDefined;
    }
}
}  // namespace

IVstEffect::IVstEffect(HostCallback hostCallback, int numParams, const char* channelIOStr, int numPresets,
                       const char* effectName, const char* productName, const char* vendorName, int32_t vendorVersion,
                       int32_t uniqueId, int32_t vendorId, int32_t latency, bool usesMidi, bool usesChunks,
                       bool isInstrument, AudioUse audioUse)
    : IEffectBase(numParams, channelIOStr, numPresets, effectName, productName, vendorName, vendorVersion, uniqueId,
                  vendorId, latency, usesMidi, usesChunks, isInstrument, audioUse),
      mHostCallback(hostCallback),
      mUsesMidi(usesMidi) {
    TRACE("IVstEffect::IVstEffect", "%s", effectName);
    std::memset(&mEffect, 0, sizeof mEffect);
    mEffect.magic = kEffectMagic;
    mEffect.dispatcher = &IVstEffect::VSTDispatcher;
    mEffect.process = &IVstEffect::VSTProcessAccumulating;
    mEffect.setParameter = &IVstEffect::VSTSetParameter;
    mEffect.getParameter = &IVstEffect::VSTGetParameter;
    mEffect.numPrograms = NumPresets();
    mEffect.numParams = numParams;
    mEffect.numInputs = NumInputs();
    mEffect.numOutputs = NumOutputs();
    mEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    if (usesChunks) mEffect.flags |= effFlagsProgramChunks;
    if (LegalIO(1, -1)) mEffect.flags |= effFlagsCanMono;
    if (isInstrument) mEffect.flags |= effFlagsIsSynth;
    mEffect.initialDelay = latency;
    mEffect.ioRatio = 1.0f;
    mEffect.object = this;
    mEffect.uniqueID = uniqueId;
    mEffect.version = GetPluginVersion(true);
    mEffect.processReplacing = &IVstEffect::VSTProcessFloat;
    mEffect.processDoubleReplacing = &IVstEffect::VSTProcessDouble;

    mInputArrangement.numChannels = NumInputs();
    mInputArrangement.type = ArrangementFor(NumInputs());
    mOutputArrangement.numChannels = NumOutputs();
    mOutputArrangement.type = ArrangementFor(NumOutputs());

    SetInputConnections(0, NumInputs(), true);
    SetOutputConnections(0, NumOutputs(), true);
    SetMaxBlockSize(1024);
}

IVstEffect::~IVstEffect() {
    // The host must not reach us through a stale record after effClose.
    mEffect.object = nullptr;
}

intptr_t IVstEffect::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return mHostCallback ? mHostCallback(&mEffect, opcode, index, value, ptr, opt) : 0;
}

// ---- host binding ----

void IVstEffect::BeginInformHostOfParamChange(int paramIdx) { CallHost(audioMasterBeginEdit, paramIdx); }

void IVstEffect::InformHostOfParamChange(int paramIdx, double normalized) {
    CallHost(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalized));
}

void IVstEffect::EndInformHostOfParamChange(int paramIdx) { CallHost(audioMasterEndEdit, paramIdx); }

VstTimeInfo* IVstEffect::GetTimeInfo(int32_t mask) {
    return reinterpret_cast<VstTimeInfo*>(CallHost(audioMasterGetTime, 0, mask));
}

int IVstEffect::GetHostSamplePos() {
    VstTimeInfo* info = GetTimeInfo(0);
    if (info && info->samplePos >= 0.0) return TruncToInt32(info->samplePos + mSliceStart + 0.5);
    return 0;
}

double IVstEffect::GetHostTempo() {
    if (!mHostCallback) return 0.0;
    VstTimeInfo* info = GetTimeInfo(kVstTempoValid);
    if (info && (info->flags & kVstTempoValid) && info->tempo >= 0.0) return info->tempo;
    return 0.0;
}

void IVstEffect::GetHostTimeSig(int* numerator, int* denominator) {
    *numerator = 0;
    *denominator = 0;
    VstTimeInfo* info = GetTimeInfo(kVstTimeSigValid);
    if (info && (info->flags & kVstTimeSigValid) && info->timeSigNumerator >= 0 && info->timeSigDenominator >= 0) {
        *numerator = info->timeSigNumerator;
        *denominator = info->timeSigDenominator;
    }
}

void IVstEffect::GetTransportTime(double* samplePos, double* tempo, double* ppqPos, double* barStartPos, int* numerator,
                                  int* denominator, double* cycleStart, double* cycleEnd, bool* playing,
                                  bool* cycleActive) {
    *samplePos = -1.0;
    *tempo = 120.0;
    *ppqPos = -1.0;
    *barStartPos = -1.0;
    *cycleStart = -1.0;
    *cycleEnd = -1.0;
    *numerator = 4;
    *denominator = 4;
    VstTimeInfo* info = GetTimeInfo(TRANSPORT_MASK);
    if (!info || !(info->flags & TRANSPORT_MASK)) return;
    *samplePos = info->samplePos + mSliceStart;  // a slice of a long block starts later
    if ((info->flags & kVstTempoValid) && info->tempo > 0.0) *tempo = info->tempo;
    if ((info->flags & kVstPpqPosValid) && info->ppqPos >= 0.0) {
        // The musical position moves on with the slice too, at the block's tempo.
        const double rate = SampleRate();
        *ppqPos = info->ppqPos + (rate > 0.0 ? mSliceStart * *tempo / (60.0 * rate) : 0.0);
    }
    if ((info->flags & kVstBarsValid) && info->barStartPos >= 0.0) *barStartPos = info->barStartPos;
    if ((info->flags & kVstCyclePosValid) && info->cycleStartPos >= 0.0 && info->cycleEndPos >= 0.0) {
        *cycleStart = info->cycleStartPos;
        *cycleEnd = info->cycleEndPos;
    }
    if ((info->flags & kVstTimeSigValid) && info->timeSigNumerator > 0 && info->timeSigDenominator > 0) {
        *numerator = info->timeSigNumerator;
        *denominator = info->timeSigDenominator;
    }
    *playing = (info->flags & kVstTransportPlaying) != 0;
    *cycleActive = (info->flags & kVstTransportCycleActive) != 0;
}

void IVstEffect::GetPlayState(double* samplePos, double* tempo, bool* playing) {
    *samplePos = -1.0;
    *tempo = 120.0;
    VstTimeInfo* info = GetTimeInfo(TRANSPORT_MASK);
    if (!info || !(info->flags & TRANSPORT_MASK)) return;
    *samplePos = info->samplePos + mSliceStart;
    if ((info->flags & kVstTempoValid) && info->tempo > 0.0) *tempo = info->tempo;
    *playing = (info->flags & kVstTransportPlaying) != 0;
}

int IVstEffect::IdentifyHost() {
    if (mHostId != -1) return mHostId;
    char product[256] = {};
    CallHost(audioMasterGetProductString, 0, 0, product);
    product[sizeof product - 1] = 0;
    int32_t version = 0;
    if (product[0]) {
        // Decimal digits to 0xMMMMmmpp; unsigned, so a negative or huge report wraps instead of overflowing.
        const int32_t v = static_cast<int32_t>(CallHost(audioMasterGetVendorVersion));
        const uint32_t major = static_cast<uint32_t>(v / 10000), minor = static_cast<uint32_t>((v % 10000) / 100),
                       patch = static_cast<uint32_t>(v % 100);
        version = static_cast<int32_t>((major << 16) + (minor << 8) + patch);
    }
    SetHost(product, version);
    return mHostId;
}

void IVstEffect::ResizeGraphics(int /*width*/, int /*height*/) {
    if (!mpGraphics) return;
    mEditorRect = ERect{0, 0, static_cast<int16_t>(mpGraphics->Height()), static_cast<int16_t>(mpGraphics->Width())};
}

void IVstEffect::PublishChannelCounts() {
    mInputArrangement.numChannels = NumInputs();
    mOutputArrangement.numChannels = NumOutputs();
    mEffect.numInputs = NumInputs();
    mEffect.numOutputs = NumOutputs();
}

void IVstEffect::ApplyHostQuirks() {
    if (mQuirksApplied) return;
    mQuirksApplied = true;
    int host = IdentifyHost();
    bool extraChannels = host == HostForte || host == HostAudition || host == HostOrion || host == HostSawStudio;
    if (extraChannels) DisconnectExtraInputsConnectExtraOutputs();
    if (extraChannels || host == HostCakewalk || host == HostLive) AddStereoPairIfNoChannels();
    PublishChannelCounts();
}

void IVstEffect::AttachEditorGraphics(IEffectEditor* graphics) {
    if (!graphics) return;
    IEffectBase::AttachEditorGraphics(graphics);
    mEffect.flags |= effFlagsHasEditor;
    ResizeGraphics(graphics->Width(), graphics->Height());
}

void IVstEffect::SetLatencySamples(int samples) {
    mEffect.initialDelay = samples;
    IEffectBase::SetLatencySamples(samples);
}

bool IVstEffect::SendMidiMessage(const IMidiMessage* message) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = message->mSampleOffset + mSliceStart;  // back into the host's block
    event.midiData[0] = static_cast<char>(message->mStatus);
    event.midiData[1] = static_cast<char>(message->mData1);
    event.midiData[2] = static_cast<char>(message->mData2);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IVstEffect::SendMidiMessages(const IMidiMessage* messages, int count) {
    bool all = true;
    for (int i = 0; i < count; ++i) all = SendMidiMessage(&messages[i]) && all;
    return all;
}

// ---- events and chunks ----

void IVstEffect::ProcessEvents(const VstEvents* events) {
    // The record declares two slots and hosts allocate it longer: reach the entries
    // through a pointer, not by indexing the declared array past its end.
    VstEvent* const* list = events->events;
    for (int i = 0; i < events->numEvents; ++i) {
        VstEvent* event = list[i];
        if (!event) continue;
        if (event->type != kVstMidiType) {
            ForwardHostEvent(event);
            continue;
        }
        const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
        IMidiMessage message;
        // Offsets count from the block start; an earlier one cannot be honoured.
        message.mSampleOffset = midi->deltaFrames > 0 ? midi->deltaFrames : 0;
        message.mStatus = static_cast<uint8_t>(midi->midiData[0]);
        message.mData1 = static_cast<uint8_t>(midi->midiData[1]);
        message.mData2 = static_cast<uint8_t>(midi->midiData[2]);
        ProcessMidiMessage(&message);
    }
}

void IVstEffect::ForwardHostEvent(VstEvent* event) {
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = event;
    CallHost(audioMasterProcessEvents, 0, 0, &events);
}

intptr_t IVstEffect::GetChunk(bool isBank, void** data) {
    StateChunk& chunk = isBank ? mBankChunk : mProgramChunk;
    WriteChunkHeader(&chunk);
    if (isBank) CaptureCurrentPreset();
    if (WriteState(&chunk) && chunk.Size() > 0) {
        *data = chunk.Data();
        return chunk.Size();
    }
    return 0;
}

intptr_t IVstEffect::SetChunk(bool isBank, const void* data, intptr_t size) {
    // A size the buffer cannot hold is refused before anything changes.
    if (size < 0 || size > 0x7FFFFFFF) return 0;
    StateChunk& chunk = isBank ? mBankChunk : mProgramChunk;
    if (!chunk.Resize(static_cast<int>(size))) return 0;
    if (size > 0) std::memcpy(chunk.Data(), data, static_cast<size_t>(size));
    int32_t version = 0;
    int pos = ReadChunkHeader(&chunk, &version);
    pos = ReadState(&chunk, pos);
    if (!(isBank && version >= CHUNK_VERSION)) CaptureCurrentPreset();
    if (pos < 0) return 0;
    PushParamsToControls();
    return 1;
}

intptr_t IVstEffect::CanDo(const char* text) {
    TRACE("IVstEffect::VSTDispatcher", "VSTCanDo(%s)", text);
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
    if (mUsesMidi) {
        static const char* const MIDI_CAN_DOS[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                                   "receiveVstMidiEvent"};
        for (const char* canDo : MIDI_CAN_DOS)
            if (std::strcmp(text, canDo) == 0) return 1;
    }
    return 0;
}

intptr_t IVstEffect::PinProperties(VstPinProperties* pin, int index, int count, const char* labelFormat) {
    if (!pin || index < 0 || index >= count) return 0;
    pin->flags = kVstPinIsActive;
    // Channels pair up (0, 1), (2, 3)...; the last of an odd count stands alone.
    if (index % 2 == 0 && index < count - 1) pin->flags |= kVstPinIsStereo;
    std::snprintf(pin->label, sizeof pin->label, labelFormat, index + 1);
    return 1;
}

// ---- dispatcher ----

intptr_t IVstEffect::VSTDispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                   float opt) {
    IVstEffect* plug = ObjectOf(effect);
    if (!plug) return 0;
    if (opcode == effClose) {
        TRACE("IVstEffect::VSTDispatcher", "%d(%s):%d:%d", opcode, OpcodeName(opcode), index, static_cast<int>(value));
        // Take and leave the lock so no other call is still inside, then go.
        plug->mLock.Enter();
        plug->mLock.Leave();
        delete plug;
        return 0;
    }
    if (opcode == effEditIdle) {
        // The editor's events and redraws run without the lock, as a system timer's
        // would: a repaint never holds up an audio block, and every change the editor
        // makes takes the lock itself.
        if (plug->mpGraphics) plug->mpGraphics->Idle();
        return 0;
    }
    ILockGuard guard(plug->mLock);
    return plug->Dispatch(opcode, index, value, ptr, opt);
}

intptr_t IVstEffect::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    if (opcode == effEditIdle || opcode == effIdle) return 0;
    TRACE("IVstEffect::VSTDispatcher", "%d(%s):%d:%d", opcode, OpcodeName(opcode), index, static_cast<int>(value));
    IParameter* param = Param(index);

    switch (opcode) {
    case effOpen:
        ApplyHostQuirks();
        ResetAllParams();
        return 0;
    case effSetProgram:
        if (!mUsesChunks) CaptureCurrentPreset();
        SelectPreset(static_cast<int>(value));
        return 0;
    case effGetProgram: return mCurrentPreset;
    case effSetProgramName:
        if (ptr) {
            // Hosts may hand an unterminated buffer of the promised length.
            char name[kVstMaxProgNameLen + 1] = {};
            std::memcpy(name, ptr, strnlen(static_cast<const char*>(ptr), kVstMaxProgNameLen));
            CaptureCurrentPreset(name);
        }
        return 0;
    case effGetProgramName:
        if (ptr) CopyTerminated(ptr, PresetName(mCurrentPreset), kVstMaxProgNameLen);
        return 0;
    case effGetParamLabel:
        if (param && ptr) CopyTerminated(ptr, param->Label(), HOST_TEXT_SIZE);
        return 0;
    case effGetParamDisplay:
        if (param && ptr) {
            char text[PARAM_DISPLAY_SIZE];
            param->FormatValue(param->Value(), false, text);
            CopyTerminated(ptr, text, HOST_TEXT_SIZE);
        }
        return 0;
    case effGetParamName:
        if (param && ptr) CopyTerminated(ptr, param->Name(), HOST_TEXT_SIZE);
        return 0;
    case effSetSampleRate:
        SetSampleRate(opt);
        Reset();
        return 0;
    case effSetBlockSize:
        // Scratch buffers beyond 2^24 frames are no block size a host means.
        SetMaxBlockSize(value < 0 ? 0 : value > (1 << 24) ? (1 << 24) : static_cast<int>(value));
        Reset();
        return 0;
    case effMainsChanged:
        OnActivate(value != 0);
        if (value == 0) Reset();
        return 0;
    case effEditGetRect:
        if (ptr && mpGraphics) {
            *static_cast<ERect**>(ptr) = &mEditorRect;
            return 1;
        }
        return 0;
    case effEditOpen:
        // An editor whose pictures cannot be had shows no window.
        if (mpGraphics && PrepareEditor() && mpGraphics->OpenWindow(ptr)) {
            OnEditorOpened();
            return 1;
        }
        return 0;
    case effEditClose:
        if (!mpGraphics) return 0;
        OnEditorClosed();
        mpGraphics->CloseWindow();
        return 1;
    case effEditKeyDown:
    case effEditKeyUp: {
        // Taken only while the editor wants the keyboard, so host shortcuts keep working.
        char character = 0;
        IEditKey key = EditKeyForHostKey(index, value, &character);
        return mpGraphics && key != EditKeyNone && mpGraphics->HostKey(key, character, opcode == effEditKeyDown);
    }
    case effIdentify: return 0x4E764566;  // 'NvEf'
    case effGetChunk: return ptr ? GetChunk(index == 0, static_cast<void**>(ptr)) : 0;
    case effSetChunk: return ptr ? SetChunk(index == 0, ptr, value) : 0;
    case effProcessEvents:
        if (!ptr) return 0;
        ProcessEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case effCanBeAutomated: return 1;
    case effGetProgramNameIndexed: {
        if (!ptr) return 0;
        const char* name = PresetName(index);
        CopyTerminated(ptr, name, kVstMaxProgNameLen);
        return name[0] ? 1 : 0;
    }
    case effGetInputProperties:
        return PinProperties(static_cast<VstPinProperties*>(ptr), index, NumInputs(), "Input %d");
    case effGetOutputProperties:
        return PinProperties(static_cast<VstPinProperties*>(ptr), index, NumOutputs(), "Output %d");
    case effGetPlugCategory: return mIsInstrument ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement: {
        auto* in = reinterpret_cast<const VstSpeakerArrangement*>(value);
        auto* out = static_cast<const VstSpeakerArrangement*>(ptr);
        // Counts beyond the plug-in's channels connect them all.
        if (in) {
            const int n = Clamp(in->numChannels, 0, NumInputs());
            SetInputConnections(0, n, true);
            SetInputConnections(n, NumInputs() - n, false);
        }
        if (out) {
            const int n = Clamp(out->numChannels, 0, NumOutputs());
            SetOutputConnections(0, n, true);
            SetOutputConnections(n, NumOutputs() - n, false);
        }
        return 1;
    }
    case effGetEffectName:
        if (!ptr) return 0;
        CopyTerminated(ptr, mPluginName, kVstMaxEffectNameLen);
        return 1;
    case effGetVendorString:
        if (!ptr) return 0;
        CopyTerminated(ptr, mVendorString, kVstMaxVendorStrLen);
        return 1;
    case effGetProductString:
        if (!ptr) return 0;
        CopyTerminated(ptr, mProductString, kVstMaxProductStrLen);
        return 1;
    case effVendorSpecific:
        if (index != 7 || !ptr) return 0;
        if (IParameter* shown = Param(static_cast<int>(value))) {
            char text[PARAM_DISPLAY_SIZE];
            shown->FormatValue(opt, true, text);
            CopyTerminated(ptr, text, HOST_TEXT_SIZE);
        }
        return 0xBEEF;
    case effCanDo: return ptr ? CanDo(static_cast<const char*>(ptr)) : 0;
    case effGetVstVersion: return 2400;
    case effGetMidiKeyName: {
        if (!ptr) return 0;
        auto* key = static_cast<MidiKeyName*>(ptr);
        key->keyName[0] = 0;
        return NoteNameFor(key->thisKeyNumber, key->keyName) ? 1 : 0;
    }
    case effGetSpeakerArrangement:
        if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputArrangement;
        if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputArrangement;
        return 1;
    default: return 0;
    }
}

// ---- parameters ----

float IVstEffect::VSTGetParameter(AEffect* effect, int32_t index) {
    IVstEffect* plug = ObjectOf(effect);
    if (!plug) return 0.0f;
    ILockGuard guard(plug->mLock);
    TRACE("IVstEffect::VSTGetParameter", "%d", index);
    IParameter* param = plug->Param(index);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
}

void IVstEffect::VSTSetParameter(AEffect* effect, int32_t index, float value) {
    IVstEffect* plug = ObjectOf(effect);
    if (!plug) return;
    TRACE("IVstEffect::VSTSetParameter", "%d:%f", index, value);
    plug->SetParameterFromHost(index, value);  // takes the lock, once for the whole change
}

// ---- processing ----

inline bool IVstEffect::PrepareBlock(int frames) {
    if (mUsesMidi) CallHost(audioMasterWantMidi);
    return frames >= 0 && mBlockSize > 0;
}

// A host block longer than the size it announced runs in slices of that size, so the
// audio thread never allocates. The plug-in sees each slice as a block of its own: the
// transport's sample position moves on with the slice and the events it sends are
// placed back into the host's block, so MIDI timing stays exact across the whole block.
template <typename Run>
void IVstEffect::RunInSlices(int frames, Run run) {
    if (frames <= mBlockSize) {  // the usual block: one slice, starting where the host's does
        run(0, frames);
        return;
    }
    // Counts what is left, so a block near INT_MAX frames never steps past it.
    for (int first = 0, left = frames; left > 0;) {
        const int length = left < mBlockSize ? left : mBlockSize;
        mSliceStart = first;
        run(first, length);
        first += length;
        left -= length;
    }
    mSliceStart = 0;
}

void IVstEffect::ProcessFloatBlock(float** inputs, float** outputs, int frames, bool accumulate) {
    ILockGuard guard(mLock);
    if (!PrepareBlock(frames)) return;
    if (MidiOnly()) {
        // The host gets silence: written once for the whole block, and adding it changes nothing.
        if (!accumulate) SilenceOutputs(outputs, frames);
        RunInSlices(frames, [this](int, int length) { ProcessWithoutBuffers(length); });
        return;
    }
    RunInSlices(frames, [&](int first, int length) {
        AttachInputBuffers(inputs, length, first);
        AttachOutputBuffers(outputs, first);
        ProcessBuffersFloat(length, accumulate);
    });
}

void IVstEffect::VSTProcessAccumulating(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (IVstEffect* plug = ObjectOf(effect)) plug->ProcessFloatBlock(inputs, outputs, frames, true);
}

void IVstEffect::VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (IVstEffect* plug = ObjectOf(effect)) plug->ProcessFloatBlock(inputs, outputs, frames, false);
}

void IVstEffect::VSTProcessDouble(AEffect* effect, double** inputs, double** outputs, int32_t frames) {
    IVstEffect* plug = ObjectOf(effect);
    if (!plug) return;
    ILockGuard guard(plug->mLock);
    if (!plug->PrepareBlock(frames)) return;
    if (plug->MidiOnly()) {
        plug->SilenceOutputs(outputs, frames);
        plug->RunInSlices(frames, [plug](int, int length) { plug->ProcessWithoutBuffers(length); });
        return;
    }
    plug->RunInSlices(frames, [plug, inputs, outputs](int first, int length) {
        plug->AttachInputBuffers(inputs, first);
        plug->AttachOutputBuffers(outputs, first);
        plug->ProcessBuffersDouble(length);
    });
}
