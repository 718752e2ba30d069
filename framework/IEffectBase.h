// The host-independent core of a plug-in: its parameters, program slots,
// channel configurations and audio buffers, identity texts, state chunk, and
// the one re-entrant lock that serialises host calls, editor actions and
// processing. The host binding (IVstEffect) derives from it and supplies the
// host-facing operations; the concrete plug-in overrides the processing ones.
//
// Thread tags: [any] any host thread; [audio] the host's processing thread;
// [ui] the editor's thread; "mLock held" means the caller already holds mLock.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "framework/ChannelRecords.h"
#include "framework/GrowArray.h"
#include "framework/ILock.h"
#include "framework/IMidiMessage.h"
#include "framework/IParameter.h"
#include "framework/StateChunk.h"

class IEditorBase;

// Tag and version at the head of the host-visible state chunk.
constexpr int32_t CHUNK_TAG = 0x70666674;
constexpr int32_t CHUNK_VERSION = 0x00010000;
constexpr int CHUNK_HEADER_SIZE = 8;

class IEffectBase {
public:
    IEffectBase(int numParams, const char* channelIOStr, int numPresets, const char* effectName,
                const char* productName, const char* vendorName, int32_t vendorVersion, int32_t uniqueId,
                int32_t vendorId, int32_t latency, bool doesMidi, bool usesChunks, bool isInstrument);

    // ---- plug-in hooks (the concrete plug-in overrides these) ----
    virtual ~IEffectBase();
    // [any] Sample rate, block size or processing state changed. Default: takes mLock only.
    virtual void Reset();
    // [any] Apply parameter `index`'s current value. Default: takes mLock only.
    virtual void OnParameterChange(int index);
    // [audio, mLock held] Run one block on the attached double buffers.
    // Default: copies each input to its output and clears the remaining outputs.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    // [ui, mLock held] The editor window opened or closed. Default: nothing.
    virtual void OnEditorOpened() {}
    virtual void OnEditorClosed() {}
    // Never called; kept for plug-ins that want an idle hook.
    virtual void OnIdle() {}
    // [any] Processing switched on or off. Default: takes mLock only.
    virtual void OnActivate(bool active);
    // [audio, mLock held] One incoming MIDI message. Default: passes it on.
    virtual void ProcessMidiMessage(const IMidiMessage* message);
    // [any, mLock held] A name for a note; false (and "") when there is none.
    virtual bool NoteNameFor(int note, char* text);
    // [any, mLock held] Write or read the parameter block of the state.
    // ReadState returns the next position, or -1 when the chunk ended early.
    virtual bool WriteState(StateChunk* chunk) { return SerializeParams(chunk); }
    virtual int ReadState(const StateChunk* chunk, int startPos) { return UnserializeParams(chunk, startPos); }
    // Appends one value per parameter from `args`: int for bool/int/enum kinds, double otherwise.
    virtual void AppendVariadicValues(StateChunk* chunk, va_list args);

    // ---- host binding (supplied by the binding) ----
    // [ui] Framing and value of a user edit; the host's answers are ignored.
    virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
    virtual void InformHostOfParamChange(int paramIdx, double normalized) = 0;
    virtual void EndInformHostOfParamChange(int paramIdx) = 0;
    // [audio] Transport queries; defaults apply when the host gives nothing usable.
    virtual int GetHostSamplePos() = 0;
    virtual double GetHostTempo() = 0;
    virtual void GetHostTimeSig(int* numerator, int* denominator) = 0;
    // `playing` and `cycleActive` keep the caller's values when the host gives no time info.
    virtual void GetTransportTime(double* samplePos, double* tempo, double* ppqPos, double* barStartPos, int* numerator,
                                  int* denominator, double* cycleStart, double* cycleEnd, bool* playing,
                                  bool* cycleActive) = 0;
    // [any, mLock held] Asks the host once; returns mHostId.
    virtual int IdentifyHost() { return mHostId; }
    virtual void ResizeGraphics(int width, int height) = 0;
    virtual void NoOperation() {}
    // [any, mLock held] Host-specific channel fix-ups, once per instance.
    virtual void ApplyHostQuirks() = 0;
    // [any] Takes ownership of the editor graphics; null is ignored.
    virtual void AttachEditorGraphics(IEditorBase* graphics);
    // [any, mLock held] Sizes every channel's scratch buffer; allocates. A size that
    // cannot be had, or below one frame, keeps the old size and buffers.
    virtual void SetMaxBlockSize(int frames);
    virtual void SetLatencySamples(int samples) { mLatency = samples; }
    // [audio, mLock held] Hands one message to the host at once; true when accepted.
    virtual bool SendMidiMessage(const IMidiMessage* message) = 0;
    virtual bool SendMidiMessages(const IMidiMessage* messages, int count) = 0;

