// The note events decided on but not yet sent, in one time-ordered list whose
// records store the distance to their predecessor: the end-of-block shift is a
// change of the head's delta only. Records are recycled through a spare list.
#pragma once

#include <cstdint>

#include "src/IntrusiveList.h"

struct NoteRecord {
    NoteRecord* mpNext = nullptr;
    NoteRecord* mpPrev = nullptr;
    int32_t mIsNoteOff = 0;
    int32_t mChannel = 0;  // output channel 0..15
    int32_t mNote = 0;
    int32_t mVelocity = 0;  // kept for note-offs too
    int32_t mDelta = 0;     // samples after the previous pending record (the head: after the block start)
};

class NoteTracker {
public:
    NoteTracker() = default;
    ~NoteTracker();
    NoteTracker(const NoteTracker&) = delete;
    NoteTracker& operator=(const NoteTracker&) = delete;

    // Times are samples from the start of the current block, at least 0.
    // A new note-on cuts short a pending note-off of the same note and channel
    // that would end at or after it: the note-off moves to one sample before.
    void AddNoteOn(int32_t time, int note, int channel, int velocity);
    void AddNoteOff(int32_t time, int note, int channel, int velocity);
    void Reschedule(NoteRecord* record, int32_t time);
    // Drops every pending record of one output channel; the others keep their times.
    void RemoveChannel(int channel);
    // Returns the emitted head record to the spare list.
    void ReleaseRecord(NoteRecord* record);
    // Moves every pending record to the spare list.
    void Clear();
    // Makes sure `count` spare records exist, so the next events need no allocation.
    void Reserve(int count);

    NoteRecord* FirstPending() const { return mPendingNotes.Head(); }
    int NumSpare() const;

private:
    NoteRecord* TakeRecord();
    // A spare (or new) record filled with one event; its delta holds the time.
    NoteRecord* MakeRecord(bool isNoteOff, int32_t time, int note, int channel, int velocity);
    void Insert(NoteRecord* record);
    void UnlinkPassingDelta(NoteRecord* record);

    IntrusiveList<NoteRecord> mPendingNotes;
    IntrusiveList<NoteRecord> mFreeRecords;
};
