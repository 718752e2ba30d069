#include "src/Scales.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<int> Offsets(int32_t mask) {
    int32_t offsets[12];
    ComputeSnapOffsets(mask, offsets);
    return std::vector<int>(offsets, offsets + 12);
}
}  // namespace

// The snapping offsets by pitch class: nearest degree, ties go up.
TEST(ScaleOffsets, EveryBuiltInScale) {
    EXPECT_EQ(Offsets(SCALE_DEGREE_MASKS[0]), (std::vector<int>{0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(Offsets(SCALE_DEGREE_MASKS[1]), (std::vector<int>{0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1}));
    EXPECT_EQ(Offsets(SCALE_DEGREE_MASKS[2]), (std::vector<int>{0, 1, 0, 1, 0, -1, 1, 0, 1, 0, -1, 1}));
    EXPECT_EQ(Offsets(SCALE_DEGREE_MASKS[3]), (std::vector<int>{0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(Offsets(SCALE_DEGREE_MASKS[4]), std::vector<int>(12, 0));
}

// A sparse scale reaches down more than one semitone when that is nearer.
TEST(ScaleOffsets, FarDegreesChooseTheNearerSide) {
    // Degrees 0 and 7 only: 3 goes down 3 (up would be 4), 4 goes up 3.
    EXPECT_EQ(Offsets(0x081), (std::vector<int>{0, -1, -2, -3, 3, 2, 1, 0, -1, -2, 2, 1}));
}
