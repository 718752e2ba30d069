#include "framework/IEffectBase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "framework/IVstEffect.h"

namespace {

const char* sProduct = "";
vst2::VstTimeInfo* sTime = nullptr;  // what audioMasterGetTime answers
intptr_t FakeHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(sTime);
    if (opcode == vst2::audioMasterGetProductString) std::strcpy(static_cast<char*>(ptr), sProduct);
    if (opcode == vst2::audioMasterGetVendorVersion) return 52400;
    return 0;
}

// A plug-in with a few parameters of each kind that counts its changes.
class TestPlug : public IVstEffect {
public:
    explicit TestPlug(const char* channels = "1-1 2-2", int presets = 3)
        : IVstEffect(&FakeHost, 3, channels, presets, "Test", "", "Vendor", 0x00010203, 1, 2, 0, true, true, false) {
        Param(0)->DefineInt("Chan", 1, 1, 16);
        Param(1)->DefineBool("Mute", false);
        Param(2)->DefineDouble("Amount", 0.5, 0.0, 1.0, 0.01);
        AddParameter()->DefineDouble("Internal", 0.0, 0.0, 1.0, 1.0);
    }
    void OnParameterChange(int index) override { changes.push_back(index); }
    intptr_t Call(int32_t opcode, int32_t index = 0, intptr_t value = 0) {
        return Effect()->dispatcher(Effect(), opcode, index, value, nullptr, 0.0f);
    }
    std::vector<int> changes;
};

}  // namespace

// The channel string gives the configurations that LegalIO accepts.
TEST(EffectBaseChannels, ConfigurationsFromTheChannelString) {
    TestPlug plug;
    EXPECT_TRUE(plug.LegalIO(1, -1));
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_TRUE(plug.LegalIO(-1, 2));
    EXPECT_FALSE(plug.LegalIO(1, 2));
    EXPECT_EQ(plug.NumInputs(), 2);
    EXPECT_EQ(plug.NumOutputs(), 2);
}

// Some hosts get extra inputs off and extra outputs on; counts are republished.
TEST(EffectBaseChannels, HostFixUpForFourChannels) {
    sProduct = "Adobe Audition";
    TestPlug plug("4-4");
    plug.Call(vst2::effOpen);
    plug.Call(vst2::effOpen);  // a second open does not repeat the fix-up
    EXPECT_EQ(plug.HostIdentity(), 17);
    EXPECT_EQ(plug.Effect()->numInputs, 4);
    EXPECT_EQ(plug.Effect()->numOutputs, 4);
    sProduct = "";
}

TEST(EffectBaseChannels, IdentifiesAnEmptyProductOnceAsUnknown) {
    sProduct = "";
    TestPlug plug;
    EXPECT_EQ(plug.IdentifyHost(), 0);
    EXPECT_EQ(plug.IdentifyHost(), 0);
}

// The block's transport: position, tempo and playing read the same whether asked for alone
// or with everything else; a host without usable time information gives the defaults and
// leaves the playing flag as the caller set it.
TEST(EffectBaseTransport, PlayStateReadsAsTheFullTransport) {
    TestPlug plug;
    vst2::VstTimeInfo time{};
    struct Case {
        vst2::VstTimeInfo* info;
        int32_t flags;
        double tempo;
        double position, expectedTempo;
        bool playing;
    };
    const int32_t tempoValid = vst2::kVstTempoValid, playing = vst2::kVstTransportPlaying;
    const Case cases[] = {
        {nullptr, 0, 0.0, -1.0, 120.0, true},            // no time information at all
        {&time, playing, 99.0, -1.0, 120.0, true},       // nothing the plug-in asked for is valid
        {&time, tempoValid, 0.0, 4410.0, 120.0, false},  // a tempo of 0 is no tempo
        {&time, tempoValid | playing, 140.0, 4410.0, 140.0, true},
        {&time, vst2::kVstPpqPosValid | playing, 140.0, 4410.0, 120.0, true},  // tempo not marked valid
    };
    for (const Case& c : cases) {
        time.flags = c.flags;
        time.tempo = c.tempo;
        time.samplePos = 4410.0;
        sTime = c.info;
        for (bool before : {false, true}) {
            double position = 0, tempo = 0, ppq, bar, cycleStart, cycleEnd;
            int numerator, denominator;
            bool isPlaying = before, cycleActive = false;
            plug.GetPlayState(&position, &tempo, &isPlaying);
            EXPECT_EQ(position, c.position);
            EXPECT_EQ(tempo, c.expectedTempo);
            EXPECT_EQ(isPlaying, c.info && (c.flags & ~playing) ? c.playing : before) << c.flags;
            double fullPosition = 0, fullTempo = 0;
            bool fullPlaying = before;
            plug.GetTransportTime(&fullPosition, &fullTempo, &ppq, &bar, &numerator, &denominator, &cycleStart,
                                  &cycleEnd, &fullPlaying, &cycleActive);
            EXPECT_EQ(fullPosition, position);
            EXPECT_EQ(fullTempo, tempo);
            EXPECT_EQ(fullPlaying, isPlaying);
        }
    }
    sTime = nullptr;
}

