// What a host waits for the first time it creates the plug-in in a new process: the
// module is loaded, then its entry is timed (instantiation with whatever the module
// does only once per process). Prints the nanoseconds on one line; the benchmark
// starts this program once per measurement, as the time cannot be had twice in
// one process. Usage: tamborelle_first_entry MODULE
#include <chrono>
#include <cstdio>

#include "framework/Vst2Abi.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MODULE\n", argv[0]);
        return 2;
    }
    VstModule module;
    if (!module.Load(argv[1])) {
        std::fprintf(stderr, "%s\n", module.Error().c_str());
        return 1;
    }
    VstHost host;
    const auto start = std::chrono::steady_clock::now();
    const bool made = host.Instantiate(module.Entry());
    const auto end = std::chrono::steady_clock::now();
    if (!made) return 1;
    host.Close();
    std::printf("%lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()));
    return 0;
}
