// Internal: coverage bytes of the small rings (radius 2, 2.5, 3, 3.5 and 4), stamped instead of
// traced because tracing so few pixels looks ragged. Pixel centres lie on integer coordinates;
// each square is trunc(2r) + 1 pixels wide with the ring's centre at (r, r).
#pragma once

#include <cstdint>

namespace raster {

struct RingStamp {
    float mRadius;
    int mSize;
    const uint8_t* mpAntiAliased;  // coverage 255 - 255 * |distance - r|, clipped at 0
    const uint8_t* mpAliased;      // 255 where |distance - r| < 0.5
};

// clang-format off
const uint8_t RING_AA_2[25] = {
     44, 195, 255, 195,  44,
    195, 106,   0, 106, 195,
    255,   0,   0,   0, 255,
    195, 106,   0, 106, 195,
     44, 195, 255, 195,  44,
};
// clang-format on

// clang-format off
const uint8_t RING_AL_2[25] = {
      0, 255, 255, 255,   0,
    255,   0,   0,   0, 255,
    255,   0,   0,   0, 255,
    255,   0,   0,   0, 255,
      0, 255, 255, 255,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AA_2_5[36] = {
      0, 149, 242, 242, 149,   0,
    149, 158,  21,  21, 158, 149,
    242,  21,   0,   0,  21, 242,
    242,  21,   0,   0,  21, 242,
    149, 158,  21,  21, 158, 149,
      0, 149, 242, 242, 149,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AL_2_5[36] = {
      0, 255, 255, 255, 255,   0,
    255, 255,   0,   0, 255, 255,
    255,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0, 255,
    255, 255,   0,   0, 255, 255,
      0, 255, 255, 255, 255,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AA_3[49] = {
      0, 101, 214, 255, 214, 101,   0,
    101, 211,  60,   0,  60, 211, 101,
    214,  60,   0,   0,   0,  60, 214,
    255,   0,   0,   0,   0,   0, 255,
    214,  60,   0,   0,   0,  60, 214,
    101, 211,  60,   0,  60, 211, 101,
      0, 101, 214, 255, 214, 101,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AL_3[49] = {
      0,   0, 255, 255, 255,   0,   0,
      0, 255,   0,   0,   0, 255,   0,
    255,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0, 255,
      0, 255,   0,   0,   0, 255,   0,
      0,   0, 255, 255, 255,   0,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AA_3_5[64] = {
      0,  51, 176, 246, 246, 176,  51,   0,
     51, 246, 106,  13,  13, 106, 246,  51,
    176, 106,   0,   0,   0,   0, 106, 176,
    246,  13,   0,   0,   0,   0,  13, 246,
    246,  13,   0,   0,   0,   0,  13, 246,
    176, 106,   0,   0,   0,   0, 106, 176,
     51, 246, 106,  13,  13, 106, 246,  51,
      0,  51, 176, 246, 246, 176,  51,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AL_3_5[64] = {
      0,   0, 255, 255, 255, 255,   0,   0,
      0, 255,   0,   0,   0,   0, 255,   0,
    255,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0, 255,
      0, 255,   0,   0,   0,   0, 255,   0,
      0,   0, 255, 255, 255, 255,   0,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AA_4[81] = {
      0,   0, 135, 224, 255, 224, 135,   0,   0,
      0, 193, 154,  41,   0,  41, 154, 193,   0,
    135, 154,   0,   0,   0,   0,   0, 154, 135,
    224,  41,   0,   0,   0,   0,   0,  41, 224,
    255,   0,   0,   0,   0,   0,   0,   0, 255,
    224,  41,   0,   0,   0,   0,   0,  41, 224,
    135, 154,   0,   0,   0,   0,   0, 154, 135,
      0, 193, 154,  41,   0,  41, 154, 193,   0,
      0,   0, 135, 224, 255, 224, 135,   0,   0,
};
// clang-format on

// clang-format off
const uint8_t RING_AL_4[81] = {
      0,   0, 255, 255, 255, 255, 255,   0,   0,
      0, 255, 255,   0,   0,   0, 255, 255,   0,
    255, 255,   0,   0,   0,   0,   0, 255, 255,
    255,   0,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0,   0, 255,
    255,   0,   0,   0,   0,   0,   0,   0, 255,
    255, 255,   0,   0,   0,   0,   0, 255, 255,
      0, 255, 255,   0,   0,   0, 255, 255,   0,
      0,   0, 255, 255, 255, 255, 255,   0,   0,
};
// clang-format on

const RingStamp RING_STAMPS[] = {
    {2.0f, 5, RING_AA_2, RING_AL_2},     {2.5f, 6, RING_AA_2_5, RING_AL_2_5}, {3.0f, 7, RING_AA_3, RING_AL_3},
    {3.5f, 8, RING_AA_3_5, RING_AL_3_5}, {4.0f, 9, RING_AA_4, RING_AL_4},
};

}  // namespace raster
