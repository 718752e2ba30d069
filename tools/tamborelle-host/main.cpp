// tamborelle-host: a command-line VST 2.4 host that lists a module's identity
// and parameters, or renders a MIDI file through it into another MIDI file.
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "tools/midi/MidiFileReader.h"
#include "tools/midi/MidiFileWriter.h"
#include "tools/tamborelle-host/HostOptions.h"
#include "tools/tamborelle-host/InfoReport.h"
#include "tools/tamborelle-host/RenderHost.h"
#include "tools/vsthost/ParameterResolver.h"
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

    VstModule module;
    RenderHost host;
    if (!StartPlugin(module, host, options.mModule, options.mSampleRate, options.mBlockSize, error))
        return Fail(kExitFailure, error);

    ParameterResolver resolver(host);
    std::vector<std::pair<int, float>> parameters;
    for (const ParamSetting& setting : options.mSettings) {
        std::string note;
        int index = -1;
        float normalized = 0.0f;
        const bool found = resolver.Resolve(setting, index, normalized, error, note);
        if (!note.empty()) std::cerr << "tamborelle-host: note: " << note << "\n";
        if (!found) {
            if (index < 0) error += " (tamborelle-host info MODULE lists them)";
            host.Stop();
            return Fail(kExitUsage, error);
        }
        parameters.emplace_back(index, normalized);
    }

    RenderSettings settings;
    settings.mSampleRate = options.mSampleRate;
    settings.mBlockSize = options.mBlockSize;
    settings.mTempo = options.mTempo;
    MidiFile output;
    RenderReport report;
    const bool rendered = host.Render(input, settings, parameters, output, report, error);
    // What the plug-in itself shows for the values given, as a check.
    std::vector<std::string> applied;
    for (const auto& p : parameters) {
        std::string index = std::to_string(p.first), name = host.ParamName(p.first);
        index.insert(0, index.size() < 3 ? 3 - index.size() : 0, ' ');
        name.append(name.size() < 12 ? 12 - name.size() : 0, ' ');
        applied.push_back("set " + index + " " + name + " " + host.ParamDisplay(p.first) + "\n");
    }
    host.Stop();
    if (!rendered) return Fail(kExitFailure, error);
    if (!WriteMidiFileToPath(output, options.mOutput, error)) return Fail(kExitFailure, error);

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
    }
    return kExitUsage;
}
