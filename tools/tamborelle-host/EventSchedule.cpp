#include "tools/tamborelle-host/EventSchedule.h"

#include <algorithm>
#include <cmath>

namespace {

int Rank(const TimedEvent& e) {
    const int type = e.mStatus >> 4;
    if (type == 8) return 0;
    if (type == 9) return 2;
    return 1;
}

}  // namespace

std::vector<TimedEvent> ScheduleEvents(const MidiFile& file, const TempoMap& tempo, double sampleRate) {
    std::vector<TimedEvent> events;
    for (const MidiTrack& track : file.mTracks) {
        for (const MidiEvent& e : track.mEvents) {
            TimedEvent out;
            out.mFrame = std::llround(tempo.SecondsAt(e.mTick) * sampleRate);
            if (e.IsChannel()) {
                out.mStatus = e.mStatus;
                out.mData1 = e.mData.size() > 0 ? e.mData[0] : 0;
                out.mData2 = e.mData.size() > 1 ? e.mData[1] : 0;
                if (e.IsNoteOff() && e.Type() == 9) {
                    out.mStatus = uint8_t(0x80 | e.Channel());
                    out.mData2 = 64;
                }
            } else if (e.mStatus == 0xF0) {
                // Continuation packets (F7) cannot be told apart from escapes; only
                // whole messages are delivered.
                out.mStatus = 0xF0;
                out.mSysex.push_back(0xF0);
                out.mSysex.insert(out.mSysex.end(), e.mData.begin(), e.mData.end());
                if (out.mSysex.back() != 0xF7) continue;
            } else {
                continue;
            }
            events.push_back(std::move(out));
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
        if (a.mFrame != b.mFrame) return a.mFrame < b.mFrame;
        return Rank(a) < Rank(b);
    });
    return events;
}
