// Voice delays: tempo-synced divisions turned into samples when applied,
// carried across blocks, and kept through tempo changes until applied again.
#include <cmath>
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

class DelayTest : public PluginTest {
protected:
    // Triggers note 60 at offset 0 of the next block and returns how many samples
    // after the trigger the note on the given channel starts, or -1.
    int64_t DelayOn(int channel, int maxBlocks = 180) {
        const int64_t trigger = static_cast<int64_t>(p.Position());
        p.NoteOn(0, 60, 100);
        int64_t found = -1;
        for (int i = 0; i < maxBlocks && found < 0; ++i)
            for (const Sent& s : NoteOns(OnChannel(p.Roll(kBlock), channel))) found = s.At() - trigger;
        p.NoteOff(0, 60);
        p.RollBlocks(2, kBlock);
        return found;
    }
};

// "--off--" sounds at the trigger's offset; "1/4" at 120 bpm comes 22050 samples later, blocks ahead.
TEST_F(DelayTest, QuarterAt120IsCarriedAcrossBlocks) {
    p.SetParam(Par::ParMute, 1.0f);
    p.SetParam(Par::V2Mute, 1.0f);
    p.SetParam(Par::V1Chan, Norm::Chan(3));
    p.SetParam(Par::V1Delay, Norm::Division(Div::Quarter));
    p.StartPlayback();
    const int64_t trigger = static_cast<int64_t>(p.Position());
    p.NoteOn(100, 60, 100);
    SentLog log = p.RollBlocks(45, kBlock);
    EXPECT_EQ(DescribeAbs(log), "on 60 c0 v100 @@" + std::to_string(trigger + 100) + ", on 60 c2 v100 @@" +
                                    std::to_string(trigger + 22150));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].delta, 22150 % kBlock);
}

struct DivisionCase {
    int row;
    int64_t samples;
};
void PrintTo(const DivisionCase& c, std::ostream* os) { *os << "row " << c.row << " = " << c.samples << " samples"; }

class DivisionTest : public DelayTest, public ::testing::WithParamInterface<DivisionCase> {};

// Each division gives its length in samples at 120 bpm and 44100 Hz, truncated.
TEST_P(DivisionTest, SamplesAt120) {
    Solo(3);
    p.SetParam(Par::V1Delay, Norm::Division(GetParam().row));
    p.StartPlayback();
    EXPECT_EQ(DelayOn(0), GetParam().samples);
}

INSTANTIATE_TEST_SUITE_P(Divisions, DivisionTest,
                         ::testing::Values(DivisionCase{Div::Off, 0}, DivisionCase{Div::Whole, 88200},
                                           DivisionCase{Div::Half, 44100}, DivisionCase{Div::QuarterDot, 33075},
                                           DivisionCase{Div::Quarter, 22050}, DivisionCase{Div::EighthDot, 16537},
                                           DivisionCase{Div::HalfTriplet, 14700}, DivisionCase{Div::Eighth, 11025},
                                           DivisionCase{Div::SixteenthDot, 8268}, DivisionCase{Div::Sixteenth, 5512},
                                           DivisionCase{Div::ThirtySecondTriplet, 918}));

// Every voice has its own delay parameter.
TEST_F(DelayTest, EachVoiceHasItsOwnDelay) {
    SpreadVoices();
    p.SetParam(Par::MnDelay, Norm::Division(Div::Sixteenth));
    p.SetParam(Par::PDelay, Norm::Division(Div::Eighth));
    p.SetParam(Par::V1Delay, Norm::Division(Div::ThirtySecondTriplet));
    p.SetParam(Par::V2Delay, Norm::Division(Div::Off));
    p.StartPlayback();
    const int64_t trigger = static_cast<int64_t>(p.Position());
    p.NoteOn(0, 60, 100);
    SentLog log = p.RollBlocks(25, kBlock);
    EXPECT_EQ(DescribeAbs(log), "on 60 c3 v100 @@" + std::to_string(trigger) + ", on 60 c2 v100 @@" +
                                    std::to_string(trigger + 918) + ", on 60 c0 v100 @@" +
                                    std::to_string(trigger + 5512) + ", on 60 c1 v100 @@" +
                                    std::to_string(trigger + 11025));
}

// A tempo change keeps the delay already set; applying the parameter again follows the tempo.
TEST_F(DelayTest, TempoChangeTakesEffectWhenReapplied) {
    Solo(3);
    p.SetParam(Par::V1Delay, Norm::Division(Div::Quarter));
    p.StartPlayback();
    p.SetTempo(60.0);
    p.Roll(kBlock);
    EXPECT_EQ(DelayOn(0), 22050);
    p.SetParam(Par::V1Delay, Norm::Division(Div::Quarter));
    EXPECT_EQ(DelayOn(0), 44100);
}

// A tempo the host leaves out, or gives as 0 or less, counts as 120.
TEST_F(DelayTest, MissingTempoCountsAs120) {
    Solo(3);
    p.StartPlayback();
    p.SetTempo(60.0);
    p.Roll(kBlock);
    p.SetParam(Par::V1Delay, Norm::Division(Div::Eighth));
    EXPECT_EQ(DelayOn(0), 22050);
    for (double tempo : {0.0, -90.0, std::nan("")}) {
        p.SetTempo(tempo);
        p.Roll(kBlock);
        p.SetParam(Par::V1Delay, Norm::Division(Div::Eighth));
        EXPECT_EQ(DelayOn(0), 11025) << "tempo " << tempo;
        p.SetTempo(60.0);
        p.Roll(kBlock);
    }
    p.Host().mTime.flags &= ~vst2::kVstTempoValid;
    p.Roll(kBlock);
    p.SetParam(Par::V1Delay, Norm::Division(Div::Eighth));
    EXPECT_EQ(DelayOn(0), 11025) << "no tempo flag";
}

