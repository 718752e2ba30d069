#include "src/Tamborelle.h"

#include <cmath>
#include <new>

#include "framework/Assert.h"
#include "framework/Numbers.h"
#include "src/NoteDivisions.h"
#include "src/Scales.h"
#include "src/ValueReadOut.h"

namespace {
const char* const SOURCE = "src\\Tamborelle";

// Spare records made up front, so the first blocks do not allocate either.
constexpr int RESERVED_NOTE_RECORDS = 512;
constexpr int RESERVED_GROUPS = NUM_MIDI_NOTES;

// Host positions are held within +-2^62 samples, leaving room for a block's length and
// for the engine's "no position yet" markers, which no host position rounds to.
constexpr int64_t POSITION_LIMIT = int64_t{1} << 62;

// The host's sample position in whole samples, half up on both sides of 0, so a
// count-in runs from negative positions into bar 1 without a seam; NaN reads as 0.
int64_t RoundPosition(double position) {
    double rounded = std::floor(position + 0.5);
    if (!(rounded == rounded)) return 0;
    if (rounded >= static_cast<double>(POSITION_LIMIT)) return POSITION_LIMIT;
    if (rounded <= -static_cast<double>(POSITION_LIMIT)) return -POSITION_LIMIT;
    return static_cast<int64_t>(rounded);
}
}  // namespace

IVstEffect* CreateVstEffect(vst2::HostCallback hostCallback) { return new (std::nothrow) Tamborelle(hostCallback); }

Tamborelle::Tamborelle(vst2::HostCallback hostCallback)
    : IVstEffect(hostCallback, NUM_HOST_PARAMS, "1-1 2-2", 6, "Tamborelle", "", "Brisklaine", 0x00010000,
                 FourCC("gxLm"), FourCC("gxvn"), 0, true, true, true, AudioUse::MidiOnly) {
    mMainVoice.mNumIntervals = 1;
    mParallelVoice.mNumIntervals = 1;
    for (Voice* voice : {&mMainVoice, &mParallelVoice, &mRotatorVoice[0], &mRotatorVoice[1]})
        voice->mpRandom = mRandomState;
    TAMB_ASSERT(mRotatorVoice[0].numIntervals() == 4, "mRotatorVoice[0].numIntervals() == 4", SOURCE);
    RebuildScale();

    mNoteTracker.Reserve(RESERVED_NOTE_RECORDS);
    mTriggerTracker.Reserve(RESERVED_GROUPS);

    for (int i = NUM_HOST_PARAMS; i < NUM_PARAMS; ++i) AddParameter();
    DefineParameters();
    BuildEditor();
}

Tamborelle::~Tamborelle() {
    for (ValueReadOut* readOut : mpReadOuts) delete readOut;
}

void Tamborelle::Reset() {
    mEngineSampleRate = SampleRate();
    mSamplesPerBeat = mEngineSampleRate * 60.0 / mTempo;
}

void Tamborelle::OnParameterChange(int index) {
    IParameter* param = Param(index);
    if (!param || index >= NUM_PARAMS) return;
    if (const ParamChangeDesc* desc = mpParamChangeDesc[index]) desc->mHandler(this, desc, param->Value());
}

void Tamborelle::OnActivate(bool /*active*/) {}

// ---- incoming MIDI ----

