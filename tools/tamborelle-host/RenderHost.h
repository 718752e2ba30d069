// The host of a render: plays a MIDI file through the plug-in block by block
// with a rolling transport and collects every event the plug-in sends back.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/midi/MidiFile.h"
#include "tools/midi/TempoMap.h"
#include "tools/tamborelle-host/EventSchedule.h"
#include "tools/tamborelle-host/PlayedNotes.h"
#include "tools/tamborelle-host/RenderOutput.h"
#include "tools/vsthost/VstHost.h"

struct RenderSettings {
    double mSampleRate = 44100.0;
    int mBlockSize = 512;
    double mTempo = 0.0;  // 0: the file's tempo map
};

struct RenderReport {
    int mNotesIn = 0;
    OutputCounts mOut;
    int mBlocks = 0;
    double mSeconds = 0.0;  // played time, pre-roll and tail included
    double mBpm = 120.0;    // tempo at the start
    int mIgnored = 0;       // events from the plug-in that no MIDI file can hold
    int mNumerator = 4;     // the file's meter
    int mDenominator = 4;
    // The notes played into the plug-in and the notes it sent, from the file's start.
    std::vector<PlayedNote> mInputNotes;
    std::vector<PlayedNote> mOutputNotes;
};

class RenderHost : public VstHost {
public:
    // Timeline: one stopped block so the plug-in learns the tempo, then the
    // parameters (every current value re-applied, then the given ones, so
    // tempo-based values are computed at the file's tempo), then playing blocks
    // from position 0: a pre-roll of at least a bar and a block (the plug-in
    // treats the first playing block as a jump), the file, a tail of two bars
    // for delayed notes and releases, and two stopped blocks that flush what
    // still sounds.
    bool Render(const MidiFile& input, const RenderSettings& settings,
                const std::vector<std::pair<int, float>>& parameters, MidiFile& output, RenderReport& report,
                std::string& error);

protected:
    void OnEvent(const vst2::VstEvent& event) override;

private:
    void SetFileTransport(int64_t position, bool playing, bool changed);
    void Deliver(const std::vector<TimedEvent>& events, size_t begin, size_t end);
    void PlaceInQuarters(std::vector<PlayedNote>& notes) const;

    const TempoMap* mTempo = nullptr;
    RenderSettings mSettings;
    int64_t mPreroll = 0;
    double mPrerollQuarters = 0.0;
    int64_t mBlockStart = 0;
    VstEventList mEvents;
    std::vector<RenderedEvent> mCaptured;
    int mIgnored = 0;
};
