// Trigger groups: a note-off ends exactly the notes its trigger started, as
// they were started, whatever changed in between.
#include "tests/src/PluginFixture.h"

namespace {

using TriggerGroupTest = PluginTest;

// --- Releases after parameter changes --------------------------------------------

// Changing the parallel interval while the note is held still ends the pitch that was started.
TEST_F(TriggerGroupTest, IntervalChangedWhileHeld) {
    p.SetParam(Par::ParChan, Norm::Chan(2));
    p.SetParam(Par::ParInt, Norm::Interval(7));
    p.SetParam(Par::V1Mute, 1.0f);
    p.SetParam(Par::V2Mute, 1.0f);
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0, on 67 c1 v100 @0");
    p.SetParam(Par::ParInt, Norm::Interval(5));
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0, off 67 c1");
}

// Changing a voice's channel while the note is held ends it on the channel it started on.
TEST_F(TriggerGroupTest, ChannelChangedWhileHeld) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0");
    p.SetParam(Par::MainChan, Norm::Chan(6));
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0");
}

// Changing the scale snapping while the note is held ends the snapped pitch that sounded.
TEST_F(TriggerGroupTest, ScaleChangedWhileHeld) {
    Solo(1);
    p.SetParam(Par::Snap, 1.0f);
    p.StartPlayback();
    p.NoteOn(0, 61, 100);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 62 c0 v100 @0");
    p.SetParam(Par::Snap, 0.0f);
    p.SetParam(Par::Scale, Norm::Scale(2));
    p.NoteOff(0, 61);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 62 c0");
}

// --- How long released notes last ----------------------------------------------

// A note played and released within one block keeps its length instead of collapsing to nothing.
TEST_F(TriggerGroupTest, ShortNoteKeepsItsLength) {
    Solo(1);
    p.StartPlayback();
    p.NoteOn(100, 60, 100);
    p.NoteOff(300, 60);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @100, off 60 c0 @300");
}

// A delayed voice ends as long after the note-off as it started after the note-on.
TEST_F(TriggerGroupTest, DelayedNoteEndsItsDelayAfterTheNoteOff) {
    Solo(1);
    p.SetParam(Par::MnDelay, Norm::Division(Div::ThirtySecondTriplet));  // 918 samples at 120 BPM
    p.StartPlayback();
    p.NoteOn(100, 60, 100);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "on 60 c0 v100 @506");
    p.NoteOff(300, 60);
    EXPECT_EQ(Describe(p.RollBlocks(3, kBlock)), "off 60 c0 @194");
}

// --- What releases a group ---------------------------------------------------------

// A note-off on another input channel releases all four notes of the trigger.
TEST_F(TriggerGroupTest, NoteOffOnOtherChannelReleasesAllFour) {
    SpreadVoices();
    p.SetParam(Par::ParInt, Norm::Interval(7));
    p.StartPlayback();
    p.NoteOn(0, 60, 100, 1);
    ASSERT_EQ(Brief(p.Roll(kBlock)), "on 60 c0 v100, on 67 c1 v100, on 60 c2 v100, on 60 c3 v100");
    p.NoteOff(0, 60, 5);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0, off 67 c1, off 60 c2, off 60 c3");
}

// A note-off for a note with no held trigger sends nothing.
TEST_F(TriggerGroupTest, NoteOffWithoutTriggerSendsNothing) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    p.NoteOff(0, 61);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "");
}

// A second note-on on a held note ends the first trigger's notes before starting its own;
// its note-off ends the new notes, and a further note-off finds nothing.
TEST_F(TriggerGroupTest, SecondNoteOnReplacesGroup) {
    p.SetParam(Par::ParChan, Norm::Chan(2));
    p.SetParam(Par::ParInt, Norm::Interval(7));
    p.SetParam(Par::V1Mute, 1.0f);
    p.SetParam(Par::V2Mute, 1.0f);
    p.StartPlayback();
    p.NoteOn(400, 60, 100);
    p.Roll(kBlock);
    p.SetParam(Par::ParInt, Norm::Interval(4));
    p.NoteOn(100, 60, 80);
    SentLog second = p.RollBlocks(2, kBlock);
    EXPECT_EQ(Brief(OnChannel(second, 0)), "off 60 c0, on 60 c0 v80");
    EXPECT_EQ(Brief(NoteOffs(OnChannel(second, 1))), "off 67 c1");
    EXPECT_EQ(Brief(NoteOns(OnChannel(second, 1))), "on 64 c1 v80");
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0, off 64 c1");
    p.NoteOff(0, 60);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "");
}

// A second note-on for which no voice sounds leaves the first trigger's group in place.
TEST_F(TriggerGroupTest, SilentSecondNoteOnKeepsGroup) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    Solo(0);
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "");
    Solo(1);
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0");
}

// A group outlives a stop: after the flush its note-off is still sent when the trigger ends.
TEST_F(TriggerGroupTest, GroupOutlivesStop) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    p.SetPlaying(false);
    ASSERT_EQ(Describe(p.RunBlock(kBlock)), "off 60 c0 @0");
    p.SetTransport(0.0, 120.0, true);
    p.Roll(kBlock);
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0");
}

// A velocity-0 note-on is a note-on: with no positive offset it neither sounds nor ends the note.
TEST_F(TriggerGroupTest, VelocityZeroIsNotANoteOff) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    p.NoteOn(0, 60, 0);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "");
}

// A velocity-0 note-on sounds through a voice with a positive offset and replaces the group.
TEST_F(TriggerGroupTest, VelocityZeroWithOffsetReplacesGroup) {
    p.SetParam(Par::ParChan, Norm::Chan(2));
    p.SetParam(Par::ParVel, Norm::Velocity(10));
    p.SetParam(Par::V1Mute, 1.0f);
    p.SetParam(Par::V2Mute, 1.0f);
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    ASSERT_EQ(Brief(p.Roll(kBlock)), "on 60 c0 v100, on 60 c1 v110");
    p.NoteOn(200, 60, 0);
    SentLog log = p.Roll(kBlock);
    EXPECT_EQ(Brief(OnChannel(log, 0)), "off 60 c0");
    EXPECT_EQ(Brief(OnChannel(log, 1)), "off 60 c1, on 60 c1 v10");
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c1");
}

}  // namespace
