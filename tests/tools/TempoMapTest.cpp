// Ticks to seconds (and so to sample frames) through tempo changes, the
// fixed-tempo override, SMPTE time bases and the meter a transport reports.
#include <gtest/gtest.h>

#include "tools/midi/TempoMap.h"

namespace {

MidiFile WithTempos(std::vector<MidiEvent> conductor, uint16_t division = 480) {
    MidiFile file;
    file.mDivision = division;
    file.mTracks.resize(2);
    file.mTracks[0].mEvents = std::move(conductor);
    file.mTracks[1].mEvents = {MidiEvent::Channel3(0, 0x90, 60, 100)};
    return file;
}

}  // namespace

TEST(TempoMap, WithoutTempoEventsPlaysAt120) {
    const TempoMap map(WithTempos({}));
    EXPECT_DOUBLE_EQ(map.InitialBpm(), 120.0);
    EXPECT_DOUBLE_EQ(map.SecondsAt(480), 0.5);
    EXPECT_DOUBLE_EQ(map.SecondsAt(960 * 4), 4.0);
    EXPECT_EQ(map.Numerator(), 4);
    EXPECT_EQ(map.Denominator(), 4);
}

// 120 BPM for two beats, then 60 BPM: each later beat lasts a second.
TEST(TempoMap, TempoChangesShiftLaterEvents) {
    const TempoMap map(WithTempos({MidiEvent::Tempo(0, 500000), MidiEvent::Tempo(960, 1000000)}));
    EXPECT_DOUBLE_EQ(map.SecondsAt(960), 1.0);
    EXPECT_DOUBLE_EQ(map.SecondsAt(1440), 2.0);
    EXPECT_DOUBLE_EQ(map.SecondsAt(1200), 1.5);
    EXPECT_NEAR(map.SecondsAt(1440) * 44100.0, 88200.0, 1e-6);  // frames at 44.1 kHz
    EXPECT_DOUBLE_EQ(map.BpmAt(0.99), 120.0);
    EXPECT_DOUBLE_EQ(map.BpmAt(1.0), 60.0);
    EXPECT_DOUBLE_EQ(map.QuartersAt(1.0), 2.0);
    EXPECT_DOUBLE_EQ(map.QuartersAt(3.0), 4.0);
}

// Tempo events may sit in any track of a format 1 file, out of order across
// tracks; of two at one tick the later one counts.
TEST(TempoMap, CollectsTemposFromEveryTrack) {
    MidiFile file = WithTempos({MidiEvent::Tempo(960, 250000)});
    file.mTracks[1].mEvents.insert(file.mTracks[1].mEvents.begin(),
                                   {MidiEvent::Tempo(0, 1000000), MidiEvent::Tempo(0, 500000)});
    const TempoMap map(file);
    EXPECT_DOUBLE_EQ(map.InitialBpm(), 120.0);
    EXPECT_DOUBLE_EQ(map.SecondsAt(960), 1.0);
    EXPECT_DOUBLE_EQ(map.SecondsAt(1920), 1.5);  // 240 BPM after tick 960
}

TEST(TempoMap, FixedTempoIgnoresTheFile) {
    const TempoMap map(WithTempos({MidiEvent::Tempo(0, 1000000), MidiEvent::Tempo(480, 250000)}), 90.0);
    EXPECT_DOUBLE_EQ(map.InitialBpm(), 90.0);
    EXPECT_DOUBLE_EQ(map.BpmAt(100.0), 90.0);
    EXPECT_DOUBLE_EQ(map.SecondsAt(960 * 3), 4.0);
}

// SMPTE time base: 25 frames of 40 ticks, so a tick is a millisecond whatever
// the tempo; 29 means 29.97 frames per second.
TEST(TempoMap, SmpteTicksAreFixedTime) {
    const uint16_t division25 = uint16_t((uint8_t(-25) << 8) | 40);
    const TempoMap map(WithTempos({MidiEvent::Tempo(0, 1000000)}, division25));
    EXPECT_DOUBLE_EQ(map.SecondsAt(1500), 1.5);
    EXPECT_DOUBLE_EQ(map.InitialBpm(), 60.0);
    const uint16_t division2997 = uint16_t((uint8_t(-29) << 8) | 100);
    EXPECT_NEAR(TempoMap(WithTempos({}, division2997)).SecondsAt(2997), 1.0, 1e-12);
}

TEST(TempoMap, MeterFromTheFirstTimeSignature) {
    MidiFile file = WithTempos({MidiEvent::TimeSignature(1920, 7, 8), MidiEvent::TimeSignature(0, 3, 4)});
    const TempoMap map(file);
    EXPECT_EQ(map.Numerator(), 3);
    EXPECT_EQ(map.Denominator(), 4);
    EXPECT_DOUBLE_EQ(map.QuartersPerBar(), 3.0);
    EXPECT_DOUBLE_EQ(TempoMap(WithTempos({MidiEvent::TimeSignature(0, 6, 8)})).QuartersPerBar(), 3.0);
}
