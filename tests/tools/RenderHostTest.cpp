// Rendering through a stand-in plug-in that echoes its input: the transport it
// sees block by block, the pre-roll and tail, event timing in and out, when
// parameters reach it, where the render's notes sit, and which voices the
// piano roll's legend names.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/tools/FakeEffect.h"
#include "tools/tamborelle-host/ChannelVoices.h"
#include "tools/tamborelle-host/EventSchedule.h"
#include "tools/tamborelle-host/RenderHost.h"

namespace {

MidiFile Phrase(uint32_t microsPerQuarter = 500000) {
    MidiFile file;
    file.mDivision = 480;
    file.mTracks.resize(2);
    file.mTracks[0].mEvents = {MidiEvent::Tempo(0, microsPerQuarter)};
    file.mTracks[1].mEvents = {
        MidiEvent::Channel3(0, 0x90, 60, 100),  MidiEvent::Channel3(0, 0x90, 64, 90),
        MidiEvent::Channel3(480, 0x90, 60, 0),  MidiEvent::Channel3(480, 0x80, 64, 0),
        MidiEvent::Channel3(720, 0x91, 67, 80), MidiEvent::Channel2(800, 0xC1, 3),
        MidiEvent::Channel3(1000, 0x81, 67, 0),
    };
    return file;
}

std::vector<MidiEvent> ChannelEvents(const MidiFile& file) {
    std::vector<MidiEvent> out;
    for (const MidiTrack& t : file.mTracks)
        for (const MidiEvent& e : t.mEvents)
            if (e.IsChannel()) out.push_back(e);
    std::stable_sort(out.begin(), out.end(), [](const MidiEvent& a, const MidiEvent& b) { return a.mTick < b.mTick; });
    return out;
}

class RenderHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFakeEffect({{"Mode", 0, 4, 1, {"A", "B", "C", "D", "E"}}});
        ASSERT_TRUE(mHost.Instantiate(FakeEntry));
    }
    bool Render(const MidiFile& in, const RenderSettings& settings, std::vector<std::pair<int, float>> params = {}) {
        std::string error;
        return mHost.Render(in, settings, params, mOut, mReport, error);
    }
    RenderHost mHost;
    MidiFile mOut;
    RenderReport mReport;
};

}  // namespace

// The echo comes back at the times it went in: positions survive the trip
// through blocks, pre-roll and the output file's own time base.
TEST_F(RenderHostTest, EchoKeepsTimingAndChannels) {
    RenderSettings settings;
    settings.mBlockSize = 100;  // events fall in the middle of blocks
    ASSERT_TRUE(Render(Phrase(), settings));
    EXPECT_EQ(mOut.mFormat, 1);
    EXPECT_EQ(mOut.mDivision, 960);
    ASSERT_EQ(mOut.mTracks.size(), 3u);  // conductor, channel 1, channel 2
    const std::vector<MidiEvent> out = ChannelEvents(mOut);
    const std::vector<MidiEvent> in = ChannelEvents(Phrase());
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(out[i].mTick, in[i].mTick * 2);
        // A note-on with velocity 0 is delivered as a note-off.
        const uint8_t status = in[i].IsNoteOff() ? uint8_t(0x80 | in[i].Channel()) : in[i].mStatus;
        EXPECT_EQ(out[i].mStatus, status);
        EXPECT_EQ(out[i].mData[0], in[i].mData[0]);
    }
    EXPECT_EQ(mReport.mNotesIn, 3);
    EXPECT_EQ(mReport.mOut.mNotes[0], 2);
    EXPECT_EQ(mReport.mOut.mNotes[1], 1);
    EXPECT_EQ(mReport.mOut.mOthers, 1);
    EXPECT_EQ(mReport.mOut.mHanging, 0);
}

