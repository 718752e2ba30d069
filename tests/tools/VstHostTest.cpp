// The host toolkit's own duties on a stand-in plug-in: starting and stopping in a
// DAW's order, and event lists that read right on the plug-in's side.
#include <gtest/gtest.h>

#include "tests/tools/FakeEffect.h"
#include "tools/vsthost/PluginStartup.h"
#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstHost.h"

// Opening follows a DAW's order, and closing switches the effect off first.
TEST(VstHost, StartsAndStopsInDawOrder) {
    ResetFakeEffect({});
    VstModule module;
    VstHost host;
    std::string error;
    EXPECT_FALSE(StartPlugin(module, host, "/nonexistent/Plugin.so", 44100, 512, error));
    EXPECT_NE(error.find("cannot load"), std::string::npos);
    ASSERT_TRUE(host.Instantiate(FakeEntry));
    host.Start(48000.0, 256);
    EXPECT_EQ(host.mTime.sampleRate, 48000.0);  // the transport reports the same rate
    host.Stop();
    EXPECT_TRUE(TheFakeEffect().mClosed);
    EXPECT_EQ(TheFakeEffect().mCalls,
              (std::vector<std::string>{"open", "rate 48000", "block 256", "mains 1", "mains 0", "close"}));
    host.Stop();  // nothing left to stop
    EXPECT_EQ(TheFakeEffect().mCalls.size(), 6u);
}

// What the plug-in reads: every event in order with the fields the format fixes,
// a full list refusing more instead of writing past its end, and a cleared list
// starting over.
TEST(VstEventList, ReadsAsVstEventsAndKeepsItsBounds) {
    ResetFakeEffect({});
    VstHost host;
    ASSERT_TRUE(host.Instantiate(FakeEntry));
    VstEventList list;
    const uint8_t dump[] = {0xF0, 0x7E, 0x7F, 0xF7};
    ASSERT_TRUE(list.AddMidi(10, 0x91, 60, 100));
    ASSERT_TRUE(list.AddSysex(20, dump, 4));
    ASSERT_TRUE(list.AddMidi(30, 0xE0, 0x00, 0x40));
    EXPECT_EQ(host.ProcessEvents(list), 1);

    const FakeEffect& fake = TheFakeEffect();
    EXPECT_EQ(fake.mEventsThisBlock, 3);
    ASSERT_EQ(fake.mPending.size(), 2u);  // the MIDI ones
    const vst2::VstMidiEvent& on = fake.mPending[0];
    EXPECT_EQ(on.byteSize, 32);
    EXPECT_EQ(on.deltaFrames, 10);
    EXPECT_EQ(on.flags, 0);
    EXPECT_EQ(uint8_t(on.midiData[0]), 0x91);
    EXPECT_EQ(on.midiData[1], 60);
    EXPECT_EQ(on.midiData[2], 100);
    EXPECT_EQ(on.midiData[3], 0);
    EXPECT_EQ(fake.mPending[1].deltaFrames, 30);
    const auto* sysex = reinterpret_cast<const vst2::VstMidiSysexEvent*>(list.Events()->events[1]);
    EXPECT_EQ(sysex->type, vst2::kVstSysExType);
    EXPECT_EQ(sysex->deltaFrames, 20);
    EXPECT_EQ(sysex->dumpBytes, 4);
    EXPECT_EQ(static_cast<const void*>(sysex->sysexDump), static_cast<const void*>(dump));

    list.Clear();
    EXPECT_EQ(list.Events()->numEvents, 0);
    while (list.AddMidi(0, 0xB0, 1, 2)) {}
    EXPECT_EQ(list.Count(), VstEventList::kCapacity);
    EXPECT_TRUE(list.Full());
    EXPECT_FALSE(list.AddSysex(0, dump, 4));
    EXPECT_EQ(list.Count(), VstEventList::kCapacity);
}