// A new sample rate keeps the delay already set; applying the parameter again follows it.
TEST_F(DelayTest, SampleRateChangeTakesEffectWhenReapplied) {
    Solo(3);
    p.SetParam(Par::V1Delay, Norm::Division(Div::Quarter));
    p.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    p.StartPlayback();
    EXPECT_EQ(DelayOn(0), 22050);
    p.SetParam(Par::V1Delay, Norm::Division(Div::Quarter));
    EXPECT_EQ(DelayOn(0), 24000);
}

// A delayed note whose trigger is released before it starts still ends after it starts.
TEST_F(DelayTest, EarlyReleaseEndsDelayedNoteAfterItsStart) {
    Solo(3);
    p.SetParam(Par::V1Delay, Norm::Division(Div::Eighth));
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    p.NoteOff(0, 60);
    SentLog log = p.RollBlocks(60, kBlock);
    ASSERT_EQ(Brief(log), "on 60 c0 v100, off 60 c0") << DescribeAbs(log);
    EXPECT_LT(log[0].At(), log[1].At());
}

// Plays note-ons and note-offs at absolute positions in blocks of `frames`, with every
// voice on its own channel and delayed by its own division, and returns the notes sent.
struct ScoreNote {
    int64_t at;
    int note;
    bool on;
};
SentLog PlayScore(int frames, const std::vector<ScoreNote>& score, int64_t end) {
    PluginHarness h;
    if (!h.Create()) return {};
    h.Open(44100.0f, frames);
    const int channels[4] = {Par::MainChan, Par::ParChan, Par::V1Chan, Par::V2Chan};
    const int delays[4] = {Par::MnDelay, Par::PDelay, Par::V1Delay, Par::V2Delay};
    const int rows[4] = {Div::Quarter, Div::Eighth, Div::Sixteenth, Div::Off};
    for (int v = 0; v < 4; ++v) {
        h.SetParam(channels[v], Norm::Chan(v + 1));
        h.SetParam(delays[v], Norm::Division(rows[v]));
    }
    h.StartPlayback(frames);
    SentLog all;
    size_t next = 0;
    for (int64_t pos = frames; pos < end; pos += frames) {
        for (; next < score.size() && score[next].at < pos + frames; ++next) {
            const int offset = static_cast<int>(score[next].at - pos);
            if (score[next].on)
                h.NoteOn(offset, score[next].note, 100);
            else
                h.NoteOff(offset, score[next].note);
        }
        SentLog block = h.Roll(frames);
        for (const Sent& s : block)
            if (s.delta < 0 || s.delta >= frames) ADD_FAILURE() << Describe(s) << " in a block of " << frames;
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

// Delayed notes and their note-offs that land exactly on block boundaries leave inside a
// block, at the same absolute times whatever the block size.
TEST(DelayBlockSizeTest, BoundariesAtSeveralBlockSizes) {
    // 23006 + 22050 = 45056 ends a block of 64..1024; 4410 + 22050 = 60 blocks of 441;
    // 1050 + 22050 = 231 blocks of 100.
    const std::vector<ScoreNote> score = {{1050, 64, true},   {4410, 60, true},   {4410, 64, false},
                                          {6000, 67, true},   {23006, 60, false}, {23006, 62, true},
                                          {23006, 67, false}, {30000, 62, false}};
    const SentLog reference = PlayScore(512, score, 60000);
    ASSERT_EQ(NoteOns(reference).size(), 16u) << DescribeAbs(reference);
    EXPECT_EQ(NoteOffs(reference).size(), 16u) << DescribeAbs(reference);
    EXPECT_NE(DescribeAbs(reference).find("on 62 c0 v100 @@45056"), std::string::npos) << DescribeAbs(reference);
    EXPECT_NE(DescribeAbs(reference).find("off 60 c0 @@45056"), std::string::npos) << DescribeAbs(reference);
    for (int frames : {64, 100, 441, 1024}) {
        const SentLog log = PlayScore(frames, score, 60000);
        EXPECT_EQ(DescribeAbs(log), DescribeAbs(reference)) << "block of " << frames;
    }
}

// "Human" changes nothing in the output, at any value.
TEST_F(DelayTest, HumanHasNoEffect) {
    auto run = [](float human) {
        PluginHarness h;
        if (!h.Create()) return std::string("no instance");
        h.Open();
        h.SetParam(Par::ParChan, Norm::Chan(2));
        h.SetParam(Par::V1Chan, Norm::Chan(3));
        h.SetParam(Par::V2Chan, Norm::Chan(4));
        h.SetParam(Par::V1Delay, Norm::Division(Div::Sixteenth));
        h.SetParam(Par::Human, human);
        h.StartPlayback();
        SentLog all;
        for (int i = 0; i < 8; ++i) {
            h.NoteOn(37 * i % 512, 48 + i, 60 + 7 * i);
            h.NoteOff(400, 48 + i);
            SentLog block = h.Roll(512);
            all.insert(all.end(), block.begin(), block.end());
        }
        SentLog tail = h.RollBlocks(16, 512);
        all.insert(all.end(), tail.begin(), tail.end());
        return DescribeAbs(all);
    };
    const std::string plain = run(0.0f);
    EXPECT_EQ(run(0.77f), plain);
    EXPECT_EQ(run(1.0f), plain);
}

}  // namespace
