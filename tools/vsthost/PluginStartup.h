// Brings a plug-in up and down the way a DAW does: load the module, create the
// effect through its entry, effOpen, sample rate, block size, switch it on.
#pragma once

#include <string>

#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

bool StartPlugin(VstModule& module, VstHost& host, const std::string& path, double sampleRate, int blockSize,
                 std::string& error);
// Switches the effect off and closes it; the module may be unloaded afterwards.
void StopPlugin(VstHost& host);
