#include "framework/HostId.h"

#include <cctype>
#include <cstring>

namespace {
struct HostText {
    const char* mText;
    HostId mId;
};

// Order matters: a name containing several texts takes the first one listed.
const HostText HOST_TEXTS[] = {
    {"cubase", HostCubase},         {"reaper", HostReaper}, {"nuendo", HostNuendo},       {"cakewalk", HostCakewalk},
    {"samplitude", HostSamplitude}, {"fruity", HostFruity}, {"live", HostLive},           {"melodyne", HostMelodyne},
    {"vstmanlib", HostVstManLib},   {"aulab", HostAuLab},   {"forte", HostForte},         {"chainer", HostChainer},
    {"audition", HostAudition},     {"orion", HostOrion},   {"sawstudio", HostSawStudio}, {"logic", HostLogic},
    {"digital", HostDigital},
};
}  // namespace

HostId HostIdFromName(const char* name) {
    char lower[256];
    size_t n = 0;
    for (; name && name[n] && n < sizeof lower - 1; ++n)
        lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n])));
    lower[n] = 0;
    for (const HostText& entry : HOST_TEXTS)
        if (std::strstr(lower, entry.mText)) return entry.mId;
    return HostUnknown;
}
