#include "tools/tamborelle-host/RenderOutput.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

int OutputCounts::TotalNotes() const {
    int total = 0;
    for (int n : mNotes) total += n;
    return total;
}

MidiFile BuildOutputFile(std::vector<RenderedEvent> events, const OutputTiming& timing, OutputCounts& counts) {
    counts = OutputCounts{};
    std::stable_sort(events.begin(), events.end(),
                     [](const RenderedEvent& a, const RenderedEvent& b) { return a.mSample < b.mSample; });

    MidiFile file;
    file.mFormat = 1;
    file.mDivision = uint16_t(timing.mTicksPerQuarter);
    MidiTrack conductor;
    conductor.mEvents.push_back(MidiEvent::TrackName(0, "Tamborelle render"));
    conductor.mEvents.push_back(MidiEvent::Tempo(0, uint32_t(std::lround(60e6 / timing.mBpm))));
    conductor.mEvents.push_back(MidiEvent::TimeSignature(0, uint8_t(timing.mNumerator), uint8_t(timing.mDenominator)));
    file.mTracks.push_back(std::move(conductor));

    const double ticksPerSample = timing.mBpm / 60.0 * timing.mTicksPerQuarter / timing.mSampleRate;
    auto tickOf = [&](int64_t sample) {
        const int64_t frames = std::max<int64_t>(0, sample - timing.mOrigin);
        return uint64_t(std::llround(double(frames) * ticksPerSample));
    };

    std::set<int> channels;
    bool hasSysex = false;
    for (const RenderedEvent& e : events) {
        if (e.mStatus == 0xF0)
            hasSysex = true;
        else
            channels.insert(e.mStatus & 0x0F);
    }
    int sounding[16][128] = {};
    for (int channel : channels) {
        MidiTrack track;
        track.mEvents.push_back(MidiEvent::TrackName(0, "Channel " + std::to_string(channel + 1)));
        for (const RenderedEvent& e : events) {
            if (e.mStatus == 0xF0 || (e.mStatus & 0x0F) != channel) continue;
            const int type = e.mStatus >> 4;
            const uint64_t tick = tickOf(e.mSample);
            if (type == 0xC || type == 0xD) {
                track.mEvents.push_back(MidiEvent::Channel2(tick, e.mStatus, e.mData1));
                ++counts.mOthers;
                continue;
            }
            track.mEvents.push_back(MidiEvent::Channel3(tick, e.mStatus, e.mData1, e.mData2));
            if (type == 9 && e.mData2 > 0) {
                ++counts.mNotes[channel];
                ++sounding[channel][e.mData1 & 0x7F];
            } else if (type == 8 || type == 9) {
                ++counts.mNoteOffs[channel];
                sounding[channel][e.mData1 & 0x7F] = 0;
            } else {
                ++counts.mOthers;
            }
        }
        file.mTracks.push_back(std::move(track));
    }
    for (auto& channel : sounding)
        for (int n : channel) counts.mHanging += n > 0 ? 1 : 0;

    if (hasSysex) {
        MidiTrack track;
        track.mEvents.push_back(MidiEvent::TrackName(0, "System exclusive"));
        for (const RenderedEvent& e : events) {
            if (e.mStatus != 0xF0) continue;
            MidiEvent m;
            m.mTick = tickOf(e.mSample);
            m.mStatus = 0xF0;
            m.mData.assign(e.mSysex.begin() + 1, e.mSysex.end());
            track.mEvents.push_back(std::move(m));
            ++counts.mOthers;
        }
        file.mTracks.push_back(std::move(track));
    }
    return file;
}
