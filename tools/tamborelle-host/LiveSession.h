// tamborelle-host live: the plug-in played as a JACK client until Ctrl-C. On Linux it
// runs on JACK; the Windows build says it cannot. Prints what went wrong in one line and
// returns the program's exit status.
#pragma once

#include "tools/tamborelle-host/HostOptions.h"

int RunLive(const HostOptions& options);
