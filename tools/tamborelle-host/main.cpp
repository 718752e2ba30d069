// tamborelle-host: a command-line VST 2.4 host that lists a module's identity
// and parameters, renders a MIDI file through it into another MIDI file (with a
// table and a piano roll of what came out), or plays it live on JACK.
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "tools/midi/MidiFileReader.h"
#include "tools/midi/MidiFileWriter.h"
#include "tools/tamborelle-host/ChannelVoices.h"
#include "tools/tamborelle-host/EventTable.h"
#include "tools/tamborelle-host/HostOptions.h"
#include "tools/tamborelle-host/HostSettings.h"
#include "tools/tamborelle-host/InfoReport.h"
#include "tools/tamborelle-host/LiveSession.h"
#include "tools/tamborelle-host/RenderHost.h"
#include "tools/tamborelle-host/RollPicture.h"
#include "tools/vsthost/PluginStartup.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Fail(int code, const std::string& message) {
    std::cerr << "tamborelle-host: " << message << "\n";
    return code;
}

int RunInfo(const HostOptions& options) {
    VstModule module;
    VstHost host;
    std::string error;
    if (!StartPlugin(module, host, options.mModule, options.mSampleRate, options.mBlockSize, error))
        return Fail(kExitFailure, error);
    std::cout << "module:        " << options.mModule << "\n";
    PrintInfo(host, std::cout);
    host.Stop();
    return 0;
}

int RunRender(const HostOptions& options) {
    MidiFile input;
    std::string error;
    if (!ReadMidiFileFromPath(options.mInput, input, error)) return Fail(kExitUsage, error);
    if (input.mFormat == 2) return Fail(kExitUsage, options.mInput + ": format 2 files are not supported");
    if (options.mEvents || !options.mPicture.empty()) {
        bool notes = false;
        for (const MidiTrack& track : input.mTracks)
            for (const MidiEvent& e : track.mEvents) notes = notes || e.IsNoteOn();
        if (!notes) return Fail(kExitUsage, options.mInput + " holds no notes to play, so there is nothing to show");
    }

    VstModule module;
    RenderHost host;
    if (!StartPlugin(module, host, options.mModule, options.mSampleRate, options.mBlockSize, error))
        return Fail(kExitFailure, error);

    std::vector<std::pair<int, float>> parameters;
    if (!ResolveSettings(host, options.mSettings, parameters, error, std::cerr)) {
        host.Stop();
        return Fail(kExitUsage, error);
    }

    RenderSettings settings;
    settings.mSampleRate = options.mSampleRate;
    settings.mBlockSize = options.mBlockSize;
    settings.mTempo = options.mTempo;
    MidiFile output;
    RenderReport report;
    const bool rendered = host.Render(input, settings, parameters, output, report, error);
    // What the plug-in itself shows for the values given, as a check.
    const std::vector<std::string> applied = DescribeSettings(host, parameters);
    // The legend's voices and the title, as the plug-in shows them after playing.
    const ChannelVoices voices = ReadChannelVoices(host);
    char tempo[32];
    std::snprintf(tempo, sizeof tempo, "%g", report.mBpm);
    const size_t slash = options.mInput.find_last_of("/\\");
    const std::string title = (slash == std::string::npos ? options.mInput : options.mInput.substr(slash + 1)) +
                              " through " + host.Text(vst2::effGetEffectName) + ", " + tempo + " BPM, " +
                              std::to_string(report.mNumerator) + "/" + std::to_string(report.mDenominator);
    host.Stop();
    if (!rendered) return Fail(kExitFailure, error);
    if (!WriteMidiFileToPath(output, options.mOutput, error)) return Fail(kExitFailure, error);
    if (!options.mPicture.empty() && !WriteRollPicture(report, voices, title, options.mPicture, error))
        return Fail(kExitFailure, error);

    char line[160];
    std::snprintf(line, sizeof line, "rendered %.2f s at %g Hz in blocks of %d, %g BPM\n", report.mSeconds,
                  options.mSampleRate, options.mBlockSize, report.mBpm);
    std::cout << line;
    for (const std::string& a : applied) std::cout << a;
    std::cout << "notes in:  " << report.mNotesIn << "\n";
    std::cout << "notes out: " << report.mOut.TotalNotes() << "\n";
    for (int channel = 0; channel < 16; ++channel)
        if (report.mOut.mNotes[channel] || report.mOut.mNoteOffs[channel])
            std::cout << "  channel " << channel + 1 << ": " << report.mOut.mNotes[channel] << " notes\n";
    if (report.mOut.mOthers) std::cout << "other messages out: " << report.mOut.mOthers << "\n";
    if (report.mOut.mHanging) std::cout << "warning: " << report.mOut.mHanging << " notes never ended\n";
    if (report.mIgnored) std::cout << "warning: " << report.mIgnored << " malformed events from the plug-in ignored\n";
    if (!options.mPicture.empty()) std::cout << "piano roll: " << options.mPicture << "\n";
    if (options.mEvents) {
        if (report.mOutputNotes.empty())
            return Fail(kExitFailure, "no notes came out of the plug-in, so there are no events to list");
        TableMeter meter;
        meter.mNumerator = report.mNumerator;
        meter.mDenominator = report.mDenominator;
        std::cout << "\n";
        PrintEventTable(report.mOutputNotes, meter, std::cout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    HostOptions options;
    std::string error;
    if (!ParseHostOptions(args, options, error)) {
        std::cerr << "tamborelle-host: " << error << "\n\n" << HostUsage();
        return kExitUsage;
    }
    switch (options.mCommand) {
    case HostOptions::Command::Help: std::cout << HostUsage(); return 0;
    case HostOptions::Command::Info: return RunInfo(options);
    case HostOptions::Command::Render: return RunRender(options);
    case HostOptions::Command::Live: return RunLive(options);
    }
    return kExitUsage;
}
