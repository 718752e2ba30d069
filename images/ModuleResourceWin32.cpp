// The resources are in the module's resource section (compiled from Tamborelle.rc).
#include "images/ModuleResource.h"

#include <windows.h>

bool FindModuleResource(void* module, int id, const char* type, const void** data, int* size) {
    if (!type || !data || !size) return false;
    HMODULE hModule = static_cast<HMODULE>(module);
    HRSRC found = FindResourceA(hModule, MAKEINTRESOURCEA(id & 0xFFFF), type);
    if (!found) return false;
    DWORD bytes = SizeofResource(hModule, found);
    HGLOBAL loaded = LoadResource(hModule, found);
    if (!loaded) return false;
    // Resource memory belongs to the module for its whole lifetime; nothing to free.
    const void* p = LockResource(loaded);
    if (!p || bytes > 0x7FFFFFFF) return false;
    *data = p;
    *size = static_cast<int>(bytes);
    return true;
}
