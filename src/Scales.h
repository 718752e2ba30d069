// The built-in scales and tonics, and the snapping offsets a scale gives each
// pitch class.
#pragma once

#include <cstdint>

constexpr int NUM_SCALES = 5;
constexpr int NUM_TONICS = 12;
extern const char* const SCALE_NAMES[NUM_SCALES];
// Bit i set: pitch class i above the tonic is a degree of the scale.
extern const int32_t SCALE_DEGREE_MASKS[NUM_SCALES];
extern const char* const TONIC_NAMES[NUM_TONICS];

// Semitones that move each pitch class (counted from the tonic) to the nearest
// degree of the mask; a pitch exactly between two degrees goes up.
void ComputeSnapOffsets(int32_t degreeMask, int32_t offsets[12]);
