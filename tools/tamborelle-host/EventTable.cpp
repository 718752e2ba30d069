#include "tools/tamborelle-host/EventTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/midi/NoteName.h"

namespace {

struct Grid {
    int64_t mPerBeat;
    int64_t mPerBar;
};

// Whole ticks, so positions never round up into the next beat's text.
Grid GridOf(const TableMeter& meter) {
    const int64_t perBeat = int64_t(meter.mTicksPerQuarter) * 4 / std::max(1, meter.mDenominator);
    return {std::max<int64_t>(1, perBeat), std::max<int64_t>(1, perBeat * std::max(1, meter.mNumerator))};
}

int64_t Ticks(double quarters, const TableMeter& meter) {
    return std::max<int64_t>(0, std::llround(quarters * meter.mTicksPerQuarter));
}

std::string Pad(int width, const std::string& text) {
    return text.size() >= size_t(width) ? text : std::string(size_t(width) - text.size(), ' ') + text;
}

}  // namespace

std::string BarsBeatsTicks(double quarters, const TableMeter& meter) {
    const Grid grid = GridOf(meter);
    const int64_t ticks = Ticks(quarters, meter);
    char text[64];
    std::snprintf(text, sizeof text, "%lld:%lld:%03lld", static_cast<long long>(ticks / grid.mPerBar + 1),
                  static_cast<long long>(ticks % grid.mPerBar / grid.mPerBeat + 1),
                  static_cast<long long>(ticks % grid.mPerBeat));
    return text;
}

std::string BeatsTicks(double quarters, const TableMeter& meter) {
    const Grid grid = GridOf(meter);
    const int64_t ticks = Ticks(quarters, meter);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%03lld", static_cast<long long>(ticks / grid.mPerBeat),
                  static_cast<long long>(ticks % grid.mPerBeat));
    return text;
}

void PrintEventTable(const std::vector<PlayedNote>& notes, const TableMeter& meter, std::ostream& out) {
    out << "     position             ch  note      vel       length\n"
        << "bar:beat:tick     sample                      beats:ticks   samples\n";
    for (const PlayedNote& n : notes) {
        out << Pad(13, BarsBeatsTicks(n.mStartQuarters, meter)) << Pad(11, std::to_string(n.mStart))
            << Pad(4, std::to_string(n.mChannel + 1)) << "  " << NoteName(n.mNote)
            << std::string(5 - NoteName(n.mNote).size(), ' ') << Pad(3, std::to_string(n.mNote))
            << Pad(5, std::to_string(n.mVelocity)) << Pad(17, BeatsTicks(n.mLengthQuarters, meter))
            << Pad(10, std::to_string(n.mLength)) << "\n";
    }
}
