// The resources are a byte table compiled into the module, so the handle is not needed.
#include "images/ModuleResource.h"

#include "resources/ModuleResourceTable.h"

#include <strings.h>

bool FindModuleResource(void* /*module*/, int id, const char* type, const void** data, int* size) {
    if (!type || !data || !size) return false;
    for (int i = 0; i < gNumModuleResources; ++i) {
        const ModuleResourceEntry& e = gModuleResources[i];
        // Resource type names compare without case, as Windows does.
        if (e.mId == (id & 0xFFFF) && strcasecmp(e.mType, type) == 0) {
            *data = e.mpData;
            *size = e.mSize;
            return true;
        }
    }
    return false;
}
