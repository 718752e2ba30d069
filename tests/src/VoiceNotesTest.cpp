// The four voices: rotation patterns, interval mutes, velocity offsets,
// pitch range and duplicate suppression.
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

class VoiceNotesTest : public PluginTest {
protected:
    // v1 alone on channel 2 with intervals +1..+4, so its pitch names the slot.
    void SoloV1WithMarkedIntervals() {
        Solo(3);
        p.SetParam(Par::V1Chan, Norm::Chan(3));
        for (int slot = 0; slot < 4; ++slot) p.SetParam(Par::V1Int1 + slot, Norm::Interval(slot + 1));
    }

    // Plays note 60 once per block; per trigger the slot the voice on channel played
    // (0..3, from intervals +1..+4), or -1 for silence.
    std::vector<int> V1Slots(int triggers, int channel = 2) {
        std::vector<int> slots;
        for (int i = 0; i < triggers; ++i) {
            p.NoteOn(0, 60, 100);
            p.NoteOff(256, 60);
            SentLog ons = NoteOns(OnChannel(p.Roll(kBlock), channel));
            slots.push_back(ons.empty() ? -1 : ons[0].Note() - 61);
        }
        return slots;
    }
};

// --- Rotation patterns ----------------------------------------------------------

struct PatternCase {
    const char* name;
    int algo;
    std::vector<int> slots;
};
void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }

class RotationPatternTest : public VoiceNotesTest, public ::testing::WithParamInterface<PatternCase> {};

// Each pattern steps through the four intervals in its own order, starting right after selection.
TEST_P(RotationPatternTest, IndexSequence) {
    SoloV1WithMarkedIntervals();
    p.SetParam(Par::V1Algo, Norm::Algo(GetParam().algo));
    p.StartPlayback();
    EXPECT_EQ(V1Slots(static_cast<int>(GetParam().slots.size())), GetParam().slots);
}

INSTANTIATE_TEST_SUITE_P(Patterns, RotationPatternTest,
                         ::testing::Values(PatternCase{"Up", Algo::Up, {1, 2, 3, 0, 1, 2, 3, 0}},
                                           PatternCase{"Down", Algo::Down, {2, 1, 0, 3, 2, 1, 0, 3}},
                                           PatternCase{"UpDown", Algo::UpDown, {1, 2, 3, 2, 1, 0, 1, 2, 3}},
                                           PatternCase{"ZigZag", Algo::ZigZag, {2, 1, 3, 0, 2, 1, 3, 0}},
                                           PatternCase{"Random", Algo::Random, {3, 0, 2, 2, 1, 2, 0, 0}}),
                         [](const ::testing::TestParamInfo<PatternCase>& info) { return info.param.name; });

// Both rotating voices on Random draw alternately from the one generator.
TEST_F(VoiceNotesTest, RandomVoicesShareOneGenerator) {
    Solo(0);
    p.SetParam(Par::V1Mute, 0.0f);
    p.SetParam(Par::V2Mute, 0.0f);
    p.SetParam(Par::V1Chan, Norm::Chan(3));
    p.SetParam(Par::V2Chan, Norm::Chan(4));
    for (int slot = 0; slot < 4; ++slot) {
        p.SetParam(Par::V1Int1 + slot, Norm::Interval(slot + 1));
        p.SetParam(Par::V2Int1 + slot, Norm::Interval(slot + 1));
    }
    p.SetParam(Par::V1Algo, Norm::Algo(Algo::Random));
    p.SetParam(Par::V2Algo, Norm::Algo(Algo::Random));
    p.StartPlayback();
    std::vector<int> v1, v2;
    for (int i = 0; i < 4; ++i) {
        p.NoteOn(0, 60, 100);
        p.NoteOff(256, 60);
        SentLog ons = NoteOns(p.Roll(kBlock));
        for (const Sent& s : ons) (s.Channel() == 2 ? v1 : v2).push_back(s.Note() - 61);
    }
    EXPECT_EQ(v1, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(v2, (std::vector<int>{0, 2, 2, 0}));
}

// A muted interval is still landed on: the voice is silent for that trigger.
TEST_F(VoiceNotesTest, MutedIntervalIsSilentNotSkipped) {
    SoloV1WithMarkedIntervals();
    p.SetParam(Par::V1Mute1 + 1, 1.0f);
    p.StartPlayback();
    EXPECT_EQ(V1Slots(6), (std::vector<int>{-1, 2, 3, 0, -1, 2}));
}

// A velocity-0 note-on still steps the rotating voices.
TEST_F(VoiceNotesTest, VelocityZeroStillAdvances) {
    SoloV1WithMarkedIntervals();
    p.StartPlayback();
    p.NoteOn(0, 60, 0);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "");
    EXPECT_EQ(V1Slots(1), (std::vector<int>{2}));
}

// A chord in one batch steps the voice once per note: each chord note gets the next interval.
TEST_F(VoiceNotesTest, ChordStepsOncePerNote) {
    SoloV1WithMarkedIntervals();
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.NoteOn(0, 64, 100);
    p.NoteOn(0, 67, 100);
    EXPECT_EQ(Brief(p.Roll(kBlock)), "on 62 c2 v100, on 67 c2 v100, on 71 c2 v100");
}

