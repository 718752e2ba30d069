// The engine's MIDI flow: the note's road, the transport, pass-through and
// control change 123, all seen from the host's side.
#include "tests/src/PluginFixture.h"

namespace {

using ProcessorTest = PluginTest;

// --- The note's road -------------------------------------------------------

// A note-on reaches the host in the block it arrived in, at its own offset, as one VST MIDI event.
TEST_F(ProcessorTest, NoteOnIsSentAtItsOffset) {
    p.StartPlayback();
    p.NoteOn(100, 60, 100);
    SentLog log = p.Roll(kBlock);
    ASSERT_EQ(Describe(log), "on 60 c0 v100 @100");
    EXPECT_EQ(log[0].byteSize, 32);
    EXPECT_EQ(log[0].flags, 0);
    EXPECT_EQ(log[0].bytes[3], 0);
    EXPECT_EQ(p.Host().mMaxEventsPerCall, 1) << "every message is its own host call";
}

// The note-off of the trigger ends the note, in the block of the note-off, with velocity 0.
TEST_F(ProcessorTest, NoteOffEndsTheNoteInItsBlock) {
    p.StartPlayback();
    p.NoteOn(100, 60, 100);
    p.Roll(kBlock);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "");
    const int64_t offBlock = static_cast<int64_t>(p.Position());
    p.NoteOff(50, 60, 0, 64);
    SentLog log = p.RollBlocks(3, kBlock);
    ASSERT_EQ(Brief(log), "off 60 c0");
    EXPECT_GE(log[0].At(), offBlock);
    EXPECT_LE(log[0].At(), offBlock + kBlock);
}

// A note-on and its note-off in one block give the note-on first, then the note-off.
TEST_F(ProcessorTest, NoteOnAndOffInOneBlockKeepTheirOrder) {
    p.StartPlayback();
    p.NoteOn(100, 60, 100);
    p.NoteOff(300, 60);
    SentLog log = p.RollBlocks(2, kBlock);
    ASSERT_EQ(Brief(log), "on 60 c0 v100, off 60 c0");
    EXPECT_LE(log[0].At(), log[1].At());
}

// --- Transport ---------------------------------------------------------------

// Notes delivered with the first playing block are dropped; those of the next block sound.
TEST_F(ProcessorTest, FirstAdvancingBlockDropsItsNotes) {
    p.SetTransport(0.0, 120.0, true);
    p.NoteOn(10, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "");
    p.NoteOn(10, 61, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 61 c0 v100 @10");
}

// Whatever position playback starts at, the first block drops its notes and the next one
// plays them, pre-roll positions that round to -1 or -2 included.
TEST_F(ProcessorTest, FirstAdvancingBlockAtAnyPosition) {
    for (double start : {-1.5, -2.5, -1.0e6, 3.0e9}) {
        PluginHarness h;
        ASSERT_TRUE(h.Create()) << h.Error();
        h.Open(44100.0f, kBlock);
        h.SetTransport(start, 120.0, true);
        h.NoteOn(10, 60, 100);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "") << "start " << start;
        h.NoteOn(10, 61, 100);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "on 61 c0 v100 @10") << "start " << start;
    }
}

// A count-in running from negative positions into 0 is continuous: nothing sounding is cut
// and the first block of bar 1 plays its notes. Looping back into the count-in is a jump.
TEST_F(ProcessorTest, CountInRunsIntoBarOne) {
    for (double fraction : {0.0, 0.3, 0.5, 0.7}) {
        PluginHarness h;
        ASSERT_TRUE(h.Create()) << h.Error();
        h.Open(44100.0f, kBlock);
        const std::string which = "count-in from " + std::to_string(-3 * kBlock - fraction);
        h.SetTransport(-3 * kBlock - fraction, 120.0, true);
        h.Roll(kBlock);
        h.NoteOn(100, 60, 100);
        EXPECT_EQ(Describe(h.RollBlocks(2, kBlock)), "on 60 c0 v100 @100") << which;
        h.NoteOn(20, 62, 100);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "on 62 c0 v100 @20") << which << ": the block at 0";
        EXPECT_EQ(Describe(h.Roll(kBlock)), "") << which;
        h.SetTransport(-2 * kBlock - fraction, 120.0, true);
        h.NoteOn(5, 64, 100);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "off 60 c0 @0, off 62 c0 @0") << which << ": the loop back";
        h.SetTransport(-5.0e5 - fraction, 120.0, true);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "") << which;
        h.NoteOn(5, 65, 100);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "on 65 c0 v100 @5") << which;
        h.SetTransport(-7.0e5 - fraction, 120.0, true);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "off 65 c0 @0") << which << ": a seek further back";
    }
}