// One stopped block to learn the tempo, then continuous playing blocks from 0
// with a bar of silence first, two bars after the last event, two stopped blocks.
TEST_F(RenderHostTest, TransportRollsLikeADaw) {
    RenderSettings settings;
    settings.mBlockSize = 512;
    ASSERT_TRUE(Render(Phrase(), settings));
    const auto& blocks = TheFakeEffect().mBlocks;
    ASSERT_GT(blocks.size(), 10u);
    EXPECT_EQ(blocks.front().mTime.flags & vst2::kVstTransportPlaying, 0);
    EXPECT_EQ(blocks.front().mTime.tempo, 120.0);
    const int playing = int(blocks.size()) - 3;
    size_t firstEvents = 0;
    for (int i = 1; i <= playing; ++i) {
        const vst2::VstTimeInfo& t = blocks[size_t(i)].mTime;
        ASSERT_EQ(t.samplePos, double(i - 1) * 512);
        const int need = vst2::kVstTransportPlaying | vst2::kVstTempoValid | vst2::kVstPpqPosValid |
                         vst2::kVstBarsValid | vst2::kVstTimeSigValid;
        ASSERT_EQ(t.flags & need, need);
        EXPECT_NEAR(t.ppqPos, t.samplePos / 22050.0, 1e-9);
        EXPECT_EQ(blocks[size_t(i)].mFrames, 512);
        if (!firstEvents && blocks[size_t(i)].mEventsBefore) firstEvents = size_t(i);
    }
    // The first event is one bar (88200 frames) in: block 172 of the playing ones.
    EXPECT_EQ(firstEvents, 88200u / 512 + 1);
    for (size_t i = blocks.size() - 2; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].mTime.flags & vst2::kVstTransportPlaying, 0);
        EXPECT_EQ(blocks[i].mTime.samplePos, double(playing) * 512);
    }
    // Last event at 1000 ticks; two bars later the transport still rolled.
    const double lastEvent = 88200 + 1000 / 480.0 * 22050;
    EXPECT_GE(double(playing) * 512, lastEvent + 8 * 22050);
    EXPECT_LT(double(playing) * 512, lastEvent + 8 * 22050 + 2 * 512);
}

// A tempo change in the file moves later events and the tempo the plug-in sees.
TEST_F(RenderHostTest, TempoMapReachesTheTransport) {
    MidiFile file = Phrase();
    file.mTracks[0].mEvents.push_back(MidiEvent::Tempo(480, 1000000));  // 60 BPM from beat 2
    RenderSettings settings;
    settings.mBlockSize = 441;
    ASSERT_TRUE(Render(file, settings));
    const auto& blocks = TheFakeEffect().mBlocks;
    bool saw120 = false, saw60 = false;
    for (const FakeBlock& b : blocks) {
        const double fileSeconds = (b.mTime.samplePos - 88200) / 44100.0;
        if (fileSeconds >= 0.0 && fileSeconds < 0.5) saw120 = saw120 || b.mTime.tempo == 120.0;
        if (fileSeconds >= 0.5 && fileSeconds < 3.0) {
            saw60 = true;
            EXPECT_EQ(b.mTime.tempo, 60.0);
            EXPECT_NEAR(b.mTime.ppqPos, 4.0 + 1.0 + (fileSeconds - 0.5), 1e-9);
        }
    }
    EXPECT_TRUE(saw120);
    EXPECT_TRUE(saw60);
    // Tick 720 is 0.5 s + 0.5 s at 60 BPM = 1 s; the output holds it at 120 BPM: tick 1920.
    const std::vector<MidiEvent> out = ChannelEvents(mOut);
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[4].mData[0], 67);
    EXPECT_EQ(out[4].mTick, 1920u);
}

TEST_F(RenderHostTest, FixedTempoOverridesTheFile) {
    RenderSettings settings;
    settings.mTempo = 60.0;
    ASSERT_TRUE(Render(Phrase(), settings));
    EXPECT_EQ(mReport.mBpm, 60.0);
    EXPECT_EQ(TheFakeEffect().mBlocks[0].mTime.tempo, 60.0);
    // Same ticks in, same ticks out, but each beat is a second now.
    const std::vector<MidiEvent> out = ChannelEvents(mOut);
    EXPECT_EQ(out.back().mTick, 2000u);
    EXPECT_GE(mReport.mSeconds, 4.0 + 1000 / 480.0 + 8.0);
}

// Parameters arrive after the tempo block and before the first playing one.
TEST_F(RenderHostTest, ParametersFollowTheTempoBlock) {
    ASSERT_TRUE(Render(Phrase(), RenderSettings{}, {{0, 0.76f}}));
    EXPECT_EQ(TheFakeEffect().mParams[0].mValue, 3.0);
    EXPECT_EQ(TheFakeEffect().mParams[0].mSetAtBlock, 1u);
}

