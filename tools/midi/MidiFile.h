// A Standard MIDI File held in memory: header values and tracks of events with
// absolute tick times, as the reader produces them and the writer takes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MidiEvent {
    uint64_t mTick = 0;          // absolute time in ticks from the start of the track
    uint8_t mStatus = 0;         // 0x80..0xEF channel message, 0xF0/0xF7 sysex, 0xFF meta
    uint8_t mMetaType = 0;       // meta events only
    std::vector<uint8_t> mData;  // channel: the 1 or 2 data bytes; sysex: the bytes after the
                                 // status (F0 messages end with F7); meta: the payload

    bool IsChannel() const { return mStatus >= 0x80 && mStatus < 0xF0; }
    bool IsMeta() const { return mStatus == 0xFF; }
    bool IsSysex() const { return mStatus == 0xF0 || mStatus == 0xF7; }
    int Channel() const { return mStatus & 0x0F; }
    int Type() const { return mStatus >> 4; }  // 8 note-off .. 14 pitch bend for channel messages
    bool IsNoteOn() const { return Type() == 9 && IsChannel() && mData.size() == 2 && mData[1] > 0; }
    // A note-on with velocity 0 ends a note just like a note-off.
    bool IsNoteOff() const {
        return IsChannel() && mData.size() == 2 && (Type() == 8 || (Type() == 9 && mData[1] == 0));
    }

    static MidiEvent Channel3(uint64_t tick, uint8_t status, uint8_t d1, uint8_t d2);
    static MidiEvent Channel2(uint64_t tick, uint8_t status, uint8_t d1);
    static MidiEvent Meta(uint64_t tick, uint8_t type, std::vector<uint8_t> payload);
    static MidiEvent Tempo(uint64_t tick, uint32_t microsPerQuarter);
    static MidiEvent TimeSignature(uint64_t tick, uint8_t numerator, uint8_t denominator);
    static MidiEvent TrackName(uint64_t tick, const std::string& name);
    static MidiEvent EndOfTrack(uint64_t tick);
};

struct MidiTrack {
    std::vector<MidiEvent> mEvents;  // in file order, ticks never decreasing
};

struct MidiFile {
    int mFormat = 1;           // 0, 1 or 2
    uint16_t mDivision = 480;  // ticks per quarter note, or SMPTE when the top bit is set
    std::vector<MidiTrack> mTracks;

    bool IsSmpte() const { return (mDivision & 0x8000) != 0; }
    int TicksPerQuarter() const { return IsSmpte() ? 0 : mDivision; }
};

// Meta event types the tools care about.
constexpr uint8_t kMetaTrackName = 0x03;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;
constexpr uint8_t kMetaTimeSignature = 0x58;

// Number of data bytes that follow a channel status byte (1 or 2).
int MidiDataLength(uint8_t status);

// Bytes in a short MIDI message, status included, by its first byte: 1 to 3; 0 for a byte
// that starts none (a data byte) or starts a SysEx, which travels as a message of its own.
int MidiMessageSize(uint8_t status);
