// The host side of one plug-in instance: creates it through a module's entry,
// answers its callbacks, and drives it through the AEffect. Derived hosts
// (the command-line host, the test hosts) override the hooks they care about.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstModule.h"

class VstHost {
public:
    VstHost();
    virtual ~VstHost();
    VstHost(const VstHost&) = delete;
    VstHost& operator=(const VstHost&) = delete;

    // Calls the entry with this host's callback; false when it returns no
    // plausible effect (null, or a wrong magic number).
    bool Instantiate(VstEntryProc entry);
    // What a DAW sends a new effect: effOpen, the sample rate (also reported in the
    // transport), the block size, then mains on.
    void Start(double sampleRate, int blockSize);
    // Mains off, then effClose; the module may be unloaded afterwards.
    void Stop();
    // Sends effClose; the effect is gone afterwards.
    void Close();

    vst2::AEffect* Effect() const { return mEffect; }
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);

    // Convenience wrappers over the dispatcher and the AEffect functions.
    // Text: what the effect writes into a host buffer for opcode (a name, label or
    // display text), empty when it writes nothing.
    std::string Text(int32_t opcode, int32_t index = 0);
    std::string ParamName(int index);
    std::string ParamDisplay(int index);
    std::string ProgramName(int index);
    float GetParameter(int index);
    void SetParameter(int index, float value);
    // Delivers the list through effProcessEvents; the plug-in's answer.
    intptr_t ProcessEvents(VstEventList& events);
    void ProcessFloat(float** inputs, float** outputs, int frames);

    // ---- playing blocks, as the render and live hosts do ----
    // The transport the next blocks read, at mTime.sampleRate: the sample position, the tempo
    // and the position in quarters (the bar's start follows from the meter), with the
    // playing and changed flags.
    void SetTransport(int64_t position, double bpm, double quarters, int numerator, int denominator, bool playing,
                      bool changed);
    // Buffers for blocks of up to frames: one per input and one per output channel, two at least.
    void PrepareBuffers(int frames);
    // One block of up to the prepared frames, through the replacing call, or the accumulating
    // one when that is all the effect has; inputs and outputs start silent.
    void ProcessBlock(int frames);
    // Every parameter's current value set again, then the given (index, value) pairs: values
    // the plug-in derives from the transport (tempo-based delays) are computed anew.
    void ApplyParameters(const std::vector<std::pair<int, float>>& parameters);

    // Transport the host reports through audioMasterGetTime.
    vst2::VstTimeInfo mTime{};
    bool mHasTime = true;  // false: audioMasterGetTime answers null
    std::string mProductString = "Tamborelle Test Host";
    intptr_t mVendorVersion = 1000;

protected:
    // Every call from the plug-in arrives here first; the default answers the
    // opcodes below and forwards events and edits to the hooks.
    virtual intptr_t OnHostCall(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    virtual void OnEvent(const vst2::VstEvent& /*event*/) {}
    virtual void OnAutomate(int /*index*/, float /*value*/) {}
    virtual void OnBeginEdit(int /*index*/) {}
    virtual void OnEndEdit(int /*index*/) {}

private:
    std::vector<std::vector<float>> mBuffers;
    std::vector<float*> mInputs, mOutputs;

    static intptr_t Callback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                             float opt);
    vst2::AEffect* mEffect = nullptr;
};
