// The host side of the fuzz targets: the built module, loaded once per process
// and instantiated through its exported entry as a DAW does, and a host that
// keeps every event the plug-in hands back, with when it came.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

// Stops the process with the input's failure, so libFuzzer keeps the input.
[[noreturn]] void FuzzFail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The module's entry; loads the module on the first call and keeps it loaded.
VstEntryProc ModuleEntry();

// One event the plug-in sent through audioMasterProcessEvents.
struct SentEvent {
    const vst2::VstEvent* event = nullptr;  // valid only during the call that recorded it
    int32_t type = 0;
    int32_t byteSize = 0;
    int32_t deltaFrames = 0;
    int32_t flags = 0;
    uint8_t midi[4] = {};
    bool duringProcess = false;  // sent from a process call, not from the dispatcher

    bool IsNote() const { return type == vst2::kVstMidiType && (midi[0] & 0xE0) == 0x80; }
    bool IsNoteOn() const { return type == vst2::kVstMidiType && (midi[0] & 0xF0) == 0x90; }
};

class FuzzHost : public VstHost {
public:
    FuzzHost();

    // A new instance from the module; fails the input when the entry gives none.
    void Create();

    enum ProcessKind { kReplacing, kAccumulating, kDouble };
    // One block of `frames` through a process call of `kind`, marking what the plug-in
    // sends meanwhile, on host buffers exactly that long: the first `buffers` (0 to 2) of
    // the two input and two output channels get one, the others null, and with none the
    // host passes no arrays at all. Fails the input unless each of the first `connected`
    // outputs the host gave carries silence, or is left as it was by the accumulating
    // call: the plug-in makes no sound. (Outputs the host disconnected through its
    // speaker arrangement are not the plug-in's to write.)
    void ProcessSilence(ProcessKind kind, int frames, int buffers = 2, int connected = 2);

    std::vector<SentEvent> mSent;
    int mCallsDuringCreation = 0;
    int mAutomations = 0;  // audioMasterAutomate, begin and end edit: never asked for by a host call

protected:
    intptr_t OnHostCall(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) override;

private:
    bool mInProcess = false;
};