// The state: every host parameter's plain value, read back as far as it goes.
TEST(EffectBaseState, RoundTripAndShortChunk) {
    TestPlug plug;
    plug.Param(0)->SetClamped(9);
    plug.Param(1)->SetClamped(1);
    StateChunk chunk;
    plug.WriteChunkHeader(&chunk);
    ASSERT_TRUE(plug.WriteState(&chunk));
    EXPECT_EQ(chunk.Size(), 8 + 3 * 8);

    TestPlug other;
    int32_t version = 0;
    int pos = other.ReadChunkHeader(&chunk, &version);
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(version, CHUNK_VERSION);
    EXPECT_EQ(other.ReadState(&chunk, pos), 32);
    EXPECT_EQ(other.Param(0)->Value(), 9.0);
    EXPECT_EQ(other.Param(1)->Value(), 1.0);
    EXPECT_EQ(other.changes, (std::vector<int>{0, 1, 2, 3}));

    // Header only: the first value becomes its in-range value nearest 0, the rest stay.
    StateChunk header;
    other.WriteChunkHeader(&header);
    EXPECT_EQ(other.ReadState(&header, other.ReadChunkHeader(&header, &version)), -1);
    EXPECT_EQ(other.Param(0)->Value(), 1.0);
    EXPECT_EQ(other.Param(1)->Value(), 1.0);
}

TEST(EffectBaseState, HeaderRules) {
    TestPlug plug;
    StateChunk chunk;
    int32_t version = 99;
    chunk.AppendInt32(CHUNK_TAG);
    EXPECT_EQ(plug.ReadChunkHeader(&chunk, &version), -1);
    StateChunk bare;
    bare.AppendDouble(3.0);
    EXPECT_EQ(plug.ReadChunkHeader(&bare, &version), 0);
    EXPECT_EQ(version, 0);
}

TEST(EffectBaseState, VariadicValuesFollowTheKinds) {
    TestPlug plug;
    StateChunk chunk;
    plug.AppendValues(&chunk, 5, 1, 0.25, 0.0);
    ASSERT_EQ(chunk.Size(), 32);
    double value = 0;
    chunk.ReadDouble(0, &value);
    EXPECT_EQ(value, 5.0);
    chunk.ReadDouble(16, &value);
    EXPECT_EQ(value, 0.25);
}

// Program slots: fresh slots take the current values under a new user name.
TEST(EffectBasePresets, FreshSlotKeepsValuesAndGetsAUserName) {
    TestPlug plug;
    EXPECT_STREQ(plug.PresetName(0), "- 1 -");
    EXPECT_STREQ(plug.PresetName(3), "");
    EXPECT_STREQ(plug.PresetName(-1), "");
    plug.Param(0)->SetClamped(5);
    EXPECT_TRUE(plug.SelectPreset(1));
    EXPECT_STREQ(plug.PresetName(1), "user preset 1");
    EXPECT_TRUE(plug.SelectPreset(2));
    EXPECT_STREQ(plug.PresetName(2), "user preset 2");
    plug.Param(0)->SetClamped(7);
    EXPECT_TRUE(plug.SelectPreset(1));
    EXPECT_EQ(plug.Param(0)->Value(), 5.0);
    EXPECT_EQ(plug.CurrentPreset(), 1);
    EXPECT_FALSE(plug.SelectPreset(3));
    plug.CaptureCurrentPreset("Bright");
    EXPECT_STREQ(plug.PresetName(1), "Bright");
}

