// Snapping to the built-in scales over a tonic, heard through the main voice.
#include <utility>
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

class ScaleSnapTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        Solo(1);
        p.StartPlayback();
    }

    void Snap(bool on, int scale, int tonic) {
        p.SetParam(Par::Snap, on ? 1.0f : 0.0f);
        p.SetParam(Par::Scale, Norm::Scale(scale));
        p.SetParam(Par::Tonic, Norm::Tonic(tonic));
    }

    // The pitch the main voice plays for a trigger, or -1 for none.
    int Played(int note) {
        p.NoteOn(0, note, 100);
        p.NoteOff(100, note);
        SentLog ons = NoteOns(p.Roll(kBlock));
        return ons.empty() ? -1 : ons[0].Note();
    }

    void ExpectMap(const std::vector<std::pair<int, int>>& map) {
        for (const auto& [raw, played] : map) EXPECT_EQ(Played(raw), played) << "raw pitch " << raw;
    }
};

// Snap off plays every pitch as it is, whatever scale and tonic are chosen.
TEST_F(ScaleSnapTest, SnapOffIsIdentity) {
    Snap(false, 2, 5);
    for (int raw = 0; raw < 128; ++raw) ASSERT_EQ(Played(raw), raw);
}

// Major over C moves the pitches between degrees up; degrees stay.
TEST_F(ScaleSnapTest, MajorOverC) {
    Snap(true, 0, 0);
    ExpectMap({{61, 62},
               {63, 64},
               {66, 67},
               {68, 69},
               {70, 71},
               {60, 60},
               {62, 62},
               {64, 64},
               {65, 65},
               {67, 67},
               {69, 69},
               {71, 71}});
}

// Every scale moves each pitch class of the octave by its own offset.
TEST_F(ScaleSnapTest, OffsetTables) {
    const int offsets[5][12] = {{0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0},
                                {0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1},
                                {0, 1, 0, 1, 0, -1, 1, 0, 1, 0, -1, 1},
                                {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1},
                                {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    for (int scale = 0; scale < 5; ++scale) {
        for (int tonic : {0, 6}) {
            Snap(true, scale, tonic);
            for (int raw = 48; raw < 60; ++raw)
                EXPECT_EQ(Played(raw), raw + offsets[scale][(raw - tonic + 12) % 12])
                    << "scale " << scale << " tonic " << tonic << " raw " << raw;
        }
    }
}

// Major over D counts pitch classes from D.
TEST_F(ScaleSnapTest, MajorOverD) {
    Snap(true, 0, 2);
    ExpectMap({{62, 62}, {63, 64}, {60, 61}});
}

// Penta over C moves to the nearer degree, down or up, a tie going up.
TEST_F(ScaleSnapTest, PentaOverC) {
    Snap(true, 2, 0);
    ExpectMap({{65, 64}, {66, 67}, {70, 69}, {71, 72}, {61, 62}});
}

// Minor, Whole and Chrom over C.
TEST_F(ScaleSnapTest, OtherScalesOverC) {
    Snap(true, 1, 0);
    ExpectMap({{61, 62}, {63, 63}, {64, 65}, {66, 67}, {69, 70}, {71, 72}});
    p.SetParam(Par::Scale, Norm::Scale(3));
    ExpectMap({{61, 62}, {65, 66}, {66, 66}, {71, 72}});
    p.SetParam(Par::Scale, Norm::Scale(4));
    ExpectMap({{61, 61}, {66, 66}, {71, 71}});
}

// A snapped pitch that would leave 0..127 gives no note.
TEST_F(ScaleSnapTest, SnappingPastTheTopGivesNoNote) {
    Snap(true, 0, 0);
    EXPECT_EQ(Played(127), 127);
    p.SetParam(Par::Tonic, Norm::Tonic(1));
    EXPECT_EQ(Played(127), -1);
}

// A scale chosen while Snap is off changes nothing; switching Snap on applies it.
TEST_F(ScaleSnapTest, ScaleWaitsForSnap) {
    Snap(false, 0, 0);
    p.SetParam(Par::Scale, Norm::Scale(2));
    EXPECT_EQ(Played(65), 65);
    p.SetParam(Par::Snap, 1.0f);
    EXPECT_EQ(Played(65), 64);
    p.SetParam(Par::Snap, 0.0f);
    EXPECT_EQ(Played(65), 65);
}

// Snapping applies to the other voices' pitches too.
TEST_F(ScaleSnapTest, SnapAppliesToParallelVoice) {
    Solo(2);
    p.SetParam(Par::ParInt, Norm::Interval(1));
    Snap(true, 0, 0);
    EXPECT_EQ(Played(60), 62);
}

}  // namespace
