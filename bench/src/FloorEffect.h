// The cheapest effect that still does a host's minimum: it sends every incoming event
// straight back, and its replacing calls write silence into the outputs (the
// accumulating call adds nothing). The benchmarks measure the plug-in against it.
#pragma once

#include "framework/Vst2Abi.h"

vst2::AEffect* FloorEffectEntry(vst2::HostCallback host);
