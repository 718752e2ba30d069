// Pending note events: their order in time and the overlap rule for a note
// that starts again while its note-off is still pending.
#include "tests/src/PluginFixture.h"

namespace {

using NoteOrderTest = PluginTest;

// --- Order ---------------------------------------------------------------------

// Events leave in time order, whatever order they were scheduled in.
TEST_F(NoteOrderTest, EventsLeaveInTimeOrder) {
    p.StartPlayback();
    p.NoteOn(100, 60, 100);
    p.NoteOn(50, 64, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 64 c0 v100 @50, on 60 c0 v100 @100");
}

// Events due at the same time keep the order in which they were scheduled.
TEST_F(NoteOrderTest, SameTimeKeepsSchedulingOrder) {
    p.StartPlayback();
    p.NoteOn(200, 64, 100);
    p.NoteOn(200, 60, 100);
    p.NoteOn(200, 62, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 64 c0 v100 @200, on 60 c0 v100 @200, on 62 c0 v100 @200");
}

// A delayed event keeps its time while earlier ones are scheduled in front of it.
TEST_F(NoteOrderTest, EarlierEventDoesNotShiftLaterOne) {
    Solo(2);
    p.SetParam(Par::PDelay, Norm::Division(Div::ThirtySecondTriplet));  // 918 samples
    p.StartPlayback();
    const int64_t start = static_cast<int64_t>(p.Position());
    p.NoteOn(0, 60, 100);  // due at 918
    p.Roll(kBlock);
    p.NoteOn(100, 64, 100);  // due at 512 + 100 + 918
    p.NoteOn(0, 62, 100);    // due at 512 + 918, in front of 64
    SentLog log = p.RollBlocks(4, kBlock);
    EXPECT_EQ(DescribeAbs(log), "on 60 c0 v100 @@" + std::to_string(start + 918) + ", on 62 c0 v100 @@" +
                                    std::to_string(start + 512 + 918) + ", on 64 c0 v100 @@" +
                                    std::to_string(start + 512 + 100 + 918));
}

// --- Overlap rule --------------------------------------------------------------

// A note started again while its note-off is pending at the new start ends one sample before it.
TEST_F(NoteOrderTest, PendingNoteOffMovesBeforeNewStart) {
    Solo(2);
    p.SetParam(Par::ParInt, Norm::Interval(5));
    p.StartPlayback();
    p.NoteOn(0, 55, 100);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0");
    p.SetParam(Par::ParInt, Norm::Interval(0));
    p.ControlChange(300, 123, 0, 0);  // schedules the note-off of 60 at 300
    p.NoteOn(300, 60, 90);            // starts 60 again at 300
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 60 c0 @299, on 60 c0 v90 @300");
}

// At offset 0 the moved note-off and the new note-on share the offset, note-off first.
TEST_F(NoteOrderTest, PendingNoteOffAtZeroComesFirst) {
    Solo(2);
    p.SetParam(Par::ParInt, Norm::Interval(5));
    p.StartPlayback();
    p.NoteOn(0, 55, 100);
    p.Roll(kBlock);
    p.SetParam(Par::ParInt, Norm::Interval(0));
    p.ControlChange(0, 123, 0, 0);
    p.NoteOn(0, 60, 90);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 60 c0 @0, on 60 c0 v90 @0");
}

// A re-triggered note ends one sample before its new start.
TEST_F(NoteOrderTest, RetriggeredNoteEndsOneSampleBefore) {
    p.StartPlayback();
    p.NoteOn(400, 60, 100);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @400");
    p.NoteOn(100, 60, 80);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 60 c0 @99, on 60 c0 v80 @100");
}

// A note-off pending before the new start stays where it is.
TEST_F(NoteOrderTest, EarlierNoteOffIsNotMoved) {
    Solo(2);
    p.SetParam(Par::ParInt, Norm::Interval(5));
    p.StartPlayback();
    p.NoteOn(0, 55, 100);
    p.Roll(kBlock);
    p.SetParam(Par::ParInt, Norm::Interval(0));
    p.ControlChange(100, 123, 0, 0);
    p.NoteOn(300, 60, 90);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 60 c0 @100, on 60 c0 v90 @300");
}

}  // namespace
