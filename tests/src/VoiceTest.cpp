#include "src/Voice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<int> Steps(Voice& voice, int count) {
    std::vector<int> indexes;
    for (int i = 0; i < count; ++i) {
        voice.Advance();
        indexes.push_back(voice.mIndex);
    }
    return indexes;
}
}  // namespace

// Each pattern's sequence of steps right after it is chosen.
TEST(VoiceRotation, PatternSequences) {
    Voice voice;
    voice.SetAlgorithm(AlgoUp);
    EXPECT_EQ(Steps(voice, 6), (std::vector<int>{1, 2, 3, 0, 1, 2}));
    voice.SetAlgorithm(AlgoDown);
    EXPECT_EQ(Steps(voice, 6), (std::vector<int>{2, 1, 0, 3, 2, 1}));
    voice.SetAlgorithm(AlgoUpDown);
    EXPECT_EQ(Steps(voice, 9), (std::vector<int>{1, 2, 3, 2, 1, 0, 1, 2, 3}));
    voice.SetAlgorithm(AlgoZigZag);
    EXPECT_EQ(Steps(voice, 8), (std::vector<int>{2, 1, 3, 0, 2, 1, 3, 0}));
}

TEST(VoiceRotation, RandomFollowsTheSharedGenerator) {
    uint32_t state[2] = {0x1234, 0xFFFFEDCB};
    Voice voice;
    voice.mpRandom = state;
    voice.SetAlgorithm(AlgoRandom);
    EXPECT_EQ(Steps(voice, 8), (std::vector<int>{3, 0, 2, 2, 1, 2, 0, 0}));
}

TEST(VoiceRotation, ChoosingAPatternRestartsIt) {
    Voice voice;
    voice.SetAlgorithm(AlgoUp);
    Steps(voice, 3);
    voice.SetAlgorithm(AlgoUp);
    EXPECT_EQ(Steps(voice, 1), (std::vector<int>{1}));
}

TEST(VoiceRotation, SingleIntervalVoiceNeverMoves) {
    Voice voice;
    voice.mNumIntervals = 1;
    voice.SetAlgorithm(AlgoUp);
    EXPECT_EQ(Steps(voice, 3), (std::vector<int>{0, 0, 0}));
}

// A muted step is still taken; the voice is silent on it.
TEST(VoiceRotation, MutedStepIsTakenSilently) {
    Voice voice;
    voice.SetAlgorithm(AlgoUp);
    voice.SetIntervalMute(1, true);
    std::vector<bool> plays;
    for (int i = 0; i < 5; ++i) {
        voice.Advance();
        plays.push_back(voice.Plays());
    }
    EXPECT_EQ(plays, (std::vector<bool>{false, true, true, true, false}));
}

TEST(VoiceDeath, IntervalSlotOutsideFourStops) {
    Voice voice;
    EXPECT_DEATH(voice.SetInterval(4, 0), "interval >= 0 && interval <=3");
}