void Tamborelle::ProcessMidiMessage(const IMidiMessage* message) {
    // A velocity byte with its high bit set plays at full velocity.
    Trigger t{message->mSampleOffset < 0 ? 0 : message->mSampleOffset, message->mData1, message->Channel(),
              message->mData2 > 127 ? 127 : message->mData2};
    switch (message->MessageType()) {
    case IMidiMessage::kNoteOff:
    case IMidiMessage::kNoteOn:
        // Only the note number indexes the note tables: a malformed release velocity
        // must not leave the trigger's notes hanging.
        if (message->mData1 & 0x80) return;
        if (message->MessageType() == IMidiMessage::kNoteOff) {
            ReleaseGroup(t);
            return;
        }
        {
            // A velocity of 0 is a trigger here too.
            NoteGroup* group = nullptr;
            if (mMainVoice.Plays()) group = EmitVoice(mMainVoice, t, group);
            if (mParallelVoice.Plays()) group = EmitVoice(mParallelVoice, t, group);
            // The rotating voices step on every trigger, before they emit.
            mRotatorVoice[0].Advance();
            mRotatorVoice[1].Advance();
            if (mRotatorVoice[0].Plays()) group = EmitVoice(mRotatorVoice[0], t, group);
            if (mRotatorVoice[1].Plays()) group = EmitVoice(mRotatorVoice[1], t, group);
        }
        return;
    case IMidiMessage::kControlChange:
        // Control changes are consumed; All Notes Off silences its channel's output.
        if (message->mData1 == 123) AllNotesOffOnChannel(t.mChannel, t.mSampleOffset);
        return;
    default: {
        if (!(message->mStatus & 0x80)) return;  // a stray data byte is no message
        // Hosts take offsets inside the block only: a stray one leaves at the nearest offset inside it.
        IMidiMessage passed = *message;
        passed.mSampleOffset = Clamp(passed.mSampleOffset, 0, BlockSize() > 0 ? BlockSize() - 1 : 0);
        SendMidiMessage(&passed);
        return;
    }
    }
}

NoteGroup* Tamborelle::EmitVoice(Voice& voice, const Trigger& t, NoteGroup* group) {
    int raw = t.mNote + voice.CurrentInterval();
    if (raw < 0 || raw >= NUM_MIDI_NOTES || mNoteMap[raw] < 0) return group;
    int pitch = mNoteMap[raw];
    int velocity = voice.mVelocityOffset + t.mVelocity;
    if (velocity <= 0) return group;
    if (velocity > 127) velocity = 127;
    int channel = voice.mChannel;
    int32_t time = SaturatingAdd(voice.mDelay, t.mSampleOffset);

    // A later voice landing on the same note, channel and time as an earlier one is dropped.
    if (mNoteTracker.HasNoteOnAt(time, pitch, channel)) return group;

    if (!group) {
        ReleaseGroup(t);  // the previous trigger on this note ends now
        group = mTriggerTracker.StartGroup(t.mNote, t.mChannel, static_cast<double>(mLastPosition) + t.mSampleOffset);
        group->mTriggerOffset = t.mSampleOffset;
    }
    group->AddEmitted(pitch, channel, velocity, time);
    mNoteTracker.AddNoteOn(time, pitch, channel, velocity);
    return group;
}

// Each note ends as long after the trigger's note-off as it started after the
// trigger: the voice's delay is kept and the played length preserved.
void Tamborelle::ReleaseGroup(const Trigger& t) {
    NoteGroup* group = mTriggerTracker.ActiveGroup(t.mNote);
    if (!group) return;
    for (int i = 0; i < group->mNumEmitted; ++i) {
        const EmittedNote& e = group->Emitted(i);
        int32_t delay = TruncToInt32(e.mTime) - group->mTriggerOffset;
        mNoteTracker.AddNoteOff(SaturatingAdd(t.mSampleOffset, delay), e.mNote, e.mChannel, e.mVelocity);
    }
    mTriggerTracker.FreeGroup(t.mNote);
}

// ---- block emission ----

// MIDI only: the binding gives the host's outputs their silence, no buffers come here.
void Tamborelle::ProcessBlock(double** /*inputs*/, double** /*outputs*/, int frames) {
    double samplePos, tempo;
    bool playing = false;
    GetPlayState(&samplePos, &tempo, &playing);
    int64_t pos = RoundPosition(samplePos);
    if (!(tempo == mTempo)) {
        // Delays already set keep their sample counts until applied again.
        mTempo = tempo;
        mSamplesPerBeat = mEngineSampleRate * 60.0 / tempo;
    }
    if (!playing || pos == mLastPosition) {
        FlushAll();
        return;
    }

    if (pos != mExpectedPosition) {
        // Playback started or jumped: nothing pending belongs here any more.
        for (int channel = 0; channel < 16; ++channel) AllNotesOffOnChannel(channel, 0);
    }
    mLastPosition = pos;
    mExpectedPosition = pos + frames;

    mNoteTracker.TakeDue(frames, [this](const NoteEvent& event) {
        IMidiMessage message;
        if (event.mIsNoteOff) {
            message.MakeNoteOff(event.mNote, event.mTime, event.mChannel);
            MarkEnded(event.mNote, event.mChannel);
        } else {
            message.MakeNoteOn(event.mNote, event.mVelocity, event.mTime, event.mChannel);
            MarkSounding(event.mNote, event.mChannel);
        }
        QueueOutput(message);
    });
    SendOutput();
}

