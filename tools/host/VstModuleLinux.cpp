// Module loading on Linux: dlopen with local symbols, as hosts do.
#include "tools/host/VstModule.h"

#include <dlfcn.h>

VstModule::~VstModule() { Unload(); }

bool VstModule::Load(const std::string& path) {
    Unload();
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mHandle) {
        const char* why = dlerror();
        mError = why ? why : "dlopen failed";
        return false;
    }
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
    if (mHandle) dlclose(mHandle);
    mHandle = nullptr;
    mEntry = nullptr;
}

void* VstModule::Symbol(const char* name) const {
    return mHandle ? dlsym(mHandle, name) : nullptr;
}
