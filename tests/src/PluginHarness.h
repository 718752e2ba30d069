// Drives the built Tamborelle module through its binary interface, the way a
// host does: load with dlopen, instantiate through the exported entry, send
// events and blocks, and record everything the plug-in sends back in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

// One call the plug-in made into the host.
struct Sent {
    enum Kind { Midi, SysEx, OtherEvent, Automate, BeginEdit, EndEdit };
    Kind kind = Midi;
    int32_t delta = 0;      // deltaFrames of an event
    uint8_t bytes[4] = {};  // MIDI bytes of a MIDI event
    int32_t byteSize = 0;   // byteSize field of an event
    int32_t flags = 0;      // flags field of an event
    int64_t blockPos = 0;   // host sample position of the block during which it arrived
    int index = 0;          // parameter index of an edit
    float value = 0.0f;     // normalized value of an automation
    const void* sysexData = nullptr;
    int32_t sysexSize = 0;

    bool IsNoteOn() const { return kind == Midi && (bytes[0] & 0xF0) == 0x90; }
    bool IsNoteOff() const { return kind == Midi && (bytes[0] & 0xF0) == 0x80; }
    bool IsNote() const { return IsNoteOn() || IsNoteOff(); }
    int Note() const { return bytes[1]; }
    int Velocity() const { return bytes[2]; }
    int Channel() const { return bytes[0] & 0x0F; }
    int64_t At() const { return blockPos + delta; }  // absolute sample position
};
using SentLog = std::vector<Sent>;

// Short readable forms, so a failing comparison shows both sequences.
std::string Describe(const Sent& s);          // "on 60 c0 v100 @100"
std::string Describe(const SentLog& log);     // joined with ", "
std::string DescribeAbs(const SentLog& log);  // notes with absolute positions: "on 60 c0 v100 @@1124"
std::string Brief(const SentLog& log);        // without offsets: "on 60 c0 v100, off 60 c0"
SentLog NotesOnly(const SentLog& log);
SentLog NoteOns(const SentLog& log);
SentLog NoteOffs(const SentLog& log);
SentLog OnChannel(const SentLog& log, int channel);

// A host that keeps every call of the plug-in. The log is reserved up front so
// that recording never allocates while the plug-in processes.
class RecordingHost : public VstHost {
public:
    explicit RecordingHost(size_t capacity = 1 << 16);

    SentLog mLog;
    size_t mOverflow = 0;  // entries dropped because the reserve was full
    int64_t mBlockPos = 0;
    int mProductStringCalls = 0;
    int mVendorVersionCalls = 0;
    int mGetTimeCalls = 0;
    int mWantMidiCalls = 0;
    int mProcessEventsCalls = 0;
    int mMaxEventsPerCall = 0;
    int mOtherCalls = 0;

protected:
    intptr_t OnHostCall(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) override;
    void OnEvent(const vst2::VstEvent& event) override;
    void OnAutomate(int index, float value) override;
    void OnBeginEdit(int index) override;
    void OnEndEdit(int index) override;

private:
    void Record(const Sent& s);
};

// Parameter indices as the host sees them.
namespace Par {
constexpr int MainMute = 1, MainChan = 2, MnDelay = 3;
constexpr int ParMute = 5, ParChan = 6, ParVel = 7, ParInt = 8, PDelay = 9;
constexpr int V1Mute = 11, V1Chan = 12, V1Vel = 13, V1Int1 = 14, V1Mute1 = 18, V1Algo = 22, V1Delay = 23;
constexpr int V2Mute = 25, V2Chan = 26, V2Vel = 27, V2Int1 = 28, V2Mute1 = 32, V2Algo = 36, V2Delay = 37;
constexpr int Snap = 38, Scale = 39, Tonic = 40, Human = 41;
constexpr int PresetLoad = 42, PresetSave = 43, ScaleLoad = 44, FileSelect = 45;
}  // namespace Par

