#include "tools/vsthost/VstEventList.h"

#include <cstddef>

// VstEvents declares two event slots; the record a reader walks is the same
// header followed by as many pointers as there are events.
struct VstEventList::Storage {
    struct Record {
        int32_t numEvents;
        intptr_t reserved;
        vst2::VstEvent* events[kCapacity + 1];  // a null after the last, as hosts leave it
    } mRecord{};
    static_assert(offsetof(Record, events) == offsetof(vst2::VstEvents, events), "the record must read as VstEvents");

    vst2::VstMidiEvent mMidi[kCapacity] = {};
    vst2::VstMidiSysexEvent mSysex[kCapacity] = {};
};

namespace {

// A blank record of the event's kind with the fields every event carries.
template <typename Event>
Event& Blank(Event& e, int32_t type, int32_t deltaFrames) {
    e = Event{};
    e.type = type;
    e.byteSize = int32_t(sizeof e);
    e.deltaFrames = deltaFrames;
    return e;
}

}  // namespace

VstEventList::VstEventList() : mStorage(new Storage) {}
VstEventList::~VstEventList() = default;
VstEventList::VstEventList(VstEventList&&) noexcept = default;
VstEventList& VstEventList::operator=(VstEventList&&) noexcept = default;

bool VstEventList::AddMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2) {
    if (!mStorage || Full()) return false;
    vst2::VstMidiEvent& e = Blank(mStorage->mMidi[Count()], vst2::kVstMidiType, deltaFrames);
    e.midiData[0] = char(status);
    e.midiData[1] = char(data1);
    e.midiData[2] = char(data2);
    return Add(reinterpret_cast<const vst2::VstEvent*>(&e));
}

bool VstEventList::AddSysex(int32_t deltaFrames, const void* data, int32_t size) {
    if (!mStorage || Full()) return false;
    vst2::VstMidiSysexEvent& e = Blank(mStorage->mSysex[Count()], vst2::kVstSysExType, deltaFrames);
    e.dumpBytes = size;
    // The record's field is not const; nobody writes through it.
    e.sysexDump = static_cast<char*>(const_cast<void*>(data));
    return Add(reinterpret_cast<const vst2::VstEvent*>(&e));
}

bool VstEventList::Add(const vst2::VstEvent* event) {
    if (!mStorage || Full()) return false;
    Storage::Record& r = mStorage->mRecord;
    r.events[r.numEvents++] = const_cast<vst2::VstEvent*>(event);
    r.events[r.numEvents] = nullptr;
    return true;
}

void VstEventList::Clear() {
    if (!mStorage) return;
    mStorage->mRecord.numEvents = 0;
    mStorage->mRecord.events[0] = nullptr;
}

int VstEventList::Count() const { return mStorage ? mStorage->mRecord.numEvents : 0; }

vst2::VstEvents* VstEventList::Events() {
    return mStorage ? reinterpret_cast<vst2::VstEvents*>(&mStorage->mRecord) : nullptr;
}
