// The host of a live session: plays the plug-in one audio-server cycle at a time, with
// MIDI in and out at the exact frames of the cycle. It follows the server's transport
// while that rolls and otherwise runs its own always-playing clock, and on request ends
// every sounding note before it stops. Nothing here knows JACK: the cycle reads and
// writes MIDI through the two small port interfaces below, so tests can drive it.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstHost.h"

// Where the server's transport stands at the start of a cycle.
struct LiveTransport {
    bool mRolling = false;  // false: the host's own clock plays
    int64_t mFrame = 0;
    double mBpm = 0.0;   // 0 when the transport gives no tempo
    int mNumerator = 0;  // 0 when it gives no meter
    int mDenominator = 0;
};

class LiveMidiInput {
public:
    virtual ~LiveMidiInput() = default;
    virtual uint32_t Count() = 0;
    // Event i of the cycle, frames in non-decreasing order; false when it cannot be read.
    virtual bool Get(uint32_t index, uint32_t& frame, const uint8_t*& data, size_t& size) = 0;
};

class LiveMidiOutput {
public:
    virtual ~LiveMidiOutput() = default;
    // Frames come in non-decreasing order and below the cycle's length; false when full.
    virtual bool Write(uint32_t frame, const uint8_t* data, size_t size) = 0;
};

class LiveHost : public VstHost {
public:
    // Room for the events of one cycle; more are dropped and counted.
    static constexpr int kMaxEvents = 4096;
    static constexpr int kSysexBytes = 64 * 1024;

    LiveHost();

    // [main thread, before the first cycle] Reserves everything the cycles use: the plug-in
    // is called with at most maxBlock frames at a time. ownBpm is the own clock's tempo.
    void Prepare(double sampleRate, int maxBlock, double ownBpm);
    // [main thread, before the first cycle] One stopped block at bpm, so tempo-based values
    // are computed at that tempo, then every parameter's value applied again and the given
    // ones after it, as RenderHost does.
    void ApplySettings(const std::vector<std::pair<int, float>>& parameters, double bpm);

    // [process thread] One cycle of the given length: delivers the input, plays the plug-in
    // and writes what it sends, each event at its own frame. Allocates nothing.
    void Cycle(uint32_t frames, const LiveTransport& transport, LiveMidiInput& in, LiveMidiOutput& out);

    // [any thread] Asks the next cycle to stop the clock: the plug-in ends its notes, the host
    // ends any the plug-in left sounding, and the cycles after it send nothing.
    void RequestStop() { mStopRequested.store(true); }
    bool Finished() const { return mFinished.load(); }

    // [any thread] Counts since Prepare.
    long NotesIn() const { return mNotesIn.load(); }
    long NotesOut() const { return mNotesOut.load(); }
    long Dropped() const { return mDropped.load(); }

protected:
    void OnEvent(const vst2::VstEvent& event) override;

private:
    struct OutEvent {
        int64_t mFrame;   // from the start of the cycle; the next cycle's events lie beyond its end
        uint32_t mSysex;  // offset into mSysexBytes when mIsSysex
        uint32_t mSize;
        uint8_t mBytes[3];
        bool mIsSysex;
    };
    void SetTime(int64_t position, double bpm, int numerator, int denominator, bool playing, bool changed);
    void Deliver(LiveMidiInput& in, uint32_t count, uint32_t begin, uint32_t end);
    void Emit(uint32_t frames, bool final, LiveMidiOutput& out);
    void Track(const uint8_t* data, size_t size);

    double mSampleRate = 44100.0;
    int mMaxBlock = 512;
    double mOwnBpm = 120.0;
    int64_t mOwnClock = 0;
    bool mFirstCycle = true;
    bool mWasRolling = false;
    uint32_t mInputIndex = 0;  // the next input event of the cycle to deliver
    int64_t mBlockOffset = 0;  // frames from the cycle's start to the current process call

    VstEventList mEvents;
    std::vector<OutEvent> mOut;  // kMaxEvents reserved; carried events stay at its front
    std::vector<uint8_t> mSysexBytes;
    uint32_t mSysexUsed = 0;
    uint16_t mSounding[128] = {};  // bit c: the note sounds on channel c

    std::atomic<bool> mStopRequested{false};
    std::atomic<bool> mFinished{false};
    std::atomic<long> mNotesIn{0}, mNotesOut{0}, mDropped{0};
};
