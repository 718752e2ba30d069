#include "src/TriggerTracker.h"

#include "framework/Assert.h"

namespace {
const char* const SOURCE = "src\\TriggerTracker";
}

void NoteGroup::AddEmitted(int note, int channel, int velocity, int32_t time) {
    TAMB_ASSERT(mNumEmitted < NOTES_PER_GROUP, "mNumEmitted < NOTES_PER_GROUP", SOURCE);
    mEmitted[mNumEmitted] = EmittedNote{note, channel, velocity, static_cast<double>(time)};
    ++mNumEmitted;
}

const EmittedNote& NoteGroup::Emitted(int emitIdx) const {
    TAMB_ASSERT(emitIdx >= 0 && emitIdx < mNumEmitted, "emitIdx >= 0 && emitIdx < mNumEmitted", SOURCE);
    return mEmitted[emitIdx];
}

NoteGroup* TriggerTracker::StartGroup(int note, int channel, double startTime) {
    TAMB_ASSERT(note >= 0 && note < NUM_MIDI_NOTES, "note >= 0 && note < NUM_MIDI_NOTES", SOURCE);
    TAMB_ASSERT(mpActiveGroupTable[note] == nullptr, "mpActiveGroupTable[note] == 0", SOURCE);
    if (mFreeGroups.IsEmpty()) mPool.Grow(1, mFreeGroups);
    NoteGroup* group = mFreeGroups.PopFront();
    TAMB_ASSERT(group, "pNoteGroup", SOURCE);
    group->mNote = note;
    group->mChannel = channel;
    group->mNumEmitted = 0;
    group->mStartTime = startTime;
    mpActiveGroupTable[note] = group;
    return group;
}

void TriggerTracker::FreeGroup(int note) {
    NoteGroup* group = mpActiveGroupTable[note];
    if (!group) return;
    mFreeGroups.PushBack(group);
    mpActiveGroupTable[note] = nullptr;
}

void TriggerTracker::Reserve(int count) {
    int spare = 0;
    for (NoteGroup* p = mFreeGroups.Head(); p; p = p->mpNext) ++spare;
    mPool.Grow(count - spare, mFreeGroups);
}
