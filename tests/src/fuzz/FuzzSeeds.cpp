// Writes the fuzz targets' seed inputs into DIR/state, DIR/midi and DIR/dispatch:
// sessions a host would run, spelled in each target's input vocabulary, so the
// fuzzers start from playing notes, whole chunks and every opcode.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/src/fuzz/FuzzWriter.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// ---- state chunks ----

std::vector<double> DefaultValues() {
    std::vector<double> v(42, 0.0);
    for (int channel : {2, 6, 12, 26}) v[channel] = 1.0;  // the voices' channels start at 1
    return v;
}

std::vector<uint8_t> Chunk(const std::vector<double>& values, bool header = true, int32_t version = 0x00010000) {
    FuzzWriter w;
    if (header) w.U32(0x70666674).U32(static_cast<uint32_t>(version));
    for (double v : values) w.Double(v);
    return w.Data();
}

// Mode bits as the state target reads them.
enum : uint8_t {
    kBank = 1,
    kBeforeOpen = 2,
    kProgramBefore = 4,
    kProgramAfter = 8,
    kAsProgram = 16,
    kLifecycle = 0xC0
};

std::vector<uint8_t> StateInput(uint8_t mode, int programBefore, int programAfter, const std::vector<uint8_t>& chunk) {
    return FuzzWriter().Byte(mode).Byte(programBefore).Byte(programAfter).Bytes(chunk).Data();
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> StateSeeds() {
    std::vector<double> sound = DefaultValues();
    sound[2] = 5;      // MainChan
    sound[7] = -12;    // ParVel
    sound[8] = 7;      // the parallel interval
    sound[22] = 3;     // v1algo ZigZag
    sound[23] = 11;    // v1Delay 1/16
    sound[38] = 1;     // Snap
    sound[39] = 2;     // Scale
    sound[40] = 9;     // Tonic
    sound[41] = 0.37;  // Human
    std::vector<double> wild = DefaultValues();
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double specials[] = {nan, inf, -inf, 1.0e308, -1.0e308, -0.0, 99.0, -99.0, 0.5, 16.7, 1.0e-310};
    for (size_t i = 0; i < wild.size(); ++i) wild[i] = specials[i % (sizeof specials / sizeof *specials)];
    const std::vector<uint8_t> whole = Chunk(sound), bare = Chunk(sound, false);
    std::vector<uint8_t> longer = whole;
    longer.push_back(0x42);
    return {
        {"program-chunk", StateInput(0, 0, 0, whole)},
        {"bank-chunk", StateInput(kBank, 0, 0, whole)},
        {"bank-chunk-as-program", StateInput(kBank | kAsProgram, 0, 0, whole)},
        {"bare-values", StateInput(0, 0, 0, bare)},
        {"non-numbers", StateInput(kBank, 0, 0, Chunk(wild))},
        {"header-only", StateInput(0, 0, 0, std::vector<uint8_t>(whole.begin(), whole.begin() + 8))},
        {"tag-only", StateInput(0, 0, 0, std::vector<uint8_t>(whole.begin(), whole.begin() + 4))},
        {"tag-and-three", StateInput(kBank, 0, 0, std::vector<uint8_t>(whole.begin(), whole.begin() + 7))},
        {"one-value-short", StateInput(0, 0, 0, std::vector<uint8_t>(whole.begin(), whole.end() - 8))},
        {"one-byte-more", StateInput(0, 0, 0, longer)},
        {"empty", StateInput(0, 0, 0, {})},
        {"bank-version-0", StateInput(kBank, 0, 0, Chunk(sound, true, 0))},
        {"before-open", StateInput(kLifecycle | kBeforeOpen | kBank, 0, 0, whole)},
        {"programs-around-bank", StateInput(kLifecycle | kBank | kProgramBefore | kProgramAfter, 3, 3, whole)},
        {"programs-around-program", StateInput(kLifecycle | kProgramBefore | kProgramAfter, 2, 5, whole)},
    };
}

// ---- MIDI streams ----

enum Transport { kContinuous, kStopped, kNoTime, kNoFlags, kStill, kJump, kCountIn, kPast2to31, kNaN, kStep };

struct Event {
    enum Kind { Midi, SysEx, Foreign, Null } kind;
    int32_t offset;
    uint8_t bytes[3];
};

Event Msg(int32_t offset, int status, int data1, int data2) {
    return {Event::Midi, offset, {uint8_t(status), uint8_t(data1), uint8_t(data2)}};
}

class MidiInput {
public:
    MidiInput(bool lifecycle, int announce) {
        w.Byte(lifecycle ? 0xE0 : 0).Byte(0 /* 44100 */).Byte(0).U16(announce - 1);
    }
    MidiInput& Param(int index, float normalized) {
        w.Byte(0).Byte(index + 1).Byte(0).Float(normalized);
        return *this;
    }
    MidiInput& Program(int program) {  // lifecycle inputs only
        w.Byte(2).Byte(program + 1);
        return *this;
    }
    MidiInput& Announce(int frames) {
        w.Byte(3).Byte(0).U16(frames - 1);
        return *this;
    }
    MidiInput& Block(int frames, Transport t, const std::vector<Event>& events, int tempoIndex = 0, int process = 0,
                     uint32_t where = 0) {
        w.Byte(4).U16(frames - 1);
        switch (t) {
        case kContinuous: w.Byte(10); break;
        case kStopped: w.Byte(5); break;
        case kNoTime: w.Byte(6); break;
        case kNoFlags: w.Byte(7); break;
        case kStill: w.Byte(8); break;
        case kJump: w.Byte(0).U32(where); break;
        case kCountIn: w.Byte(1).U16(static_cast<int>(where)); break;
        case kPast2to31: w.Byte(2).U32(where); break;
        case kNaN: w.Byte(3).Byte(0); break;
        case kStep: w.Byte(9).Byte(static_cast<int>(where) + 128); break;
        }
        w.Byte(tempoIndex).Byte(static_cast<int>(events.size()));
        for (const Event& e : events) Add(e, frames);
        if (events.empty()) w.Byte(1);  // no empty list delivered
        w.Byte(process);
        return *this;
    }
    const std::vector<uint8_t>& Data() const { return w.Data(); }

private:
    void Offset(int32_t offset, int frames) {
        if (offset == frames) {
            w.Byte(2);
        } else if (offset == INT32_MAX) {
            w.Byte(6);
        } else if (offset == INT32_MIN) {
            w.Byte(5);
        } else if (offset < 0) {
            w.Byte(4).U16(-1 - offset);
        } else if (offset > frames) {
            w.Byte(3).U16(offset - frames);
        } else {
            w.Byte(8).U16(offset);
        }
    }
    void Data(uint8_t b) { w.Byte(b).Byte(b & 0x80 ? 0 : 1); }  // high bits kept only when asked
    void Add(const Event& e, int frames) {
        switch (e.kind) {
        case Event::Midi:
            w.Byte(8);
            Offset(e.offset, frames);
            w.Byte(0).Byte(e.bytes[0]);
            Data(e.bytes[1]);
            Data(e.bytes[2]);
            break;
        case Event::SysEx: {
            const uint8_t dump[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
            w.Byte(9);
            Offset(e.offset, frames);
            w.Byte(0).Byte(sizeof dump - 1).Bytes(dump, sizeof dump);
            break;
        }
        case Event::Foreign:
            w.Byte(10);
            Offset(e.offset, frames);
            w.Byte(0).Byte(1 /* type 2 */);
            for (int i = 0; i < 16; ++i) w.Byte(i);
            break;
        case Event::Null:
            w.Byte(11);
            Offset(e.offset, frames);
            w.Byte(0);
            break;
        }
    }
    FuzzWriter w;
};

// Parameter indices and normalized settings, as a host sends them.
constexpr int MainChan = 2, MnDelay = 3, ParChan = 6, ParVel = 7, ParInt = 8, PDelay = 9, V1Chan = 12, V1Int1 = 14,
              V1Algo = 22, V1Delay = 23, V2Chan = 26, V2Int1 = 28, V2Algo = 36, Snap = 38, Scale = 39;
float Chan(int channel) { return (channel - 1) / 15.0f; }
float Interval(int semitones) { return (semitones + 24) / 48.0f; }
float Division(int row) { return row / 16.0f; }

std::vector<std::pair<std::string, std::vector<uint8_t>>> MidiSeeds() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;

    MidiInput note(false, 512);
    note.Block(512, kContinuous, {})
        .Block(512, kContinuous, {Msg(100, 0x90, 60, 100)})
        .Block(512, kContinuous, {Msg(50, 0x80, 60, 0)})
        .Block(512, kStopped, {});
    seeds.push_back({"one-note", note.Data()});

    MidiInput voices(false, 512);
    voices.Param(MainChan, Chan(1)).Param(ParChan, Chan(2)).Param(V1Chan, Chan(3)).Param(V2Chan, Chan(4));
    voices.Param(ParInt, Interval(7)).Param(ParVel, 0.25f).Param(V1Int1, Interval(12)).Param(V2Int1, Interval(-5));
    voices.Param(V1Algo, 0.75f).Param(V2Algo, 1.0f).Param(MnDelay, Division(11)).Param(V1Delay, Division(8));
    voices.Param(PDelay, Division(16)).Param(Snap, 1.0f).Param(Scale, 0.25f);
    voices.Block(512, kContinuous, {});
    for (int i = 0; i < 12; ++i)
        voices.Block(512, kContinuous, {Msg(i * 37 % 512, 0x90, 48 + i * 3, 90), Msg(511, 0x80, 45 + i * 3, 0)});
    voices.Block(512, kJump, {Msg(0, 0x90, 64, 127)}, 0, 0, 1000000).Block(512, kContinuous, {Msg(5, 0x90, 65, 1)});
    voices.Block(300, kContinuous, {}).Block(512, kStopped, {});
    seeds.push_back({"four-voices-delayed", voices.Data()});

    MidiInput kinds(false, 256);
    kinds.Block(256, kContinuous, {});
    kinds.Block(256, kContinuous,
                {Msg(200, 0x90, 60, 100),
                 Msg(10, 0xE3, 0x05, 0x40),
                 Msg(256, 0xC2, 7, 0),
                 {Event::SysEx, 30, {}},
                 {Event::Foreign, -3, {}},
                 {Event::Null, 0, {}},
                 Msg(INT32_MAX, 0xD1, 40, 0),
                 Msg(-7, 0xA4, 60, 30),
                 Msg(100, 0xB0, 123, 0),
                 Msg(120, 0xB5, 7, 100),
                 Msg(4, 0xF8, 0, 0),
                 Msg(5, 0x40, 0x40, 0x40),
                 Msg(6, 0x90, 0xC0, 100),
                 Msg(7, 0x90, 61, 0xFF),
                 Msg(300, 0x80, 60, 0x90)},
                0, 1);
    kinds.Block(256, kContinuous, {Msg(0, 0x80, 60, 0), Msg(255, 0x90, 62, 64), Msg(INT32_MIN, 0x90, 63, 64)}, 0, 2);
    kinds.Block(128, kContinuous, {}).Block(256, kStopped, {});
    seeds.push_back({"every-kind", kinds.Data()});

    MidiInput slices(false, 64);
    slices.Param(MnDelay, Division(14)).Block(1000, kContinuous, {});
    slices.Block(1000, kContinuous, {Msg(500, 0x90, 60, 100), Msg(999, 0x90, 72, 100), Msg(63, 0xE0, 0, 64)}, 0, 1);
    slices.Announce(4096).Block(4096, kContinuous, {Msg(4095, 0x80, 60, 0)}).Block(17, kStopped, {});
    seeds.push_back({"longer-than-announced", slices.Data()});

    MidiInput odd(false, 512);
    odd.Block(512, kCountIn, {}, 0, 0, 1024).Block(512, kContinuous, {Msg(3, 0x90, 60, 100)});
    odd.Block(512, kContinuous, {Msg(600, 0x90, 62, 100)}, 3 /* NaN tempo */);
    odd.Block(512, kPast2to31, {Msg(0, 0x90, 64, 100)}, 1 /* 0 */, 0, 12345).Block(512, kContinuous, {}, 4 /* inf */);
    odd.Block(512, kNaN, {Msg(1, 0x90, 66, 100)}).Block(512, kNoTime, {Msg(2, 0x90, 67, 100)});
    odd.Block(512, kStill, {}).Block(512, kStep, {}, 2, 0, -3).Block(512, kNoFlags, {});
    seeds.push_back({"odd-transport", odd.Data()});

    MidiInput programs(true, 512);
    programs.Param(ParInt, Interval(4)).Program(2).Block(512, kContinuous, {});
    programs.Block(512, kContinuous, {Msg(10, 0x90, 60, 100)}).Program(0).Program(2).Program(7);
    programs.Block(512, kContinuous, {Msg(10, 0x80, 60, 0)}).Block(512, kStopped, {});
    seeds.push_back({"program-changes", programs.Data()});
    return seeds;
}

// ---- dispatcher ----

// Positions in the dispatcher target's tables.
enum ValueIndex {
    kValue0,
    kValue1,
    kValue2,
    kValueMinus1,
    kValue5,
    kValue6,
    kValue7,
    kValue512,
    kValue4096,
    kValue65536,
    kValue2to24
};

class DispatchInput {
public:
    explicit DispatchInput(uint8_t first = 0) { w.Byte(first); }
    // A call with a small index (-2..47), a value from the table and the float opt 0.
    DispatchInput& Call(int opcode, int index = 0, int valueIndex = kValue0, bool pointer = true) {
        w.Byte(3).Byte(opcode).Byte(1).Byte(index + 2).Byte(2).Byte(valueIndex).Byte(1).Byte(0).Byte(pointer ? 1 : 0);
        return *this;
    }
    DispatchInput& CallValue(int opcode, int index, uint8_t value, float opt) {
        w.Byte(3).Byte(opcode).Byte(1).Byte(index + 2).Byte(1).Byte(value).Byte(0).Float(opt).Byte(1);
        return *this;
    }
    DispatchInput& SetParameter(int index, float value) {
        w.Byte(0).Byte(1).Byte(index + 2).Byte(0).Float(value);
        return *this;
    }
    DispatchInput& Process(int frames, int buffers = 2, int kind = 0) {
        w.Byte(2).U16(frames - 1).Byte(1).Byte(1).Byte(buffers).Byte(kind);
        return *this;
    }
    FuzzWriter w;
};

std::vector<std::pair<std::string, std::vector<uint8_t>>> DispatchSeeds() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
    // Opcodes that need more than the pointer are spelled out in their own seeds.
    auto plain = [](int opcode) {
        return opcode != 1 && opcode != 4 && opcode != 24 && opcode != 25 && opcode != 27 && opcode != 42 &&
               opcode != 51 && opcode != 69;
    };
    for (int first = 0; first <= 80; first += 40) {
        DispatchInput d;
        for (int opcode = first; opcode < first + 40 && opcode <= 80; ++opcode)
            if (plain(opcode)) d.Call(opcode, opcode % 8);
        seeds.push_back({"opcodes-" + std::to_string(first), d.w.Data()});
    }

    DispatchInput texts;
    for (int index : {-1, 0, 2, 3, 7, 8, 22, 38, 39, 40, 41, 42, 45, 46})
        texts.Call(6, index).Call(7, index).Call(8, index).CallValue(50, 7, static_cast<uint8_t>(index), 0.5f);
    seeds.push_back({"parameter-texts", texts.w.Data()});

    DispatchInput programs;
    for (int slot = 0; slot < 7; ++slot) {
        programs.Call(2, 0, slot < 3 ? slot : kValue7).Call(5).Call(29, slot);
        programs.w.Byte(3).Byte(4).Byte(1).Byte(2).Byte(2).Byte(0).Byte(1).Byte(0).Byte(1);  // effSetProgramName
        for (int i = 0; i < 24; ++i) programs.w.Byte('A' + slot + i % 20);                   // 24 bytes, no terminator
    }
    seeds.push_back({"programs", programs.w.Data()});

    DispatchInput chunks;
    chunks.Call(23, 0).Call(23, 1);
    const std::vector<uint8_t> chunk = Chunk(DefaultValues());
    // effSetChunk: 344 bytes from the input, the value saying as much.
    chunks.w.Byte(3).Byte(24).Byte(1).Byte(2).Byte(2).Byte(0).Byte(1).Byte(0).Byte(1).Byte(1).Byte(1).Bytes(chunk);
    chunks.w.Byte(1);
    chunks.w.Byte(3).Byte(24).Byte(1).Byte(3).Byte(2).Byte(0).Byte(1).Byte(0).Byte(1).Byte(1).Byte(0).U16(7);
    chunks.w.Bytes(chunk.data(), 7).Byte(1);
    chunks.Call(23, 1);
    seeds.push_back({"chunks", chunks.w.Data()});

    DispatchInput events;
    // effProcessEvents with a note, a bend, a SysEx, a foreign event and a gap.
    events.w.Byte(3).Byte(25).Byte(1).Byte(2).Byte(2).Byte(0).Byte(1).Byte(0).Byte(1).Byte(5);
    events.w.Byte(1).U16(10).Byte(3).Byte(0x90).Byte(60).Byte(100);
    events.w.Byte(1).U16(20).Byte(3).Byte(0xE0).Byte(0).Byte(0x40);
    events.w.Byte(1).U16(30).Byte(0).Byte(3).Bytes("\xF0\x01\x02\xF7", 4);
    events.w.Byte(1).U16(40).Byte(1).U32(3);
    events.w.Byte(1).U16(50).Byte(2);
    events.Process(512).Process(4096, 1, 1).Process(1, 0, 2);
    seeds.push_back({"events", events.w.Data()});

    DispatchInput speakers;
    for (int channels : {0, 1, 2, 9}) {
        // effSetSpeakerArrangement with `channels` in and out, then blocks and pins.
        speakers.w.Byte(3).Byte(42).Byte(1).Byte(2).Byte(2).Byte(0).Byte(1).Byte(0).Byte(1);
        speakers.w.Byte(1).Byte(3).Byte(1).Byte(channels).Byte(1).Byte(3).Byte(1).Byte(channels).Byte(1);
        speakers.Process(4096, 2, channels % 3).Call(33, channels).Call(34, channels);
    }
    speakers.w.Byte(3).Byte(69).Byte(1).Byte(2).Byte(2).Byte(0).Byte(1).Byte(0).Byte(1).Byte(1);
    seeds.push_back({"speakers", speakers.w.Data()});

    DispatchInput sizes;
    for (int v : {kValue1, kValue4096, kValue65536, kValue2to24, kValueMinus1, kValue512})
        sizes.Call(11, 0, v).Process(4096);
    sizes.CallValue(10, 0, 0, 0.0f).CallValue(10, 0, 0, NAN).CallValue(10, 0, 0, -1.0f).Call(12, 0, kValue0);
    sizes.Call(12, 0, kValue1).Process(700, 2, 2);
    seeds.push_back({"block-sizes", sizes.w.Data()});

    DispatchInput canDo;
    for (int k = 0; k < 8; ++k)
        canDo.w.Byte(3).Byte(51).Byte(1).Byte(2).Byte(2).Byte(0).Byte(1).Byte(0).Byte(1).Byte(1).Byte(k);
    seeds.push_back({"can-do", canDo.w.Data()});

    DispatchInput unopened(0xE1);
    unopened.SetParameter(3, 0.5f).Call(23, 0).Process(256).Call(0).Call(13).Call(14).Call(15);
    seeds.push_back({"before-open", unopened.w.Data()});
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    int written = 0;
    const std::pair<const char*, std::vector<std::pair<std::string, std::vector<uint8_t>>>> targets[] = {
        {"state", StateSeeds()}, {"midi", MidiSeeds()}, {"dispatch", DispatchSeeds()}};
    for (const auto& target : targets) {
        const std::string folder = dir + "/" + target.first;
        mkdir(folder.c_str(), 0755);
        for (const auto& seed : target.second) {
            if (!Write(folder + "/" + seed.first, seed.second)) return 1;
            ++written;
        }
    }
    std::printf("%d seeds written to %s\n", written, dir.c_str());
    return 0;
}
