// Conversions that stay defined for any input a host can send. Every function: [any thread].
#pragma once

#include <cstdint>

// Truncates toward zero; NaN gives 0 and values beyond int32 saturate.
inline int32_t TruncToInt32(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// a + b, saturating at the int32 limits.
inline int32_t SaturatingAdd(int32_t a, int32_t b) {
    int64_t sum = static_cast<int64_t>(a) + b;
    return sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : static_cast<int32_t>(sum);
}

inline int32_t Clamp(int32_t value, int32_t lo, int32_t hi) { return value < lo ? lo : value > hi ? hi : value; }

// A four-character code such as 'gxLm' as a 32-bit identifier.
constexpr int32_t FourCC(const char (&code)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(code[3])));
}
