#include "src/Scales.h"

const char* const SCALE_NAMES[NUM_SCALES] = {"Major", "Minor", "Penta", "Whole", "Chrom"};

const int32_t SCALE_DEGREE_MASKS[NUM_SCALES] = {0xAB5, 0x5AD, 0x295, 0x555, 0xFFF};

const char* const TONIC_NAMES[NUM_TONICS] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

void ComputeSnapOffsets(int32_t degreeMask, int32_t offsets[12]) {
    // Distance down to the nearest degree at or below, within the octave
    // (every mask holds the tonic, so there always is one).
    int32_t below[12];
    int32_t down = 0;
    for (int i = 0; i < 12; ++i) {
        down = (degreeMask & (1 << i)) ? 0 : down + 1;
        below[i] = down;
    }
    // Distance up, with the next octave's tonic as a degree above pitch class 11.
    int32_t up = 0;
    for (int i = 11; i >= 0; --i) {
        if (degreeMask & (1 << i)) {
            up = 0;
            offsets[i] = 0;
            continue;
        }
        ++up;
        offsets[i] = below[i] >= up ? up : -below[i];
    }
}
