// tamborelle-host against the real module: info lists what a DAW would see,
// render turns a small file into the voices the parameters ask for, and shows
// them as a table and a picture.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tools/midi/MidiFileReader.h"
#include "tools/midi/MidiFileWriter.h"

namespace {

struct HostRun {
    int mStatus;
    std::string mOutput;  // stdout and stderr together
};

HostRun Host(const std::string& args, const std::string& directory = ".") {
    const std::string command =
        "cd '" + directory + "' && '" + std::string(TAMBORELLE_HOST_PATH) + "' " + args + " 2>&1";
    HostRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.mOutput.append(buffer, n);
    const int status = pclose(pipe);
    run.mStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Module() { return std::string("'") + TAMBORELLE_MODULE_PATH + "'"; }
std::string Temp(const std::string& name) { return ::testing::TempDir() + "tamborelle_e2e_" + name; }

// Two bars: a C major triad, then E, F# (outside C major) and G, one beat each.
std::string WriteInput(const std::string& name, uint32_t microsPerQuarter = 500000) {
    MidiFile file;
    file.mFormat = 1;
    file.mDivision = 480;
    file.mTracks.resize(2);
    file.mTracks[0].mEvents = {MidiEvent::Tempo(0, microsPerQuarter)};
    auto& e = file.mTracks[1].mEvents;
    for (uint8_t note : {60, 64, 67}) e.push_back(MidiEvent::Channel3(0, 0x90, note, 100));
    for (uint8_t note : {60, 64, 67}) e.push_back(MidiEvent::Channel3(900, 0x90, note, 0));
    const uint8_t melody[] = {64, 66, 67};
    for (int i = 0; i < 3; ++i) {
        e.push_back(MidiEvent::Channel3(uint64_t(960 + 480 * i), 0x90, melody[i], 90));
        e.push_back(MidiEvent::Channel3(uint64_t(960 + 480 * i + 400), 0x80, melody[i], 0));
    }
    const std::string path = Temp(name);
    std::string error;
    EXPECT_TRUE(WriteMidiFileToPath(file, path, error)) << error;
    return path;
}

// (tick, channel 1..16, note) of every note-on in the file.
using Note = std::tuple<uint64_t, int, int>;
std::vector<Note> NotesOf(const std::string& path) {
    MidiFile file;
    std::string error;
    EXPECT_TRUE(ReadMidiFileFromPath(path, file, error)) << error;
    std::vector<Note> notes;
    for (const MidiTrack& t : file.mTracks)
        for (const MidiEvent& e : t.mEvents)
            if (e.IsNoteOn()) notes.emplace_back(e.mTick, e.Channel() + 1, e.mData[0]);
    std::sort(notes.begin(), notes.end());
    return notes;
}

std::vector<Note> OnChannel(const std::vector<Note>& notes, int channel) {
    std::vector<Note> out;
    for (const Note& n : notes)
        if (std::get<1>(n) == channel) out.push_back(n);
    return out;
}

}  // namespace

TEST(HostEndToEnd, InfoShowsIdentityParametersAndPrograms) {
    const HostRun run = Host("info " + Module());
    ASSERT_EQ(run.mStatus, 0) << run.mOutput;
    for (const char* text :
         {"Tamborelle", "Brisklaine", "'gxLm'", "Synth", "IsSynth", "parameters:    42", "receiveVstTimeInfo    yes",
          "sendVstMidiEvent      yes", "    8  ParMute      0", "   37  v2Delay      --off--", "   40  Tonic        C"})
        EXPECT_NE(run.mOutput.find(text), std::string::npos) << text << "\n" << run.mOutput;
}

// A module named without a directory is the one in the current directory, not
// something on the loader's search path.
TEST(HostEndToEnd, InfoTakesABareFileName) {
    const std::string module = TAMBORELLE_MODULE_PATH;
    const size_t slash = module.rfind('/');
    ASSERT_NE(slash, std::string::npos);
    const HostRun run = Host("info '" + module.substr(slash + 1) + "'", module.substr(0, slash));
    EXPECT_EQ(run.mStatus, 0) << run.mOutput;
}

// With every voice at its defaults the voices coincide and only the played
// notes come out, at their own times: the pre-roll keeps the first chord.
TEST(HostEndToEnd, DefaultsPlayTheInputBack) {
    const std::string in = WriteInput("plain.mid"), out = Temp("plain_out.mid");
    const HostRun run = Host("render " + Module() + " " + in + " " + out);
    ASSERT_EQ(run.mStatus, 0) << run.mOutput;
    EXPECT_NE(run.mOutput.find("notes in:  6"), std::string::npos) << run.mOutput;
    std::vector<Note> expected;
    for (const Note& n : NotesOf(in)) expected.emplace_back(std::get<0>(n) * 2, 1, std::get<2>(n));
    EXPECT_EQ(NotesOf(out), expected);
    EXPECT_EQ(run.mOutput.find("never ended"), std::string::npos) << run.mOutput;
}

// A parallel fifth on channel 2, a rotating voice an eighth late on channel 3,
// and C major snapping that moves F# to G.
TEST(HostEndToEnd, VoicesDelaysAndSnapping) {
    const std::string in = WriteInput("voices.mid"), out = Temp("voices_out.mid");
    const HostRun run = Host("render " + Module() + " " + in + " " + out +
                             " --set ParChan=2 --set 8=7 --set v1Mute=on --set v2Chan=3 --set v2Int1=12"
                             " --set v2Int2=12 --set v2Int3=12 --set v2Int4=12 --set v2Delay=1/8 --set Snap=on"
                             " --set Scale=Major --set Tonic=C");
    ASSERT_EQ(run.mStatus, 0) << run.mOutput;
    const std::vector<Note> notes = NotesOf(out);
    const std::vector<Note> main = {{0, 1, 60}, {0, 1, 64}, {0, 1, 67}, {1920, 1, 64}, {2880, 1, 67}, {3840, 1, 67}};
    const std::vector<Note> fifth = {{0, 2, 67}, {0, 2, 71}, {0, 2, 74}, {1920, 2, 71}, {2880, 2, 74}, {3840, 2, 74}};
    const std::vector<Note> octave = {{480, 3, 72},  {480, 3, 76},  {480, 3, 79},
                                      {2400, 3, 76}, {3360, 3, 79}, {4320, 3, 79}};
    EXPECT_EQ(OnChannel(notes, 1), main);
    EXPECT_EQ(OnChannel(notes, 2), fifth);
    EXPECT_EQ(OnChannel(notes, 3), octave);
    EXPECT_EQ(notes.size(), 18u);
}

// Delays are tempo-synced: at 90 BPM a quarter-note delay is still one beat,
// because the parameters reach the plug-in after it has seen the tempo.
TEST(HostEndToEnd, DelaysFollowTheFileTempo) {
    const std::string in = WriteInput("slow.mid", 666667), out = Temp("slow_out.mid");
    const HostRun run = Host("render " + Module() + " " + in + " " + out +
                             " --set MainMute=on --set v1Delay=1/4 --set v2Mute=on --set ParMute=on");
    ASSERT_EQ(run.mStatus, 0) << run.mOutput;
    EXPECT_NE(run.mOutput.find("note: \"ParMute\" names parameters 5 8"), std::string::npos) << run.mOutput;
    const std::vector<Note> notes = NotesOf(out);
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_NEAR(double(std::get<0>(notes[0])), 960.0, 1.0);
    EXPECT_NEAR(double(std::get<0>(notes[3])), 1920.0 + 960.0, 1.0);
}

// --events lists every note that came out where a musician counts it, and --picture
// writes the piano roll beside the MIDI file.
TEST(HostEndToEnd, EventsAndPictureShowWhatCameOut) {
    const std::string in = WriteInput("shown.mid"), out = Temp("shown_out.mid"), roll = Temp("shown_roll.png");
    std::remove(roll.c_str());
    const HostRun run = Host("render " + Module() + " " + in + " " + out + " --set ParChan=2 --set 8=7 --events" +
                             " --picture " + roll);
    ASSERT_EQ(run.mStatus, 0) << run.mOutput;
    for (const char* line : {"piano roll: ", "bar:beat:tick     sample",
                             "      1:1:000          0   1  C4    60  100            1:840     41344\n",
                             "      1:1:000          0   2  G4    67  100            1:840     41344\n",
                             "      1:3:000      44100   1  E4    64   90            0:800     18375\n",
                             "      2:1:000      88200   2  D5    74   90            0:800     18375\n"})
        EXPECT_NE(run.mOutput.find(line), std::string::npos) << line << "\n" << run.mOutput;
    FILE* file = std::fopen(roll.c_str(), "rb");
    ASSERT_NE(file, nullptr) << roll;
    unsigned char head[8] = {};
    EXPECT_EQ(std::fread(head, 1, 8, file), 8u);
    std::fclose(file);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 1), 3), "PNG");
}

