#include "src/TriggerTracker.h"

#include <gtest/gtest.h>

// A group belongs to its note until freed, and spare groups are reused.
TEST(TriggerTracker, GroupIsActiveUntilFreedThenReused) {
    TriggerTracker tracker;
    NoteGroup* group = tracker.StartGroup(60, 1, 1234.0);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(tracker.ActiveGroup(60), group);
    group->AddEmitted(67, 2, 70, 100);
    group->AddEmitted(60, 0, 100, 0);
    EXPECT_EQ(group->mNumEmitted, 2);
    EXPECT_EQ(group->Emitted(0).mNote, 67);
    EXPECT_EQ(group->Emitted(0).mTime, 100.0);
    EXPECT_EQ(group->Emitted(1).mChannel, 0);

    tracker.FreeGroup(60);
    EXPECT_EQ(tracker.ActiveGroup(60), nullptr);
    NoteGroup* again = tracker.StartGroup(61, 0, 0.0);
    EXPECT_EQ(again, group);
    EXPECT_EQ(again->mNumEmitted, 0);
    EXPECT_EQ(again->mNote, 61);
}

TEST(TriggerTracker, FreeingANoteWithoutGroupDoesNothing) {
    TriggerTracker tracker;
    tracker.FreeGroup(5);
    EXPECT_EQ(tracker.ActiveGroup(5), nullptr);
}

TEST(TriggerTrackerDeath, GroupHoldsAtMostFourNotes) {
    TriggerTracker tracker;
    NoteGroup* group = tracker.StartGroup(60, 0, 0.0);
    for (int i = 0; i < NOTES_PER_GROUP; ++i) group->AddEmitted(60 + i, 0, 100, 0);
    EXPECT_DEATH(group->AddEmitted(70, 0, 100, 0), "mNumEmitted < NOTES_PER_GROUP");
}
