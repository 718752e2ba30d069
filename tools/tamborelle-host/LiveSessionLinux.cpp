#include <signal.h>
#include <time.h>

#include <iostream>
#include <string>

#include "tools/tamborelle-host/HostSettings.h"
#include "tools/tamborelle-host/JackMidiClient.h"
#include "tools/tamborelle-host/LiveHost.h"
#include "tools/tamborelle-host/LiveSession.h"
#include "tools/vsthost/PluginStartup.h"
#include "tools/vsthost/VstModule.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

volatile sig_atomic_t gStopSignal = 0;

void OnStopSignal(int signal) { gStopSignal = signal; }

int Fail(int code, const std::string& message) {
    std::cerr << "tamborelle-host: " << message << "\n";
    return code;
}

void Sleep(long milliseconds) {
    timespec t{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

int RunLive(const HostOptions& options) {
    std::string error;
    JackMidiClient jack;
    if (!jack.Open(options.mClientName, options.mServer, error)) return Fail(kExitFailure, error);
    for (const std::string& port : options.mFrom)
        if (!jack.CheckPort(port, true, error)) return Fail(kExitUsage, error);
    for (const std::string& port : options.mTo)
        if (!jack.CheckPort(port, false, error)) return Fail(kExitUsage, error);

    VstModule module;
    LiveHost host;
    host.mProductString = "tamborelle-host live";
    if (!StartPlugin(module, host, options.mModule, jack.SampleRate(), jack.BufferSize(), error))
        return Fail(kExitFailure, error);
    std::vector<std::pair<int, float>> parameters;
    if (!ResolveSettings(host, options.mSettings, parameters, error, std::cerr)) {
        host.Stop();
        return Fail(kExitUsage, error);
    }

    // Tempo-based values are computed at the tempo the session starts with: a rolling
    // transport's, else the own clock's.
    const double ownBpm = options.mTempo > 0 ? options.mTempo : 120.0;
    const double transportBpm = jack.TransportBpm();
    host.Prepare(jack.SampleRate(), jack.BufferSize(), ownBpm);
    host.ApplySettings(parameters, transportBpm > 0 ? transportBpm : ownBpm);
    for (const std::string& line : DescribeSettings(host, parameters)) std::cout << line;

    CatchStopSignals();
    bool ok = jack.Activate(host, error);
    for (size_t i = 0; ok && i < options.mFrom.size(); ++i)
        ok = jack.Connect(options.mFrom[i], jack.InputPort(), error);
    for (size_t i = 0; ok && i < options.mTo.size(); ++i) ok = jack.Connect(jack.OutputPort(), options.mTo[i], error);
    if (!ok) {
        jack.Close();
        host.Stop();
        return Fail(kExitFailure, error);
    }
    std::cout << "playing " << host.Text(vst2::effGetEffectName) << " as JACK client \"" << jack.ClientName()
              << "\": MIDI in " << jack.InputPort() << ", out " << jack.OutputPort() << ", " << jack.SampleRate()
              << " Hz, " << jack.BufferSize() << " frames a cycle, own clock at " << ownBpm
              << " BPM while JACK's transport stands; Ctrl-C stops" << std::endl;

    while (!gStopSignal && !jack.ServerGone()) Sleep(20);

    int status = 0;
    if (jack.ServerGone()) {
        status = Fail(kExitFailure, "the JACK server went away; stopped");
    } else {
        // The next cycle ends every sounding note; wait for it to reach the output.
        host.RequestStop();
        for (int waited = 0; !host.Finished() && !jack.ServerGone() && waited < 2000; waited += 5) Sleep(5);
        if (!host.Finished()) status = Fail(kExitFailure, "JACK ran no cycle to end the sounding notes in");
        // Two more cycles, so clients that read the output late have it too.
        Sleep(10 + 2000L * jack.BufferSize() / long(jack.SampleRate()));
    }
    jack.Close();
    host.Dispatch(vst2::effStopProcess);
    host.Stop();
    std::cout << "stopped: " << host.NotesIn() << " notes in, " << host.NotesOut() << " notes out";
    if (host.Dropped()) std::cout << ", " << host.Dropped() << " events dropped";
    std::cout << std::endl;
    return status;
}
