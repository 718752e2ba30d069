// A VST 2.4 module opened the way a DAW opens one: load the file, find the
// exported entry (VSTPluginMain, or main for older modules), unload on demand.
#pragma once

#include <string>

#include "framework/Vst2Abi.h"

using VstEntryProc = vst2::AEffect* (*)(vst2::HostCallback);

class VstModule {
public:
    VstModule() = default;
    ~VstModule();
    VstModule(const VstModule&) = delete;
    VstModule& operator=(const VstModule&) = delete;

    // Loads the module and resolves its entry; false with Error() set on failure.
    bool Load(const std::string& path);
    // Unloads the module; every effect made from it must be closed first.
    void Unload();

    bool IsLoaded() const { return mHandle != nullptr; }
    VstEntryProc Entry() const { return mEntry; }
    // Looks up any exported symbol (tests use it to check the exports).
    void* Symbol(const char* name) const;
    const std::string& Error() const { return mError; }

private:
    // The platform's three primitives, one file per platform.
    static void* OpenLibrary(const std::string& path, std::string* error);
    static void CloseLibrary(void* handle);
    static void* FindSymbol(void* handle, const char* name);

    void* mHandle = nullptr;
    VstEntryProc mEntry = nullptr;
    std::string mError;
};
