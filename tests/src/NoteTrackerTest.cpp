#include "src/NoteTracker.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Event {
    bool off;
    int note, channel;
    int time;
    bool operator==(const Event& o) const {
        return off == o.off && note == o.note && channel == o.channel && time == o.time;
    }
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
    return os << (e.off ? "off " : "on ") << e.note << "/" << e.channel << "@" << e.time;
}

// The pending list with absolute times, as the block emission sees it.
std::vector<Event> Pending(const NoteTracker& tracker) {
    std::vector<Event> events;
    int t = 0;
    for (const NoteRecord* p = tracker.FirstPending(); p; p = p->mpNext) {
        t += p->mDelta;
        events.push_back({p->mIsNoteOff != 0, p->mNote, p->mChannel, t});
    }
    return events;
}

}  // namespace

// Insertion keeps times and, for equal times, insertion order.
TEST(NoteTrackerOrder, EarlierInsertKeepsLaterTimes) {
    NoteTracker tracker;
    tracker.AddNoteOn(100, 60, 0, 90);
    tracker.AddNoteOn(50, 62, 0, 90);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 62, 0, 50}, {false, 60, 0, 100}}));
}

TEST(NoteTrackerOrder, EqualTimesStayInInsertionOrder) {
    NoteTracker tracker;
    tracker.AddNoteOn(30, 60, 0, 90);
    tracker.AddNoteOff(30, 61, 1, 0);
    tracker.AddNoteOn(30, 62, 2, 90);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 60, 0, 30}, {true, 61, 1, 30}, {false, 62, 2, 30}}));
}

// A new note-on cuts short the pending note-off of the same note and channel.
TEST(NoteTrackerOverlap, NoteOffMovesToOneSampleBeforeNewStart) {
    NoteTracker tracker;
    tracker.AddNoteOff(300, 60, 4, 0);
    tracker.AddNoteOn(200, 60, 4, 100);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{true, 60, 4, 199}, {false, 60, 4, 200}}));
}

TEST(NoteTrackerOverlap, AtZeroTheNoteOffComesFirst) {
    NoteTracker tracker;
    tracker.AddNoteOff(300, 60, 4, 0);
    tracker.AddNoteOn(0, 60, 4, 100);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{true, 60, 4, 0}, {false, 60, 4, 0}}));
}

TEST(NoteTrackerOverlap, NoteOffOfALaterNoteOnStays) {
    NoteTracker tracker;
    tracker.AddNoteOn(250, 60, 4, 100);
    tracker.AddNoteOff(400, 60, 4, 0);
    tracker.AddNoteOn(200, 60, 4, 100);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 60, 4, 200}, {false, 60, 4, 250}, {true, 60, 4, 400}}));
}

TEST(NoteTrackerOverlap, OtherChannelsAndNotesAreUntouched) {
    NoteTracker tracker;
    tracker.AddNoteOff(300, 60, 5, 0);
    tracker.AddNoteOff(300, 61, 4, 0);
    tracker.AddNoteOn(200, 60, 4, 100);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 60, 4, 200}, {true, 60, 5, 300}, {true, 61, 4, 300}}));
}

// Removing a channel keeps everyone else's times.
TEST(NoteTrackerRemoval, RemoveChannelKeepsOtherTimes) {
    NoteTracker tracker;
    tracker.AddNoteOn(10, 60, 3, 90);
    tracker.AddNoteOn(20, 61, 5, 90);
    tracker.AddNoteOn(30, 62, 3, 90);
    tracker.RemoveChannel(3);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 61, 5, 20}}));
}

TEST(NoteTrackerRemoval, RescheduleMovesOneRecord) {
    NoteTracker tracker;
    tracker.AddNoteOn(10, 60, 0, 90);
    tracker.AddNoteOn(20, 61, 0, 90);
    tracker.AddNoteOn(30, 62, 0, 90);
    NoteRecord* middle = tracker.FirstPending()->mpNext;
    tracker.Reschedule(middle, 40);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 60, 0, 10}, {false, 62, 0, 30}, {false, 61, 0, 40}}));
}

// Records are recycled first-in, first-out; nothing is allocated once spares exist.
TEST(NoteTrackerRecycling, ReleasedAndClearedRecordsAreReused) {
    NoteTracker tracker;
    EXPECT_EQ(tracker.NumSpare(), 0);
    tracker.AddNoteOn(0, 60, 0, 90);
    tracker.AddNoteOn(5, 61, 0, 90);
    NoteRecord* first = tracker.FirstPending();
    tracker.ReleaseRecord(first);
    EXPECT_EQ(tracker.NumSpare(), 1);
    tracker.AddNoteOff(7, 62, 0, 0);
    EXPECT_EQ(tracker.NumSpare(), 0);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 61, 0, 5}, {true, 62, 0, 7}}));
    tracker.Clear();
    EXPECT_EQ(tracker.FirstPending(), nullptr);
    EXPECT_EQ(tracker.NumSpare(), 2);
    tracker.Reserve(10);
    EXPECT_EQ(tracker.NumSpare(), 10);
}
