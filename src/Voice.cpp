#include "src/Voice.h"

#include "framework/Assert.h"

namespace {
const char* const SOURCE = "src\\Voice";
}

const char* const ALGORITHM_NAMES[NUM_ALGORITHMS] = {"Up", "Down", "UpDown", "ZigZag", "Random"};

void Voice::SetInterval(int slot, int value) {
    TAMB_ASSERT(slot >= 0 && slot <= 3, "interval >= 0 && interval <=3", SOURCE);
    mIntervals[slot] = value;
}

void Voice::SetIntervalMute(int slot, bool on) {
    TAMB_ASSERT(slot >= 0 && slot <= 3, "interval >= 0 && interval <=3", SOURCE);
    mIntervalMutes[slot] = on;
}

void Voice::SetAlgorithm(int algorithm) {
    mAlgorithm = algorithm;
    switch (algorithm) {
    case AlgoUp:
    case AlgoUpDown:
    case AlgoZigZag:
    case AlgoRandom:
        mDirection = +1;
        mIndex = 0;
        break;
    case AlgoDown:
        mDirection = -1;
        mIndex = mNumIntervals - 1;
        break;
    default: break;
    }
}

void Voice::Advance() {
    const int n = mNumIntervals;
    if (n == 1) return;
    switch (mAlgorithm) {
    case AlgoUp:
        if (++mIndex >= n) mIndex = 0;
        break;
    case AlgoDown:
        if (--mIndex < 0) mIndex = n - 1;
        break;
    case AlgoUpDown:
        // The end points play once per sweep.
        if (mDirection > 0) {
            if (++mIndex >= n) {
                mDirection = -1;
                mIndex = n - 2;
            }
        } else if (--mIndex < 0) {
            mIndex = 1;
            mDirection = +1;
        }
        break;
    case AlgoZigZag:
        // Two up, one back: 0, 2, 1, 3, 0 ...
        if (mDirection > 0) {
            mIndex += 2;
            mDirection = -1;
            if (mIndex >= n) {
                mIndex = 0;
                mDirection = +1;
            }
        } else if (mIndex < n - 1) {
            mDirection = +1;
            mIndex = mIndex - 1 < 0 ? 1 : mIndex - 1;
        } else {
            mIndex = 0;
            mDirection = +1;
        }
        break;
    case AlgoRandom:
        if (mpRandom) {
            // Two multiply-with-carry words; only w picks the step.
            uint32_t& w = mpRandom[0];
            uint32_t& z = mpRandom[1];
            z = 36969u * (z & 0xFFFFu) + (z >> 16);
            w = 18000u * (w & 0xFFFFu) + (w >> 16);
            mIndex = static_cast<int32_t>((w >> 13) & 3u);
        }
        break;
    default: break;
    }
}
