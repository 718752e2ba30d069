#include "framework/IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {
std::string Display(const IParameter& p, double value, bool normalized = false) {
    char text[PARAM_DISPLAY_SIZE];
    p.FormatValue(value, normalized, text);
    return text;
}
}  // namespace

// Normalized values map onto steps, halves rounding up; the top is limited.
TEST(ParameterMapping, IntegerRangeRoundsToSteps) {
    IParameter p;
    p.DefineInt("ParMute", 0, -24, 24);
    p.SetFromNormalized(0.5);
    EXPECT_EQ(p.Value(), 0.0);
    p.SetFromNormalized(0.51);
    EXPECT_EQ(p.Value(), 0.0);
    p.SetFromNormalized(0.52);
    EXPECT_EQ(p.Value(), 1.0);
    p.SetFromNormalized(1.2);
    EXPECT_EQ(p.Value(), 24.0);
    p.SetFromNormalized(0.0);
    EXPECT_EQ(p.Value(), -24.0);
}

TEST(ParameterMapping, ListAndSwitch) {
    IParameter list;
    list.DefineEnum("MnDelay", 0, 17);
    list.SetFromNormalized(0.5);
    EXPECT_EQ(list.Value(), 8.0);
    IParameter sw;
    sw.DefineBool("Snap", false);
    sw.SetFromNormalized(0.49);
    EXPECT_EQ(sw.Value(), 0.0);
    sw.SetFromNormalized(0.5);
    EXPECT_EQ(sw.Value(), 1.0);
    EXPECT_EQ(sw.GetNormalized(), 1.0);
}

TEST(ParameterMapping, RealValuesKeepTheirFraction) {
    IParameter p;
    p.DefineDouble("Human", 0.0, 0.0, 1.0, 0.01);
    p.SetFromNormalized(0.123);
    EXPECT_DOUBLE_EQ(p.Value(), 0.123);
}

// Hosts can send anything; the value stays inside the range.
TEST(ParameterMapping, BadHostValuesStayInRange) {
    IParameter p;
    p.DefineInt("MainChan", 1, 1, 16);
    p.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(p.Value(), 1.0);
    p.SetFromNormalized(-3.0);
    EXPECT_EQ(p.Value(), 1.0);
    p.SetClamped(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(p.Value(), 1.0);
    p.SetClamped(99.0);
    EXPECT_EQ(p.Value(), 16.0);
    p.SetClamped(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(p.Value(), 1.0);
    EXPECT_EQ(p.GetNormalized(1e300), 1.0);
    EXPECT_EQ(p.GetNormalized(-5.0), 0.0);
}

TEST(ParameterDefinition, MaximumIsRaisedToOneStepAboveMinimum) {
    IParameter p;
    p.DefineDouble("x", 0.0, 2.0, 2.0, 0.5);
    EXPECT_EQ(p.Max(), 2.5);
}

// Display texts: value texts by truncation, numbers by the step's decimals.
TEST(ParameterDisplay, Numbers) {
    IParameter human;
    human.DefineDouble("Human", 0.0, 0.0, 1.0, 0.01);
    EXPECT_EQ(Display(human, 0.35), "0.35");
    EXPECT_EQ(Display(human, 0.0), "0");
    EXPECT_EQ(Display(human, -0.004), "-0.00");
    IParameter interval;
    interval.DefineInt("v1Int1", 0, -24, 24);
    EXPECT_EQ(Display(interval, -3.0), "-3");
    EXPECT_EQ(Display(interval, 0.5, true), "0");
    EXPECT_EQ(Display(interval, std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(Display(interval, 1e300), "2147483647");
}

TEST(ParameterDisplay, ValueTexts) {
    IParameter scale;
    scale.DefineEnum("Scale", 0, 5);
    const char* names[] = {"Major", "Minor", "Penta", "Whole", "Chrom"};
    for (int i = 0; i < 5; ++i) scale.AddValueText(i, names[i]);
    EXPECT_EQ(Display(scale, 4.9), "Chrom");
    EXPECT_EQ(Display(scale, 1.0, true), "Chrom");
    EXPECT_STREQ(scale.TextForValue(7), "");
    int32_t value = -1;
    EXPECT_FALSE(scale.ValueForText("major", &value));
    EXPECT_EQ(value, -1);
    EXPECT_TRUE(scale.ValueForText("Penta", &value));
    EXPECT_EQ(value, 2);
    IParameter sw;
    sw.DefineBool("MainMute", true);
    EXPECT_EQ(Display(sw, 0.0), "off");
    EXPECT_EQ(Display(sw, 1.0), "on");
}

TEST(ParameterDisplay, LongTextsAreCut) {
    IParameter p;
    std::string longName(100, 'n');
    p.DefineInt(longName.c_str(), 0, 0, 1);
    p.AddValueText(0, longName.c_str());
    EXPECT_EQ(std::string(p.Name()).size(), 31u);
    EXPECT_EQ(std::string(p.TextForValue(0)).size(), 31u);
}