// Playback carries on straight across 2^31 samples (13.5 hours at 44.1 kHz), and at 2^34.
TEST_F(ProcessorTest, LongSessionsKeepPlaying) {
    for (double start : {2147483648.0 - 3 * kBlock, 17179869184.0}) {
        p.SetTransport(start, 120.0, true);
        p.Roll(kBlock);
        for (int i = 0; i < 6; ++i) {
            p.NoteOn(10, 60 + i, 100);
            p.NoteOff(200, 60 + i);
            const std::string note = std::to_string(60 + i);
            EXPECT_EQ(Describe(p.Roll(kBlock)), "on " + note + " c0 v100 @10, off " + note + " c0 @200")
                << "block at " << p.Position() - kBlock;
        }
    }
}

// While stopped a note-on produces nothing, then or after playback resumes.
TEST_F(ProcessorTest, NoteOnWhileStoppedIsDropped) {
    p.SetTransport(0.0, 120.0, false);
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "");
    p.SetPlaying(true);
    EXPECT_EQ(Describe(p.RollBlocks(4, kBlock)), "");
}

// Stopping ends every sounding note at offset 0, ascending by note, then by channel; once.
TEST_F(ProcessorTest, StopFlushesByNoteThenChannel) {
    p.SetParam(Par::ParChan, Norm::Chan(2));
    p.StartPlayback();
    p.NoteOn(10, 62, 90);
    p.NoteOn(20, 60, 90);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 62 c0 v90 @10, on 62 c1 v90 @10, on 60 c0 v90 @20, on 60 c1 v90 @20");
    p.SetPlaying(false);
    EXPECT_EQ(Describe(p.RunBlock(kBlock)), "off 60 c0 @0, off 60 c1 @0, off 62 c0 @0, off 62 c1 @0");
    EXPECT_EQ(Describe(p.RunBlock(kBlock)), "");
}

// Notes that already ended get no second note-off when the transport stops.
TEST_F(ProcessorTest, StopAfterNotesEndedSendsNothing) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.NoteOff(200, 60);
    ASSERT_EQ(Brief(p.RollBlocks(2, kBlock)), "on 60 c0 v100, off 60 c0");
    p.SetPlaying(false);
    EXPECT_EQ(Describe(p.RunBlock(kBlock)), "");
}

// However many notes came and went before, a stop ends exactly those still sounding.
TEST_F(ProcessorTest, StopEndsWhatStillSoundsAfterManyNotes) {
    p.StartPlayback();
    for (int note = 40; note < 80; ++note) {
        p.NoteOn(0, note, 100);
        if (note == 65) continue;
        p.NoteOff(300, note);
        p.NoteOff(400, note);  // a second release finds nothing left to end
        p.Roll(kBlock);
    }
    p.SetPlaying(false);
    EXPECT_EQ(Describe(p.RunBlock(kBlock)), "off 65 c0 @0");
}

// A playing transport whose position does not move counts as stopped.
TEST_F(ProcessorTest, PositionStandingStillFlushes) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    const double at = p.Position();
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0");
    p.SetTransport(at, 120.0, true);
    EXPECT_EQ(Describe(p.RunBlock(kBlock)), "off 60 c0 @0");
}

// Resuming exactly where playback stopped is continuous: that block's notes sound.
TEST_F(ProcessorTest, ResumingWhereStoppedIsContinuous) {
    p.StartPlayback();
    p.Roll(kBlock);
    const double stoppedAt = p.Position();
    p.SetPlaying(false);
    p.RunBlock(kBlock);
    p.RunBlock(kBlock);
    p.SetTransport(stoppedAt, 120.0, true);
    p.NoteOn(30, 60, 100);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @30");
}

// A jump ends sounding notes at offset 0 grouped by channel, and drops pending and new notes.
TEST_F(ProcessorTest, JumpSilencesByChannelAndDropsPending) {
    p.SetParam(Par::ParChan, Norm::Chan(2));
    p.SetParam(Par::V1Chan, Norm::Chan(3));
    p.SetParam(Par::V1Delay, Norm::Division(Div::Quarter));
    p.SetParam(Par::V2Mute, 1.0f);
    p.StartPlayback();
    p.NoteOn(0, 62, 90);
    p.NoteOn(0, 60, 90);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 62 c0 v90 @0, on 62 c1 v90 @0, on 60 c0 v90 @0, on 60 c1 v90 @0");
    p.SetTransport(100000.0, 120.0, true);
    p.NoteOn(5, 70, 90);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 60 c0 @0, off 62 c0 @0, off 60 c1 @0, off 62 c1 @0");
    // The delayed v1 notes were due 22050 samples after the trigger.
    EXPECT_EQ(DescribeAbs(NoteOns(p.RollBlocks(60, kBlock))), "");
}

