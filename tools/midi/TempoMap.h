// The timing of a MIDI file: converts ticks to seconds through its tempo
// changes (or one fixed tempo), and answers tempo, quarter-note position and
// meter at a time in seconds, as a host transport reports them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/midi/MidiFile.h"

class TempoMap {
public:
    // Tempo changes from the file: every track for formats 0 and 1, the first
    // track for format 2. Without any, 120 beats per minute.
    explicit TempoMap(const MidiFile& file);
    // One fixed tempo, ignoring the file's tempo changes.
    TempoMap(const MidiFile& file, double bpm);

    double SecondsAt(uint64_t tick) const;
    double BpmAt(double seconds) const;
    double QuartersAt(double seconds) const;
    double InitialBpm() const { return mSegments.front().mBpm; }

    // The file's first time signature, 4/4 without one.
    int Numerator() const { return mNumerator; }
    int Denominator() const { return mDenominator; }
    double QuartersPerBar() const { return mNumerator * 4.0 / mDenominator; }

private:
    struct Segment {
        uint64_t mTick;    // where this tempo starts
        double mSeconds;   // time at mTick
        double mQuarters;  // quarter notes at mTick
        double mBpm;
    };
    void ReadDivision(const MidiFile& file);
    void ReadMeter(const MidiFile& file);
    const Segment& SegmentAtSeconds(double seconds) const;

    std::vector<Segment> mSegments;  // never empty, ascending
    int mTicksPerQuarter = 480;
    double mSmpteTicksPerSecond = 0.0;  // > 0: ticks are fixed fractions of a second
    int mNumerator = 4;
    int mDenominator = 4;
};
