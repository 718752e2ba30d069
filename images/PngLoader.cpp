// The portable half of PNG loading: resource lookup, the extension tests and the loader
// record. The decoding itself is PngLoaderLinux.cpp (libpng) or PngLoaderWin32.cpp (WIC).
#include "images/PngLoader.h"

#include "images/ImageLoaderRecord.h"
#include "images/ModuleResource.h"

#include <cstring>

namespace {

const int PNG_SIGNATURE_BYTES = 8;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
    return *a == *b;
}

RasterBitmap* LoadPngFileRecord(const char* path, bool checkExtension, RasterBitmap* bitmap) {
    if (checkExtension && !PngPathHasExtension(path)) return nullptr;
    return LoadPngFromFile(path, bitmap);
}

const char* GetPngExtensions() {
    // The literal's own terminator makes the list end in two NULs.
    return "PNG files (*.PNG)\0*.PNG\0";
}

ImageLoaderRecord gPngLoaderRecord = {LoadPngFileRecord, GetPngExtensions, nullptr};

struct PngLoaderRegistrar {
    PngLoaderRegistrar() { RegisterImageLoader(&gPngLoaderRecord); }
} gPngLoaderRegistrar;

}  // namespace

RasterBitmap* LoadPngResource(void* module, int id, RasterBitmap* bitmap) {
    const void* data = nullptr;
    int size = 0;
    if (!FindModuleResource(module, id, "PNG", &data, &size) || size < PNG_SIGNATURE_BYTES) return nullptr;
    return LoadPngFromMemory(data, size, bitmap);
}

RasterBitmap* LoadPngResourceByName(void* module, int id, const char* name, RasterBitmap* bitmap) {
    if (!PngResourceNameMatches(name)) return nullptr;
    return LoadPngResource(module, id, bitmap);
}

bool PngResourceNameMatches(const char* name) {
    if (!name || !*name) return false;
    const char* p = name + std::strlen(name) - 1;
    while (p > name && *p != '.') --p;
    return EqualsIgnoringCase(p + 1, "png");
}

bool PngPathHasExtension(const char* path) {
    if (!path) return false;
    const char* ext = path;
    for (const char* p = path; *p; ++p)
        if (*p == '.' || *p == '/' || *p == '\\') ext = p;
    return EqualsIgnoringCase(ext, ".png");
}

ImageLoaderRecord* GetPngLoaderRecord() { return &gPngLoaderRecord; }
