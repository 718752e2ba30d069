// The output file of a render: its time base, one track per channel, counts,
// and notes left sounding.
#include <gtest/gtest.h>

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
