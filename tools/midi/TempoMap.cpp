#include "tools/midi/TempoMap.h"

#include <algorithm>

namespace {

constexpr double kDefaultBpm = 120.0;

struct TempoChange {
    uint64_t mTick;
    uint32_t mMicrosPerQuarter;
};

std::vector<TempoChange> CollectTempoChanges(const MidiFile& file) {
    std::vector<TempoChange> changes;
    const size_t tracks = file.mFormat == 2 ? std::min<size_t>(1, file.mTracks.size()) : file.mTracks.size();
    for (size_t t = 0; t < tracks; ++t)
        for (const MidiEvent& e : file.mTracks[t].mEvents)
            if (e.IsMeta() && e.mMetaType == kMetaTempo && e.mData.size() >= 3) {
                const uint32_t us = (uint32_t(e.mData[0]) << 16) | (uint32_t(e.mData[1]) << 8) | e.mData[2];
                if (us > 0) changes.push_back({e.mTick, us});
            }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.mTick < b.mTick; });
    return changes;
}

}  // namespace

TempoMap::TempoMap(const MidiFile& file) {
    ReadDivision(file);
    mSegments.push_back({0, 0.0, 0.0, kDefaultBpm});
    for (const TempoChange& c : CollectTempoChanges(file)) {
        const double bpm = 60e6 / c.mMicrosPerQuarter;
        Segment& last = mSegments.back();
        if (c.mTick == last.mTick) {
            last.mBpm = bpm;  // the later of two changes at one tick wins
            continue;
        }
        const double seconds = SecondsAt(c.mTick);
        const double quarters = last.mQuarters + (seconds - last.mSeconds) * last.mBpm / 60.0;
        mSegments.push_back({c.mTick, seconds, quarters, bpm});
    }
    ReadMeter(file);
}

TempoMap::TempoMap(const MidiFile& file, double bpm) {
    ReadDivision(file);
    mSegments.push_back({0, 0.0, 0.0, bpm > 0.0 ? bpm : kDefaultBpm});
    ReadMeter(file);
}

void TempoMap::ReadDivision(const MidiFile& file) {
    if (file.IsSmpte()) {
        // The top byte is the negative frame rate; 29 stands for 29.97 drop-frame.
        const int fps = -int8_t(file.mDivision >> 8);
        const double rate = fps == 29 ? 29.97 : double(fps);
        mSmpteTicksPerSecond = std::max(1.0, rate) * std::max(1, file.mDivision & 0xFF);
    } else {
        mTicksPerQuarter = std::max<int>(1, file.mDivision);
    }
}

void TempoMap::ReadMeter(const MidiFile& file) {
    uint64_t firstTick = UINT64_MAX;
    for (const MidiTrack& track : file.mTracks)
        for (const MidiEvent& e : track.mEvents)
            if (e.IsMeta() && e.mMetaType == kMetaTimeSignature && e.mData.size() >= 2 && e.mData[0] > 0 &&
                e.mData[1] <= 6 && e.mTick < firstTick) {
                firstTick = e.mTick;
                mNumerator = e.mData[0];
                mDenominator = 1 << e.mData[1];
            }
}

double TempoMap::SecondsAt(uint64_t tick) const {
    if (mSmpteTicksPerSecond > 0.0) return double(tick) / mSmpteTicksPerSecond;
    auto it = std::upper_bound(mSegments.begin(), mSegments.end(), tick,
                               [](uint64_t t, const Segment& s) { return t < s.mTick; });
    const Segment& s = *(it - 1);  // the first segment starts at tick 0
    return s.mSeconds + double(tick - s.mTick) * 60.0 / (s.mBpm * mTicksPerQuarter);
}

const TempoMap::Segment& TempoMap::SegmentAtSeconds(double seconds) const {
    auto it = std::upper_bound(mSegments.begin(), mSegments.end(), seconds,
                               [](double t, const Segment& s) { return t < s.mSeconds; });
    return it == mSegments.begin() ? mSegments.front() : *(it - 1);
}

double TempoMap::BpmAt(double seconds) const { return SegmentAtSeconds(seconds).mBpm; }

double TempoMap::QuartersAt(double seconds) const {
    const Segment& s = SegmentAtSeconds(seconds);
    return s.mQuarters + (seconds - s.mSeconds) * s.mBpm / 60.0;
}
