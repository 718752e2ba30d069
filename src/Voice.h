// One of the four voices: an interval (or four, stepped through by a pattern)
// added to the trigger's note, on its own channel, with its own velocity
// offset, mute and delay.
#pragma once

#include <cstdint>

enum VoiceAlgorithm : int32_t { AlgoUp = 0, AlgoDown = 1, AlgoUpDown = 2, AlgoZigZag = 3, AlgoRandom = 4 };

constexpr int MAX_INTERVALS = 4;
constexpr int NUM_ALGORITHMS = 5;
extern const char* const ALGORITHM_NAMES[NUM_ALGORITHMS];

class Voice {
public:
    int32_t mChannel = 0;
    int32_t mVelocityOffset = 0;
    int32_t mIntervals[MAX_INTERVALS] = {};
    bool mIntervalMutes[MAX_INTERVALS] = {};
    int32_t mNumIntervals = MAX_INTERVALS;
    bool mMute = false;
    int32_t mDelay = 0;  // samples
    int32_t mIndex = 0;  // the interval in use
    int32_t mAlgorithm = AlgoUp;
    int32_t mDirection = +1;
    uint32_t* mpRandom = nullptr;  // shared generator: w, then z

    int numIntervals() const { return mNumIntervals; }
    void SetInterval(int slot, int value);
    void SetIntervalMute(int slot, bool on);
    // Stores the pattern and restarts it, even when the value is unchanged.
    void SetAlgorithm(int algorithm);
    // Steps to the next interval; once per incoming note-on.
    void Advance();
    // Whether the voice sounds for the current step: a muted step is still taken.
    bool Plays() const { return !mMute && !mIntervalMutes[mIndex]; }
    int CurrentInterval() const { return mIntervals[mIndex]; }
};
