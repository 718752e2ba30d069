#include "src/NoteTracker.h"

#include "framework/Assert.h"

namespace {
const char* const SOURCE = "src\\NoteTracker";
}

NoteTracker::NoteRecord* NoteTracker::TakeRecord() {
    if (mFreeRecords.IsEmpty()) mPool.Grow(1, mFreeRecords);
    return mFreeRecords.PopFront();
}

void NoteTracker::Reserve(int count) { mPool.Grow(count - NumSpare(), mFreeRecords); }

int NoteTracker::NumSpare() const {
    int count = 0;
    for (NoteRecord* p = mFreeRecords.Head(); p; p = p->mpNext) ++count;
    return count;
}

void NoteTracker::Insert(NoteRecord* record) {
    int32_t remaining = record->mDelta;
    for (NoteRecord* p = mPendingNotes.Head(); p; p = p->mpNext) {
        if (p->mDelta > remaining) {
            record->mDelta = remaining;
            p->mDelta -= remaining;  // p and all after it keep their times
            mPendingNotes.InsertBefore(p, record);
            return;
        }
        remaining -= p->mDelta;
    }
    record->mDelta = remaining;
    mPendingNotes.PushBack(record);
}

void NoteTracker::UnlinkPassingDelta(NoteRecord* record) {
    if (record->mpNext) record->mpNext->mDelta += record->mDelta;
    mPendingNotes.Unlink(record);
}

NoteTracker::NoteRecord* NoteTracker::MakeRecord(bool isNoteOff, int32_t time, int note, int channel, int velocity) {
    NoteRecord* record = TakeRecord();
    TAMB_ASSERT(record, "pRecord", SOURCE);
    TAMB_ASSERT(channel >= 0 && channel <= 15, "channel >= 0 && channel <= 15", SOURCE);
    record->mIsNoteOff = isNoteOff ? 1 : 0;
    record->mChannel = channel;
    record->mNote = note;
    record->mVelocity = velocity;
    record->mDelta = time;
    return record;
}

void NoteTracker::AddNoteOn(int32_t time, int note, int channel, int velocity) {
    NoteRecord* record = MakeRecord(false, time, note, channel, velocity);

    int32_t t = 0, lastOn = 0;
    for (NoteRecord* p = mPendingNotes.Head(); p; p = p->mpNext) {
        t += p->mDelta;
        if (p->mNote != note || p->mChannel != channel) continue;
        if (!p->mIsNoteOff) {
            lastOn = t;
        } else if (lastOn <= time && time <= t) {
            Reschedule(p, time > 0 ? time - 1 : 0);
            break;
        }
    }
    Insert(record);
}

bool NoteTracker::HasNoteOnAt(int32_t time, int note, int channel) const {
    int32_t t = 0;
    for (const NoteRecord* p = mPendingNotes.Head(); p; p = p->mpNext) {
        t += p->mDelta;
        if (t > time) return false;
        if (t == time && !p->mIsNoteOff && p->mNote == note && p->mChannel == channel) return true;
    }
    return false;
}

void NoteTracker::AddNoteOff(int32_t time, int note, int channel, int velocity) {
    Insert(MakeRecord(true, time, note, channel, velocity));
}

void NoteTracker::Reschedule(NoteRecord* record, int32_t time) {
    TAMB_ASSERT(record, "pRecord", SOURCE);
    UnlinkPassingDelta(record);
    record->mDelta = time;
    Insert(record);
}

void NoteTracker::RemoveChannel(int channel) {
    NoteRecord* p = mPendingNotes.Head();
    while (p) {
        NoteRecord* next = p->mpNext;
        if (p->mChannel == channel) {
            UnlinkPassingDelta(p);
            mFreeRecords.PushBack(p);
        }
        p = next;
    }
}

// Only the head is ever released, so no search is needed to know the record is pending.
void NoteTracker::ReleaseHead() {
    NoteRecord* record = mPendingNotes.PopFront();  // its delta was consumed by the emission
    TAMB_ASSERT(record, "pRecord", SOURCE);
    mFreeRecords.PushBack(record);
}

void NoteTracker::Clear() {
    while (NoteRecord* record = mPendingNotes.PopFront()) mFreeRecords.PushBack(record);
}
