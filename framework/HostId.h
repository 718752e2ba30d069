// Which host loaded the plug-in, decided from the product text it reports.
#pragma once

#include <cstdint>

enum HostId : int32_t {
    HostNotIdentified = -1,
    HostUnknown = 0,
    HostReaper = 1,
    HostCubase = 3,
    HostNuendo = 4,
    HostCakewalk = 5,
    HostFruity = 7,
    HostSamplitude = 8,
    HostLive = 9,
    HostMelodyne = 12,
    HostVstManLib = 13,
    HostAuLab = 14,
    HostForte = 15,
    HostChainer = 16,
    HostAudition = 17,
    HostOrion = 18,
    HostSawStudio = 20,
    HostLogic = 21,
    HostDigital = 22,
};

// [any thread] Case-insensitive substring search through a fixed list; the first text found wins.
HostId HostIdFromName(const char* name);
