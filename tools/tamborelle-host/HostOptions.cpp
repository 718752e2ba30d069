#include "tools/tamborelle-host/HostOptions.h"

#include "tools/vsthost/NumberText.h"

#include <cmath>
#include <cstdlib>

namespace {

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

}  // namespace

std::string HostUsage() {
    return "usage:\n"
           "  tamborelle-host info MODULE\n"
           "  tamborelle-host render MODULE IN.mid OUT.mid [--set NAME=VALUE]... [--rate HZ]\n"
           "                         [--block FRAMES] [--tempo BPM]\n"
           "  tamborelle-host --help\n"
           "\n"
           "info     loads a VST 2.4 module as a DAW does and prints its identity, canDo\n"
           "         answers, parameters (index, name, display text) and programs.\n"
           "render   plays a Standard MIDI File (format 0 or 1) through the plug-in with a\n"
           "         running transport and writes everything it sends as a MIDI file.\n"
           "\n"
           "options of render:\n"
           "  --set NAME=VALUE  set a parameter before playing (repeatable, applied in order).\n"
           "                    NAME is the name the plug-in reports or the parameter index;\n"
           "                    when several parameters share a name the first is taken, so\n"
           "                    give the index for the others (Tamborelle names both 5 and 8\n"
           "                    \"ParMute\": use 8=7 for a parallel fifth).\n"
           "                    VALUE is a display text (\"on\", \"1/8\", \"ZigZag\") or a plain\n"
           "                    number: the displayed number, or for a list the entry's\n"
           "                    position counted from 0.\n"
           "  --rate HZ         sample rate, default 44100\n"
           "  --block FRAMES    block size, default 512\n"
           "  --tempo BPM       play at this fixed tempo instead of the file's tempo map\n"
           "                    (default: the file's tempo, or 120 without one)\n"
           "\n"
           "exit status: 0 on success, 1 when the module or a file fails, 2 on a bad command line\n"
           "or an unknown parameter or value.\n";
}

bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error) {
    options = HostOptions{};
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.mCommand = HostOptions::Command::Help;
            return true;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positional.push_back(arg);
            continue;
        }
        // Both "--opt value" and "--opt=value".
        std::string value;
        bool hasValue = false;
        const size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        if (arg != "--set" && arg != "--rate" && arg != "--block" && arg != "--tempo")
            return Fail(error, "unknown option " + arg);
        if (!hasValue) {
            if (i + 1 >= args.size()) return Fail(error, arg + " needs a value");
            value = args[++i];
        }
        if (arg == "--set") {
            ParamSetting setting;
            if (!ParseParamSetting(value, setting, error)) return false;
            options.mSettings.push_back(setting);
            continue;
        }
        double number = 0.0;
        if (!ParseNumber(value, number)) return Fail(error, arg + " takes a number, not \"" + value + "\"");
        if (arg == "--rate") {
            if (number < 8000.0 || number > 768000.0) return Fail(error, "--rate must lie in 8000..768000");
            options.mSampleRate = number;
        } else if (arg == "--block") {
            if (number != std::floor(number) || number < 1 || number > 16384)
                return Fail(error, "--block must be a whole number in 1..16384");
            options.mBlockSize = int(number);
        } else {
            if (number < 1.0 || number > 1000.0) return Fail(error, "--tempo must lie in 1..1000");
            options.mTempo = number;
        }
    }
    if (positional.empty()) return Fail(error, "no command given");
    const std::string& command = positional[0];
    if (command == "info") {
        if (positional.size() != 2) return Fail(error, "info takes exactly one MODULE");
        for (const std::string& a : args)
            if (a.compare(0, 2, "--") == 0) return Fail(error, "info takes no options");
        options.mCommand = HostOptions::Command::Info;
        options.mModule = positional[1];
        return true;
    }
    if (command == "render") {
        if (positional.size() != 4) return Fail(error, "render takes MODULE IN.mid OUT.mid");
        options.mCommand = HostOptions::Command::Render;
        options.mModule = positional[1];
        options.mInput = positional[2];
        options.mOutput = positional[3];
        return true;
    }
    return Fail(error, "unknown command \"" + command + "\"");
}
