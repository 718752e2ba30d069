// Bad input from a host: malformed MIDI, stray offsets, out-of-range indices,
// null pointers, hostile chunks and over-long names. Each gets a safe answer
// and leaves the instance working with every parameter inside its range.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

class BadInputTest : public PluginTest {
protected:
    // An undelayed, unsnapped note still goes through on the main voice's channel.
    void ExpectStillWorks() {
        p.SetTransport(1.0e6, 120.0, true);
        p.Roll(kBlock);
        Solo(1);
        p.SetParam(Par::Snap, 0.0f);
        p.SetParam(Par::MnDelay, Norm::Division(Div::Off));
        p.NoteOn(3, 60, 100);
        SentLog log = p.Roll(kBlock);
        const std::string expected = "on 60 c" + std::to_string(MainChannel()) + " v100";
        EXPECT_EQ(Brief(NoteOns(log)).rfind(expected, 0), 0u) << "expected " << expected << ", got " << Describe(log);
    }

    int MainChannel() { return std::atoi(p.Display(Par::MainChan).c_str()) - 1; }

    // Every host parameter reads back in 0..1 and shows a text its range allows.
    void ExpectAllInRange() {
        for (int i = 0; i < 42; ++i) {
            const float n = p.GetParam(i);
            EXPECT_TRUE(n >= 0.0f && n <= 1.0f) << "parameter " << i << " reads " << n;
            EXPECT_TRUE(DisplayInRange(i, p.Display(i))) << "parameter " << i << " shows \"" << p.Display(i) << "\"";
        }
    }

    static bool DisplayInRange(int index, const std::string& text) {
        static const std::vector<std::string> kOnOff = {"off", "on"};
        static const std::vector<std::string> kDivisions = {"--off--", "1/1",  "1/2d", "1/2",   "1/4d", "1/4",
                                                            "1/8d",    "1/2t", "1/8",  "1/16d", "1/4t", "1/16",
                                                            "1/32d",   "1/8t", "1/32", "1/16t", "1/32t"};
        static const std::vector<std::string> kAlgorithms = {"Up", "Down", "UpDown", "ZigZag", "Random"};
        static const std::vector<std::string> kScales = {"Major", "Minor", "Penta", "Whole", "Chrom"};
        static const std::vector<std::string> kTonics = {"C",  "C#", "D",  "D#", "E",  "F",
                                                         "F#", "G",  "G#", "A",  "A#", "B"};
        auto oneOf = [&text](const std::vector<std::string>& list) {
            for (const std::string& s : list)
                if (s == text) return true;
            return false;
        };
        auto number = [&text](double lo, double hi) {
            if (text.empty()) return false;
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            return end && *end == 0 && std::isfinite(v) && v >= lo && v <= hi;
        };
        switch (index) {
        // clang-format off
        case 0: case 4: case 10: case 24: return number(0, 1);
        case Par::MainChan: case Par::ParChan: case Par::V1Chan: case Par::V2Chan: return number(1, 16);
        case Par::ParVel: case Par::V1Vel: case Par::V2Vel: return number(-30, 30);
        case Par::ParInt: return number(-24, 24);
        case Par::MnDelay: case Par::PDelay: case Par::V1Delay: case Par::V2Delay: return oneOf(kDivisions);
        case Par::V1Algo: case Par::V2Algo: return oneOf(kAlgorithms);
        // clang-format on
        case Par::Scale: return oneOf(kScales);
        case Par::Tonic: return oneOf(kTonics);
        case Par::Human: return number(0, 1);
        default: break;
        }
        if ((index >= Par::V1Int1 && index < Par::V1Int1 + 4) || (index >= Par::V2Int1 && index < Par::V2Int1 + 4))
            return number(-24, 24);
        return oneOf(kOnOff);  // the mutes and Snap
    }

    intptr_t SetChunk(std::vector<uint8_t>& bytes) {
        static uint8_t empty = 0;
        return p.Dispatch(vst2::effSetChunk, 1, static_cast<intptr_t>(bytes.size()),
                          bytes.empty() ? &empty : bytes.data());
    }

    static std::vector<uint8_t> Header() { return {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}; }
};

// --- Malformed MIDI ------------------------------------------------------------------

