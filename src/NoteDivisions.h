// The tempo-synced note divisions a voice delay is chosen from, longest first:
// display names and lengths in beats (one beat is a quarter note), by row.
#pragma once

constexpr int NUM_NOTE_DIVISIONS = 17;
extern const char* const NOTE_DIVISION_NAMES[NUM_NOTE_DIVISIONS];
extern const double NOTE_DIVISION_BEATS[NUM_NOTE_DIVISIONS];
