// The fixture every behaviour test starts from: a fresh, opened instance.
#pragma once

#include <gtest/gtest.h>

#include "tests/src/PluginHarness.h"

class PluginTest : public ::testing::Test {
protected:
    static constexpr int kBlock = 512;

    void SetUp() override {
        ASSERT_TRUE(p.Create()) << p.Error() << " (" << ModulePath() << ")";
        p.Open(44100.0f, kBlock);
    }

    // Puts the four voices on output channels 0..3 so that all of them sound.
    void SpreadVoices() {
        p.SetParam(Par::MainChan, Norm::Chan(1));
        p.SetParam(Par::ParChan, Norm::Chan(2));
        p.SetParam(Par::V1Chan, Norm::Chan(3));
        p.SetParam(Par::V2Chan, Norm::Chan(4));
    }

    // Leaves only the named voice unmuted (1 main, 2 parallel, 3 v1, 4 v2).
    void Solo(int voice) {
        p.SetParam(Par::MainMute, voice == 1 ? 0.0f : 1.0f);
        p.SetParam(Par::ParMute, voice == 2 ? 0.0f : 1.0f);
        p.SetParam(Par::V1Mute, voice == 3 ? 0.0f : 1.0f);
        p.SetParam(Par::V2Mute, voice == 4 ? 0.0f : 1.0f);
    }

    PluginHarness p;
};
