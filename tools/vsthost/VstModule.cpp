#include "tools/vsthost/VstModule.h"

VstModule::~VstModule() { Unload(); }

bool VstModule::Load(const std::string& path) {
    Unload();
    mHandle = OpenLibrary(path, &mError);
    if (!mHandle) return false;
    void* entry = Symbol("VSTPluginMain");
    if (!entry) entry = Symbol("main");  // the entry's name in older modules
    if (!entry) {
        mError = "no VSTPluginMain or main export in " + path;
        Unload();
        return false;
    }
    mEntry = reinterpret_cast<VstEntryProc>(entry);
    return true;
}

void VstModule::Unload() {
    if (mHandle) CloseLibrary(mHandle);
    mHandle = nullptr;
    mEntry = nullptr;
}

void* VstModule::Symbol(const char* name) const { return mHandle ? FindSymbol(mHandle, name) : nullptr; }