    // ---- parameters ----
    // Null when the index is outside the parameters.
    IParameter* Param(int index) { return mParameters.At(index) ? mParameters[index] : nullptr; }
    int ParamCount() const { return mParameters.Count(); }
    int NumHostParameters() const { return mNumHostParameters; }
    // Appends an internal parameter after the host's; returns it (null when out of memory).
    IParameter* AddParameter();
    // [ui] A control moved: set, tell the host, apply.
    void SetParameterFromGUI(int index, double normalized);
    // [any, mLock held] Shows every parameter's plain value in the controls.
    void PushParamsToControls();
    // [any, mLock held] Applies every parameter, in index order.
    void ResetAllParams();

    // ---- state ----
    bool SerializeParams(StateChunk* chunk);
    int UnserializeParams(const StateChunk* chunk, int startPos);
    void WriteChunkHeader(StateChunk* chunk);
    // The position the parameter values start at (8, or 0 without the tag),
    // -1 for a tagged chunk too short to hold the version; *version gets the version or 0.
    int ReadChunkHeader(const StateChunk* chunk, int32_t* version);
    void AppendValues(StateChunk* chunk, ...);

    // ---- program slots ----
    int NumPresets() const { return mPresetSlots.Count(); }
    int CurrentPreset() const { return mCurrentPreset; }
    bool SelectPreset(int index);
    void CaptureCurrentPreset(const char* name = nullptr);
    // The slot's name, or "" when the index is out of range.
    const char* PresetName(int index);
    void MakeDefaultSlotIfNone();
    void NextUserPresetName(char* name, int size);

    // ---- channels and audio ----
    bool LegalIO(int inputs, int outputs);
    int NumInputs() const { return mInputChannels.Count(); }
    int NumOutputs() const { return mOutputChannels.Count(); }
    void SetInputConnections(int first, int count, bool connected);
    void SetOutputConnections(int first, int count, bool connected);
    // The host's buffers from frame `first` on (a slice of a longer host block).
    void AttachInputBuffers(double** inputs, int first = 0);
    void AttachInputBuffers(float** inputs, int frames, int first = 0);
    void AttachOutputBuffers(double** outputs, int first = 0);
    void AttachOutputBuffers(float** outputs, int first = 0);
    void ProcessBuffersDouble(int frames);
    void ProcessBuffersFloat(int frames, bool accumulate);
    int BlockSize() const { return mBlockSize; }

    // ---- host information ----
    void SetHost(const char* hostName, int32_t version);
    int HostIdentity() const { return mHostId; }
    int32_t GetPluginVersion(bool decimal) const;
    void SetSampleRate(double rate) { mSampleRate = rate; }
    double SampleRate() const { return mSampleRate; }
    IEditorBase* Graphics() const { return mpGraphics; }
    ILock& Lock() { return mLock; }

protected:
    // Host fix-ups: (a) extra inputs off, extra outputs on; (b) add a stereo
    // pair to a plug-in that has no channels at all.
    void DisconnectExtraInputsConnectExtraOutputs();
    void AddStereoPairIfNoChannels();

    GrowArray<IParameter*> mParameters;
    GrowArray<PresetSlot*> mPresetSlots;
    GrowArray<ChannelConfig> mChannelConfigs;
    char mPluginName[128];
    char mProductString[128];
    char mVendorString[128];
    int32_t mUniqueId;
    int32_t mVendorId;
    int32_t mVendorVersion;
    int32_t mHostId = -1;
    int32_t mHostVersion = 0;
    bool mUsesChunks;
    bool mIsInstrument;
    double mSampleRate = 44100.0;
    int32_t mBlockSize = 0;
    int32_t mLatency;
    IEditorBase* mpGraphics = nullptr;
    int32_t mCurrentPreset = 0;
    GrowArray<double*> mInputPointers;
    GrowArray<double*> mOutputPointers;
    GrowArray<InputChannel*> mInputChannels;
    GrowArray<OutputChannel*> mOutputChannels;
    ILock mLock;
    int32_t mNumHostParameters;

private:
    void AddChannels(int numInputs, int numOutputs);
};
