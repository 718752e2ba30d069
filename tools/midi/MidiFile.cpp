#include "tools/midi/MidiFile.h"

#include <utility>

int MidiDataLength(uint8_t status) {
    const int type = status >> 4;
    return (type == 0xC || type == 0xD) ? 1 : 2;
}

int MidiMessageSize(uint8_t status) {
    if (status < 0x80) return 0;
    if (status < 0xF0) return 1 + MidiDataLength(status);
    if (status == 0xF1 || status == 0xF3) return 2;
    if (status == 0xF2) return 3;
    if (status == 0xF0 || status == 0xF7) return 0;
    return 1;
}

MidiEvent MidiEvent::Channel3(uint64_t tick, uint8_t status, uint8_t d1, uint8_t d2) {
    MidiEvent e;
    e.mTick = tick;
    e.mStatus = status;
    e.mData = {d1, d2};
    return e;
}

MidiEvent MidiEvent::Channel2(uint64_t tick, uint8_t status, uint8_t d1) {
    MidiEvent e;
    e.mTick = tick;
    e.mStatus = status;
    e.mData = {d1};
    return e;
}

MidiEvent MidiEvent::Meta(uint64_t tick, uint8_t type, std::vector<uint8_t> payload) {
    MidiEvent e;
    e.mTick = tick;
    e.mStatus = 0xFF;
    e.mMetaType = type;
    e.mData = std::move(payload);
    return e;
}

MidiEvent MidiEvent::Tempo(uint64_t tick, uint32_t microsPerQuarter) {
    return Meta(tick, kMetaTempo,
                {uint8_t(microsPerQuarter >> 16), uint8_t(microsPerQuarter >> 8), uint8_t(microsPerQuarter)});
}

MidiEvent MidiEvent::TimeSignature(uint64_t tick, uint8_t numerator, uint8_t denominator) {
    uint8_t power = 0;
    while ((1u << power) < denominator && power < 7) ++power;
    return Meta(tick, kMetaTimeSignature, {numerator, power, 24, 8});
}

MidiEvent MidiEvent::TrackName(uint64_t tick, const std::string& name) {
    return Meta(tick, kMetaTrackName, std::vector<uint8_t>(name.begin(), name.end()));
}

MidiEvent MidiEvent::EndOfTrack(uint64_t tick) { return Meta(tick, kMetaEndOfTrack, {}); }
