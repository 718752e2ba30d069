// Finding parameters by the names and display texts a host sees, on a stand-in
// plug-in: shared names, texts, numbers, list positions, fine ranges.
#include <gtest/gtest.h>

#include "tests/tools/FakeEffect.h"
#include "tools/vsthost/ParameterResolver.h"
#include "tools/vsthost/VstHost.h"

namespace {

class ParameterResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFakeEffect({
            {"MainMute", 0, 1, 1, {"off", "on"}},
            {"ParMute", 0, 1, 1, {"off", "on"}},
            {"ParMute", -24, 24, 1, {}},
            {"Delay",
             0,
             16,
             1,
             {"--off--", "1/1", "1/2d", "1/2", "1/4d", "1/4", "1/8d", "1/2t", "1/8", "1/16d", "1/4t", "1/16", "1/32d",
              "1/8t", "1/32", "1/16t", "1/32t"}},
            {"Gain", 0, 100, 0.001, {}, 3},
            {"", 0, 1, 1, {}},
            {"12", 0, 1, 1, {}},
        });
        ASSERT_TRUE(mHost.Instantiate(FakeEntry));
    }

    int Index(const std::string& name) {
        std::string error, note;
        return mResolver.FindIndex(name, error, note);
    }
    // The plain value the fake ends up with after setting the found value.
    double Set(int index, const std::string& value) {
        float n = -1;
        std::string error;
        EXPECT_TRUE(mResolver.FindValue(index, value, n, error)) << error;
        mHost.SetParameter(index, n);
        return TheFakeEffect().mParams[size_t(index)].mValue;
    }

    VstHost mHost;
    ParameterResolver mResolver{mHost};
};

}  // namespace

TEST_F(ParameterResolverTest, SharedNameTakesTheFirstAndSaysSo) {
    std::string error, note;
    EXPECT_EQ(mResolver.FindIndex("ParMute", error, note), 1);
    EXPECT_NE(note.find("1 2"), std::string::npos) << note;
    EXPECT_EQ(mResolver.FindIndex("MainMute", error, note), 0);
    EXPECT_TRUE(note.empty());
    EXPECT_EQ(Index("mainmute"), 0);  // case is forgiven when nothing matches exactly
    EXPECT_EQ(Index("2"), 2);         // an index reaches the second "ParMute"
    EXPECT_EQ(Index("12"), 6);        // a name wins over an index
    EXPECT_EQ(Index("Nope"), -1);
    EXPECT_EQ(Index(""), -1);
    EXPECT_EQ(Index("7"), -1);  // past the last parameter
    EXPECT_EQ(Index("-1"), -1);
}

TEST_F(ParameterResolverTest, DisplayTextsSelectTheirStep) {
    EXPECT_EQ(Set(0, "on"), 1.0);
    EXPECT_EQ(Set(0, "off"), 0.0);
    EXPECT_EQ(Set(0, "ON"), 1.0);
    EXPECT_EQ(Set(3, "1/8"), 8.0);
    EXPECT_EQ(Set(3, "1/32t"), 16.0);
    EXPECT_EQ(Set(3, "--off--"), 0.0);
    EXPECT_EQ(Set(3, "1/2t"), 7.0);
}

TEST_F(ParameterResolverTest, NumbersMatchNumericDisplaysOrCountListEntries) {
    EXPECT_EQ(Set(2, "7"), 7.0);
    EXPECT_EQ(Set(2, "-24"), -24.0);
    EXPECT_EQ(Set(2, "24"), 24.0);
    EXPECT_EQ(Set(2, "+5"), 5.0);
    EXPECT_EQ(Set(3, "5"), 5.0);  // the sixth entry, "1/4"
    EXPECT_EQ(Set(1, "1"), 1.0);
    // Finer than any probe: found by bisection between its neighbours.
    EXPECT_NEAR(Set(4, "12.345"), 12.345, 1e-9);
    EXPECT_NEAR(Set(4, "100"), 100.0, 1e-9);
}

// A control bound to the parameter sits where the plug-in itself puts the value:
// the host sends the plug-in's own normalized value, not the middle of the range
// that happens to show the same text.
TEST_F(ParameterResolverTest, SendsThePluginsOwnNormalizedValue) {
    TheFakeEffect().mParams[2].mValue = -3;
    int index = -1;
    float n = -1;
    std::string error, note;
    ASSERT_TRUE(mResolver.Resolve({"2", "7"}, index, n, error, note)) << error;
    EXPECT_EQ(index, 2);
    EXPECT_EQ(n, 31.0f / 48.0f);
    EXPECT_EQ(TheFakeEffect().mParams[2].mValue, -3.0);  // resolving sets nothing
    ASSERT_TRUE(mResolver.Resolve({"Delay", "1/8"}, index, n, error, note)) << error;
    EXPECT_EQ(n, 0.5f);
    ASSERT_TRUE(mResolver.Resolve({"MainMute", "1"}, index, n, error, note)) << error;
    EXPECT_EQ(n, 1.0f);
    EXPECT_FALSE(mResolver.Resolve({"Nope", "1"}, index, n, error, note));
    EXPECT_EQ(index, -1);
}

TEST_F(ParameterResolverTest, UnknownValuesListTheChoicesAndLeaveTheValue) {
    TheFakeEffect().mParams[3].mValue = 5;
    float n = -1;
    std::string error;
    EXPECT_FALSE(mResolver.FindValue(3, "1/64", n, error));
    EXPECT_NE(error.find("\"1/32t\""), std::string::npos) << error;
    EXPECT_FALSE(mResolver.FindValue(3, "17", n, error));
    EXPECT_FALSE(mResolver.FindValue(2, "25", n, error));
    EXPECT_FALSE(mResolver.FindValue(2, "3.5", n, error));
    EXPECT_FALSE(mResolver.FindValue(0, "maybe", n, error));
    EXPECT_EQ(TheFakeEffect().mParams[3].mValue, 5.0);  // probing restores what was there
    EXPECT_EQ(n, -1.0f);
}
