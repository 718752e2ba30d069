// The host-independent core of a plug-in: its parameters, program slots,
// channel configurations and audio buffers, identity texts, state chunk, and
// the one re-entrant lock that serialises host calls, editor actions and
// processing. The host binding (IVstEffect) derives from it and supplies the
// host-facing operations; the concrete plug-in overrides the processing ones.
//
// Thread tags, the same on every function of the framework and graphics headers:
//   [construction]  while the plug-in is built, on the host thread that creates it;
//   [audio thread]  the host's processing thread (process callbacks, effProcessEvents);
//   [GUI thread]    the host's user-interface thread, which also runs the editor window;
//   [any thread]    any host thread, those two included.
// "lock held": the caller already holds the plug-in's lock (mLock); "takes the lock":
// the function takes it itself (it is re-entrant, so a caller may hold it already).
#pragma once

#include <cstdarg>
#include <cstdint>

#include "framework/ChannelRecords.h"
#include "framework/GrowArray.h"
#include "framework/IEffectEditor.h"
#include "framework/ILock.h"
#include "framework/IMidiMessage.h"
#include "framework/IParameter.h"
#include "framework/StateChunk.h"

// Tag and version at the head of the host-visible state chunk.
constexpr int32_t CHUNK_TAG = 0x70666674;
constexpr int32_t CHUNK_VERSION = 0x00010000;
constexpr int CHUNK_HEADER_SIZE = 8;

// What a plug-in does with audio. A MIDI-only plug-in makes no sound: the binding writes
// the silence into the host's outputs itself and converts no samples, and ProcessBlock
// gets no buffers (both arrays null). Its channels still answer every host query.
enum class AudioUse { Processes, MidiOnly };

class IEffectBase {
public:
    // [construction]
    IEffectBase(int numParams, const char* channelIOStr, int numPresets, const char* effectName,
                const char* productName, const char* vendorName, int32_t vendorVersion, int32_t uniqueId,
                int32_t vendorId, int32_t latency, bool doesMidi, bool usesChunks, bool isInstrument,
                AudioUse audioUse = AudioUse::Processes);

    // ---- plug-in hooks (the concrete plug-in overrides these) ----
    // [any thread] Deletes the editor first, then everything else the base owns.
    virtual ~IEffectBase();
    // [any thread, lock held] Sample rate, block size or processing state changed.
    // Default: takes the lock only.
    virtual void Reset();
    // [any thread, lock held] Apply parameter `index`'s current value. Default: takes the lock only.
    virtual void OnParameterChange(int index);
    // [audio thread, lock held] Run one block on the attached double buffers (null on a
    // MIDI-only plug-in). Default: copies each input to its output and clears the remaining outputs.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    // [GUI thread, takes the lock] Readies the attached editor for drawing, once, before it is
    // first shown: attaching it prepares nothing, so an instance whose editor never opens
    // never pays for it. False when there is no editor or it cannot be shown.
    // Default: the editor's PrepareDraw.
    virtual bool PrepareEditor();
    // [GUI thread, lock held] The editor window opened or closed. Default: nothing.
    virtual void OnEditorOpened() {}
    virtual void OnEditorClosed() {}
    // Never called; kept for plug-ins that want an idle hook.
    virtual void OnIdle() {}
    // [any thread, lock held] Processing switched on or off. Default: takes the lock only.
    virtual void OnActivate(bool active);
    // [audio thread, lock held] One incoming MIDI message. Default: passes it on.
    virtual void ProcessMidiMessage(const IMidiMessage* message);
    // [any thread, lock held] A name for a note; false (and "") when there is none.
    virtual bool NoteNameFor(int note, char* text);
    // [any thread, lock held] Write or read the parameter block of the state.
    // ReadState returns the next position, or -1 when the chunk ended early.
    virtual bool WriteState(StateChunk* chunk) { return SerializeParams(chunk); }
    virtual int ReadState(const StateChunk* chunk, int startPos) { return UnserializeParams(chunk, startPos); }
    // [construction] Appends one value per parameter from `args`: int for bool/int/enum
    // kinds, double otherwise.
    virtual void AppendVariadicValues(StateChunk* chunk, va_list args);

