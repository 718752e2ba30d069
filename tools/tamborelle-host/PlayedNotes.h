// The notes of a piece as a musician reads them: every note-on paired with the note-off
// that ends it, placed in samples and in quarter notes from the start of the input file.
// What the event table lists and the piano roll draws, for the input and the output alike.
#pragma once

#include <cstdint>
#include <vector>

struct NoteMessage {
    int64_t mSample = 0;  // from the start of the input file
    uint8_t mStatus = 0;
    uint8_t mData1 = 0;
    uint8_t mData2 = 0;
};

struct PlayedNote {
    int64_t mStart = 0;   // samples from the start of the input file
    int64_t mLength = 0;  // samples
    double mStartQuarters = 0.0;
    double mLengthQuarters = 0.0;
    int mChannel = 0;  // 0..15
    int mNote = 0;
    int mVelocity = 0;
};

// Pairs note-ons with note-offs (a note-on with velocity 0 ends a note too). A note-off
// ends the earliest sounding note of its channel and number; a note never ended lasts
// until end. Other messages are skipped. Quarter positions stay 0: the caller knows the
// tempo. Notes come ordered by start, then channel, then note number.
std::vector<PlayedNote> PairNotes(const std::vector<NoteMessage>& messages, int64_t end);
