// The AEffect record and the dispatcher's answers: identity, capabilities,
// pins, speaker arrangements and the small queries hosts make.
#include <cstdint>
#include <cstring>
#include <string>

#include "tests/src/PluginFixture.h"

namespace {

using DispatcherTest = PluginTest;

// --- The AEffect record ----------------------------------------------------------

// The record carries the plug-in's identity, counts and processing functions.
TEST_F(DispatcherTest, EffectRecord) {
    const vst2::AEffect* e = p.Effect();
    EXPECT_EQ(e->magic, vst2::kEffectMagic);
    EXPECT_EQ(e->uniqueID, 0x67784C6D);
    EXPECT_EQ(e->version, 10000);
    EXPECT_EQ(e->numPrograms, 6);
    EXPECT_EQ(e->numParams, 42);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_NE(e->setParameter, nullptr);
    EXPECT_NE(e->getParameter, nullptr);
}

// Editor, replacing, double replacing, program chunks, can-mono and synth.
TEST_F(DispatcherTest, Flags) { EXPECT_EQ(p.Effect()->flags, 0x1139); }

// The editor's size is known before any window exists: 410 wide, 680 high.
TEST_F(DispatcherTest, EditorRect) {
    vst2::ERect* rect = nullptr;
    EXPECT_EQ(p.Dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 680);
    EXPECT_EQ(rect->right, 410);
    EXPECT_EQ(p.Dispatch(vst2::effEditGetRect, 0, 0, nullptr), 0);
}

// --- Identity and capabilities -------------------------------------------------------

// VST version, identify code and category.
TEST_F(DispatcherTest, VersionIdentifyCategory) {
    EXPECT_EQ(p.Dispatch(vst2::effGetVstVersion), 2400);
    EXPECT_EQ(p.Dispatch(vst2::effIdentify), 0x4E764566);
    EXPECT_EQ(p.Dispatch(vst2::effGetPlugCategory), vst2::kPlugCategSynth);
}

// Effect, vendor and (empty) product texts.
TEST_F(DispatcherTest, Texts) {
    char text[256];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(p.Dispatch(vst2::effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Tamborelle");
    EXPECT_EQ(p.Dispatch(vst2::effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Brisklaine");
    EXPECT_EQ(p.Dispatch(vst2::effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(p.Dispatch(vst2::effGetEffectName, 0, 0, nullptr), 0);
}

// canDo answers the MIDI and time-info capabilities, whole and case-sensitive, and nothing else.
TEST_F(DispatcherTest, CanDo) {
    for (const char* yes :
         {"receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
        EXPECT_EQ(p.Dispatch(vst2::effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
    for (const char* no :
         {"", "bypass", "offline", "ReceiveVstEvents", "sendVstEvent", "receiveVstMidiEvents", "midiProgramNames"})
        EXPECT_EQ(p.Dispatch(vst2::effCanDo, 0, 0, const_cast<char*>(no)), 0) << no;
    EXPECT_EQ(p.Dispatch(vst2::effCanDo, 0, 0, nullptr), 0);
}

// Every parameter index can be automated.
TEST_F(DispatcherTest, CanBeAutomated) {
    for (int index : {0, 1, 41, 42, 1000}) EXPECT_EQ(p.Dispatch(vst2::effCanBeAutomated, index), 1) << index;
}

// Opcodes the plug-in does not handle answer 0.
TEST_F(DispatcherTest, UnhandledOpcodesAnswerZero) {
    for (int opcode :
         {int{vst2::effProcessVarIo}, int{vst2::effSetBypass}, int{vst2::effGetTailSize}, 70, 71, 72, 75, 80})
        EXPECT_EQ(p.Dispatch(opcode), 0) << opcode;
}

// --- Vendor-specific display and key names -------------------------------------------

// Vendor call 7 formats a normalized value of a parameter into the buffer and answers 0xBEEF.
TEST_F(DispatcherTest, VendorSpecificFormatsValue) {
    char text[64] = {};
    EXPECT_EQ(p.Dispatch(vst2::effVendorSpecific, 7, Par::MainChan, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "16");
    EXPECT_EQ(p.Dispatch(vst2::effVendorSpecific, 7, Par::MnDelay, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "1/8");
    EXPECT_EQ(p.Display(Par::MainChan), "1") << "formatting does not change the value";
}

// Vendor call 7 shows the value as it is, truncated, not rounded to a step.
TEST_F(DispatcherTest, VendorSpecificTruncates) {
    char text[64] = {};
    p.Dispatch(vst2::effVendorSpecific, 7, Par::MnDelay, text, 4.9f / 16.0f);
    EXPECT_STREQ(text, "1/4d");
    p.Dispatch(vst2::effVendorSpecific, 7, Par::MainChan, text, 0.5f);
    EXPECT_STREQ(text, "8");
    p.Dispatch(vst2::effVendorSpecific, 7, Par::ParVel, text, 0.49f);
    EXPECT_STREQ(text, "0");
}

// Vendor call 7 with a bad parameter leaves the buffer; other indices and a null buffer answer 0.
TEST_F(DispatcherTest, VendorSpecificRefusals) {
    char text[64] = "unchanged";
    EXPECT_EQ(p.Dispatch(vst2::effVendorSpecific, 7, 99, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "unchanged");
    EXPECT_EQ(p.Dispatch(vst2::effVendorSpecific, 7, -1, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "unchanged");
    EXPECT_EQ(p.Dispatch(vst2::effVendorSpecific, 7, Par::MainChan, nullptr, 0.5f), 0);
    EXPECT_EQ(p.Dispatch(vst2::effVendorSpecific, 6, Par::MainChan, text, 0.5f), 0);
}

// No key has a name: the answer is 0 and the name is empty.
TEST_F(DispatcherTest, MidiKeyName) {
    vst2::MidiKeyName key{};
    key.thisKeyNumber = 60;
    std::memset(key.keyName, 'x', sizeof key.keyName);
    EXPECT_EQ(p.Dispatch(vst2::effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_EQ(key.keyName[0], 0);
    EXPECT_EQ(p.Dispatch(vst2::effGetMidiKeyName, 0, 0, nullptr), 0);
}

// --- Pins and speakers -------------------------------------------------------------

// Two inputs and two outputs: pin 0 is a stereo pair's first, pin 1 a single pin, pin 2 none.
TEST_F(DispatcherTest, Pins) {
    struct Kind {
        int opcode;
        const char* prefix;
    };
    for (const Kind& k : {Kind{vst2::effGetInputProperties, "Input"}, Kind{vst2::effGetOutputProperties, "Output"}}) {
        vst2::VstPinProperties pin{};
        EXPECT_EQ(p.Dispatch(k.opcode, 0, 0, &pin), 1);
        EXPECT_EQ(pin.flags, 3);
        EXPECT_EQ(std::string(pin.label), std::string(k.prefix) + " 1");
        pin = vst2::VstPinProperties{};
        EXPECT_EQ(p.Dispatch(k.opcode, 1, 0, &pin), 1);
        EXPECT_EQ(pin.flags, 1);
        EXPECT_EQ(std::string(pin.label), std::string(k.prefix) + " 2");
        vst2::VstPinProperties untouched;
        std::memset(&untouched, 0x5A, sizeof untouched);
        vst2::VstPinProperties probe = untouched;
        EXPECT_EQ(p.Dispatch(k.opcode, 2, 0, &probe), 0);
        EXPECT_EQ(std::memcmp(&probe, &untouched, sizeof probe), 0);
        EXPECT_EQ(p.Dispatch(k.opcode, -1, 0, &probe), 0);
        EXPECT_EQ(p.Dispatch(k.opcode, 0, 0, nullptr), 0);
    }
}

// The speaker arrangements are stereo in and out.
TEST_F(DispatcherTest, SpeakerArrangement) {
    vst2::VstSpeakerArrangement* in = nullptr;
    vst2::VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(p.Dispatch(vst2::effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(in->type, vst2::kSpeakerArrStereo);
    EXPECT_EQ(out->numChannels, 2);
    EXPECT_EQ(out->type, vst2::kSpeakerArrStereo);
    EXPECT_EQ(p.Dispatch(vst2::effGetSpeakerArrangement), 1);
}

// The host's arrangement is accepted, and processing goes on with one channel each way.
TEST_F(DispatcherTest, SetSpeakerArrangement) {
    vst2::VstSpeakerArrangement mono{};
    mono.type = vst2::kSpeakerArrMono;
    mono.numChannels = 1;
    EXPECT_EQ(p.Dispatch(vst2::effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &mono), 1);
    EXPECT_EQ(p.Dispatch(vst2::effSetSpeakerArrangement), 1);
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Describe(p.Roll(128)), "on 60 c0 v100 @0");
}

// Channel counts far beyond the plug-in's, or below zero, connect what exists and go on.
TEST_F(DispatcherTest, SetSpeakerArrangementWithExtremeCounts) {
    for (int32_t count : {INT32_MAX, INT32_MAX - 1, INT32_MIN, -1}) {
        vst2::VstSpeakerArrangement odd{};
        odd.type = vst2::kSpeakerArrUserDefined;
        odd.numChannels = count;
        EXPECT_EQ(p.Dispatch(vst2::effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&odd), &odd), 1) << count;
    }
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Describe(p.Roll(128)), "on 60 c0 v100 @0");
}

// --- Processing calls ------------------------------------------------------------------

// Every block asks for MIDI and for the time; all three process calls run the engine.
// The host's outputs get silence from the replacing calls and are left as they are by
// the accumulating one; its inputs are never written.
TEST_F(DispatcherTest, ProcessCallsRunTheEngine) {
    p.StartPlayback();
    const int wantMidi = p.Host().mWantMidiCalls;
    const int getTime = p.Host().mGetTimeCalls;
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    EXPECT_EQ(p.Host().mWantMidiCalls, wantMidi + 1);
    EXPECT_GE(p.Host().mGetTimeCalls, getTime + 1);

    static float in[2][64], out[2][64];
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    p.Host().mBlockPos = static_cast<int64_t>(p.Position());
    p.NoteOn(0, 61, 100);
    p.SendEvents();
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 64; ++i) in[c][i] = out[c][i] = 0.25f;
    p.Effect()->process(p.Effect(), ins, outs, 64);
    p.Host().mTime.samplePos += 64;
    EXPECT_EQ(Brief(NoteOns(p.Host().mLog)), "on 61 c0 v100");
    EXPECT_EQ(out[1][63], 0.25f);
    p.Effect()->processReplacing(p.Effect(), ins, outs, 64);
    p.Host().mTime.samplePos += 64;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 64; ++i) ASSERT_EQ(out[c][i], 0.0f) << c << " " << i;
    EXPECT_EQ(in[1][63], 0.25f);
    p.Host().mLog.clear();

    static double din[2][64], dout[2][64];
    double* dins[2] = {din[0], din[1]};
    double* douts[2] = {dout[0], dout[1]};
    p.NoteOn(0, 62, 100);
    p.SendEvents();
    dout[0][5] = dout[1][63] = 0.5;
    p.Effect()->processDoubleReplacing(p.Effect(), dins, douts, 64);
    EXPECT_EQ(Brief(NoteOns(p.Host().mLog)), "on 62 c0 v100");
    EXPECT_EQ(dout[0][5], 0.0);
    EXPECT_EQ(dout[1][63], 0.0);
}

// Mains off and on, sample rate and block size changes keep the instance working.
TEST_F(DispatcherTest, HostSetupCalls) {
    EXPECT_EQ(p.Dispatch(vst2::effMainsChanged, 0, 0), 0);
    EXPECT_EQ(p.Dispatch(vst2::effSetBlockSize, 0, 2048), 0);
    EXPECT_EQ(p.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 96000.0f), 0);
    EXPECT_EQ(p.Dispatch(vst2::effMainsChanged, 0, 1), 0);
    p.StartPlayback(2048);
    p.NoteOn(2000, 60, 100);
    EXPECT_EQ(Describe(p.Roll(2048)), "on 60 c0 v100 @2000");
}

}  // namespace
