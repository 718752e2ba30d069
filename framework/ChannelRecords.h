// Records behind the plug-in's audio channels and program slots.
#pragma once

#include <cstdint>

#include "framework/GrowArray.h"
#include "framework/StateChunk.h"

// One supported pair of input and output counts.
struct ChannelConfig {
    int32_t mNumInputs;
    int32_t mNumOutputs;
};

// An input channel: reads the host's buffer while connected, its own zeroed
// scratch otherwise (and the converted samples when the host sends floats).
struct InputChannel {
    bool mConnected = false;
    int mSlot = 0;  // its entry in the input pointer array
    GrowArray<double> mScratch{4096};
    bool mScratchHoldsSamples = false;  // converted host samples, not silence
};

// An output channel: writes to the host's double buffer directly, or to its
// scratch, which is converted into mpFloatDest after the block.
struct OutputChannel {
    bool mConnected = false;
    int mSlot = 0;
    float* mpFloatDest = nullptr;
    GrowArray<double> mScratch{4096};
};

// A program slot: a name and the parameter values stored in it.
struct PresetSlot {
    bool mInitialized = false;
    char mName[256] = {};
    StateChunk mState;
};