TEST(EffectBasePresets, DefaultSlotOnlyWithoutSlots) {
    TestPlug six;
    six.MakeDefaultSlotIfNone();
    EXPECT_STREQ(six.PresetName(0), "- 1 -");
    TestPlug none("1-1", 0);
    none.MakeDefaultSlotIfNone();
    EXPECT_EQ(none.NumPresets(), 1);
    EXPECT_STREQ(none.PresetName(0), "Default");
}

TEST(EffectBaseIdentity, VersionInDecimalDigits) {
    TestPlug plug;
    EXPECT_EQ(plug.GetPluginVersion(true), 10203);
    EXPECT_EQ(plug.GetPluginVersion(false), 0x00010203);
    EXPECT_EQ(plug.Effect()->version, 10203);
}

// Processing: the default block copies inputs to outputs; a host block larger
// than announced runs in slices of the announced size, every sample in its place,
// in all three process calls.
TEST(EffectBaseAudio, PassThroughAndOversizedBlock) {
    TestPlug plug;
    plug.Call(vst2::effSetBlockSize, 0, 64);
    constexpr int kFrames = 4096 + 17;
    std::vector<float> inL(kFrames), inR(kFrames), outL(kFrames, 9.0f), outR(kFrames, 9.0f);
    for (int i = 0; i < kFrames; ++i) {
        inL[i] = static_cast<float>(i);
        inR[i] = -0.25f * static_cast<float>(i);
    }
    float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};
    plug.Effect()->processReplacing(plug.Effect(), in, out, kFrames);
    EXPECT_EQ(outL, inL);
    EXPECT_EQ(outR, inR);
    plug.Effect()->process(plug.Effect(), in, out, kFrames);
    for (int i = 0; i < kFrames; ++i) ASSERT_EQ(outL[i], 2.0f * inL[i]) << i;

    std::vector<double> dInL(kFrames), dInR(kFrames, 0.5), dOutL(kFrames, 9.0), dOutR(kFrames, 9.0);
    for (int i = 0; i < kFrames; ++i) dInL[i] = i;
    double* dIn[] = {dInL.data(), dInR.data()};
    double* dOut[] = {dOutL.data(), dOutR.data()};
    plug.Effect()->processDoubleReplacing(plug.Effect(), dIn, dOut, kFrames);
    EXPECT_EQ(dOutL, dInL);
    EXPECT_EQ(dOutR, dInR);
    EXPECT_EQ(plug.BlockSize(), 64) << "nothing was grown for the long block";
}

