// libFuzzer target: a MIDI stream through the plug-in, block after block, as a host
// plays it. Blocks of 1 to 4096 frames under any transport (continuous, jumping,
// negative, past 2^31, NaN, stopped, no time info) and tempo (0, negative, NaN,
// infinite), with parameter and program changes between them and events of every
// kind: notes, controllers, channel and system messages, SysEx, foreign event types,
// null entries, unsorted and out-of-block offsets.
//
// What the host checks:
// - every note the engine sends is a well-formed message (status byte, data bytes
//   below 0x80, a note-on never of velocity 0) at an offset inside its block, in
//   time order within the block;
// - a block the host reports stopped carries note-offs at offset 0 only, and after
//   it no note is left sounding: the host counts note-ons and note-offs per channel
//   and pitch;
// - messages the engine passes through leave at once, during effProcessEvents, in
//   order, with their bytes unchanged; SysEx and foreign events go back as the same
//   record.
//
// The offset of a passed-through message. The plug-in forwards it during
// effProcessEvents, before the block's length is known, so it can only bring it into
// the block size the host announced: it must leave at clamp(offset, 0, announced − 1).
// A message the host placed inside its block stays there whatever the block's
// length: a block up to the announced size keeps the offset, a longer one runs in
// slices of that size and the clamped offset is still inside it. Only an offset the
// host itself put past its own block can come back past a shorter block; that is the
// host's offset, not the plug-in's, and the oracle does not count it against it.
//
// Every input starts by putting a kept instance back to a known state through the
// interface (stopped transport, all triggers released, default parameters, one
// advancing block at a fixed position), since making an instance costs more than a
// whole input. Inputs whose first byte has its three top bits set get a new instance
// instead and may change programs; the instance after them is not kept. What the
// interface cannot reset is the random pattern's generator.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/src/fuzz/FuzzHost.h"
#include "tests/src/fuzz/FuzzReader.h"
#include "tests/src/fuzz/HostView.h"
#include "tools/vsthost/VstEventList.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kMaxBlocks = 200;
constexpr int kMaxEvents = 48;
constexpr uint8_t kLifecycle = 0xE0;
// The reset's advancing block: a position no continuous input starts at.
constexpr double kResetPosition = -123456789.0;
constexpr int32_t kTransportMask = vst2::kVstPpqPosValid | vst2::kVstTempoValid | vst2::kVstBarsValid |
                                   vst2::kVstCyclePosValid | vst2::kVstTimeSigValid;

const float kSampleRates[] = {44100.0f, 48000.0f,  96000.0f, 22050.0f, 8000.0f,  192000.0f, 1.0f,
                              0.0f,     -44100.0f, NAN,      INFINITY, 1.0e-30f, 1.0e9f};
const double kTempos[] = {120.0, 0.0, -120.0, kNaN, kInf, -kInf, 1.0e-300, 1.0e300, 60.0, 240.0, 90.5, 999.0};
const float kNormalized[] = {0.0f, 1.0f, 0.5f, 0.25f, -0.5f, 1.5f, NAN, INFINITY, -INFINITY, 1.0e30f, 0.999f};
const int32_t kForeignTypes[] = {0, 2, 3, 4, 5, 7, -1, INT32_MAX, INT32_MIN};
const uint8_t kChannelStatus[] = {0xA0, 0xC0, 0xD0, 0xE0};  // pressure, program, channel pressure, bend
const double kOddPositions[] = {kNaN, kInf, -kInf, 1.0e300, -1.0e300, 4.6e18};
const intptr_t kBlockSizes[] = {1, 2, 64, 128, 1024, 4096, 8192};
const intptr_t kBadBlockSizes[] = {0, -1, INT32_MIN, INTPTR_MIN};

struct Instance {
    FuzzHost host;
    bool kept = false;  // opened and fit for reuse
};
Instance gInstance;

// What the host knows and counts.
struct Model {
    int announced = 512;         // the block size the plug-in holds
    int sounding[16][128] = {};  // note-ons sent less note-offs, per channel and pitch
    double position = 0.0;       // where a continuous block starts
    double lastPosition = 0.0;   // where the previous block started
};

void Announce(Model& m, intptr_t value) {
    FuzzHost& host = gInstance.host;
    host.Dispatch(vst2::effSetBlockSize, 0, value);
    // The plug-in limits sizes to 2^24 and keeps its size for anything below one frame.
    const intptr_t limited = value > (1 << 24) ? (1 << 24) : value;
    if (limited >= 1) m.announced = static_cast<int>(limited);
}

