// The live host's cycle without JACK: events in and out at their own frames across the
// plug-in's blocks, the clock it tells the plug-in (its own, or JACK's transport while
// that rolls), events due after the cycle kept for the next one, and a stop that leaves
// no note sounding.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/tools/FakeEffect.h"
#include "tools/tamborelle-host/LiveHost.h"

namespace {

struct Message {
    uint32_t mFrame;
    std::vector<uint8_t> mBytes;
    bool operator==(const Message& o) const { return mFrame == o.mFrame && mBytes == o.mBytes; }
};

class ScriptedInput : public LiveMidiInput {
public:
    explicit ScriptedInput(std::vector<Message> events = {}) : mEvents(std::move(events)) {}
    uint32_t Count() override { return uint32_t(mEvents.size()); }
    bool Get(uint32_t index, uint32_t& frame, const uint8_t*& data, size_t& size) override {
        frame = mEvents[index].mFrame;
        data = mEvents[index].mBytes.data();
        size = mEvents[index].mBytes.size();
        return true;
    }

private:
    std::vector<Message> mEvents;
};

// Holds a server's rules: frames inside the cycle, never going back, and a buffer that
// takes only so many events.
class RecordingOutput : public LiveMidiOutput {
public:
    explicit RecordingOutput(uint32_t frames, size_t room = SIZE_MAX) : mFrames(frames), mRoom(room) {}
    bool Write(uint32_t frame, const uint8_t* data, size_t size) override {
        if (mWritten.size() >= mRoom) return false;
        EXPECT_LT(frame, mFrames);
        if (!mWritten.empty()) {
            EXPECT_GE(frame, mWritten.back().mFrame);
        }
        mWritten.push_back({frame, std::vector<uint8_t>(data, data + size)});
        return true;
    }
    std::vector<Message> mWritten;

private:
    uint32_t mFrames;
    size_t mRoom;
};

// Sends a scripted list from its first process call, deltas in any order.
struct Scripted {
    vst2::AEffect mEffect{};
    vst2::HostCallback mHost = nullptr;
    VstEventList mList;
    bool mSent = false;
} gScripted;

intptr_t ScriptedDispatcher(vst2::AEffect*, int32_t, int32_t, intptr_t, void*, float) { return 0; }
void ScriptedProcess(vst2::AEffect* e, float**, float**, int32_t) {
    if (gScripted.mSent) return;
    gScripted.mSent = true;
    gScripted.mHost(e, vst2::audioMasterProcessEvents, 0, 0, gScripted.mList.Events(), 0.0f);
}
vst2::AEffect* ScriptedEntry(vst2::HostCallback host) {
    gScripted.mHost = host;
    gScripted.mEffect = vst2::AEffect{};
    gScripted.mEffect.magic = vst2::kEffectMagic;
    gScripted.mEffect.dispatcher = ScriptedDispatcher;
    gScripted.mEffect.processReplacing = ScriptedProcess;
    gScripted.mEffect.flags = vst2::effFlagsCanReplacing;
    return &gScripted.mEffect;
}

const LiveTransport STANDING;

class LiveHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFakeEffect({});
        ASSERT_TRUE(mHost.Instantiate(FakeEntry));
        mHost.Start(48000, 64);
    }
    std::vector<Message> Cycle(uint32_t frames, std::vector<Message> in = {}, const LiveTransport& t = STANDING,
                               size_t room = SIZE_MAX) {
        ScriptedInput input(std::move(in));
        RecordingOutput output(frames, room);
        mHost.Cycle(frames, t, input, output);
        return output.mWritten;
    }
    LiveHost mHost;
};

}  // namespace

// A cycle longer than the plug-in's block is played in blocks; every event goes in with
// its frame inside its block and comes back out at the cycle's frame it went in at.
TEST_F(LiveHostTest, EventsKeepTheirFramesAcrossBlocks) {
    mHost.Prepare(48000, 64, 120);
    Cycle(256);
    const std::vector<Message> in = {
        {5, {0x90, 60, 100}}, {70, {0x91, 64, 90}}, {200, {0xE0, 0, 64}}, {255, {0x80, 60, 0}}};
    EXPECT_EQ(Cycle(256, in), in);
    const auto& blocks = TheFakeEffect().mBlocks;
    ASSERT_EQ(blocks.size(), 8u);
    const int events[4] = {1, 1, 0, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(blocks[size_t(4 + i)].mTime.samplePos, 256.0 + 64 * i);
        EXPECT_EQ(blocks[size_t(4 + i)].mFrames, 64);
        EXPECT_EQ(blocks[size_t(4 + i)].mEventsBefore, events[i]);
    }
    EXPECT_EQ(mHost.NotesIn(), 2);
    EXPECT_EQ(mHost.NotesOut(), 2);

    // Cut-off messages and data bytes above 127 never reach the plug-in.
    EXPECT_EQ(Cycle(256, {{1, {0xB0}}, {2, {0x90, 60}}, {3, {0x90, 60, 200}}, {4, {0xC0, 5, 6}}, {5, {0x40}},
                          {6, {0xF8}}}),
              (std::vector<Message>{{6, {0xF8}}}));
    EXPECT_EQ(mHost.Dropped(), 5);
}