    // ---- host binding (supplied by the binding) ----
    // A user's edit, the host's answers ignored: the gesture's framing is [GUI thread],
    // the value [GUI thread, lock held].
    virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
    virtual void InformHostOfParamChange(int paramIdx, double normalized) = 0;
    virtual void EndInformHostOfParamChange(int paramIdx) = 0;
    // [audio thread, lock held] Transport queries; defaults apply when the host gives nothing usable.
    virtual int GetHostSamplePos() = 0;
    virtual double GetHostTempo() = 0;
    virtual void GetHostTimeSig(int* numerator, int* denominator) = 0;
    // `playing` and `cycleActive` keep the caller's values when the host gives no time info.
    virtual void GetTransportTime(double* samplePos, double* tempo, double* ppqPos, double* barStartPos, int* numerator,
                                  int* denominator, double* cycleStart, double* cycleEnd, bool* playing,
                                  bool* cycleActive) = 0;
    // [audio thread, lock held] GetTransportTime's position, tempo and playing flag, by the
    // same rules and from the same host query, without the fields a MIDI processor does not
    // follow: asked every block.
    virtual void GetPlayState(double* samplePos, double* tempo, bool* playing) = 0;
    // [any thread, lock held] Asks the host once; returns mHostId.
    virtual int IdentifyHost() { return mHostId; }
    // [construction] or [GUI thread] The editor has a new size.
    virtual void ResizeGraphics(int width, int height) = 0;
    // Never called.
    virtual void NoOperation() {}
    // [any thread, lock held] Host-specific channel fix-ups, once per instance.
    virtual void ApplyHostQuirks() = 0;
    // [construction, takes the lock] Takes ownership of the editor; null is ignored.
    virtual void AttachEditorGraphics(IEffectEditor* graphics);
    // [any thread, lock held] Sizes every channel's scratch buffer (a MIDI-only plug-in has
    // none); allocates. A size that cannot be had, or below one frame, keeps the old size and buffers.
    virtual void SetMaxBlockSize(int frames);
    // [any thread, lock held]
    virtual void SetLatencySamples(int samples) { mLatency = samples; }
    // [audio thread, lock held] Hands one message to the host at once; true when accepted.
    virtual bool SendMidiMessage(const IMidiMessage* message) = 0;
    virtual bool SendMidiMessages(const IMidiMessage* messages, int count) = 0;

    // ---- parameters ----
    // [any thread] Null when the index is outside the parameters.
    IParameter* Param(int index) { return mParameters.At(index) ? mParameters[index] : nullptr; }
    int ParamCount() const { return mParameters.Count(); }
    int NumHostParameters() const { return mNumHostParameters; }
    // [construction] Appends an internal parameter after the host's; returns it (null when out of memory).
    IParameter* AddParameter();
    // [any thread, takes the lock] The host set a parameter: show it in the editor, set, apply.
    void SetParameterFromHost(int index, double normalized);
    // [GUI thread, takes the lock] A control moved: set, tell the host, apply.
    void SetParameterFromGUI(int index, double normalized);
    // [any thread, lock held] Shows every parameter's plain value in the controls.
    void PushParamsToControls();
    // [any thread, lock held] Applies every parameter, in index order.
    void ResetAllParams();

    // ---- state ----
    // [any thread, takes the lock] Appends the host parameters' plain values; reads them
    // back from startPos and applies every parameter, returning the next position or -1.
    bool SerializeParams(StateChunk* chunk);
    int UnserializeParams(const StateChunk* chunk, int startPos);
    // [any thread, lock held]
    void WriteChunkHeader(StateChunk* chunk);
    // [any thread, lock held] The position the parameter values start at (8, or 0 without
    // the tag), -1 for a tagged chunk too short to hold the version; *version gets the version or 0.
    int ReadChunkHeader(const StateChunk* chunk, int32_t* version);
    // [construction] A program's state from a literal list of values, as AppendVariadicValues.
    void AppendValues(StateChunk* chunk, ...);