// What cannot be shown is said in one line: a picture that cannot be written, a file
// with nothing to play, a render where every voice is silent.
TEST(HostEndToEnd, ShowingNothingFailsClearly) {
    const std::string in = WriteInput("unshown.mid"), out = Temp("unshown_out.mid");
    HostRun run = Host("render " + Module() + " " + in + " " + out + " --picture /nonexistent/dir/roll.png");
    EXPECT_EQ(run.mStatus, 1);
    EXPECT_EQ(run.mOutput, "tamborelle-host: cannot write /nonexistent/dir/roll.png: No such file or directory\n");
    run = Host("render " + Module() + " " + in + " " + out +
               " --set MainMute=on --set ParMute=on --set v1Mute=on --set v2Mute=on --events");
    EXPECT_EQ(run.mStatus, 1);
    EXPECT_NE(run.mOutput.find("tamborelle-host: no notes came out of the plug-in"), std::string::npos) << run.mOutput;
    MidiFile empty;
    empty.mTracks.resize(1);
    empty.mTracks[0].mEvents = {MidiEvent::Tempo(0, 500000)};
    const std::string silent = Temp("silent.mid");
    std::string error;
    ASSERT_TRUE(WriteMidiFileToPath(empty, silent, error)) << error;
    run = Host("render " + Module() + " " + silent + " " + out + " --events");
    EXPECT_EQ(run.mStatus, 2);
    EXPECT_EQ(run.mOutput, "tamborelle-host: " + silent + " holds no notes to play, so there is nothing to show\n");
}

