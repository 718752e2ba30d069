#include "tools/tamborelle-host/ChannelVoices.h"

#include "tools/vsthost/NumberText.h"
#include "tools/vsthost/ParameterResolver.h"

namespace {

struct VoiceParams {
    const char* mVoice;
    const char* mChannel;
    const char* mMute;  // the first parameter of this name: index 5 for "ParMute"
    const char* mDelay;
};

const VoiceParams VOICES[] = {
    {"main", "MainChan", "MainMute", "MnDelay"},
    {"parallel", "ParChan", "ParMute", "pDelay"},
    {"v1", "v1Chan", "v1Mute", "v1Delay"},
    {"v2", "v2Chan", "v2Mute", "v2Delay"},
};

}  // namespace

ChannelVoices ReadChannelVoices(VstHost& host) {
    ChannelVoices voices;
    ParameterResolver resolver(host);
    std::string error, note;
    for (const VoiceParams& v : VOICES) {
        const int channelIndex = resolver.FindIndex(v.mChannel, error, note);
        const int muteIndex = resolver.FindIndex(v.mMute, error, note);
        if (channelIndex < 0 || muteIndex < 0) continue;
        double channel = 0.0;
        if (!ParseNumber(host.ParamDisplay(channelIndex), channel) || channel < 1 || channel > 16) continue;
        if (host.ParamDisplay(muteIndex) != "off") continue;
        std::string name = v.mVoice;
        const int delayIndex = resolver.FindIndex(v.mDelay, error, note);
        const std::string delay = delayIndex >= 0 ? host.ParamDisplay(delayIndex) : "";
        if (!delay.empty() && delay != "--off--") name += " " + delay + " late";
        std::string& names = voices.mNames[int(channel) - 1];
        names += (names.empty() ? "" : ", ") + name;
    }
    return voices;
}