// Two note-ons of one pitch sounding on one channel (a delayed voice on the main voice's
// channel and interval) get two note-offs from a stop, a jump or control change 123, so a
// synth that stacks voices keeps none sounding; a released pair gets none.
TEST_F(ProcessorTest, StackedNotesGetANoteOffEach) {
    for (int ending = 0; ending < 4; ++ending) {
        PluginHarness h;
        ASSERT_TRUE(h.Create()) << h.Error();
        h.Open(44100.0f, kBlock);
        h.SetParam(Par::ParMute, 1.0f);
        h.SetParam(Par::V2Mute, 1.0f);
        h.SetParam(Par::V1Delay, Norm::Division(Div::ThirtySecondTriplet));  // 918 samples, same channel and pitch
        h.StartPlayback();
        h.NoteOn(0, 60, 100);
        ASSERT_EQ(Describe(h.RollBlocks(2, kBlock)), "on 60 c0 v100 @0, on 60 c0 v100 @406");
        const std::string which = "ending " + std::to_string(ending);
        switch (ending) {
        case 0:
            h.SetPlaying(false);
            EXPECT_EQ(Describe(h.RunBlock(kBlock)), "off 60 c0 @0, off 60 c0 @0") << which;
            break;
        case 1:
            h.SetTransport(100000.0, 120.0, true);
            EXPECT_EQ(Describe(h.Roll(kBlock)), "off 60 c0 @0, off 60 c0 @0") << which;
            break;
        case 2:
            h.ControlChange(30, 123, 0, 0);
            EXPECT_EQ(Describe(h.Roll(kBlock)), "off 60 c0 @30, off 60 c0 @30") << which;
            break;
        case 3:
            h.NoteOff(0, 60);
            EXPECT_EQ(Describe(h.RollBlocks(2, kBlock)), "off 60 c0 @0, off 60 c0 @406") << which;
            break;
        }
        h.SetPlaying(false);
        EXPECT_EQ(Describe(h.RunBlock(kBlock)), "") << which << ": every note already ended";
    }
}

// A host without time information makes every block a stopped one: no note ever leaves.
TEST_F(ProcessorTest, HostWithoutTimeInfoNeverSendsNotes) {
    p.Host().mHasTime = false;
    SentLog log;
    for (int i = 0; i < 4; ++i) {
        p.NoteOn(0, 60 + i, 100);
        SentLog block = p.Roll(kBlock);
        log.insert(log.end(), block.begin(), block.end());
    }
    EXPECT_EQ(Describe(log), "");
}

// An event due exactly at the block's end leaves at offset 0 of the next block, the same
// absolute time: hosts drop offsets past the block.
TEST_F(ProcessorTest, EventDueAtBlockEndLeavesAtZeroOfTheNext) {
    Solo(1);
    p.SetParam(Par::MnDelay, Norm::Division(Div::Quarter));  // 22050 samples at 120 bpm
    p.StartPlayback();
    const int64_t triggerBlock = static_cast<int64_t>(p.Position());
    p.NoteOn(478, 60, 100);  // due at 22528 = 44 blocks of 512
    EXPECT_EQ(Describe(p.RollBlocks(44, kBlock)), "");
    SentLog log = p.Roll(kBlock);
    ASSERT_EQ(Describe(log), "on 60 c0 v100 @0");
    EXPECT_EQ(log[0].At(), triggerBlock + 478 + 22050);
}

// A note-off due at a block's end that a stop or a jump overtakes still ends its note, once.
TEST_F(ProcessorTest, NoteOffDueAtBlockEndSurvivesStopAndJump) {
    for (int ending = 0; ending < 3; ++ending) {
        PluginHarness h;
        ASSERT_TRUE(h.Create()) << h.Error();
        h.Open(44100.0f, kBlock);
        h.SetParam(Par::ParMute, 1.0f);
        h.SetParam(Par::V1Mute, 1.0f);
        h.SetParam(Par::V2Mute, 1.0f);
        h.SetParam(Par::MnDelay, Norm::Division(Div::ThirtySecondTriplet));  // 918 samples
        h.StartPlayback();
        h.NoteOn(0, 60, 100);
        ASSERT_EQ(Describe(h.RollBlocks(2, kBlock)), "on 60 c0 v100 @406");
        h.NoteOff(106, 60);  // released 918 samples later: exactly at the end of the next block
        EXPECT_EQ(Describe(h.RollBlocks(2, kBlock)), "") << "ending " << ending;
        if (ending == 1) h.SetPlaying(false);
        if (ending == 2) h.SetTransport(100000.0, 120.0, true);
        EXPECT_EQ(Describe(h.Roll(kBlock)), "off 60 c0 @0") << "ending " << ending;
        EXPECT_EQ(Describe(h.RollBlocks(2, kBlock)), "") << "ending " << ending;
    }
}

// --- Pass-through --------------------------------------------------------------

