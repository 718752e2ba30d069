// The --events table: one line per note that came out, with its position in bars, beats
// and ticks and in samples, its channel, note name and number, velocity and length, so a
// musician can hold what the plug-in played against what they expected.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/tamborelle-host/PlayedNotes.h"

struct TableMeter {
    int mNumerator = 4;
    int mDenominator = 4;        // a beat is this note value
    int mTicksPerQuarter = 960;  // as in the output file
};

// "3:2:480": bar and beat counted from 1, ticks from 0. Quarters count from the file's start.
std::string BarsBeatsTicks(double quarters, const TableMeter& meter);
// A length as "beats:ticks", "1:240".
std::string BeatsTicks(double quarters, const TableMeter& meter);
void PrintEventTable(const std::vector<PlayedNote>& notes, const TableMeter& meter, std::ostream& out);
