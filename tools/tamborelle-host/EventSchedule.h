// The input of a render: every playable event of a MIDI file with its time in
// sample frames from the start of the file, in the order a host delivers them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/midi/MidiFile.h"
#include "tools/midi/TempoMap.h"

struct TimedEvent {
    int64_t mFrame = 0;
    uint8_t mStatus = 0;  // channel status, or 0xF0 for a system exclusive message
    uint8_t mData1 = 0;
    uint8_t mData2 = 0;
    std::vector<uint8_t> mSysex;  // the whole message from F0 to F7
};

// Channel messages of every track, and complete sysex messages, merged by time.
// A note-on with velocity 0 becomes a note-off; at one frame note-offs come
// first, then other messages, then note-ons, so a repeated note is not cut.
std::vector<TimedEvent> ScheduleEvents(const MidiFile& file, const TempoMap& tempo, double sampleRate);