TEST(HostEndToEnd, MistakesGiveClearFailures) {
    const std::string in = WriteInput("errors.mid"), out = Temp("errors_out.mid");
    HostRun run = Host("render " + Module() + " " + in + " " + out + " --set NoSuchParam=1");
    EXPECT_EQ(run.mStatus, 2);
    EXPECT_NE(run.mOutput.find("unknown parameter \"NoSuchParam\""), std::string::npos) << run.mOutput;
    run = Host("render " + Module() + " " + in + " " + out + " --set v1algo=Sideways");
    EXPECT_EQ(run.mStatus, 2);
    EXPECT_NE(run.mOutput.find("\"ZigZag\""), std::string::npos) << run.mOutput;
    run = Host("render " + Module() + " /nonexistent/in.mid " + out);
    EXPECT_EQ(run.mStatus, 2);
    EXPECT_NE(run.mOutput.find("cannot open"), std::string::npos) << run.mOutput;
    run = Host("render /nonexistent/Plugin.so " + in + " " + out);
    EXPECT_EQ(run.mStatus, 1);
    EXPECT_NE(run.mOutput.find("cannot load module"), std::string::npos) << run.mOutput;
    run = Host("render " + Module() + " " + in + " /nonexistent/dir/out.mid");
    EXPECT_EQ(run.mStatus, 1);
    EXPECT_NE(run.mOutput.find("cannot create"), std::string::npos) << run.mOutput;
}