// Note messages whose note number has the high bit set are dropped, not passed on.
TEST_F(BadInputTest, NoteNumbersAbove127AreDropped) {
    SpreadVoices();
    p.SetParam(Par::ParInt, Norm::Interval(24));
    p.StartPlayback();
    p.Raw(0, 0x90, 0x80 + 60, 100);
    p.Raw(20, 0x90, 0xFF, 0xFF);
    p.Raw(30, 0x80, 0x80 + 60, 0);
    p.Raw(40, 0x80, 0xFF, 0x90);
    EXPECT_EQ(Describe(p.RollBlocks(3, kBlock)), "");
    ExpectStillWorks();
}

// A malformed note-off does not end a held note that its low seven bits would name.
TEST_F(BadInputTest, MalformedNoteOffLeavesHeldNote) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0");
    p.Raw(0, 0x80, 0x80 + 60, 0);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "");
    p.NoteOff(0, 60);
    EXPECT_EQ(Brief(p.RollBlocks(2, kBlock)), "off 60 c0");
}

// A velocity byte above 127 plays at 127 and steps the rotating voices; a note-off with
// such a release velocity still ends its notes.
TEST_F(BadInputTest, VelocityBytesAbove127) {
    p.SetParam(Par::ParMute, 1.0f);
    p.SetParam(Par::V2Mute, 1.0f);
    p.SetParam(Par::V1Chan, Norm::Chan(3));
    p.SetParam(Par::V1Vel, Norm::Velocity(-10));
    const int intervals[4] = {0, 3, 5, 7};
    for (int slot = 0; slot < 4; ++slot) p.SetParam(Par::V1Int1 + slot, Norm::Interval(intervals[slot]));
    p.StartPlayback();
    p.Raw(0, 0x90, 60, 0xC8);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v127 @0, on 63 c2 v117 @0");
    p.Raw(10, 0x80, 60, 0xC0);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 60 c0 @10, off 63 c2 @10");
    p.Raw(0, 0x90, 62, 0xFF);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 62 c0 v127 @0, on 67 c2 v117 @0") << "v1 stepped once per note-on";
    p.Raw(0, 0x80, 62, 0x80);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 62 c0 @0, off 67 c2 @0");
    p.SetPlaying(false);
    EXPECT_EQ(Describe(p.RunBlock(kBlock)), "") << "nothing left hanging";
}

// A message whose first byte is no status byte is dropped, not passed on.
TEST_F(BadInputTest, MessageWithoutStatusIsDropped) {
    p.StartPlayback();
    p.Raw(0, 0x45, 0x10, 0x20);
    p.Raw(5, 0x00, 0x00, 0x00);
    p.Raw(9, 0x7F, 0x90, 0x40);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "");
    ExpectStillWorks();
}