// More events in one block than one effProcessEvents call carries.
TEST_F(RenderHostTest, CrowdedBlocksLoseNothing) {
    MidiFile file;
    file.mTracks.resize(1);
    file.mFormat = 0;
    for (int i = 0; i < 1500; ++i) file.mTracks[0].mEvents.push_back(MidiEvent::Channel3(0, 0xB0, 1, uint8_t(i % 128)));
    ASSERT_TRUE(Render(file, RenderSettings{}));
    EXPECT_EQ(ChannelEvents(mOut).size(), 1500u);
}

TEST_F(RenderHostTest, RefusesFormat2) {
    MidiFile file = Phrase();
    file.mFormat = 2;
    EXPECT_FALSE(Render(file, RenderSettings{}));
}

// The notes of a render are placed in samples and in quarter notes of the file's tempo
// map: the echo of the note at tick 720 (1.5 quarters) sits after the change to 60 BPM.
TEST_F(RenderHostTest, NotesArePlacedInSamplesAndQuarters) {
    MidiFile file = Phrase();
    file.mTracks[0].mEvents.push_back(MidiEvent::Tempo(480, 1000000));
    ASSERT_TRUE(Render(file, RenderSettings{}));
    ASSERT_EQ(mReport.mInputNotes.size(), 3u);
    ASSERT_EQ(mReport.mOutputNotes.size(), 3u);
    for (const std::vector<PlayedNote>* notes : {&mReport.mInputNotes, &mReport.mOutputNotes}) {
        const PlayedNote& n = notes->back();
        EXPECT_EQ(n.mNote, 67);
        EXPECT_EQ(n.mChannel, 1);
        EXPECT_EQ(n.mStart, 44100);   // 0.5 s at 120 BPM, 0.5 s at 60
        EXPECT_EQ(n.mLength, 25725);  // 280 ticks at 60 BPM
        EXPECT_NEAR(n.mStartQuarters, 1.5, 1e-9);
        EXPECT_NEAR(n.mLengthQuarters, 280.0 / 480.0, 1e-9);
    }
    EXPECT_EQ(mReport.mNumerator, 4);
    EXPECT_EQ(mReport.mDenominator, 4);
}

// The legend's words: the unmuted voices whose channel parameter shows the channel, with
// their delay. A plug-in without Tamborelle's parameters gets no words.
TEST(ChannelVoices, ReadOffTheParameters) {
    const std::vector<std::string> onOff = {"off", "on"}, delays = {"--off--", "1/4", "1/8"};
    ResetFakeEffect({{"MainChan", 1, 16, 1, {}, 0, 1},
                     {"MainMute", 0, 1, 1, onOff, 0, 0},
                     {"MnDelay", 0, 2, 1, delays, 0, 0},
                     {"ParChan", 1, 16, 1, {}, 0, 1},
                     {"ParMute", 0, 1, 1, onOff, 0, 0},
                     {"ParMute", -24, 24, 1, {}, 0, 7},  // the interval, as Tamborelle names it
                     {"v1Chan", 1, 16, 1, {}, 0, 3},
                     {"v1Mute", 0, 1, 1, onOff, 0, 1},
                     {"v2Chan", 1, 16, 1, {}, 0, 3},
                     {"v2Mute", 0, 1, 1, onOff, 0, 0},
                     {"v2Delay", 0, 2, 1, delays, 0, 2}});
    VstHost host;
    ASSERT_TRUE(host.Instantiate(FakeEntry));
    const ChannelVoices voices = ReadChannelVoices(host);
    EXPECT_EQ(voices.mNames[0], "main, parallel");
    EXPECT_EQ(voices.mNames[2], "v2 1/8 late");  // v1 is muted
    for (int c : {1, 3, 15}) EXPECT_EQ(voices.mNames[c], "");

    ResetFakeEffect({{"Mode", 0, 4, 1, {"A", "B", "C", "D", "E"}}});
    VstHost other;
    ASSERT_TRUE(other.Instantiate(FakeEntry));
    for (const std::string& name : ReadChannelVoices(other).mNames) EXPECT_EQ(name, "");
}
