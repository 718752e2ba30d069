// The events of one effProcessEvents or audioMasterProcessEvents call, built in
// storage reserved up front, so filling and sending a list never allocates on a
// host's audio path. Host-side code builds its VstMidiEvent, VstMidiSysexEvent and
// VstEvents records here and nowhere else.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/Vst2Abi.h"

class VstEventList {
public:
    // More events than any one block of a render or a test needs in one call.
    static constexpr int kCapacity = 1024;

    VstEventList();
    ~VstEventList();
    VstEventList(VstEventList&&) noexcept;
    VstEventList& operator=(VstEventList&&) noexcept;

    // Each Add is false, and adds nothing, when the list is full.
    bool AddMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
    // The bytes, F0 to F7, stay the caller's and must live until the list is sent.
    bool AddSysex(int32_t deltaFrames, const void* data, int32_t size);
    // An event made elsewhere, passed on as it is; it must live until the list is sent.
    bool Add(const vst2::VstEvent* event);
    void Clear();
    int Count() const;
    bool Full() const { return Count() >= kCapacity; }

    // The record a plug-in or host reads: numEvents, then that many event pointers.
    vst2::VstEvents* Events();

private:
    struct Storage;
    std::unique_ptr<Storage> mStorage;
};
