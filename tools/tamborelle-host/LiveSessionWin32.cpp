#include <iostream>

#include "tools/tamborelle-host/LiveSession.h"

int RunLive(const HostOptions&) {
    std::cerr << "tamborelle-host: live needs JACK, which the Windows build does not include\n";
    return 1;
}
