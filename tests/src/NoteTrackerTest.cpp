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

Event EventOf(const NoteEvent& e) { return {e.mIsNoteOff, e.mNote, e.mChannel, e.mTime}; }

// The pending events with their times from the block start.
std::vector<Event> Pending(const NoteTracker& tracker) {
    std::vector<Event> events;
    tracker.ForEachPending([&events](const NoteEvent& e) { events.push_back(EventOf(e)); });
    return events;
}

// What one block of `frames` takes from the tracker, with offsets in that block.
std::vector<Event> TakeDue(NoteTracker& tracker, int frames) {
    std::vector<Event> events;
    tracker.TakeDue(frames, [&events](const NoteEvent& e) { events.push_back(EventOf(e)); });
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

// A note-off moved by the overlap rule from the middle of the list leaves the others' times alone.
TEST(NoteTrackerRemoval, MovingAMiddleRecordKeepsOtherTimes) {
    NoteTracker tracker;
    tracker.AddNoteOn(10, 60, 0, 90);
    tracker.AddNoteOff(20, 61, 0, 0);
    tracker.AddNoteOn(30, 62, 0, 90);
    tracker.AddNoteOn(15, 61, 0, 90);
    EXPECT_EQ(Pending(tracker),
              (std::vector<Event>{{false, 60, 0, 10}, {true, 61, 0, 14}, {false, 61, 0, 15}, {false, 62, 0, 30}}));
}

// A block takes the events due within it, in time order; the rest count from the next block.
TEST(NoteTrackerBlocks, TakeDueHandsOutTheBlockAndShiftsTheRest) {
    NoteTracker tracker;
    tracker.AddNoteOn(700, 63, 0, 90);
    tracker.AddNoteOn(100, 60, 0, 90);
    tracker.AddNoteOff(0, 61, 2, 0);
    tracker.AddNoteOn(511, 62, 1, 80);
    tracker.AddNoteOff(512, 60, 0, 0);
    EXPECT_EQ(TakeDue(tracker, 512), (std::vector<Event>{{true, 61, 2, 0}, {false, 60, 0, 100}, {false, 62, 1, 511}}));
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{true, 60, 0, 0}, {false, 63, 0, 188}}))
        << "an event due exactly at the block end waits for offset 0 of the next block";
    EXPECT_EQ(TakeDue(tracker, 1), (std::vector<Event>{{true, 60, 0, 0}}));
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 63, 0, 187}}));
    EXPECT_TRUE(TakeDue(tracker, 100).empty());
    EXPECT_EQ(TakeDue(tracker, 100), (std::vector<Event>{{false, 63, 0, 87}}));
    EXPECT_FALSE(tracker.HasPending());
}

// Records are recycled first-in, first-out; nothing is allocated once spares exist.
TEST(NoteTrackerRecycling, ReleasedAndClearedRecordsAreReused) {
    NoteTracker tracker;
    EXPECT_EQ(tracker.NumSpare(), 0);
    tracker.AddNoteOn(0, 60, 0, 90);
    tracker.AddNoteOn(5, 61, 0, 90);
    EXPECT_EQ(TakeDue(tracker, 1), (std::vector<Event>{{false, 60, 0, 0}}));
    EXPECT_EQ(tracker.NumSpare(), 1);
    tracker.AddNoteOff(7, 62, 0, 0);
    EXPECT_EQ(tracker.NumSpare(), 0);
    EXPECT_EQ(Pending(tracker), (std::vector<Event>{{false, 61, 0, 4}, {true, 62, 0, 7}}));
    tracker.Clear();
    EXPECT_FALSE(tracker.HasPending());
    EXPECT_EQ(tracker.NumSpare(), 2);
    tracker.Reserve(10);
    EXPECT_EQ(tracker.NumSpare(), 10);
}
