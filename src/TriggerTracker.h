// The notes each held trigger produced, keyed by the trigger's note number, so
// its note-off ends exactly those notes with the pitch, channel and velocity
// they started with, whatever the parameters did meanwhile.
#pragma once

#include <cstdint>

#include "src/IntrusiveList.h"
#include "src/RecordPool.h"

constexpr int NUM_MIDI_NOTES = 128;
constexpr int NOTES_PER_GROUP = 4;

struct EmittedNote {
    int32_t mNote = -1;    // output pitch
    int32_t mChannel = 0;  // output channel
    int32_t mVelocity = 0;
    double mTime = 0.0;  // note-on time from the start of the trigger's block, delay included
};

class NoteGroup {
public:
    NoteGroup* mpNext = nullptr;
    NoteGroup* mpPrev = nullptr;
    int32_t mNote = 0;     // the trigger's incoming note
    int32_t mChannel = 0;  // the trigger's incoming channel (recorded, never consulted)
    int32_t mNumEmitted = 0;
    double mStartTime = 0.0;     // trigger position: last advancing block position + offset
    int32_t mTriggerOffset = 0;  // the trigger's offset in its block

    void AddEmitted(int note, int channel, int velocity, int32_t time);
    const EmittedNote& Emitted(int emitIdx) const;

private:
    friend class TriggerTracker;
    EmittedNote mEmitted[NOTES_PER_GROUP];
};

class TriggerTracker {
public:
    TriggerTracker() = default;
    TriggerTracker(const TriggerTracker&) = delete;
    TriggerTracker& operator=(const TriggerTracker&) = delete;

    // Takes a group and makes it the active group of `note`, which must have none.
    NoteGroup* StartGroup(int note, int channel, double startTime);
    // The held group of an incoming note, or null.
    NoteGroup* ActiveGroup(int note) const { return mpActiveGroupTable[note]; }
    // Returns the active group of `note` to the spare list.
    void FreeGroup(int note);
    // Makes sure `count` spare groups exist; the missing ones come in one allocation.
    void Reserve(int count);

private:
    RecordPool<NoteGroup> mPool;  // owns every group, active or spare
    NoteGroup* mpActiveGroupTable[NUM_MIDI_NOTES] = {};
    IntrusiveList<NoteGroup> mFreeGroups;
};
