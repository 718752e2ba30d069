// The info command's report: identity, capabilities, parameters and programs
// of an opened effect, as a DAW's plug-in manager would show them.
#pragma once

#include <ostream>

#include "tools/vsthost/VstHost.h"

void PrintInfo(VstHost& host, std::ostream& out);