// Each slice of a long block reads the transport where the slice starts, sample and musical
// position alike; a block of nearly INT_MAX frames runs its slices to the end.
TEST(EffectBaseAudio, SlicesReadTheTransportWhereTheyStart) {
    struct SliceLog : IVstEffect {
        SliceLog()
            : IVstEffect(&FakeHost, 0, "0-2", 1, "Slices", "", "Vendor", 1, 1, 2, 0, true, true, true,
                         AudioUse::MidiOnly) {}
        void ProcessBlock(double**, double**, int frames) override {
            double pos, tempo, ppq, bar, cycleStart, cycleEnd;
            int numerator, denominator;
            bool playing = false, cycle = false;
            GetTransportTime(&pos, &tempo, &ppq, &bar, &numerator, &denominator, &cycleStart, &cycleEnd, &playing,
                             &cycle);
            if (starts.size() < 4) starts.push_back({GetHostSamplePos(), pos, ppq});
            mFrames += frames;
        }
        struct Start {
            int sample;
            double pos, ppq;
        };
        std::vector<Start> starts;
        long long mFrames = 0;
    };
    vst2::VstTimeInfo time{};
    time.flags = vst2::kVstTempoValid | vst2::kVstPpqPosValid | vst2::kVstTransportPlaying;
    time.samplePos = 44100.0;
    time.sampleRate = 44100.0;
    time.tempo = 120.0;
    time.ppqPos = 2.0;
    sTime = &time;
    SliceLog plug;
    plug.Effect()->dispatcher(plug.Effect(), vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plug.Effect()->dispatcher(plug.Effect(), vst2::effSetBlockSize, 0, 22050, nullptr, 0.0f);
    plug.Effect()->processReplacing(plug.Effect(), nullptr, nullptr, 44100 + 3);
    ASSERT_EQ(plug.starts.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(plug.starts[i].sample, 44100 + 22050 * int(i)) << i;
        EXPECT_EQ(plug.starts[i].pos, 44100.0 + 22050.0 * double(i)) << i;
        EXPECT_DOUBLE_EQ(plug.starts[i].ppq, 2.0 + double(i)) << "half a second is one quarter at 120";
    }
    plug.mFrames = 0;
    plug.Effect()->dispatcher(plug.Effect(), vst2::effSetBlockSize, 0, 1 << 20, nullptr, 0.0f);
    plug.Effect()->processReplacing(plug.Effect(), nullptr, nullptr, INT_MAX);
    EXPECT_EQ(plug.mFrames, INT_MAX);
    sTime = nullptr;
}

// A block size whose buffers cannot be had keeps the old size and buffers: later blocks
// of the old size still run and write nothing past them.
TEST(EffectBaseAudio, BlockSizeThatCannotBeHadKeepsTheOldOne) {
    TestPlug plug;
    plug.Call(vst2::effSetBlockSize, 0, 64);
    plug.SetInputConnections(1, 1, false);  // the right input reads its scratch
    for (int frames : {INT_MAX / 8 + 1, INT_MAX / 2, INT_MAX}) {
        plug.SetMaxBlockSize(frames);
        EXPECT_EQ(plug.BlockSize(), 64) << frames;
    }
    std::vector<float> inL(64, 0.5f), outL(64, 9.0f), outR(64, 9.0f);
    float* in[] = {inL.data()};
    float* out[] = {outL.data(), outR.data()};
    plug.Effect()->processReplacing(plug.Effect(), in, out, 64);
    EXPECT_EQ(outL[63], 0.5f);
    EXPECT_EQ(outR[0], 0.0f);
    EXPECT_EQ(outR[63], 0.0f);
}

// An input that goes quiet (disconnected, or no buffer from the host) reads silence,
// not the samples it carried in an earlier block.
TEST(EffectBaseAudio, QuietInputReadsNoStaleSamples) {
    TestPlug plug;
    plug.Call(vst2::effSetBlockSize, 0, 64);
    std::vector<float> inL(64, 0.5f), inR(64, -0.75f), outL(64), outR(64);
    float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};
    plug.Effect()->processReplacing(plug.Effect(), in, out, 64);
    ASSERT_EQ(outR[10], -0.75f);

    plug.SetInputConnections(1, 1, false);
    plug.Effect()->processReplacing(plug.Effect(), in, out, 64);
    EXPECT_EQ(outL[10], 0.5f);
    EXPECT_EQ(outR, std::vector<float>(64, 0.0f)) << "disconnected";

    plug.SetInputConnections(1, 1, true);
    plug.Effect()->processReplacing(plug.Effect(), in, out, 64);
    std::vector<double> dOutL(64, 9.0), dOutR(64, 9.0);
    double* dOut[] = {dOutL.data(), dOutR.data()};
    plug.Effect()->processDoubleReplacing(plug.Effect(), nullptr, dOut, 64);
    EXPECT_EQ(dOutL, std::vector<double>(64, 0.0)) << "no input buffers from the host";
    EXPECT_EQ(dOutR, std::vector<double>(64, 0.0));
}

namespace {

// A plug-in that makes MIDI only and writes down the blocks it is given.
struct MidiOnlyPlug : IVstEffect {
    MidiOnlyPlug()
        : IVstEffect(&FakeHost, 1, "2-2", 1, "Midi", "", "Vendor", 0x10000, 1, 2, 0, true, true, true,
                     AudioUse::MidiOnly) {}
    void ProcessBlock(double** inputs, double** outputs, int frames) override {
        blocks.push_back(frames);
        buffersSeen = buffersSeen || inputs || outputs;
    }
    std::vector<int> blocks;
    bool buffersSeen = false;
};

}  // namespace

