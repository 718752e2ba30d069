// The VST 2.4 binding: the AEffect the host holds, the dispatcher and the
// parameter and process callbacks, and the host-facing operations the plug-in
// base leaves abstract. Host records become framework records here; the
// engine never sees an AEffect. Thread tags as in framework/IEffectBase.h.
#pragma once

#include <cstdint>

#include "framework/IEffectBase.h"
#include "framework/StateChunk.h"
#include "framework/Vst2Abi.h"

class IVstEffect : public IEffectBase {
public:
    // [construction]
    IVstEffect(vst2::HostCallback hostCallback, int numParams, const char* channelIOStr, int numPresets,
               const char* effectName, const char* productName, const char* vendorName, int32_t vendorVersion,
               int32_t uniqueId, int32_t vendorId, int32_t latency, bool usesMidi, bool usesChunks, bool isInstrument,
               AudioUse audioUse = AudioUse::Processes);
    // [any thread] effClose, after the dispatcher let go of the lock.
    ~IVstEffect() override;

    // [any thread] The record handed to the host; it lives inside this object.
    vst2::AEffect* Effect() { return &mEffect; }

    // ---- host binding: threads and lock as on IEffectBase's declarations ----
    void BeginInformHostOfParamChange(int paramIdx) override;
    void InformHostOfParamChange(int paramIdx, double normalized) override;
    void EndInformHostOfParamChange(int paramIdx) override;
    int GetHostSamplePos() override;
    double GetHostTempo() override;
    void GetHostTimeSig(int* numerator, int* denominator) override;
    void GetTransportTime(double* samplePos, double* tempo, double* ppqPos, double* barStartPos, int* numerator,
                          int* denominator, double* cycleStart, double* cycleEnd, bool* playing,
                          bool* cycleActive) override;
    void GetPlayState(double* samplePos, double* tempo, bool* playing) override;
    int IdentifyHost() override;
    void ResizeGraphics(int width, int height) override;
    void ApplyHostQuirks() override;
    void AttachEditorGraphics(IEffectEditor* graphics) override;
    void SetLatencySamples(int samples) override;
    bool SendMidiMessage(const IMidiMessage* message) override;
    bool SendMidiMessages(const IMidiMessage* messages, int count) override;

    // ---- entry points the AEffect carries ----
    // [any thread, takes the lock] Except effEditIdle and effIdle, which return at once;
    // effEditOpen and effEditClose come on the GUI thread, effProcessEvents on the audio thread.
    static intptr_t VSTDispatcher(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt);
    // [any thread, takes the lock]
    static float VSTGetParameter(vst2::AEffect* effect, int32_t index);
    static void VSTSetParameter(vst2::AEffect* effect, int32_t index, float value);
    // [audio thread, takes the lock]
    static void VSTProcessAccumulating(vst2::AEffect* effect, float** inputs, float** outputs, int32_t frames);
    static void VSTProcessFloat(vst2::AEffect* effect, float** inputs, float** outputs, int32_t frames);
    static void VSTProcessDouble(vst2::AEffect* effect, double** inputs, double** outputs, int32_t frames);

private:
    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    vst2::VstTimeInfo* GetTimeInfo(int32_t mask);
    void ProcessEvents(const vst2::VstEvents* events);
    void ForwardHostEvent(vst2::VstEvent* event);
    intptr_t GetChunk(bool isBank, void** data);
    intptr_t SetChunk(bool isBank, const void* data, intptr_t size);
    intptr_t CanDo(const char* text);
    intptr_t PinProperties(vst2::VstPinProperties* pin, int index, int count, const char* labelFormat);
    // Readies a block of `frames`; false when the block cannot run.
    bool PrepareBlock(int frames);
    // Calls run(first, length) for the block's slices of at most the prepared size.
    template <typename Run>
    void RunInSlices(int frames, Run run);
    // One single-precision block under the lock, replacing or adding to the outputs.
    void ProcessFloatBlock(float** inputs, float** outputs, int frames, bool accumulate);
    void PublishChannelCounts();

    vst2::ERect mEditorRect{};
    vst2::HostCallback mHostCallback;
    vst2::VstSpeakerArrangement mInputArrangement{};
    vst2::VstSpeakerArrangement mOutputArrangement{};
    bool mQuirksApplied = false;
    bool mUsesMidi;
    StateChunk mProgramChunk;
    StateChunk mBankChunk;
    vst2::AEffect mEffect{};
    int mSliceStart = 0;  // frame of the host's block at which the running slice starts
};

// [construction] Made by the plug-in's own source file: the concrete plug-in for one instance.
IVstEffect* CreateVstEffect(vst2::HostCallback hostCallback);
