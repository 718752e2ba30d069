// The order a host delivers a file's events in: merged tracks, note-offs before
// note-ons at one time, whole sysex messages only, meta events left out.
#include <gtest/gtest.h>

#include "tools/tamborelle-host/EventSchedule.h"

TEST(EventSchedule, RepeatedNoteAcrossTracksIsNotCut) {
    MidiFile file;
    file.mDivision = 480;
    file.mTracks.resize(3);
    file.mTracks[0].mEvents = {MidiEvent::Tempo(0, 500000), MidiEvent::TrackName(0, "x")};
    // Track 1 starts the next note at the very tick where track 2 ends the first.
    file.mTracks[1].mEvents = {MidiEvent::Channel3(480, 0x90, 60, 100), MidiEvent::Channel3(480, 0xB0, 7, 1)};
    file.mTracks[2].mEvents = {MidiEvent::Channel3(0, 0x90, 60, 100), MidiEvent::Channel3(480, 0x90, 60, 0)};
    const std::vector<TimedEvent> events = ScheduleEvents(file, TempoMap(file), 48000.0);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].mFrame, 0);
    EXPECT_EQ(events[1].mFrame, 24000);
    EXPECT_EQ(events[1].mStatus, 0x80);  // the velocity-0 note-on, now a note-off, first
    EXPECT_EQ(events[2].mStatus, 0xB0);
    EXPECT_EQ(events[3].mStatus, 0x90);
    EXPECT_EQ(events[3].mData2, 100);
}

TEST(EventSchedule, SysexOnlyWhenComplete) {
    MidiFile file;
    file.mTracks.resize(1);
    MidiEvent whole, part, escape;
    whole.mStatus = part.mStatus = 0xF0;
    escape.mStatus = 0xF7;
    whole.mData = {0x41, 0x10, 0xF7};
    part.mData = {0x41, 0x10};  // continued in a later packet
    escape.mData = {0xF8};
    file.mTracks[0].mEvents = {whole, part, escape};
    const std::vector<TimedEvent> events = ScheduleEvents(file, TempoMap(file), 44100.0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].mSysex, (std::vector<uint8_t>{0xF0, 0x41, 0x10, 0xF7}));
}
