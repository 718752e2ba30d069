// The plug-in: turns each incoming note-on into up to four voices' notes,
// keeps them sample-exact in the note tracker, and hands the due ones to the
// host in every block while the transport plays.
#pragma once

#include <cstdint>

#include "framework/IMidiMessage.h"
#include "framework/IVstEffect.h"
#include "src/NoteTracker.h"
#include "src/ParamChangeDesc.h"
#include "src/TriggerTracker.h"
#include "src/Voice.h"

class IEditorRaster;
class ValueReadOut;

constexpr int EDITOR_WIDTH = 410;
constexpr int EDITOR_HEIGHT = 680;
constexpr int TAMBORELLE_NUM_READOUTS = 12;  // one per fader

// An incoming note message, unpacked.
struct Trigger {
    int32_t mSampleOffset;
    int32_t mNote;
    int32_t mChannel;
    int32_t mVelocity;
};

// Final: the binding's operations it calls bind directly, once per message on the audio path.
class Tamborelle final : public IVstEffect {
public:
    explicit Tamborelle(vst2::HostCallback hostCallback);
    ~Tamborelle() override;

    // Every caller already holds mLock (the binding's entries and the base's state and
    // parameter paths take it), so these do not take it again.
    // [any, mLock held] Re-derives the timing from the sample rate; nothing pending changes.
    void Reset() override;
    // [any, mLock held] Applies one parameter's current value through its change descriptor.
    void OnParameterChange(int index) override;
    // [audio, mLock held] Follows the transport and sends the events due in this block.
    // MIDI only: the buffers are null.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    // [any, mLock held] Nothing to do.
    void OnActivate(bool active) override;
    // [audio, mLock held] One incoming message: triggers, releases, CC 123, pass-through.
    void ProcessMidiMessage(const IMidiMessage* message) override;

    // Note-offs at `time` for everything sounding on an output channel; its pending events are dropped.
    void AllNotesOffOnChannel(int channel, int32_t time);
    // Drops everything pending and sends note-offs at 0 for everything sounding.
    void FlushAll();

    // [construction] Offers the graphics as the plug-in's editor: the host sees the editor at
    // once, while its images are decoded and its controls laid out only when it is first
    // prepared, which effEditOpen does (a headless user calls PrepareEditor).
    void OfferEditor(IEditorRaster* graphics);
    // [GUI thread, takes the lock] Lays out the offered editor on the first call, then
    // readies it for drawing; false while its images cannot be had (no window then).
    bool PrepareEditor() override;
    // [construction or GUI thread] Lays out the editor in the graphics at once and attaches
    // them; with an image missing the graphics are deleted and the editor in place stays.
    // False then.
    bool BuildEditorInto(IEditorRaster* graphics);

    // Read access for tests and tools.
    const int32_t* NoteMap() const { return mNoteMap; }
    const Voice& MainVoice() const { return mMainVoice; }
    const Voice& ParallelVoice() const { return mParallelVoice; }
    const Voice& RotatorVoice(int i) const { return mRotatorVoice[i]; }
    double SamplesPerBeat() const { return mSamplesPerBeat; }

private:
    friend struct TamborelleParams;  // the change-descriptor handlers

    NoteGroup* EmitVoice(Voice& voice, const Trigger& t, NoteGroup* group);
    void ReleaseGroup(const Trigger& t);
    void RebuildScale();
    void RebuildNoteMap();
    void SetVoiceDelay(Voice& voice, double row);
    void DefineParameters();
    void BuildEditor();
    // The controls and read-outs, over the images; the controls first show `firstValues`
    // (normalized, by parameter; null for the current ones), which they keep as defaults.
    bool LayOutEditor(IEditorRaster* graphics, const double* firstValues);
    // Collects one outgoing message; a full batch goes to the host first, so the order holds.
    void QueueOutput(const IMidiMessage& message) {
        if (mNumOutputMessages == OUTPUT_BATCH) SendOutput();
        mOutputMessages[mNumOutputMessages++] = message;
    }
    // Sends the collected messages in order and starts a new batch.
    void SendOutput();
    void MarkSounding(int note, int channel);
    void MarkEnded(int note, int channel);

    double mEngineSampleRate = 44100.0;
    double mTempo = 120.0;
    // Sample positions in 64 bits: a long session passes 2^31 samples in half a day.
    // The markers lie below every position a host can report.
    static constexpr int64_t NO_EXPECTED_POSITION = INT64_MIN + 1;
    static constexpr int64_t NO_LAST_POSITION = INT64_MIN;
    int64_t mExpectedPosition = NO_EXPECTED_POSITION;  // where the next block must start to be continuous
    int64_t mLastPosition = NO_LAST_POSITION;          // position of the latest advancing block
    double mSamplesPerBeat = 22050.0;
    Voice mMainVoice;
    Voice mParallelVoice;
    Voice mRotatorVoice[2];
    uint32_t mRandomState[2] = {0x1234, 0xFFFFEDCB};
    bool mSnapEnabled = false;
    int32_t mScaleIndex = 0;
    int32_t mSnapOffsets[12] = {};
    int32_t mTonic = 0;
    int32_t mNoteMap[NUM_MIDI_NOTES] = {};
    // Messages of one block, sent after the engine has finished with its lists: a host that
    // calls back into the plug-in from a send never finds them half walked.
    static constexpr int OUTPUT_BATCH = 512;
    IMidiMessage mOutputMessages[OUTPUT_BATCH];
    int mNumOutputMessages = 0;
    NoteTracker mNoteTracker;
    uint32_t mSoundingNotes[NUM_MIDI_NOTES] = {};     // bit c: sounding on output channel c
    uint8_t mSoundingCount[NUM_MIDI_NOTES][16] = {};  // note-ons sent and not yet ended, per note and channel
    int mNumSounding = 0;                             // bits set in mSoundingNotes: stopped blocks skip the scan
    TriggerTracker mTriggerTracker;
    const ParamChangeDesc* mpParamChangeDesc[NUM_PARAMS] = {};
    ValueReadOut* mpReadOuts[TAMBORELLE_NUM_READOUTS] = {};  // watched faders do not own them
    IEditorRaster* mpEditor = nullptr;                       // the graphics attached by OfferEditor or BuildEditorInto
    bool mEditorLaidOut = false;
    double mEditorFirstValues[NUM_PARAMS] = {};  // what the offered editor's controls show first
};
