// The command line of tamborelle-host: which command, which files, the render
// settings and the live session's ports. Parsing reports every mistake as a
// message, never exits.
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/ParameterResolver.h"

struct HostOptions {
    enum class Command { Help, Info, Render, Live };
    Command mCommand = Command::Help;
    std::string mModule;
    std::string mInput;
    std::string mOutput;
    std::vector<ParamSetting> mSettings;
    double mSampleRate = 44100.0;
    int mBlockSize = 512;
    double mTempo = 0.0;   // 0: the file's tempo map (render) or JACK's (live), else 120
    bool mEvents = false;  // render: print the notes that came out as a table
    std::string mPicture;  // render: draw a piano roll into this PNG file
    // live: the JACK client's name and server, and the ports to connect.
    std::string mClientName = "tamborelle";
    std::string mServer;             // empty: JACK's default
    std::vector<std::string> mFrom;  // each feeds the client's MIDI input
    std::vector<std::string> mTo;    // each receives the client's MIDI output
};

// args excludes the program name. False with error set on a bad command line.
bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error);
std::string HostUsage();
