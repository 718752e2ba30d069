// The output of a render: the file's time base, one track per channel, counts,
// notes left sounding; and the notes as the event table lists them.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/tamborelle-host/EventTable.h"
#include "tools/tamborelle-host/PlayedNotes.h"
#include "tools/tamborelle-host/RenderOutput.h"

TEST(RenderOutput, TracksPerChannelInTimeOrder) {
    OutputTiming timing;
    timing.mOrigin = 1000;
    timing.mSampleRate = 48000;
    timing.mBpm = 90;  // 32000 samples a beat
    timing.mNumerator = 3;
    timing.mDenominator = 4;
    std::vector<RenderedEvent> events = {
        {1000 + 32000, 0x83, 60, 0, {}},  // arrived first, belongs later
        {1000, 0x93, 60, 100, {}},
        {1000 + 16000, 0x90, 67, 90, {}},
        {500, 0xC0, 4, 0, {}},  // before the origin: tick 0
        {1000 + 64000, 0xF0, 0, 0, {0xF0, 0x7D, 0xF7}},
    };
    OutputCounts counts;
    const MidiFile file = BuildOutputFile(events, timing, counts);
    ASSERT_EQ(file.mTracks.size(), 4u);  // conductor, channel 1, channel 4, sysex
    const auto& conductor = file.mTracks[0].mEvents;
    ASSERT_EQ(conductor.size(), 3u);
    EXPECT_EQ(conductor[1].mData, (std::vector<uint8_t>{0x0A, 0x2C, 0x2B}));  // 666667 us a beat
    EXPECT_EQ(conductor[2].mData[0], 3);
    const auto& ch1 = file.mTracks[1].mEvents;
    ASSERT_EQ(ch1.size(), 3u);
    EXPECT_EQ(ch1[1].mStatus, 0xC0);
    EXPECT_EQ(ch1[1].mTick, 0u);
    EXPECT_EQ(ch1[1].mData.size(), 1u);
    EXPECT_EQ(ch1[2].mTick, 480u);
    const auto& ch4 = file.mTracks[2].mEvents;
    ASSERT_EQ(ch4.size(), 3u);
    EXPECT_EQ(ch4[1].mTick, 0u);
    EXPECT_EQ(ch4[2].mTick, 960u);
    EXPECT_EQ(ch4[2].mStatus, 0x83);
    EXPECT_EQ(file.mTracks[3].mEvents[1].mData, (std::vector<uint8_t>{0x7D, 0xF7}));
    EXPECT_EQ(file.mTracks[3].mEvents[1].mTick, 1920u);
    EXPECT_EQ(counts.mNotes[0], 1);
    EXPECT_EQ(counts.mNotes[3], 1);
    EXPECT_EQ(counts.mNoteOffs[3], 1);
    EXPECT_EQ(counts.TotalNotes(), 2);
    EXPECT_EQ(counts.mOthers, 2);
    EXPECT_EQ(counts.mHanging, 1);  // 67 on channel 1 never ended
}

// A note-off ends the earliest sounding note of its key, a note-on with velocity 0 ends
// one too, a note never ended lasts to the end, and other messages are no notes.
TEST(PlayedNotes, PairsNoteOnsWithTheirEnds) {
    const std::vector<NoteMessage> messages = {
        {0, 0x90, 60, 100}, {10, 0x90, 60, 90},  // the same key twice
        {20, 0x80, 60, 0},  {30, 0x91, 64, 80},  // channel 2
        {35, 0xB0, 7, 100}, {40, 0x90, 60, 0},   // a controller; a note-on ending the second
        {50, 0x93, 67, 70}, {55, 0x80, 72, 0},   // never ended; an end with no start
    };
    const std::vector<PlayedNote> notes = PairNotes(messages, 100);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].mStart, 0);
    EXPECT_EQ(notes[0].mLength, 20);
    EXPECT_EQ(notes[0].mVelocity, 100);
    EXPECT_EQ(notes[1].mStart, 10);
    EXPECT_EQ(notes[1].mLength, 30);
    EXPECT_EQ(notes[2].mChannel, 1);
    EXPECT_EQ(notes[2].mLength, 70);  // to the end
    EXPECT_EQ(notes[3].mChannel, 3);
    EXPECT_EQ(notes[3].mLength, 50);
}

// Positions count bars and beats from 1 and ticks from 0; a beat is the meter's note value.
TEST(EventTable, BarsBeatsAndTicks) {
    const TableMeter fourFour;
    EXPECT_EQ(BarsBeatsTicks(0.0, fourFour), "1:1:000");
    EXPECT_EQ(BarsBeatsTicks(5.5, fourFour), "2:2:480");
    EXPECT_EQ(BarsBeatsTicks(4.0 - 1e-9, fourFour), "2:1:000");  // no "1:4:960"
    EXPECT_EQ(BeatsTicks(1.75, fourFour), "1:720");
    TableMeter sixEight;
    sixEight.mNumerator = 6;
    sixEight.mDenominator = 8;
    EXPECT_EQ(BarsBeatsTicks(3.5, sixEight), "2:2:000");  // a bar is three quarters, a beat an eighth
    EXPECT_EQ(BeatsTicks(0.75, sixEight), "1:240");

    PlayedNote n;
    n.mStart = 66150;
    n.mLength = 11025;
    n.mStartQuarters = 3.0;
    n.mLengthQuarters = 0.5;
    n.mChannel = 3;
    n.mNote = 61;
    n.mVelocity = 87;
    std::ostringstream out;
    PrintEventTable({n}, fourFour, out);
    EXPECT_NE(out.str().find("1:4:000      66150   4  C#4   61   87            0:480     11025\n"), std::string::npos)
        << out.str();
}