// A MIDI-only plug-in's outputs carry silence in every replacing call, over the whole
// of a block longer than announced; the accumulating call adds nothing; inputs and the
// buffers of disconnected outputs are never touched; the plug-in sees only slice lengths.
TEST(EffectBaseAudio, MidiOnlyOutputsCarrySilence) {
    MidiOnlyPlug plug;
    plug.Effect()->dispatcher(plug.Effect(), vst2::effSetBlockSize, 0, 64, nullptr, 0.0f);
    constexpr int kFrames = 150;
    std::vector<float> inL(kFrames, 0.5f), outL(kFrames, 9.0f), outR(kFrames, 9.0f);
    float* in[] = {inL.data(), nullptr};
    float* out[] = {outL.data(), outR.data()};
    plug.Effect()->process(plug.Effect(), in, out, kFrames);
    EXPECT_EQ(outL, std::vector<float>(kFrames, 9.0f)) << "accumulating adds nothing";
    plug.Effect()->processReplacing(plug.Effect(), in, out, kFrames);
    EXPECT_EQ(outL, std::vector<float>(kFrames, 0.0f));
    EXPECT_EQ(outR, std::vector<float>(kFrames, 0.0f));
    EXPECT_EQ(inL, std::vector<float>(kFrames, 0.5f));

    std::vector<double> dOutL(kFrames, 9.0), dOutR(kFrames, 9.0);
    double* dOut[] = {dOutL.data(), dOutR.data()};
    vst2::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    plug.Effect()->dispatcher(plug.Effect(), vst2::effSetSpeakerArrangement, 0, 0, &mono, 0.0f);
    plug.Effect()->processDoubleReplacing(plug.Effect(), nullptr, dOut, kFrames);
    EXPECT_EQ(dOutL, std::vector<double>(kFrames, 0.0));
    EXPECT_EQ(dOutR, std::vector<double>(kFrames, 9.0)) << "the host gave one output only";
    plug.Effect()->processReplacing(plug.Effect(), nullptr, nullptr, kFrames);

    EXPECT_EQ(plug.blocks, (std::vector<int>{64, 64, 22, 64, 64, 22, 64, 64, 22, 64, 64, 22}));
    EXPECT_FALSE(plug.buffersSeen);
}

namespace {

// An editor that writes down what the plug-in base asks of it.
class LogEditor : public IEffectEditor {
public:
    LogEditor(std::vector<std::string>* log, IEffectBase* plug, bool* deleted)
        : mLog(log), mPlug(plug), mDeleted(deleted) {}
    ~LogEditor() override { *mDeleted = true; }
    void PrepareDraw() override { mLog->push_back("prepare"); }
    void SetParameterFromPlug(int paramIdx, double value, bool normalized) override {
        // What the parameter held when the editor heard of the change.
        char text[96];
        std::snprintf(text, sizeof text, "%d=%g%s (was %g)", paramIdx, value, normalized ? "n" : "",
                      mPlug->Param(paramIdx)->Value());
        mLog->push_back(text);
    }
    void* OpenWindow(void* parent) override {
        mLog->push_back("open");
        return parent;
    }
    void CloseWindow() override { mLog->push_back("close"); }
    void Idle() override {
        // Another thread can take the lock at once unless the host's call holds it.
        IEffectBase* plug = mPlug;
        mLockProbe = std::async(std::launch::async, [plug] {
            plug->Lock().Enter();
            plug->Lock().Leave();
        });
        bool free = mLockProbe.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
        mLog->push_back(free ? "idle" : "idle, locked");
    }
    bool HostKey(IEditKey key, char character, bool down) override {
        char text[64];
        std::snprintf(text, sizeof text, "key %d '%c' %s", int(key), character ? character : ' ', down ? "down" : "up");
        mLog->push_back(text);
        return mTakesKeys;
    }
    int Width() const override { return 410; }
    bool mTakesKeys = false;
    std::future<void> mLockProbe;
    int Height() const override { return 680; }

private:
    std::vector<std::string>* mLog;
    IEffectBase* mPlug;
    bool* mDeleted;
};

struct EditorPlug : TestPlug {
    std::vector<std::string> log;
    void Attach(bool* deleted) { AttachEditorGraphics(new LogEditor(&log, this, deleted)); }
    LogEditor* Editor() { return static_cast<LogEditor*>(Graphics()); }
    void OnParameterChange(int index) override { log.push_back("apply " + std::to_string(index)); }
};

}  // namespace