// The event records of one effProcessEvents call, and what the plug-in must hand
// back during it.
struct Delivery {
    VstEventList list;
    vst2::VstEvent foreign[kMaxEvents] = {};
    uint8_t sysex[kMaxEvents][32] = {};
    std::vector<SentEvent> expected;
    int used = 0;

    void Clear() {
        list.Clear();
        expected.clear();
        used = 0;
    }
};
Delivery gDelivery;

int32_t Clamp(int64_t v, int64_t lo, int64_t hi) { return static_cast<int32_t>(v < lo ? lo : v > hi ? hi : v); }

int32_t Offset(FuzzReader& in, int frames) {
    switch (in.Pick(10)) {
    case 0: return 0;
    case 1: return frames - 1;
    case 2: return frames;
    case 3: return frames + in.U16();
    case 4: return -1 - in.U16();
    case 5: return INT32_MIN;
    case 6: return INT32_MAX;
    case 7: return static_cast<int32_t>(in.U32());
    default: return in.U16() % frames;
    }
}

uint8_t DataByte(FuzzReader& in) {
    const uint8_t b = in.Byte();
    return in.Pick(8) == 0 ? b : b & 0x7F;  // now and then a byte with the high bit set
}

// One event into the delivery, with what the plug-in must send back for it at once.
void AddEvent(FuzzReader& in, Delivery& d, const Model& m, int frames) {
    const int kind = in.Pick(12);
    const int32_t offset = Offset(in, frames);
    const uint8_t channel = in.Byte() & 0x0F;
    uint8_t bytes[3] = {};
    switch (kind) {
    case 0:
    case 1:
    case 2: bytes[0] = 0x90 | channel; break;
    case 3:
    case 4: bytes[0] = 0x80 | channel; break;
    case 5: bytes[0] = 0xB0 | channel; break;
    case 6: bytes[0] = static_cast<uint8_t>(in.PickFrom(kChannelStatus) | channel); break;
    case 7: bytes[0] = 0xF0 | (in.Byte() & 0x0F); break;
    case 8: bytes[0] = in.Byte(); break;  // anything, a data byte too
    case 9: {                             // SysEx, handed back as it is
        const int size = 1 + in.Pick(32);
        in.Bytes(d.sysex[d.used], size);
        d.list.AddSysex(offset, d.sysex[d.used], size);
        SentEvent e;
        vst2::VstEvent* const* events = d.list.Events()->events;  // longer than its declared two
        e.event = events[d.list.Count() - 1];
        e.type = vst2::kVstSysExType;
        e.byteSize = e.event->byteSize;
        e.deltaFrames = offset;
        d.expected.push_back(e);
        ++d.used;
        return;
    }
    case 10: {  // a type the plug-in does not know
        vst2::VstEvent& f = d.foreign[d.used++];
        f = vst2::VstEvent{};
        f.type = in.PickFrom(kForeignTypes);
        if (f.type == vst2::kVstMidiType) f.type = 2;
        f.byteSize = static_cast<int32_t>(sizeof f);
        f.deltaFrames = offset;
        in.Bytes(f.data, sizeof f.data);
        d.list.Add(&f);
        SentEvent e;
        e.event = &f;
        e.type = f.type;
        e.byteSize = f.byteSize;
        e.deltaFrames = offset;
        d.expected.push_back(e);
        return;
    }
    default: d.list.Add(nullptr); return;  // hosts leave no gaps, but a plug-in must survive one
    }
    if (kind == 5 && in.Pick(3) == 0) {
        bytes[1] = 123;  // All Notes Off
    } else {
        bytes[1] = DataByte(in);
    }
    bytes[2] = DataByte(in);
    d.list.AddMidi(offset, bytes[0], bytes[1], bytes[2]);
    const int type = bytes[0] >> 4;
    // Notes and controllers stay in the engine; other messages with a status byte pass.
    if (!(bytes[0] & 0x80) || type == 0x8 || type == 0x9 || type == 0xB) return;
    SentEvent e;
    e.type = vst2::kVstMidiType;
    e.byteSize = static_cast<int32_t>(sizeof(vst2::VstMidiEvent));
    e.deltaFrames = Clamp(offset < 0 ? 0 : offset, 0, m.announced - 1);
    std::memcpy(e.midi, bytes, 3);
    d.expected.push_back(e);
}

