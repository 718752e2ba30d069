// Module loading on Linux: dlopen with local symbols, as hosts do.
#include <dlfcn.h>

#include "tools/vsthost/VstModule.h"

void* VstModule::OpenLibrary(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        *error = why ? why : "dlopen failed for " + path;
    }
    return handle;
}

void VstModule::CloseLibrary(void* handle) { dlclose(handle); }

void* VstModule::FindSymbol(void* handle, const char* name) { return dlsym(handle, name); }
