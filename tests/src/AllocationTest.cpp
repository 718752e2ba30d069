// The audio path allocates nothing once warmed up: effProcessEvents and
// processReplacing under dense MIDI, all four voices sounding, delays on.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/src/AllocationCounter.h"
#include "tests/src/PluginHarness.h"

namespace {

constexpr int kBlock = 512;
constexpr int kLongEnough = 4096;  // announced size that holds a whole long block

void Configure(PluginHarness& p) {
    p.SetParam(Par::MainChan, Norm::Chan(1));
    p.SetParam(Par::ParChan, Norm::Chan(2));
    p.SetParam(Par::V1Chan, Norm::Chan(3));
    p.SetParam(Par::V2Chan, Norm::Chan(4));
    p.SetParam(Par::ParInt, Norm::Interval(7));
    p.SetParam(Par::ParVel, Norm::Velocity(-10));
    const int v1[4] = {3, 5, -5, 12};
    const int v2[4] = {-12, 4, 9, -7};
    for (int slot = 0; slot < 4; ++slot) {
        p.SetParam(Par::V1Int1 + slot, Norm::Interval(v1[slot]));
        p.SetParam(Par::V2Int1 + slot, Norm::Interval(v2[slot]));
    }
    p.SetParam(Par::V1Algo, Norm::Algo(Algo::UpDown));
    p.SetParam(Par::V2Algo, Norm::Algo(Algo::ZigZag));
    p.SetParam(Par::PDelay, Norm::Division(Div::Sixteenth));
    p.SetParam(Par::V1Delay, Norm::Division(Div::Eighth));
    p.SetParam(Par::V2Delay, Norm::Division(Div::Quarter));
    p.SetParam(Par::Snap, 1.0f);
    p.SetParam(Par::Scale, Norm::Scale(1));
}

// Block k: four note-ons, the note-offs of the notes started ten blocks earlier,
// a pitch bend, a controller, and every 64 blocks an all-notes-off on channel 3.
// The pattern repeats every 64 blocks, so warm-up reaches every pool size.
void QueueDenseBlock(PluginHarness& p, long k) {
    for (int j = 0; j < 4; ++j) {
        p.NoteOn(j * 128 + static_cast<int>(k % 100), 24 + static_cast<int>((4 * k + j) % 64), 40 + 20 * j);
        if (k >= 10) p.NoteOff(j * 128 + 5, 24 + static_cast<int>((4 * (k - 10) + j) % 64));
    }
    p.PitchBend(77, static_cast<int>((k * 129) % 16384));
    p.ControlChange(99, 1, static_cast<int>(k % 128));
    if (k % 64 == 63) p.ControlChange(300, 123, 0, 3);
}

// The module's own allocations are seen by the counter (the test can fail).
TEST(AllocationTest, CounterSeesTheModule) {
    PluginHarness p;
    AllocationCounter::Arm();
    const bool created = p.Create();
    AllocationCounter::Disarm();
    ASSERT_TRUE(created) << p.Error();
    EXPECT_GT(AllocationCounter::Allocations(), 0u);
}

// 10,000 dense blocks after warm-up allocate nothing.
TEST(AllocationTest, DenseMidiAllocatesNothing) {
    PluginHarness p;
    ASSERT_TRUE(p.Create()) << p.Error();
    p.Open(44100.0f, kBlock);
    Configure(p);
    p.StartPlayback(kBlock);
    RecordingHost& host = p.Host();

    long k = 0;
    for (; k < 2048; ++k) {
        QueueDenseBlock(p, k);
        p.ProcessBlock(kBlock);
        host.mTime.samplePos += kBlock;
        host.mLog.clear();
    }

    long perChannel[16] = {};
    AllocationCounter::Arm();
    for (long end = k + 10000; k < end; ++k) {
        QueueDenseBlock(p, k);
        p.ProcessBlock(kBlock);
        host.mTime.samplePos += kBlock;
        for (const Sent& s : host.mLog)
            if (s.IsNoteOn()) ++perChannel[s.Channel()];
        host.mLog.clear();
    }
    AllocationCounter::Disarm();

    EXPECT_EQ(AllocationCounter::Allocations(), 0u);
    EXPECT_EQ(AllocationCounter::Frees(), 0u);
    EXPECT_EQ(host.mOverflow, 0u);
    for (int channel = 0; channel < 4; ++channel)
        EXPECT_GT(perChannel[channel], 10000) << "voice on channel " << channel << " barely sounded";
}

// Blocks longer than the announced size allocate nothing either, and every event of the
// block leaves at the offset it has in the whole block.
TEST(AllocationTest, OversizedBlocksAllocateNothing) {
    auto play = [](int announced, bool count) {
        constexpr int kLong = 3000;
        PluginHarness p;
        if (!p.Create()) return SentLog{};
        p.Open(44100.0f, announced);
        Configure(p);
        RecordingHost& host = p.Host();
        SentLog log;
        log.reserve(1 << 15);  // recording must not allocate while counted
        // Counted from the first long block on: growing buffers for it would be counted too.
        if (count) AllocationCounter::Arm();
        p.StartPlayback(kLong);
        for (long k = 0; k < 200; ++k) {
            for (int j = 0; j < 4; ++j) {
                p.NoteOn(j * 700 + static_cast<int>(k % 97), 36 + static_cast<int>((4 * k + j) % 48), 90);
                if (k >= 3) p.NoteOff(j * 700 + 350, 36 + static_cast<int>((4 * (k - 3) + j) % 48));
            }
            p.PitchBend(kLong - 1, static_cast<int>(k * 77 % 16384));
            p.ProcessBlock(kLong);
            for (const Sent& s : host.mLog)
                if (s.delta < 0 || s.delta >= kLong) ADD_FAILURE() << Describe(s) << " outside the block";
            log.insert(log.end(), host.mLog.begin(), host.mLog.end());
            host.mTime.samplePos += kLong;
            host.mLog.clear();
        }
        AllocationCounter::Disarm();
        return NotesOnly(log);
    };
    const SentLog sliced = play(256, true);
    EXPECT_EQ(AllocationCounter::Allocations(), 0u);
    EXPECT_GT(NoteOns(sliced).size(), 2000u);
    EXPECT_EQ(DescribeAbs(sliced), DescribeAbs(play(kLongEnough, false)))
        << "the same notes at the same positions as in whole blocks";
}

// A block size the host announces but memory cannot hold keeps the old size: blocks of
// that size keep playing and nothing writes past a buffer.
TEST(AllocationTest, BlockSizeWithoutMemoryKeepsTheOldSize) {
    PluginHarness p;
    ASSERT_TRUE(p.Create()) << p.Error();
    p.Open(44100.0f, kBlock);
    AllocationCounter::FailAbove(1 << 20);
    p.Dispatch(vst2::effSetBlockSize, 0, 1 << 24);
    AllocationCounter::FailAbove(SIZE_MAX);
    p.StartPlayback(kBlock);
    for (int i = 0; i < 4; ++i) {
        p.NoteOn(100, 60 + i, 100);
        p.NoteOff(kBlock - 1, 60 + i);
        const std::string note = std::to_string(60 + i);
        EXPECT_EQ(Describe(p.Roll(kBlock)), "on " + note + " c0 v100 @100, off " + note + " c0 @511");
    }
}

}  // namespace