// While JACK's transport stands the host's own clock plays on at its tempo; a rolling
// transport gives position, tempo and meter, and each switch is a transport change.
TEST_F(LiveHostTest, OwnClockOrJackTransport) {
    mHost.Prepare(48000, 256, 100);
    LiveTransport rolling;
    rolling.mRolling = true;
    rolling.mFrame = 96000;
    rolling.mBpm = 90;
    rolling.mNumerator = 3;
    rolling.mDenominator = 4;
    Cycle(256);
    Cycle(256);
    Cycle(256, {}, rolling);
    rolling.mFrame += 256;
    Cycle(256, {}, rolling);
    Cycle(256);
    const auto& b = TheFakeEffect().mBlocks;
    ASSERT_EQ(b.size(), 5u);
    const double positions[5] = {0, 256, 96000, 96256, 512};
    const bool changed[5] = {true, false, true, false, true};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(b[i].mTime.samplePos, positions[i]);
        EXPECT_NE(b[i].mTime.flags & vst2::kVstTransportPlaying, 0);
        EXPECT_EQ((b[i].mTime.flags & vst2::kVstTransportChanged) != 0, changed[i]);
    }
    EXPECT_EQ(b[1].mTime.tempo, 100.0);
    EXPECT_NEAR(b[1].mTime.ppqPos, 256 / 48000.0 * 100 / 60, 1e-12);
    EXPECT_EQ(b[2].mTime.tempo, 90.0);
    EXPECT_EQ(b[2].mTime.timeSigNumerator, 3);
    EXPECT_DOUBLE_EQ(b[2].mTime.ppqPos, 3.0);
    EXPECT_DOUBLE_EQ(b[2].mTime.barStartPos, 3.0);
    EXPECT_EQ(b[4].mTime.tempo, 100.0);
}

// Stopping tells the plug-in the transport stopped, and whatever it leaves sounding the
// host ends itself at the end of that cycle; after that nothing is played or sent.
TEST_F(LiveHostTest, StopEndsEverySoundingNote) {
    mHost.Prepare(48000, 64, 120);
    Cycle(64, {{1, {0x90, 60, 100}}, {2, {0x91, 64, 90}}, {3, {0x81, 64, 0}}, {4, {0x92, 67, 80}}});
    mHost.RequestStop();
    EXPECT_FALSE(mHost.Finished());
    const std::vector<Message> last = Cycle(64, {{0, {0x90, 72, 100}}});
    EXPECT_EQ(last, (std::vector<Message>{{63, {0x80, 60, 0}}, {63, {0x82, 67, 0}}}));
    EXPECT_EQ(TheFakeEffect().mBlocks.back().mTime.flags & vst2::kVstTransportPlaying, 0);
    EXPECT_TRUE(mHost.Finished());
    const size_t blocks = TheFakeEffect().mBlocks.size();
    EXPECT_TRUE(Cycle(64, {{0, {0x90, 72, 100}}}).empty());
    EXPECT_EQ(TheFakeEffect().mBlocks.size(), blocks);
}

// A server buffer that fills holds the rest back to the next cycle's first frame, in order;
// a stop finishes only when every note-off it owes is out.
TEST_F(LiveHostTest, AFullServerBufferLosesNothing) {
    mHost.Prepare(48000, 64, 120);
    const std::vector<Message> chord = {
        {1, {0x90, 60, 100}}, {2, {0x90, 64, 100}}, {3, {0x90, 67, 100}}, {4, {0x90, 71, 100}}};
    EXPECT_EQ(Cycle(64, chord, STANDING, 2), (std::vector<Message>{chord[0], chord[1]}));
    EXPECT_EQ(Cycle(64, {}, STANDING, 1), (std::vector<Message>{{0, {0x90, 67, 100}}}));
    EXPECT_EQ(Cycle(64), (std::vector<Message>{{0, {0x90, 71, 100}}}));
    mHost.RequestStop();
    std::vector<Message> offs;
    for (int cycle = 0; cycle < 8 && !mHost.Finished(); ++cycle)
        for (const Message& m : Cycle(64, {}, STANDING, 1)) offs.push_back(m);
    EXPECT_TRUE(mHost.Finished());
    std::vector<int> ended;
    for (const Message& m : offs)
        if (m.mBytes[0] == 0x80) ended.push_back(m.mBytes[1]);
    EXPECT_EQ(ended, (std::vector<int>{60, 64, 67, 71}));
    EXPECT_EQ(mHost.Dropped(), 0);
}

// A plug-in passes a message on at once and sends its notes later, and may send an event
// due exactly at the block's end: out they go in frame order, the late one next cycle.
TEST(LiveHostOrder, SortedAndCarried) {
    gScripted.mSent = false;
    gScripted.mList.Clear();
    gScripted.mList.AddMidi(40, 0xE0, 0, 64);
    gScripted.mList.AddMidi(10, 0x90, 60, 100);
    gScripted.mList.AddMidi(64, 0x90, 62, 100);  // the first frame of the next cycle
    gScripted.mList.AddMidi(10, 0x91, 60, 100);
    const uint8_t shortSysex[3] = {0xF0, 0x7E, 0xF7};
    gScripted.mList.AddSysex(20, shortSysex, 3);
    LiveHost host;
    ASSERT_TRUE(host.Instantiate(ScriptedEntry));
    host.Prepare(48000, 64, 120);
    ScriptedInput none;
    RecordingOutput first(64), second(64);
    host.Cycle(64, STANDING, none, first);
    host.Cycle(64, STANDING, none, second);
    EXPECT_EQ(first.mWritten,
              (std::vector<Message>{
                  {10, {0x90, 60, 100}}, {10, {0x91, 60, 100}}, {20, {0xF0, 0x7E, 0xF7}}, {40, {0xE0, 0, 64}}}));
    EXPECT_EQ(second.mWritten, (std::vector<Message>{{0, {0x90, 62, 100}}}));
}
