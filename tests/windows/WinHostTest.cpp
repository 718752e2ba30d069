// Drives Tamborelle64.dll through its AEffect as a Windows host would: the
// identity, a short played scenario, the state chunk, and loading, closing
// and unloading twice in one process.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/windows/Checks.h"
#include "tools/vsthost/VstEventList.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/VstModule.h"

namespace {

using checks::Check;

struct Sent {
    int delta, status, data1, data2;
};

class RecordingHost : public VstHost {
public:
    std::vector<Sent> sent;

protected:
    void OnEvent(const vst2::VstEvent& event) override {
        if (event.type != vst2::kVstMidiType) return;
        const auto& midi = reinterpret_cast<const vst2::VstMidiEvent&>(event);
        sent.push_back(
            {midi.deltaFrames, static_cast<unsigned char>(midi.midiData[0]), midi.midiData[1], midi.midiData[2]});
    }
};

void SendNote(RecordingHost& host, int status, int note, int velocity, int delta) {
    VstEventList list;
    list.AddMidi(delta, uint8_t(status), uint8_t(note), uint8_t(velocity));
    host.ProcessEvents(list);
}

void RunBlock(RecordingHost& host, double position) {
    static float left[512], right[512];
    float* buffers[] = {left, right};
    host.mTime.samplePos = position;
    host.ProcessFloat(buffers, buffers, 512);
}

bool Has(const std::vector<Sent>& sent, int delta, int status, int data1, int data2) {
    for (const Sent& s : sent)
        if (s.delta == delta && s.status == status && s.data1 == data1 && s.data2 == data2) return true;
    return false;
}

void Session(const char* path) {
    VstModule module;
    Check(module.Load(path), "the DLL loads");
    if (!module.IsLoaded()) {
        std::printf("%s\n", module.Error().c_str());
        return;
    }
    Check(module.Symbol("VSTPluginMain") != nullptr, "VSTPluginMain is exported");
    Check(module.Symbol("main") != nullptr, "main is exported");

    RecordingHost host;
    Check(host.Instantiate(module.Entry()), "the entry returns an effect");
    vst2::AEffect* effect = host.Effect();
    if (!effect) return;
    Check(effect->numParams == 42, "42 parameters");
    Check(effect->numPrograms == 6, "6 programs");
    Check(effect->uniqueID == 0x67784C6D, "unique id gxLm");
    Check((effect->flags & 0x1138) == 0x1138, "synth, chunks, replacing and double flags");
    Check(host.Dispatch(vst2::effGetVstVersion) == 2400, "VST version 2400");
    Check(host.Text(vst2::effGetEffectName) == "Tamborelle", "effect name");
    Check(host.ParamName(8) == "ParMute", "parameter 8 name");

    host.Start(44100.0, 512);
    host.SetParameter(8, 31.0f / 48.0f);  // parallel interval +7
    host.SetParameter(6, 1.0f / 15.0f);   // parallel channel 2
    Check(host.ParamDisplay(8) == "7", "parallel interval shows 7");

    host.mTime.flags |= vst2::kVstTransportPlaying;
    RunBlock(host, 0);  // the first advancing block starts playback
    SendNote(host, 0x90, 60, 100, 100);
    RunBlock(host, 512);
    Check(Has(host.sent, 100, 0x90, 60, 100), "main voice note-on at 100");
    Check(Has(host.sent, 100, 0x91, 67, 100), "parallel fifth on channel 2 at 100");
    host.sent.clear();
    SendNote(host, 0x80, 60, 0, 50);
    RunBlock(host, 1024);
    Check(Has(host.sent, 50, 0x80, 60, 0) && Has(host.sent, 50, 0x81, 67, 0), "both notes end at 50");

    void* chunk = nullptr;
    Check(host.Dispatch(vst2::effGetChunk, 1, 0, &chunk) == 344 && chunk, "a 344-byte state chunk");

    host.Stop();
    module.Unload();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: win_host_test Tamborelle64.dll\n");
        return 2;
    }
    for (int round = 0; round < 2; ++round) Session(argv[1]);
    return checks::Summary();
}
