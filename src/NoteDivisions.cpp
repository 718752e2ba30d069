#include "src/NoteDivisions.h"

const char* const NOTE_DIVISION_NAMES[NUM_NOTE_DIVISIONS] = {
    "--off--", "1/1",  "1/2d", "1/2",   "1/4d", "1/4",  "1/8d",  "1/2t",  "1/8",
    "1/16d",   "1/4t", "1/16", "1/32d", "1/8t", "1/32", "1/16t", "1/32t",
};

// A triplet holds two thirds of the straight division with twice its
// denominator: "1/2t" is 2/3 of a beat, "1/4t" 1/3.
const double NOTE_DIVISION_BEATS[NUM_NOTE_DIVISIONS] = {
    0.0, 4.0, 3.0, 2.0, 1.5, 1.0, 0.75, 2.0 / 3, 0.5, 0.375, 1.0 / 3, 0.25, 0.1875, 1.0 / 6, 0.125, 1.0 / 12, 1.0 / 24,
};
