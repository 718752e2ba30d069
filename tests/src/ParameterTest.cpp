// The parameter set as the host sees it: names, labels, defaults, display
// texts and the mapping between normalized and plain values.
#include <cmath>
#include <string>
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

using ParameterTest = PluginTest;

const char* const kNames[42] = {"",        "MainMute", "MainChan", "MnDelay", "",        "ParMute", "ParChan",
                                "ParVel",  "ParMute",  "pDelay",   "",        "v1Mute",  "v1Chan",  "v1Vel",
                                "v1Int1",  "v1Int2",   "v1Int3",   "v1Int4",  "v1Mute1", "v1Mute2", "v1Mute3",
                                "v1Mute4", "v1algo",   "v1Delay",  "",        "v2Mute",  "v2Chan",  "v2Vel",
                                "v2Int1",  "v2Int2",   "v2Int3",   "v2Int4",  "v2Mute1", "v2Mute2", "v2Mute3",
                                "v2Mute4", "v2algo",   "v2Delay",  "Snap",    "Scale",   "Tonic",   "Human"};

const char* const kDefaultDisplay[42] = {
    "0", "off", "1", "--off--", "0",   "off", "1",   "0",   "0",  "--off--", "0",   "off",   "1", "0",
    "0", "0",   "0", "0",       "off", "off", "off", "off", "Up", "--off--", "0",   "off",   "1", "0",
    "0", "0",   "0", "0",       "off", "off", "off", "off", "Up", "--off--", "off", "Major", "C", "0"};

const std::vector<std::string> kDivisions = {"--off--", "1/1",  "1/2d", "1/2",   "1/4d", "1/4",  "1/8d",  "1/2t", "1/8",
                                             "1/16d",   "1/4t", "1/16", "1/32d", "1/8t", "1/32", "1/16t", "1/32t"};
const std::vector<std::string> kAlgorithms = {"Up", "Down", "UpDown", "ZigZag", "Random"};
const std::vector<std::string> kScales = {"Major", "Minor", "Penta", "Whole", "Chrom"};
const std::vector<std::string> kTonics = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// --- Names and defaults ------------------------------------------------------------

// The host sees 42 parameters, four of them nameless and two called "ParMute", all without label.
TEST_F(ParameterTest, NamesAndLabels) {
    EXPECT_EQ(p.Effect()->numParams, 42);
    for (int i = 0; i < 42; ++i) {
        EXPECT_EQ(p.Name(i), kNames[i]) << "parameter " << i;
        EXPECT_EQ(p.Label(i), "") << "parameter " << i;
    }
}

// The internal command parameters sit behind the host's 42 and still answer by index.
TEST_F(ParameterTest, InternalParametersAnswer) {
    EXPECT_EQ(p.Name(42), "PresetLoad");
    EXPECT_EQ(p.Name(43), "PresetSave");
    EXPECT_EQ(p.Name(44), "ScaleLoad");
    EXPECT_EQ(p.Name(45), "FileSelect");
    EXPECT_EQ(p.Name(46), "");
}

// After open every parameter shows its default.
TEST_F(ParameterTest, DefaultDisplays) {
    for (int i = 0; i < 42; ++i) EXPECT_EQ(p.Display(i), kDefaultDisplay[i]) << "parameter " << i;
}

// Defaults as normalized values: minimum everywhere except the centred signed ranges.
TEST_F(ParameterTest, DefaultNormalizedValues) {
    for (int i = 0; i < 42; ++i) {
        const bool centred = i == Par::ParVel || i == Par::ParInt || i == Par::V1Vel || i == Par::V2Vel ||
                             (i >= Par::V1Int1 && i < Par::V1Int1 + 4) || (i >= Par::V2Int1 && i < Par::V2Int1 + 4);
        EXPECT_FLOAT_EQ(p.GetParam(i), centred ? 0.5f : 0.0f) << "parameter " << i;
    }
}

// --- Display texts ---------------------------------------------------------------

// Every list parameter shows its value texts, in value order.
TEST_F(ParameterTest, ListTexts) {
    struct List {
        int index;
        const std::vector<std::string>* texts;
    };
    const List lists[] = {{Par::MnDelay, &kDivisions}, {Par::PDelay, &kDivisions},  {Par::V1Delay, &kDivisions},
                          {Par::V2Delay, &kDivisions}, {Par::V1Algo, &kAlgorithms}, {Par::V2Algo, &kAlgorithms},
                          {Par::Scale, &kScales},      {Par::Tonic, &kTonics}};
    for (const List& list : lists) {
        const int n = static_cast<int>(list.texts->size());
        for (int v = 0; v < n; ++v) {
            p.SetParam(list.index, static_cast<float>(v) / static_cast<float>(n - 1));
            EXPECT_EQ(p.Display(list.index), (*list.texts)[v]) << "parameter " << list.index << " value " << v;
        }
    }
}

