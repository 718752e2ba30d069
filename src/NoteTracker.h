// The note events decided on but not yet sent, in one time-ordered list whose
// records store the distance to their predecessor: the end-of-block shift is a
// change of the head's delta only. That encoding stays inside the tracker:
// callers speak in sample times from the start of the current block. Records
// are recycled through a spare list.
#pragma once

#include <cstdint>

#include "src/IntrusiveList.h"
#include "src/RecordPool.h"

// One pending event as callers see it.
struct NoteEvent {
    int32_t mTime = 0;  // samples from the start of the current block
    bool mIsNoteOff = false;
    int mNote = 0;
    int mChannel = 0;   // output channel 0..15
    int mVelocity = 0;  // kept for note-offs too
};

class NoteTracker {
public:
    NoteTracker() = default;
    NoteTracker(const NoteTracker&) = delete;
    NoteTracker& operator=(const NoteTracker&) = delete;

    // Times are samples from the start of the current block, at least 0.
    // A new note-on cuts short a pending note-off of the same note and channel
    // that would end at or after it: the note-off moves to one sample before.
    void AddNoteOn(int32_t time, int note, int channel, int velocity);
    void AddNoteOff(int32_t time, int note, int channel, int velocity);
    // Whether a note-on of this note and channel is pending at exactly `time`.
    bool HasNoteOnAt(int32_t time, int note, int channel) const;
    // Drops every pending record of one output channel; the others keep their times.
    void RemoveChannel(int channel);
    // Hands every event due within a block of `frames` (offsets 0 to frames - 1) to
    // `emit`, in time order, as a NoteEvent whose time is its offset in the block; the
    // later events then count from the next block's start. An event due exactly at
    // `frames` waits for offset 0 of the next block: hosts drop offsets past the block.
    template <typename Emit>
    void TakeDue(int32_t frames, Emit&& emit);
    // Moves every pending record to the spare list.
    void Clear();
    // Makes sure `count` spare records exist, so the next events need no allocation; the
    // missing ones come in one allocation.
    void Reserve(int count);

    // Calls `visit` with every pending event in time order; nothing changes.
    template <typename Visit>
    void ForEachPending(Visit&& visit) const;
    bool HasPending() const { return !mPendingNotes.IsEmpty(); }
    int NumSpare() const;

private:
    struct NoteRecord {
        NoteRecord* mpNext = nullptr;
        NoteRecord* mpPrev = nullptr;
        int32_t mIsNoteOff = 0;
        int32_t mChannel = 0;
        int32_t mNote = 0;
        int32_t mVelocity = 0;
        int32_t mDelta = 0;  // samples after the previous pending record (the head: after the block start)
    };

    NoteRecord* TakeRecord();
    // A spare (or new) record filled with one event; its delta holds the time.
    NoteRecord* MakeRecord(bool isNoteOff, int32_t time, int note, int channel, int velocity);
    void Insert(NoteRecord* record);
    void Reschedule(NoteRecord* record, int32_t time);
    void UnlinkPassingDelta(NoteRecord* record);
    // Returns the head record, whose event was just taken, to the spare list.
    void ReleaseHead();
    static NoteEvent EventOf(const NoteRecord& record, int32_t time) {
        return NoteEvent{time, record.mIsNoteOff != 0, record.mNote, record.mChannel, record.mVelocity};
    }

    RecordPool<NoteRecord> mPool;  // owns every record, pending or spare
    IntrusiveList<NoteRecord> mPendingNotes;
    IntrusiveList<NoteRecord> mFreeRecords;
};

template <typename Emit>
void NoteTracker::TakeDue(int32_t frames, Emit&& emit) {
    int32_t remaining = frames, at = 0;
    while (NoteRecord* record = mPendingNotes.Head()) {
        if (record->mDelta >= remaining) {
            record->mDelta -= remaining;  // now counted from the next block's start
            return;
        }
        at += record->mDelta;
        remaining -= record->mDelta;
        const NoteEvent event = EventOf(*record, at);
        ReleaseHead();
        emit(event);
    }
}

template <typename Visit>
void NoteTracker::ForEachPending(Visit&& visit) const {
    int32_t time = 0;
    for (const NoteRecord* p = mPendingNotes.Head(); p; p = p->mpNext) {
        time += p->mDelta;
        visit(EventOf(*p, time));
    }
}