void Tamborelle::MarkSounding(int note, int channel) {
    uint8_t& count = mSoundingCount[note][channel];
    if (count < UINT8_MAX) ++count;
    const uint32_t bit = 1u << channel;
    if (mSoundingNotes[note] & bit) return;
    mSoundingNotes[note] |= bit;
    ++mNumSounding;
}

void Tamborelle::MarkEnded(int note, int channel) {
    uint8_t& count = mSoundingCount[note][channel];
    if (count > 0) --count;
    const uint32_t bit = 1u << channel;
    if (count > 0 || !(mSoundingNotes[note] & bit)) return;
    mSoundingNotes[note] &= ~bit;
    --mNumSounding;
}

void Tamborelle::FlushAll() {
    if (mNoteTracker.HasPending()) mNoteTracker.Clear();
    if (mNumSounding == 0) return;  // the usual stopped block: nothing to end
    for (int note = 0; note < NUM_MIDI_NOTES; ++note) {
        if (!mSoundingNotes[note]) continue;  // most notes are silent: one test per note
        for (int channel = 0; channel < 16; ++channel) {
            if (!(mSoundingNotes[note] & (1u << channel))) continue;
            IMidiMessage message;
            message.MakeNoteOff(note, 0, channel);
            // A synth that stacks voices needs one note-off for every note-on still sounding.
            for (int n = mSoundingCount[note][channel]; n > 0; --n) QueueOutput(message);
            mSoundingCount[note][channel] = 0;
            mSoundingNotes[note] &= ~(1u << channel);
        }
    }
    mNumSounding = 0;
    SendOutput();
}

void Tamborelle::AllNotesOffOnChannel(int channel, int32_t time) {
    mNoteTracker.RemoveChannel(channel);
    if (mNumSounding == 0) return;
    for (int note = 0; note < NUM_MIDI_NOTES; ++note)
        if (mSoundingNotes[note] & (1u << channel))
            for (int n = mSoundingCount[note][channel]; n > 0; --n) mNoteTracker.AddNoteOff(time, note, channel, 0);
}

void Tamborelle::SendOutput() {
    SendMidiMessages(mOutputMessages, mNumOutputMessages);
    mNumOutputMessages = 0;
}

// ---- scales ----

void Tamborelle::RebuildScale() {
    int32_t degreeMask = SCALE_DEGREE_MASKS[Clamp(mScaleIndex, 0, NUM_SCALES - 1)];
    TAMB_ASSERT(degreeMask != 0, "degreeMask != 0", SOURCE);
    if (!mSnapEnabled) degreeMask = 0xFFF;  // every pitch class is a degree: no offsets
    ComputeSnapOffsets(degreeMask, mSnapOffsets);
    RebuildNoteMap();
}

void Tamborelle::RebuildNoteMap() {
    // k: pitch class of raw pitch 0, counted from the tonic.
    int k = mTonic == 0 ? 0 : 12 - mTonic;
    for (int p = 0; p < NUM_MIDI_NOTES; ++p) {
        int q = p + mSnapOffsets[k];
        mNoteMap[p] = q >= 0 && q < NUM_MIDI_NOTES ? q : -1;
        if (++k == 12) k = 0;
    }
}

void Tamborelle::SetVoiceDelay(Voice& voice, double row) {
    int index = Clamp(TruncToInt32(row), 0, NUM_NOTE_DIVISIONS - 1);
    voice.mDelay = TruncToInt32(NOTE_DIVISION_BEATS[index] * mSamplesPerBeat);
    if (voice.mDelay < 0) voice.mDelay = 0;  // only a negative sample rate could get here
}
