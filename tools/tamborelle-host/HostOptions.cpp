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
           "                         [--block FRAMES] [--tempo BPM] [--events] [--picture ROLL.png]\n"
           "  tamborelle-host live MODULE [--set NAME=VALUE]... [--tempo BPM] [--from PORT]...\n"
           "                       [--to PORT]... [--name CLIENT] [--server NAME]\n"
           "  tamborelle-host --help\n"
           "\n"
           "info     loads a VST 2.4 module as a DAW does and prints its identity, canDo\n"
           "         answers, parameters (index, name, display text) and programs.\n"
           "render   plays a Standard MIDI File (format 0 or 1) through the plug-in with a\n"
           "         running transport and writes everything it sends as a MIDI file.\n"
           "live     plays the plug-in as a JACK client with one MIDI input and one MIDI\n"
           "         output port, until Ctrl-C; every sounding note is ended before it leaves.\n"
           "\n"
           "options of render and live:\n"
           "  --set NAME=VALUE  set a parameter before playing (repeatable, applied in order).\n"
           "                    NAME is the name the plug-in reports or the parameter index;\n"
           "                    when several parameters share a name the first is taken, so\n"
           "                    give the index for the others (Tamborelle names both 5 and 8\n"
           "                    \"ParMute\": use 8=7 for a parallel fifth).\n"
           "                    VALUE is a display text (\"on\", \"1/8\", \"ZigZag\") or a plain\n"
           "                    number: the displayed number, or for a list the entry's\n"
           "                    position counted from 0.\n"
           "  --tempo BPM       render: play at this fixed tempo instead of the file's tempo map\n"
           "                    (default: the file's tempo, or 120 without one). live: the tempo\n"
           "                    of the host's own clock, which runs while JACK's transport is not\n"
           "                    rolling (default: the transport's tempo when it has one, or 120).\n"
           "options of render:\n"
           "  --rate HZ         sample rate, default 44100\n"
           "  --block FRAMES    block size, default 512\n"
           "  --events          print every note that came out: position in bar:beat:tick and\n"
           "                    in samples, channel, note, velocity and length\n"
           "  --picture PNG     draw a piano roll of the input and of every output channel\n"
           "options of live (rate and block size are JACK's):\n"
           "  --from PORT       connect this JACK MIDI port to the input (repeatable)\n"
           "  --to PORT         connect the output to this JACK MIDI port (repeatable)\n"
           "  --name CLIENT     the JACK client's name, default tamborelle\n"
           "  --server NAME     the JACK server to use, default JACK's own choice\n"
           "\n"
           "exit status: 0 on success, 1 when the module, a file or JACK fails, 2 on a bad\n"
           "command line or an unknown parameter, value or port.\n";
}

bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error) {
    options = HostOptions{};
    std::vector<std::string> positional;
    std::vector<std::string> given;  // the options used, to check them against the command
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
        given.push_back(arg);
        if (arg == "--events") {
            if (hasValue) return Fail(error, "--events takes no value");
            options.mEvents = true;
            continue;
        }
        static const char* const valued[] = {"--set",  "--rate", "--block", "--tempo", "--picture",
                                             "--from", "--to",   "--name",  "--server"};
        bool known = false;
        for (const char* name : valued) known = known || arg == name;
        if (!known) return Fail(error, "unknown option " + arg);
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
        if (arg == "--picture" || arg == "--from" || arg == "--to" || arg == "--name" || arg == "--server") {
            if (value.empty()) return Fail(error, arg + " needs a value");
            if (arg == "--picture") options.mPicture = value;
            if (arg == "--from") options.mFrom.push_back(value);
            if (arg == "--to") options.mTo.push_back(value);
            if (arg == "--name") options.mClientName = value;
            if (arg == "--server") options.mServer = value;
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
    // The options each command takes; any other is a mistake, not something to ignore.
    auto onlyThese = [&](const std::string& name, std::vector<std::string> allowed) {
        for (const std::string& g : given) {
            bool ok = false;
            for (const std::string& a : allowed) ok = ok || g == a;
            if (!ok) return Fail(error, name + " does not take " + g);
        }
        return true;
    };
    if (command == "info") {
        if (positional.size() != 2) return Fail(error, "info takes exactly one MODULE");
        if (!given.empty()) return Fail(error, "info takes no options");
        options.mCommand = HostOptions::Command::Info;
        options.mModule = positional[1];
        return true;
    }
    if (command == "render") {
        if (positional.size() != 4) return Fail(error, "render takes MODULE IN.mid OUT.mid");
        if (!onlyThese("render", {"--set", "--rate", "--block", "--tempo", "--events", "--picture"})) return false;
        options.mCommand = HostOptions::Command::Render;
        options.mModule = positional[1];
        options.mInput = positional[2];
        options.mOutput = positional[3];
        return true;
    }
    if (command == "live") {
        if (positional.size() != 2) return Fail(error, "live takes exactly one MODULE");
        for (const std::string& g : given)
            if (g == "--rate" || g == "--block") return Fail(error, "live takes its rate and block size from JACK");
        if (!onlyThese("live", {"--set", "--tempo", "--from", "--to", "--name", "--server"})) return false;
        options.mCommand = HostOptions::Command::Live;
        options.mModule = positional[1];
        return true;
    }
    return Fail(error, "unknown command \"" + command + "\"");
}
