// The cheapest effect a host can drive: it sends every incoming event straight
// back and touches no audio. The benchmarks measure the plug-in against it.
#pragma once

#include "framework/Vst2Abi.h"

vst2::AEffect* FloorEffectEntry(vst2::HostCallback host);
