// A stand-in plug-in for testing the host without the real module: named
// parameters with display texts, and an echo of every MIDI event it receives,
// sent back from the following process call while the transport plays. It
// records what the host's transport said at every block.
#pragma once

#include <string>
#include <vector>

#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstEventList.h"

struct FakeParam {
    std::string mName;
    double mMin = 0, mMax = 1, mStep = 1;
    std::vector<std::string> mTexts;  // display texts by step, or empty for numbers
    int mDecimals = 0;
    double mValue = 0;
    size_t mSetAtBlock = size_t(-1);  // blocks processed before the latest set
};

struct FakeBlock {
    vst2::VstTimeInfo mTime;
    int mFrames;
    int mEventsBefore;  // events delivered to the plug-in for this block
};

struct FakeEffect {
    vst2::AEffect mEffect{};
    vst2::HostCallback mHost = nullptr;
    std::vector<FakeParam> mParams;
    std::vector<vst2::VstMidiEvent> mPending;
    VstEventList mEcho;  // one event per call, as a plug-in sends them
    std::vector<FakeBlock> mBlocks;
    std::vector<std::string> mCalls;  // "open", "rate", "block", "mains 1", "set 3", "close" ...
    int mEventsThisBlock = 0;
    bool mClosed = false;
};

// The instance the entry creates next (its parameters may be set beforehand).
FakeEffect& TheFakeEffect();
void ResetFakeEffect(std::vector<FakeParam> params);
vst2::AEffect* FakeEntry(vst2::HostCallback host);
