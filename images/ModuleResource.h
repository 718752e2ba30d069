// ModuleResource: finds a resource stored in the plug-in module by integer id and type
// name, on every platform the same way. The bytes stay owned by the module.
#pragma once

// module: the module's handle (ignored where the resources are a compiled-in table);
// only the low 16 bits of id count. Returns false and leaves the outputs alone when the
// resource is missing.
bool FindModuleResource(void* module, int id, const char* type, const void** data, int* size);
