#include "tools/vsthost/PluginStartup.h"

bool StartPlugin(VstModule& module, VstHost& host, const std::string& path, double sampleRate, int blockSize,
                 std::string& error) {
    // A bare file name would send the loader searching the library path
    // instead of the current directory.
    const bool bare = path.find_first_of("/\\") == std::string::npos;
    if (!module.Load(bare ? "./" + path : path)) {
        error = "cannot load module: " + module.Error();
        return false;
    }
    // Hosts report their rate from the start, even to an effect being created.
    host.mTime.sampleRate = sampleRate;
    if (!host.Instantiate(module.Entry())) {
        error = "the module's entry returned no effect: " + path;
        return false;
    }
    host.Start(sampleRate, blockSize);
    return true;
}
