// What a render collected from the plug-in, and how it becomes a MIDI file:
// one conductor track with the tempo and meter, then one track per output
// channel, so every voice can be inspected on its own.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/midi/MidiFile.h"

struct RenderedEvent {
    int64_t mSample = 0;  // host position: block start + deltaFrames
    uint8_t mStatus = 0;  // channel status, or 0xF0 for a sysex message
    uint8_t mData1 = 0;
    uint8_t mData2 = 0;
    std::vector<uint8_t> mSysex;  // the whole message from F0
};

struct OutputCounts {
    int mNotes[16] = {};     // note-ons with a velocity above 0, by channel
    int mNoteOffs[16] = {};  // note-offs, and note-ons with velocity 0
    int mOthers = 0;         // any other message
    int mHanging = 0;        // channel and note pairs still sounding at the end
    int TotalNotes() const;
};

struct OutputTiming {
    int64_t mOrigin = 0;  // host position of the input file's start
    double mSampleRate = 44100.0;
    double mBpm = 120.0;  // the one tempo of the output file
    int mNumerator = 4;
    int mDenominator = 4;
    int mTicksPerQuarter = 960;
};

// Events are ordered by position (the order of arrival within one position);
// anything before the origin is placed at tick 0.
MidiFile BuildOutputFile(std::vector<RenderedEvent> events, const OutputTiming& timing, OutputCounts& counts);
