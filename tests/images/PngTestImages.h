// Small PNG images written with libpng's encoder in memory, and the pixels the loader
// should make of them, computed independently of the decoder.
#pragma once

#include <png.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct TestPng {
    const char* mName;
    int mWidth;
    int mHeight;
    int mColorType;  // PNG_COLOR_TYPE_*
    int mBitDepth;
    bool mInterlaced;
    bool mTransparentColor;  // tRNS: a colour key for grey/RGB, alpha entries for palettes
};

// The encoded file. Samples are a fixed pseudo-random pattern over the whole range of the
// bit depth, so every sample value of low depths occurs.
std::vector<unsigned char> EncodeTestPng(const TestPng& image);

// The expected pixel words (A << 24 | R << 16 | G << 8 | B), row by row.
std::vector<uint32_t> ExpectedPixels(const TestPng& image);

// Every colour type and bit depth PNG allows, with and without tRNS, some interlaced.
std::vector<TestPng> AllTestPngs();

std::string TestPngName(const TestPng& image);

// For test failure messages.
inline void PrintTo(const TestPng& image, std::ostream* os) { *os << TestPngName(image); }