void CheckPassed(const std::vector<SentEvent>& sent, size_t from, const std::vector<SentEvent>& expected) {
    if (sent.size() - from != expected.size())
        FuzzFail("effProcessEvents passed %zu events on, expected %zu", sent.size() - from, expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const SentEvent& s = sent[from + i];
        const SentEvent& e = expected[i];
        if (s.duringProcess) FuzzFail("passed event %zu marked as sent from a process call", i);
        if (s.type != e.type || s.byteSize != e.byteSize || s.deltaFrames != e.deltaFrames)
            FuzzFail("passed event %zu: type %d, %d bytes at %d; expected type %d, %d bytes at %d", i, s.type,
                     s.byteSize, s.deltaFrames, e.type, e.byteSize, e.deltaFrames);
        if (e.type == vst2::kVstMidiType) {
            if (std::memcmp(s.midi, e.midi, 3) != 0 || s.midi[3] != 0)
                FuzzFail("passed message %zu: %02X %02X %02X %02X, expected %02X %02X %02X", i, s.midi[0], s.midi[1],
                         s.midi[2], s.midi[3], e.midi[0], e.midi[1], e.midi[2]);
        } else if (s.event != e.event) {
            FuzzFail("event %zu of type %d went back as another record", i, e.type);
        }
    }
}

void CheckBlock(Model& m, const std::vector<SentEvent>& sent, size_t from, int frames, bool stopped) {
    int32_t last = 0;
    for (size_t i = from; i < sent.size(); ++i) {
        const SentEvent& s = sent[i];
        if (!s.duringProcess) FuzzFail("a block's event not marked as sent from its process call");
        if (s.type != vst2::kVstMidiType || s.byteSize != static_cast<int32_t>(sizeof(vst2::VstMidiEvent)))
            FuzzFail("a block sent an event of type %d, %d bytes", s.type, s.byteSize);
        if (!s.IsNote()) FuzzFail("a block sent %02X %02X %02X, not a note", s.midi[0], s.midi[1], s.midi[2]);
        if ((s.midi[1] | s.midi[2] | s.midi[3]) & 0x80)
            FuzzFail("malformed note %02X %02X %02X %02X", s.midi[0], s.midi[1], s.midi[2], s.midi[3]);
        if (s.IsNoteOn() && s.midi[2] == 0) FuzzFail("note-on of velocity 0 (a note-off to a synth)");
        if (s.deltaFrames < 0 || s.deltaFrames >= frames)
            FuzzFail("note at offset %d in a block of %d frames", s.deltaFrames, frames);
        if (s.deltaFrames < last) FuzzFail("note at offset %d after one at %d", s.deltaFrames, last);
        last = s.deltaFrames;
        if (stopped && (s.IsNoteOn() || s.deltaFrames != 0))
            FuzzFail("a stopped block sent %s at %d", s.IsNoteOn() ? "a note-on" : "a note-off", s.deltaFrames);
        int& count = m.sounding[s.midi[0] & 0x0F][s.midi[1]];
        if (s.IsNoteOn())
            ++count;
        else if (count > 0)
            --count;  // a note-off for a silent note is harmless
    }
    if (!stopped) return;
    for (int c = 0; c < 16; ++c)
        for (int n = 0; n < 128; ++n)
            if (m.sounding[c][n] > 0)
                FuzzFail("note %d on channel %d still sounds %d times after a stopped block", n, c, m.sounding[c][n]);
}

// One host block: transport, events, process call, checks.
void Block(FuzzReader& in, Model& m) {
    FuzzHost& host = gInstance.host;
    vst2::VstTimeInfo& time = host.mTime;
    const int frames = 1 + in.U16() % 4096;
    double position = m.position;
    bool playing = true, hasTime = true;
    int32_t flags = vst2::kVstTempoValid | vst2::kVstPpqPosValid | vst2::kVstTimeSigValid;
    switch (in.Pick(12)) {
    case 0: position = static_cast<double>(in.U32()); break;  // jump
    case 1: position = -1.0 - in.U16(); break;                // count-in
    case 2: position = 2147483648.0 + in.U32(); break;        // past 2^31
    case 3: position = in.PickFrom(kOddPositions); break;
    case 4: position = in.RawDouble(); break;
    case 5: playing = false; break;              // stopped
    case 6: hasTime = false; break;              // no time info at all
    case 7: flags = 0; break;                    // time info without a valid field
    case 8: position = m.lastPosition; break;    // standing still
    case 9: position += in.Byte() - 128; break;  // a small step off
    default: break;                              // continuous
    }
    time.samplePos = position;
    time.tempo = in.PickFrom(kTempos);
    time.flags = flags | (playing ? vst2::kVstTransportPlaying : 0);
    host.mHasTime = hasTime;
    const bool stopped = !hasTime || !(time.flags & kTransportMask) || !playing;

    Delivery& d = gDelivery;
    d.Clear();
    const int count = in.Pick(kMaxEvents + 1);
    for (int i = 0; i < count && !in.Empty(); ++i) AddEvent(in, d, m, frames);
    if (count > 0 || in.Pick(4) == 0) {
        const size_t from = host.mSent.size();
        if (host.ProcessEvents(d.list) != 1) FuzzFail("effProcessEvents did not answer 1");
        CheckPassed(host.mSent, from, d.expected);
    }
    const size_t from = host.mSent.size();
    host.ProcessSilence(static_cast<FuzzHost::ProcessKind>(in.Pick(3)), frames);
    CheckBlock(m, host.mSent, from, frames, stopped);
    host.mSent.clear();
    m.lastPosition = position;
    m.position = position + frames;
}

