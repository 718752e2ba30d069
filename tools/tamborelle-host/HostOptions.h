// The command line of tamborelle-host: which command, which files, and the
// render settings. Parsing reports every mistake as a message, never exits.
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/ParameterResolver.h"

struct HostOptions {
    enum class Command { Help, Info, Render };
    Command mCommand = Command::Help;
    std::string mModule;
    std::string mInput;
    std::string mOutput;
    std::vector<ParamSetting> mSettings;
    double mSampleRate = 44100.0;
    int mBlockSize = 512;
    double mTempo = 0.0;  // 0: the file's tempo map, or 120 without one
};

// args excludes the program name. False with error set on a bad command line.
bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error);
std::string HostUsage();
