// One MIDI message as the engine and the host binding exchange it. Every function:
// [any thread], on a message of the caller's own.
#pragma once

#include <cstdint>

struct IMidiMessage {
    int32_t mSampleOffset = 0;  // from the start of the current block
    uint8_t mStatus = 0;        // type in the high nibble, channel in the low one
    uint8_t mData1 = 0;
    uint8_t mData2 = 0;

    enum Type {
        kNone = 0,
        kNoteOff = 8,
        kNoteOn = 9,
        kPolyPressure = 10,
        kControlChange = 11,
        kProgramChange = 12,
        kChannelPressure = 13,
        kPitchBend = 14
    };

    // The channel-message type 8..14, or 0 for system messages and stray data bytes.
    int MessageType() const {
        int type = mStatus >> 4;
        return type >= kNoteOff && type <= kPitchBend ? type : kNone;
    }
    int Channel() const { return mStatus & 0x0F; }

    void MakeNoteOn(int note, int velocity, int offset, int channel) {
        mStatus = static_cast<uint8_t>(0x90 | channel);
        mData1 = static_cast<uint8_t>(note);
        mData2 = static_cast<uint8_t>(velocity);
        mSampleOffset = offset;
    }
    // Output note-offs always carry velocity 0.
    void MakeNoteOff(int note, int offset, int channel) {
        mStatus = static_cast<uint8_t>(0x80 | channel);
        mData1 = static_cast<uint8_t>(note);
        mData2 = 0;
        mSampleOffset = offset;
    }
};
