// Module loading on Windows: LoadLibrary, as hosts do.
#include <windows.h>

#include "tools/vsthost/VstModule.h"

void* VstModule::OpenLibrary(const std::string& path, std::string* error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) *error = "LoadLibrary failed with error " + std::to_string(GetLastError()) + " for " + path;
    return module;
}

void VstModule::CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

void* VstModule::FindSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