// Applying the pattern again, even unchanged, restarts the sequence.
TEST_F(VoiceNotesTest, ReapplyingPatternRestarts) {
    SoloV1WithMarkedIntervals();
    p.StartPlayback();
    EXPECT_EQ(V1Slots(2), (std::vector<int>{1, 2}));
    p.SetParam(Par::V1Algo, Norm::Algo(Algo::Up));
    EXPECT_EQ(V1Slots(2), (std::vector<int>{1, 2}));
}

// v2 rotates by its own pattern and intervals.
TEST_F(VoiceNotesTest, SecondRotatorHasItsOwnSettings) {
    Solo(4);
    p.SetParam(Par::V2Chan, Norm::Chan(5));
    for (int slot = 0; slot < 4; ++slot) p.SetParam(Par::V2Int1 + slot, Norm::Interval(slot + 1));
    p.SetParam(Par::V2Algo, Norm::Algo(Algo::Down));
    p.StartPlayback();
    EXPECT_EQ(V1Slots(4, 4), (std::vector<int>{2, 1, 0, 3}));
}

// --- Velocity ----------------------------------------------------------------------

// The velocity offset is added to the trigger's velocity.
TEST_F(VoiceNotesTest, VelocityOffsetIsAdded) {
    Solo(2);
    p.SetParam(Par::ParInt, Norm::Interval(7));
    p.SetParam(Par::ParVel, Norm::Velocity(-30));
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 67 c0 v70 @0");
}

// A velocity that falls to 0 or below silences the voice, and no group is started for it.
TEST_F(VoiceNotesTest, VelocityAtOrBelowZeroIsSilent) {
    Solo(2);
    p.SetParam(Par::ParVel, Norm::Velocity(-30));
    p.StartPlayback();
    p.NoteOn(0, 60, 20);
    p.NoteOn(0, 61, 30);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "");
    p.NoteOff(0, 60);
    p.NoteOff(0, 61);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "");
}

// A velocity above 127 is limited to 127; 127 itself and those below stay.
TEST_F(VoiceNotesTest, VelocityIsLimitedTo127) {
    Solo(3);
    p.SetParam(Par::V1Vel, Norm::Velocity(30));
    p.StartPlayback();
    p.NoteOn(0, 60, 120);  // 150
    p.NoteOn(10, 61, 98);  // 128
    p.NoteOn(20, 62, 97);  // 127
    p.NoteOn(30, 63, 96);  // 126
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v127 @0, on 61 c0 v127 @10, on 62 c0 v127 @20, on 63 c0 v126 @30");
}

// --- Pitch range and duplicates --------------------------------------------------------

// A pitch that leaves 0..127 gives no note for that voice.
TEST_F(VoiceNotesTest, PitchOutsideMidiRangeIsSilent) {
    Solo(2);
    p.SetParam(Par::ParInt, Norm::Interval(12));
    p.StartPlayback();
    p.NoteOn(0, 120, 100);
    p.NoteOn(0, 115, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 127 c0 v100 @0");
    p.SetParam(Par::ParInt, Norm::Interval(-12));
    p.NoteOn(0, 5, 100);
    p.NoteOn(0, 12, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 0 c0 v100 @0");
}

// Voices landing on the same pitch, channel and time as an earlier voice are dropped.
TEST_F(VoiceNotesTest, DuplicateNotesAreSuppressed) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0");
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0");
}

// The same pitch at another time is not a duplicate.
TEST_F(VoiceNotesTest, SamePitchLaterIsNotDuplicate) {
    p.SetParam(Par::V1Mute, 1.0f);
    p.SetParam(Par::V2Mute, 1.0f);
    p.SetParam(Par::PDelay, Norm::Division(Div::ThirtySecondTriplet));  // 918 samples
    p.StartPlayback();
    const int64_t start = static_cast<int64_t>(p.Position());
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(DescribeAbs(p.RollBlocks(3, kBlock)),
              "on 60 c0 v100 @@" + std::to_string(start) + ", on 60 c0 v100 @@" + std::to_string(start + 918));
}

// A later voice whose snapped pitch meets an earlier voice's note is dropped.
TEST_F(VoiceNotesTest, SnappedDuplicateIsSuppressed) {
    p.SetParam(Par::V1Mute, 1.0f);
    p.SetParam(Par::V2Mute, 1.0f);
    p.SetParam(Par::Snap, 1.0f);
    p.SetParam(Par::ParInt, Norm::Interval(1));
    p.StartPlayback();
    p.NoteOn(0, 61, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 62 c0 v100 @0");
}

// With all four voices on their own channels a trigger gives four notes, in voice order.
TEST_F(VoiceNotesTest, AllFourVoicesSound) {
    SpreadVoices();
    p.SetParam(Par::ParInt, Norm::Interval(-5));
    p.SetParam(Par::V1Int1 + 1, Norm::Interval(3));
    p.SetParam(Par::V2Int1 + 1, Norm::Interval(12));
    p.SetParam(Par::V1Vel, Norm::Velocity(-10));
    p.SetParam(Par::V2Vel, Norm::Velocity(5));
    p.StartPlayback();
    p.NoteOn(10, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @10, on 55 c1 v100 @10, on 63 c2 v90 @10, on 72 c3 v105 @10");
}

}  // namespace
