// Brings a plug-in up from its file the way a DAW does: load the module, create
// the effect through its entry, then start it (VstHost::Start). VstHost::Stop
// takes it down again.
#pragma once

#include <string>

#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

// False with error set when the module does not load or its entry makes no effect.
bool StartPlugin(VstModule& module, VstHost& host, const std::string& path, double sampleRate, int blockSize,
                 std::string& error);
