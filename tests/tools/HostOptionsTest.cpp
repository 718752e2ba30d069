// The command line: commands, options in both spellings, and every mistake
// reported instead of guessed.
#include <gtest/gtest.h>

#include "tools/tamborelle-host/HostOptions.h"

namespace {

bool Parse(std::vector<std::string> args, HostOptions& options) {
    std::string error;
    const bool ok = ParseHostOptions(args, options, error);
    EXPECT_EQ(ok, error.empty()) << error;
    return ok;
}

}  // namespace

TEST(HostOptions, RenderWithEverySetting) {
    HostOptions o;
    ASSERT_TRUE(Parse({"render", "m.so", "in.mid", "out.mid", "--set", "v1algo=Up", "--rate=48000", "--block", "64",
                       "--set=8=7", "--tempo", "96.5", "--set", "Name=a=b"},
                      o));
    EXPECT_EQ(o.mCommand, HostOptions::Command::Render);
    EXPECT_EQ(o.mModule, "m.so");
    EXPECT_EQ(o.mInput, "in.mid");
    EXPECT_EQ(o.mOutput, "out.mid");
    ASSERT_EQ(o.mSettings.size(), 3u);
    EXPECT_EQ(o.mSettings[0].mName, "v1algo");
    EXPECT_EQ(o.mSettings[0].mValue, "Up");
    EXPECT_EQ(o.mSettings[1].mName, "8");
    EXPECT_EQ(o.mSettings[1].mValue, "7");
    EXPECT_EQ(o.mSettings[2].mValue, "a=b");  // only the first '=' splits
    EXPECT_EQ(o.mSampleRate, 48000.0);
    EXPECT_EQ(o.mBlockSize, 64);
    EXPECT_EQ(o.mTempo, 96.5);
}

TEST(HostOptions, DefaultsAndOtherCommands) {
    HostOptions o;
    ASSERT_TRUE(Parse({"render", "m.so", "a.mid", "b.mid"}, o));
    EXPECT_EQ(o.mSampleRate, 44100.0);
    EXPECT_EQ(o.mBlockSize, 512);
    EXPECT_EQ(o.mTempo, 0.0);
    ASSERT_TRUE(Parse({"info", "m.so"}, o));
    EXPECT_EQ(o.mCommand, HostOptions::Command::Info);
    ASSERT_TRUE(Parse({"render", "--help"}, o));
    EXPECT_EQ(o.mCommand, HostOptions::Command::Help);
    EXPECT_NE(HostUsage().find("ParMute"), std::string::npos);  // the shared name is explained
}

TEST(HostOptions, EventsPictureAndLive) {
    HostOptions o;
    ASSERT_TRUE(Parse({"render", "m.so", "a.mid", "b.mid", "--events", "--picture", "roll.png"}, o));
    EXPECT_TRUE(o.mEvents);
    EXPECT_EQ(o.mPicture, "roll.png");
    ASSERT_TRUE(Parse({"live", "m.so", "--set", "v1Chan=3", "--tempo=96", "--from", "kbd:out", "--to", "synth:in",
                       "--from=seq:out", "--name", "tb", "--server", "studio"},
                      o));
    EXPECT_EQ(o.mCommand, HostOptions::Command::Live);
    EXPECT_EQ(o.mModule, "m.so");
    EXPECT_EQ(o.mSettings.size(), 1u);
    EXPECT_EQ(o.mTempo, 96.0);
    EXPECT_EQ(o.mFrom, (std::vector<std::string>{"kbd:out", "seq:out"}));
    EXPECT_EQ(o.mTo, (std::vector<std::string>{"synth:in"}));
    EXPECT_EQ(o.mClientName, "tb");
    EXPECT_EQ(o.mServer, "studio");
    ASSERT_TRUE(Parse({"live", "m.so"}, o));
    EXPECT_EQ(o.mClientName, "tamborelle");
    EXPECT_TRUE(o.mServer.empty());
}

TEST(HostOptions, MistakesAreReported) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"play", "m.so"},
        {"info"},
        {"info", "m.so", "--rate", "48000"},
        {"render", "m.so", "in.mid"},
        {"render", "m.so", "in.mid", "out.mid", "extra"},
        {"render", "m.so", "in.mid", "out.mid", "--set"},
        {"render", "m.so", "in.mid", "out.mid", "--set", "novalue"},
        {"render", "m.so", "in.mid", "out.mid", "--set", "=7"},
        {"render", "m.so", "in.mid", "out.mid", "--rate", "fast"},
        {"render", "m.so", "in.mid", "out.mid", "--rate", "10"},
        {"render", "m.so", "in.mid", "out.mid", "--block", "0"},
        {"render", "m.so", "in.mid", "out.mid", "--block", "12.5"},
        {"render", "m.so", "in.mid", "out.mid", "--tempo", "0"},
        {"render", "m.so", "in.mid", "out.mid", "--tempo", "nan"},
        {"render", "m.so", "in.mid", "out.mid", "--loop"},
        {"render", "m.so", "in.mid", "out.mid", "--events=yes"},
        {"render", "m.so", "in.mid", "out.mid", "--picture"},
        {"render", "m.so", "in.mid", "out.mid", "--picture="},
        {"render", "m.so", "in.mid", "out.mid", "--from", "kbd:out"},
        {"info", "m.so", "--events"},
        {"live"},
        {"live", "m.so", "extra"},
        {"live", "m.so", "--rate", "48000"},
        {"live", "m.so", "--block", "64"},
        {"live", "m.so", "--events"},
        {"live", "m.so", "--picture", "roll.png"},
        {"live", "m.so", "--to"},
        {"live", "m.so", "--name="},
    };
    for (const auto& args : bad) {
        HostOptions o;
        std::string error;
        EXPECT_FALSE(ParseHostOptions(args, o, error)) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(error.empty());
    }
}