// Pitch bend, program change and pressure pass at once with their offsets, ahead of the notes.
TEST_F(ProcessorTest, ChannelMessagesPassAheadOfNotes) {
    p.StartPlayback();
    p.NoteOn(100, 60, 100);
    p.PitchBend(300, 0x2005, 3);
    p.ProgramChange(200, 7, 2);
    p.Raw(250, 0xD1, 40, 0);
    p.Raw(260, 0xA4, 60, 30);
    p.SendEvents();
    EXPECT_EQ(Describe(p.Host().mLog), "midi E3 05 40 @300, midi C2 07 00 @200, midi D1 28 00 @250, midi A4 3C 1E @260")
        << "passed during effProcessEvents";
    p.Host().mLog.clear();
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @100");
}

// A passed-through message whose offset lies past the block leaves at the block's last offset.
TEST_F(ProcessorTest, PassedMessagePastTheBlockLeavesInsideIt) {
    p.StartPlayback();
    p.PitchBend(kBlock, 0x2000);
    p.ProgramChange(100000, 3);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "midi E0 00 40 @511, midi C0 03 00 @511");
}

// Pass-through does not depend on the transport.
TEST_F(ProcessorTest, PassThroughWhileStopped) {
    p.SetTransport(0.0, 120.0, false);
    p.PitchBend(17, 0x1234, 0);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "midi E0 34 24 @17");
}

// System messages delivered as MIDI events pass unchanged too.
TEST_F(ProcessorTest, SystemMessagesPass) {
    p.StartPlayback();
    p.Raw(12, 0xF8, 0, 0);
    p.Raw(13, 0xF2, 0x10, 0x20);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "midi F8 00 00 @12, midi F2 10 20 @13");
}

// Control changes are consumed: none is passed on and none changes the sounding notes.
TEST_F(ProcessorTest, ControlChangesAreConsumed) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    p.ControlChange(10, 7, 100);
    p.ControlChange(20, 64, 127);
    p.ControlChange(30, 120, 0);
    p.ControlChange(40, 121, 0);
    p.ControlChange(50, 123, 0, 5);
    EXPECT_EQ(Describe(p.RollBlocks(2, kBlock)), "");
}

// SysEx goes back to the host unchanged, during the same call.
TEST_F(ProcessorTest, SysExIsHandedBackUnchanged) {
    char dump[] = {static_cast<char>(0xF0), 0x7D, 0x01, static_cast<char>(0xF7)};
    p.SysEx(42, dump, 4);
    p.SendEvents();
    ASSERT_EQ(p.Host().mLog.size(), 1u);
    const Sent& s = p.Host().mLog[0];
    EXPECT_EQ(s.kind, Sent::SysEx);
    EXPECT_EQ(s.sysexData, static_cast<const void*>(dump));
    EXPECT_EQ(s.sysexSize, 4);
    EXPECT_EQ(s.delta, 42);
}

// Input on any channel is processed; the output channels come from the voices only.
TEST_F(ProcessorTest, InputChannelDoesNotSelectOutput) {
    Solo(1);
    p.SetParam(Par::MainChan, Norm::Chan(9));
    p.StartPlayback();
    p.NoteOn(0, 60, 100, 13);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "on 60 c8 v100 @0");
}

// --- Control change 123 --------------------------------------------------------

// CC 123 on channel c ends c's sounding notes at its offset and cancels c's pending events only.
TEST_F(ProcessorTest, AllNotesOffSilencesOnlyItsChannel) {
    p.SetParam(Par::ParChan, Norm::Chan(2));
    p.SetParam(Par::ParInt, Norm::Interval(7));
    p.SetParam(Par::V1Chan, Norm::Chan(2));
    p.SetParam(Par::V1Delay, Norm::Division(Div::Quarter));
    p.SetParam(Par::V2Chan, Norm::Chan(3));
    p.SetParam(Par::V2Delay, Norm::Division(Div::Quarter));
    p.StartPlayback();
    const int64_t trigger = static_cast<int64_t>(p.Position());
    p.NoteOn(0, 60, 100);
    ASSERT_EQ(Describe(p.Roll(kBlock)), "on 60 c0 v100 @0, on 67 c1 v100 @0");
    p.ControlChange(200, 123, 0, 1);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "off 67 c1 @200");
    EXPECT_EQ(DescribeAbs(p.RollBlocks(50, kBlock)), "on 60 c2 v100 @@" + std::to_string(trigger + 22050))
        << "v1's pending note on channel 1 is cancelled, v2's on channel 2 stays";
}

// CC 123 on a channel with nothing sounding sends nothing.
TEST_F(ProcessorTest, AllNotesOffOnQuietChannelSendsNothing) {
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    p.Roll(kBlock);
    p.ControlChange(0, 123, 0, 4);
    EXPECT_EQ(Describe(p.Roll(kBlock)), "");
}

}  // namespace
