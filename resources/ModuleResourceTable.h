// ModuleResourceTable: the resources compiled into the module where the platform keeps
// no resource section of its own. The build generates the table from Tamborelle.rc.
#pragma once

struct ModuleResourceEntry {
    int mId;
    const char* mType;
    const unsigned char* mpData;
    int mSize;
};

extern const ModuleResourceEntry gModuleResources[];
extern const int gNumModuleResources;
