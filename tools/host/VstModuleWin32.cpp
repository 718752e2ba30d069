// Module loading on Windows: LoadLibrary, as hosts do.
#include "tools/host/VstModule.h"

#include <windows.h>

VstModule::~VstModule() { Unload(); }

bool VstModule::Load(const std::string& path) {
    Unload();
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        mError = "LoadLibrary failed with error " + std::to_string(GetLastError()) + " for " + path;
        return false;
    }
    mHandle = module;
    void* entry = Symbol("VSTPluginMain");
    if (!entry) entry = Symbol("main");
    if (!entry) {
        mError = "no VSTPluginMain or main export in " + path;
        Unload();
        return false;
    }
    mEntry = reinterpret_cast<VstEntryProc>(entry);
    return true;
}

void VstModule::Unload() {
    if (mHandle) FreeLibrary(static_cast<HMODULE>(mHandle));
    mHandle = nullptr;
    mEntry = nullptr;
}

void* VstModule::Symbol(const char* name) const {
    if (!mHandle) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(mHandle), name));
}
