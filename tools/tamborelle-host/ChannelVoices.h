// Which of Tamborelle's voices play on each MIDI channel, read off the parameters as the
// host sees them: a voice plays on channel c when its channel parameter shows c and its
// mute shows "off". For a plug-in without these parameters every name stays empty.
#pragma once

#include <string>

#include "tools/vsthost/VstHost.h"

struct ChannelVoices {
    // Per output channel 0..15: "main", "parallel, v2 1/8 late", or empty.
    std::string mNames[16];
};

ChannelVoices ReadChannelVoices(VstHost& host);