// Without an editor the host is offered none; with one, its size and window.
TEST(EffectBaseEditor, HostSeesTheAttachedEditor) {
    bool deleted = false;  // outlives the plug-in, which sets it when it deletes its editor
    EditorPlug plug;
    vst2::ERect* rect = nullptr;
    int parent = 0;
    EXPECT_EQ(plug.Effect()->flags & vst2::effFlagsHasEditor, 0);
    EXPECT_EQ(plug.Effect()->dispatcher(plug.Effect(), vst2::effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(plug.Effect()->dispatcher(plug.Effect(), vst2::effEditOpen, 0, 0, &parent, 0.0f), 0);
    EXPECT_EQ(plug.Call(vst2::effEditClose), 0);

    plug.Attach(&deleted);
    EXPECT_EQ(plug.log, (std::vector<std::string>{"0=0n (was 1)", "1=0n (was 0)", "2=0.5n (was 0.5)", "3=0n (was 0)"}))
        << "every control sees its parameter; nothing is prepared before the editor is shown";
    EXPECT_NE(plug.Effect()->flags & vst2::effFlagsHasEditor, 0);
    ASSERT_EQ(plug.Effect()->dispatcher(plug.Effect(), vst2::effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->right, 410);
    EXPECT_EQ(rect->bottom, 680);
    plug.log.clear();
    EXPECT_EQ(plug.Effect()->dispatcher(plug.Effect(), vst2::effEditOpen, 0, 0, &parent, 0.0f), 1);
    EXPECT_EQ(plug.Effect()->dispatcher(plug.Effect(), vst2::effEditOpen, 0, 0, nullptr, 0.0f), 0)
        << "no window, no editor";
    EXPECT_EQ(plug.Call(vst2::effEditClose), 1);
    EXPECT_EQ(plug.log, (std::vector<std::string>{"prepare", "open", "open", "close"})) << "prepared once";
}

// A host change reaches the editor first, then the parameter, then the plug-in;
// restoring a program shows plain values; the plug-in deletes its editor.
TEST(EffectBaseEditor, ChangesReachTheEditor) {
    bool firstDeleted = false, secondDeleted = false;
    {
        EditorPlug plug;
        plug.Attach(&firstDeleted);
        plug.log.clear();
        plug.Effect()->setParameter(plug.Effect(), 2, 0.25f);
        plug.Effect()->setParameter(plug.Effect(), 4, 1.0f);  // no such parameter
        EXPECT_EQ(plug.log, (std::vector<std::string>{"2=0.25n (was 0.5)", "apply 2"}));

        plug.SelectPreset(0);
        plug.log.clear();
        plug.SelectPreset(0);
        EXPECT_EQ(plug.log.size(), 4 + 4u) << "every parameter applied, then shown";
        EXPECT_EQ(plug.log.back(), "3=0 (was 0)");

        plug.Attach(&secondDeleted);
        EXPECT_TRUE(firstDeleted) << "a second editor replaces the first";
        EXPECT_FALSE(secondDeleted);
    }
    EXPECT_TRUE(secondDeleted);
}

// The host's idle call reaches the editor without the lock; keys the host passes on
// reach it in its own terms, and are taken only when the editor says so.
TEST(EffectBaseEditor, IdleAndKeysReachTheEditor) {
    bool deleted = false;  // outlives the plug-in, which sets it when it deletes its editor
    EditorPlug plug;
    EXPECT_EQ(plug.Call(vst2::effEditKeyDown, 'a', 0), 0) << "no editor, no key";
    plug.Attach(&deleted);
    plug.log.clear();
    plug.Call(vst2::effEditIdle);
    plug.Call(vst2::effIdle);
    EXPECT_EQ(plug.log, (std::vector<std::string>{"idle"}));

    plug.log.clear();
    EXPECT_EQ(plug.Call(vst2::effEditKeyDown, '7', 0), 0) << "the editor does not want the keyboard";
    plug.Editor()->mTakesKeys = true;
    EXPECT_EQ(plug.Call(vst2::effEditKeyDown, 0, vst2::VKEY_NUMPAD0 + 3), 1);
    EXPECT_EQ(plug.Call(vst2::effEditKeyDown, 0, vst2::VKEY_SUBTRACT), 1);
    EXPECT_EQ(plug.Call(vst2::effEditKeyDown, 0, vst2::VKEY_RETURN), 1);
    EXPECT_EQ(plug.Call(vst2::effEditKeyUp, 0, vst2::VKEY_ESCAPE), 1);
    EXPECT_EQ(plug.Call(vst2::effEditKeyDown, 0, vst2::VKEY_BACK), 1);
    EXPECT_EQ(plug.Call(vst2::effEditKeyDown, 1, 0), 0) << "a control character alone is no key";
    EXPECT_EQ(plug.log, (std::vector<std::string>{"key 1 '7' down", "key 1 '3' down", "key 1 '-' down",
                                                  "key 4 ' ' down", "key 5 ' ' up", "key 2 ' ' down"}));
}