// Switches show "off" below 0.5 and "on" from 0.5, and report 0 or 1.
TEST_F(ParameterTest, SwitchesRoundAtHalf) {
    for (int index : {Par::MainMute, Par::ParMute, Par::V1Mute1 + 2, Par::V2Mute, Par::Snap}) {
        p.SetParam(index, 0.49f);
        EXPECT_EQ(p.Display(index), "off");
        EXPECT_EQ(p.GetParam(index), 0.0f);
        p.SetParam(index, 0.5f);
        EXPECT_EQ(p.Display(index), "on");
        EXPECT_EQ(p.GetParam(index), 1.0f);
    }
}

// "Human" shows two decimals, and 0 as "0".
TEST_F(ParameterTest, HumanShowsTwoDecimals) {
    p.SetParam(Par::Human, 0.35f);
    EXPECT_EQ(p.Display(Par::Human), "0.35");
    EXPECT_NEAR(p.GetParam(Par::Human), 0.35f, 1e-6f);
    p.SetParam(Par::Human, 1.0f);
    EXPECT_EQ(p.Display(Par::Human), "1.00");
    p.SetParam(Par::Human, 0.0f);
    EXPECT_EQ(p.Display(Par::Human), "0");
}

// --- Normalized mapping ------------------------------------------------------------

struct MappingCase {
    int index;
    float normalized;
    const char* display;
};
void PrintTo(const MappingCase& c, std::ostream* os) {
    *os << "parameter " << c.index << " at " << c.normalized << " shows " << c.display;
}

class MappingTest : public PluginTest, public ::testing::WithParamInterface<MappingCase> {};

// A normalized value maps to the nearest step of the plain range, halves upward.
TEST_P(MappingTest, NormalizedToDisplay) {
    p.SetParam(GetParam().index, GetParam().normalized);
    EXPECT_EQ(p.Display(GetParam().index), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, MappingTest,
    ::testing::Values(MappingCase{Par::MainChan, 0.0f, "1"}, MappingCase{Par::MainChan, 1.0f, "16"},
                      MappingCase{Par::V2Chan, 4.0f / 15.0f, "5"}, MappingCase{Par::ParVel, 0.5f, "0"},
                      MappingCase{Par::ParVel, 0.0f, "-30"}, MappingCase{Par::V1Vel, 27.0f / 60.0f, "-3"},
                      MappingCase{Par::ParInt, 0.51f, "0"}, MappingCase{Par::ParInt, 0.52f, "1"},
                      MappingCase{Par::V1Int1, 0.0f, "-24"}, MappingCase{Par::V2Int1 + 3, 1.0f, "24"},
                      MappingCase{Par::MnDelay, 0.5f, "1/8"}, MappingCase{Par::MnDelay, 1.0f, "1/32t"},
                      MappingCase{Par::MnDelay, 0.0f, "--off--"}, MappingCase{Par::MainChan, 1.2f, "16"},
                      MappingCase{Par::ParVel, 1.2f, "30"}, MappingCase{Par::Tonic, 1.2f, "B"},
                      MappingCase{Par::Snap, 1.2f, "on"}, MappingCase{Par::Human, 1.2f, "1.00"},
                      MappingCase{Par::MainChan, 0.5f, "9"}, MappingCase{Par::ParVel, 0.125f, "-22"},
                      MappingCase{Par::Tonic, 0.5f, "F#"}, MappingCase{Par::V1Algo, 0.625f, "ZigZag"}));

// The normalized value read back is the plain value's place in its range.
TEST_F(ParameterTest, NormalizedReadBack) {
    p.SetParam(Par::MainChan, 0.3f);  // 5.5 rounds to 6
    EXPECT_FLOAT_EQ(p.GetParam(Par::MainChan), 5.0f / 15.0f);
    p.SetParam(Par::ParInt, 0.52f);
    EXPECT_FLOAT_EQ(p.GetParam(Par::ParInt), 25.0f / 48.0f);
    p.SetParam(Par::V1Algo, 0.6f);  // 2.4 rounds to 2
    EXPECT_FLOAT_EQ(p.GetParam(Par::V1Algo), 0.5f);
}

// Setting a parameter from the host does not call the host back.
TEST_F(ParameterTest, HostChangeIsNotEchoed) {
    for (int i = 0; i < 42; ++i) p.SetParam(i, 0.7f);
    EXPECT_EQ(Describe(p.Host().mLog), "");
}

// --- Command parameters ---------------------------------------------------------------

// "FileSelect" puts itself back to 0; the other three keep what they are given.
TEST_F(ParameterTest, CommandParameters) {
    p.SetParam(Par::FileSelect, 1.0f);
    EXPECT_EQ(p.GetParam(Par::FileSelect), 0.0f);
    for (int index : {Par::PresetLoad, Par::PresetSave, Par::ScaleLoad}) {
        p.SetParam(index, 1.0f);
        EXPECT_EQ(p.GetParam(index), 1.0f) << "parameter " << index;
    }
    for (int i = 0; i < 42; ++i) EXPECT_EQ(p.Display(i), kDefaultDisplay[i]) << "parameter " << i;
}

// The nameless parameters hold a value and do nothing with it.
TEST_F(ParameterTest, NamelessParametersAreInert) {
    for (int index : {0, 4, 10, 24}) {
        p.SetParam(index, 1.0f);
        EXPECT_EQ(p.Display(index), "1");
        EXPECT_EQ(p.GetParam(index), 1.0f);
    }
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0");
}

}  // namespace