// Normalized values for plain settings.
namespace Norm {
inline float Chan(int channel1to16) { return (channel1to16 - 1) / 15.0f; }
inline float Interval(int semitones) { return (semitones + 24) / 48.0f; }
inline float Velocity(int offset) { return (offset + 30) / 60.0f; }
inline float Division(int row) { return row / 16.0f; }
inline float Algo(int algo) { return algo / 4.0f; }
inline float Scale(int scale) { return scale / 4.0f; }
inline float Tonic(int tonic) { return tonic / 11.0f; }
}  // namespace Norm

// Rows of the note-division lists and the rotation algorithms.
namespace Div {
constexpr int Off = 0, Whole = 1, HalfDot = 2, Half = 3, QuarterDot = 4, Quarter = 5, EighthDot = 6, HalfTriplet = 7,
              Eighth = 8, SixteenthDot = 9, QuarterTriplet = 10, Sixteenth = 11, ThirtySecondDot = 12,
              EighthTriplet = 13, ThirtySecond = 14, SixteenthTriplet = 15, ThirtySecondTriplet = 16;
}  // namespace Div
namespace Algo {
constexpr int Up = 0, Down = 1, UpDown = 2, ZigZag = 3, Random = 4;
}  // namespace Algo

// Where the built module is.
const char* ModulePath();

// One plug-in instance from its own load of the module.
class PluginHarness {
public:
    static constexpr int kMaxFrames = 8192;
    static constexpr int kMaxQueued = VstEventList::kCapacity;

    PluginHarness();
    ~PluginHarness();
    PluginHarness(const PluginHarness&) = delete;
    PluginHarness& operator=(const PluginHarness&) = delete;

    // Loads the module and instantiates; false with Error() on failure.
    bool Create();
    // effOpen, sample rate, block size, processing on: what a host does first.
    void Open(float sampleRate = 44100.0f, int blockSize = 512);
    // effClose; the instance is gone afterwards.
    void Close();
    const std::string& Error() const { return mError; }

    RecordingHost& Host() { return mHost; }
    vst2::AEffect* Effect() const { return mHost.Effect(); }
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);

    // Parameters by index, normalized.
    void SetParam(int index, float normalized);
    float GetParam(int index);
    std::string Display(int index);
    std::string Name(int index);
    std::string Label(int index);

    // Events queued for the next block (or for SendEvents).
    void NoteOn(int offset, int note, int velocity, int channel = 0);
    void NoteOff(int offset, int note, int channel = 0, int velocity = 0);
    void ControlChange(int offset, int controller, int value, int channel = 0);
    void PitchBend(int offset, int value14, int channel = 0);
    void ProgramChange(int offset, int program, int channel = 0);
    void Raw(int offset, uint8_t status, uint8_t data1, uint8_t data2);
    void SysEx(int offset, char* data, int size);
    int Queued() const { return mQueue.Count(); }
    // Delivers the queued events through effProcessEvents now.
    void SendEvents();

    // Transport reported to the plug-in.
    void SetTransport(double samplePos, double tempo, bool playing);
    void SetPlaying(bool playing);
    void SetTempo(double tempo);
    double Position() const { return mHost.mTime.samplePos; }

    // Sends the queued events, then runs one processReplacing block at the
    // current transport; the log keeps what was sent.
    void ProcessBlock(int frames);
    // ProcessBlock and return what the plug-in sent during it.
    SentLog RunBlock(int frames);
    // RunBlock at the current position, then move the position on by frames.
    SentLog Roll(int frames);
    SentLog RollBlocks(int count, int frames);
    // Starts playback at position 0 with one empty block, so that the next
    // block is continuous and its notes sound.
    void StartPlayback(int frames = 512);

private:
    VstModule mModule;
    RecordingHost mHost;
    std::string mError;
    VstEventList mQueue;
    std::vector<float> mAudio;
    float* mInputs[2] = {};
    float* mOutputs[2] = {};
};