// A negative offset is taken as 0.
TEST_F(BadInputTest, NegativeOffsetIsTakenAsZero) {
    p.StartPlayback();
    p.NoteOn(-50, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0");
    p.NoteOn(INT_MIN, 62, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 62 c0 v100 @0");
    p.NoteOff(-1, 60);
    p.NoteOff(-1, 62);
    SentLog offs = p.RollBlocks(2, kBlock);
    EXPECT_EQ(Brief(offs), "off 60 c0, off 62 c0");
    for (const Sent& s : offs) EXPECT_GE(s.delta, 0) << Describe(s);
}

// A passed-on message with a negative offset goes out at 0.
TEST_F(BadInputTest, NegativeOffsetOnPassedMessage) {
    p.StartPlayback();
    p.PitchBend(-5, 0x2000);
    p.ProgramChange(-1, 3);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "midi E0 00 40 @0, midi C0 03 00 @0");
}

// A negative offset on a delayed voice leaves the delay counted from 0.
TEST_F(BadInputTest, NegativeOffsetWithDelay) {
    Solo(3);
    p.SetParam(Par::V1Delay, Norm::Division(Div::ThirtySecondTriplet));
    p.StartPlayback();
    const int64_t trigger = static_cast<int64_t>(p.Position());
    p.NoteOn(-100, 60, 100);
    EXPECT_EQ(DescribeAbs(p.RollBlocks(3, kBlock)), "on 60 c0 v100 @@" + std::to_string(trigger + 918));
}

// --- Dispatcher ------------------------------------------------------------------------

const int kBadIndices[] = {-1, 42, 43, 44, 45, 46, 1000, INT_MIN};

// Every opcode but close, with a null pointer and out-of-range indices, does nothing harmful.
TEST_F(BadInputTest, EveryOpcodeWithNullPointer) {
    for (int opcode = 0; opcode <= 80; ++opcode) {
        if (opcode == vst2::effClose) continue;
        for (int index : kBadIndices) p.Dispatch(opcode, index, 0, nullptr, 0.0f);
        p.Dispatch(opcode, 0, 0, nullptr, 0.0f);
    }
    p.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    p.Dispatch(vst2::effSetBlockSize, 0, kBlock);
    ExpectAllInRange();
    ExpectStillWorks();
}

// The same with a zeroed buffer as the pointer: out-of-range indices write nothing harmful.
TEST_F(BadInputTest, EveryOpcodeWithZeroedBuffer) {
    std::vector<uint8_t> buffer(1 << 16);
    for (int opcode = 0; opcode <= 80; ++opcode) {
        if (opcode == vst2::effClose || opcode == vst2::effEditOpen) continue;  // the buffer is no window
        for (int index : kBadIndices) {
            std::fill(buffer.begin(), buffer.end(), 0);
            p.Dispatch(opcode, index, 0, buffer.data(), 0.0f);
        }
    }
    p.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    p.Dispatch(vst2::effSetBlockSize, 0, kBlock);
    ExpectAllInRange();
    ExpectStillWorks();
}

// Parameter texts for indices outside the parameters leave the buffer untouched.
TEST_F(BadInputTest, TextsForBadIndicesLeaveBuffer) {
    for (int opcode : {vst2::effGetParamName, vst2::effGetParamLabel, vst2::effGetParamDisplay}) {
        for (int index : {-1, 46, 1000, INT_MIN}) {
            char text[64] = "unchanged";
            EXPECT_EQ(p.Dispatch(opcode, index, 0, text), 0) << opcode << " " << index;
            EXPECT_STREQ(text, "unchanged") << opcode << " " << index;
        }
    }
}

// Values that are not sizes or slots are refused or ignored: block sizes and programs.
TEST_F(BadInputTest, BadValues) {
    for (intptr_t value : {intptr_t{-1}, intptr_t{6}, intptr_t{1000}, intptr_t{INT_MIN}, intptr_t{INT_MAX}})
        p.Dispatch(vst2::effSetProgram, 0, value);
    EXPECT_EQ(p.Dispatch(vst2::effGetProgram), 0);
    for (intptr_t value : {intptr_t{0}, intptr_t{-1}, intptr_t{INT_MIN}}) p.Dispatch(vst2::effSetBlockSize, 0, value);
    p.Dispatch(vst2::effSetBlockSize, 0, kBlock);
    ExpectStillWorks();
}

// A block longer than the announced block size is processed without writing past any buffer.
TEST_F(BadInputTest, BlockLongerThanAnnounced) {
    p.Dispatch(vst2::effSetBlockSize, 0, 64);
    p.StartPlayback(kBlock);
    p.NoteOn(300, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @300");
    ExpectStillWorks();
}

// --- Parameters ----------------------------------------------------------------------------

// get and set outside the parameters: 0.0 and nothing changed.
TEST_F(BadInputTest, ParameterIndicesOutOfRange) {
    std::vector<float> before;
    for (int i = 0; i < 46; ++i) before.push_back(p.GetParam(i));
    for (int index : {-1, 46, 47, 1000, INT_MIN, INT_MAX}) {
        p.SetParam(index, 0.9f);
        EXPECT_EQ(p.GetParam(index), 0.0f) << index;
    }
    for (int i = 0; i < 46; ++i) EXPECT_EQ(p.GetParam(i), before[i]) << "parameter " << i;
}

// Normalized values outside 0..1 or not numbers leave every parameter in range and notes flowing.
TEST_F(BadInputTest, NormalizedValuesOutOfRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {-0.5f, -1.0e9f, 1.5f, 1.0e9f, inf, -inf, nan}) {
        for (int i = 0; i < 46; ++i) p.SetParam(i, v);
        ExpectAllInRange();
        ExpectStillWorks();
    }
}

// --- Chunks ---------------------------------------------------------------------------------

// Chunks of odd sizes and random bytes never break the instance or push a parameter out of range.
TEST_F(BadInputTest, ChunksOfAnySize) {
    std::mt19937 random(1234);
    for (size_t size :
         {size_t{0}, size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{344}, size_t{345}, size_t{1} << 20}) {
        for (bool header : {false, true}) {
            std::vector<uint8_t> chunk(size);
            for (uint8_t& b : chunk) b = static_cast<uint8_t>(random());
            if (header && size > 0) {
                std::vector<uint8_t> h = Header();
                std::memcpy(chunk.data(), h.data(), std::min(size, h.size()));
            } else if (size > 0) {
                chunk[0] = 0;  // never the tag
            }
            const intptr_t accepted = SetChunk(chunk);
            EXPECT_TRUE(accepted == 0 || accepted == 1) << size;
            ExpectAllInRange();
        }
    }
    ExpectStillWorks();
}

// Chunks of NaN and infinities leave every parameter inside its range.
TEST_F(BadInputTest, ChunksOfNonNumbers) {
    const double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::signaling_NaN(),
                               1.0e308,
                               -1.0e308};
    for (double special : specials) {
        std::vector<uint8_t> chunk = Header();
        for (int i = 0; i < 42; ++i) {
            uint8_t bytes[8];
            std::memcpy(bytes, &special, 8);
            chunk.insert(chunk.end(), bytes, bytes + 8);
        }
        EXPECT_EQ(SetChunk(chunk), 1);
        ExpectAllInRange();
        ExpectStillWorks();
    }
}