void SetParameter(FuzzReader& in) {
    const int index = in.Pick(kAllParams + 2) - 1;
    const float value = in.Pick(3) == 0 ? in.RawFloat() : in.Pick(2) ? in.PickFrom(kNormalized) : in.Byte() / 255.0f;
    gInstance.host.SetParameter(index, value);
}

// A stopped block of one frame: everything sounding ends.
void Stop(Model& m) {
    FuzzHost& host = gInstance.host;
    host.mHasTime = true;
    host.mTime.flags = vst2::kVstTempoValid;
    host.mTime.tempo = 120.0;
    host.ProcessSilence(FuzzHost::kReplacing, 1);
    CheckBlock(m, host.mSent, 0, 1, true);
    host.mSent.clear();
}

// Puts the kept instance back as the last input cannot have left it.
void Reset(Model& m) {
    FuzzHost& host = gInstance.host;
    host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Announce(m, 512);
    host.Dispatch(vst2::effMainsChanged, 0, 1);
    Stop(m);
    // Every trigger released, and the note-offs that makes dropped by the stop.
    VstEventList& list = gDelivery.list;
    list.Clear();
    for (int note = 0; note < 128; ++note) list.AddMidi(0, 0x80, static_cast<uint8_t>(note), 0);
    host.ProcessEvents(list);
    Stop(m);
    if (SetChunk(host, true, DefaultChunk().data(), DefaultChunk().size()) != 1)
        FuzzFail("the defaults' chunk was refused");
    // One advancing block at a fixed place, so every input starts from the same transport.
    host.mTime.samplePos = kResetPosition;
    host.mTime.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
    host.ProcessSilence(FuzzHost::kReplacing, 1);
    CheckBlock(m, host.mSent, 0, 1, false);
    host.mSent.clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    DefaultChunk();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in(data, size);
    FuzzHost& host = gInstance.host;
    Model m;
    const bool lifecycle = (in.Byte() & kLifecycle) == kLifecycle;
    if (lifecycle || !gInstance.kept) {
        host.Create();
        host.mHasTime = true;
        host.mTime = vst2::VstTimeInfo{};
        host.mTime.flags = vst2::kVstTempoValid;
        host.mTime.tempo = 120.0;
        host.Start(44100.0, 512);
        gInstance.kept = false;
    }
    // A new instance is reset as well, so an input meets the same instance whether it
    // runs first in a process or after others.
    if (!lifecycle) Reset(m);
    gInstance.kept = !lifecycle;  // programs may change: the next input gets a new instance
    host.mSent.clear();

    host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, in.PickFrom(kSampleRates));
    switch (in.Pick(3)) {
    case 0: Announce(m, 1 + in.U16() % 4096); break;
    case 1: Announce(m, in.PickFrom(kBlockSizes)); break;
    default: Announce(m, in.PickFrom(kBadBlockSizes)); break;
    }
    for (int blocks = 0; !in.Empty() && blocks < kMaxBlocks;) {
        switch (in.Pick(10)) {
        case 0:
        case 1: SetParameter(in); break;
        case 2:
            if (lifecycle)
                host.Dispatch(vst2::effSetProgram, 0, in.Pick(kPrograms + 2) - 1);
            else
                SetParameter(in);
            break;
        case 3:
            switch (in.Pick(4)) {
            case 0: Announce(m, 1 + in.U16() % 4096); break;
            case 1: host.Dispatch(vst2::effMainsChanged, 0, in.Bool()); break;
            case 2: host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, in.PickFrom(kSampleRates)); break;
            default: host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, in.RawFloat()); break;
            }
            break;
        default:
            Block(in, m);
            ++blocks;
            break;
        }
    }
    Stop(m);
    return 0;
}
