// The module's exported entry: VSTPluginMain, and the same function as main
// for older hosts. Everything else in the module is hidden.
#include <mutex>
#include <new>

#include "framework/IVstEffect.h"

#if defined(_WIN32)
#define VST_EXPORT extern "C" __declspec(dllexport)
#else
#define VST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
// Constant-initialised, so it is ready before the first call, whichever host
// thread makes it; destroyed when the module unloads.
std::mutex sCreationLock;

vst2::AEffect* CreateEffect(vst2::HostCallback hostCallback) {
    std::lock_guard<std::mutex> guard(sCreationLock);
    IVstEffect* plug = CreateVstEffect(hostCallback);
    if (!plug) return nullptr;
    plug->MakeDefaultSlotIfNone();
    vst2::AEffect* effect = plug->Effect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    return effect;
}
}  // namespace

VST_EXPORT vst2::AEffect* VSTPluginMain(vst2::HostCallback hostCallback) { return CreateEffect(hostCallback); }

// The old entry name, as the same function. Only an assembler label can give a
// C++ function the name main; on Windows the module definition file adds it.
#if !defined(_WIN32)
extern "C" __attribute__((visibility("default"), alias("VSTPluginMain"))) vst2::AEffect* VSTPluginMainAlias(
    vst2::HostCallback hostCallback) __asm__("main");
#endif