    // ---- program slots ----
    // [any thread]
    int NumPresets() const { return mPresetSlots.Count(); }
    int CurrentPreset() const { return mCurrentPreset; }
    // [any thread, lock held]
    bool SelectPreset(int index);
    void CaptureCurrentPreset(const char* name = nullptr);
    // [any thread, lock held] The slot's name, or "" when the index is out of range.
    const char* PresetName(int index);
    // [construction]
    void MakeDefaultSlotIfNone();
    // [any thread, lock held]
    void NextUserPresetName(char* name, int size);

    // ---- channels and audio ----
    // [any thread]
    bool LegalIO(int inputs, int outputs);
    int NumInputs() const { return mInputChannels.Count(); }
    int NumOutputs() const { return mOutputChannels.Count(); }
    // [any thread, lock held]
    void SetInputConnections(int first, int count, bool connected);
    void SetOutputConnections(int first, int count, bool connected);
    // [audio thread, lock held] The host's buffers from frame `first` on (a slice of a longer
    // host block).
    void AttachInputBuffers(double** inputs, int first = 0);
    void AttachInputBuffers(float** inputs, int frames, int first = 0);
    void AttachOutputBuffers(double** outputs, int first = 0);
    void AttachOutputBuffers(float** outputs, int first = 0);
    void ProcessBuffersDouble(int frames);
    void ProcessBuffersFloat(int frames, bool accumulate);
    // [audio thread, lock held] A MIDI-only plug-in's block: ProcessBlock without buffers.
    void ProcessWithoutBuffers(int frames) { ProcessBlock(nullptr, nullptr, frames); }
    // [audio thread, lock held] Zeros `frames` samples of every connected output's host buffer.
    void SilenceOutputs(float** outputs, int frames);
    void SilenceOutputs(double** outputs, int frames);
    // [any thread]
    bool MidiOnly() const { return mAudioUse == AudioUse::MidiOnly; }
    // [any thread]
    int BlockSize() const { return mBlockSize; }

    // ---- host information ----
    // [any thread, lock held]
    void SetHost(const char* hostName, int32_t version);
    // [any thread]
    int HostIdentity() const { return mHostId; }
    int32_t GetPluginVersion(bool decimal) const;
    // [any thread, lock held]
    void SetSampleRate(double rate) { mSampleRate = rate; }
    // [any thread]
    double SampleRate() const { return mSampleRate; }
    IEffectEditor* Graphics() const { return mpGraphics; }
    ILock& Lock() { return mLock; }

protected:
    // [any thread, lock held] Host fix-ups: (a) extra inputs off, extra outputs on; (b)
    // add a stereo pair to a plug-in that has no channels at all.
    void DisconnectExtraInputsConnectExtraOutputs();
    void AddStereoPairIfNoChannels();

    GrowArray<IParameter*> mParameters;
    IParameter* mpHostParameterBlock = nullptr;  // the host's parameters, the first of mParameters
    int mHostParameterBlockSize = 0;
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
    IEffectEditor* mpGraphics = nullptr;
    bool mEditorPrepared = false;  // PrepareDraw ran on mpGraphics
    int32_t mCurrentPreset = 0;
    GrowArray<double*> mInputPointers;
    GrowArray<double*> mOutputPointers;
    GrowArray<InputChannel*> mInputChannels;
    GrowArray<OutputChannel*> mOutputChannels;
    ILock mLock;
    int32_t mNumHostParameters;
    const AudioUse mAudioUse;

private:
    void AddChannels(int numInputs, int numOutputs);
    // Zeros an input's scratch when it holds samples converted earlier, before the
    // channel reads it as its silent source.
    void ClearStaleScratch(InputChannel* channel);
};
