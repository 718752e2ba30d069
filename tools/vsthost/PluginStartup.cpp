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
    host.mTime.sampleRate = sampleRate;
    if (!host.Instantiate(module.Entry())) {
        error = "the module's entry returned no effect: " + path;
        return false;
    }
    host.Dispatch(vst2::effOpen);
    host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, float(sampleRate));
    host.Dispatch(vst2::effSetBlockSize, 0, blockSize);
    host.Dispatch(vst2::effMainsChanged, 0, 1);
    return true;
}

void StopPlugin(VstHost& host) {
    if (!host.Effect()) return;
    host.Dispatch(vst2::effMainsChanged, 0, 0);
    host.Close();
}