// --- Program names ------------------------------------------------------------------------

// Program names handed to the host fit the 24 bytes the interface promises, terminator included.
TEST_F(BadInputTest, LongProgramNamesAreCut) {
    for (size_t length : {size_t{23}, size_t{24}, size_t{200}, size_t{1000}}) {
        std::string name(length, 'n');
        p.Dispatch(vst2::effSetProgramName, 0, 0, name.data());
        struct {
            char name[vst2::kVstMaxProgNameLen];
            unsigned char canary[64];
        } out;
        for (int opcode : {vst2::effGetProgramName, vst2::effGetProgramNameIndexed}) {
            std::memset(&out, 0xA5, sizeof out);
            p.Dispatch(opcode, 0, 0, out.name);
            bool intact = true;
            for (unsigned char c : out.canary) intact = intact && c == 0xA5;
            EXPECT_TRUE(intact) << "opcode " << opcode << " wrote past 24 bytes for a name of " << length;
            EXPECT_NE(std::memchr(out.name, 0, sizeof out.name), nullptr)
                << "opcode " << opcode << " length " << length;
            EXPECT_EQ(std::string(out.name, strnlen(out.name, sizeof out.name)),
                      name.substr(0, vst2::kVstMaxProgNameLen - 1));
        }
    }
}

// A null name is ignored.
TEST_F(BadInputTest, NullProgramName) {
    EXPECT_EQ(p.Dispatch(vst2::effSetProgramName, 0, 0, nullptr), 0);
    EXPECT_EQ(p.Host().ProgramName(0), "- 1 -");
    EXPECT_EQ(p.Dispatch(vst2::effGetProgramName, 0, 0, nullptr), 0);
    EXPECT_EQ(p.Dispatch(vst2::effGetProgramNameIndexed, 0, 0, nullptr), 0);
}

// Events with a null entry, a null list or no entries are skipped.
TEST_F(BadInputTest, EmptyAndNullEventLists) {
    EXPECT_EQ(p.Dispatch(vst2::effProcessEvents, 0, 0, nullptr), 0);
    vst2::VstEvents none{};
    EXPECT_EQ(p.Dispatch(vst2::effProcessEvents, 0, 0, &none), 1);
    vst2::VstEvents holes{};
    holes.numEvents = 2;
    EXPECT_EQ(p.Dispatch(vst2::effProcessEvents, 0, 0, &holes), 1);
    vst2::VstEvents negative{};
    negative.numEvents = -5;
    EXPECT_EQ(p.Dispatch(vst2::effProcessEvents, 0, 0, &negative), 1);
    ExpectStillWorks();
}

}  // namespace
