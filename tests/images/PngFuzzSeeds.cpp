// Writes the test images and the module's own images into a folder, as the fuzzer's seeds.
#include "images/ModuleResource.h"
#include "tests/images/PngTestImages.h"

#include <cstdio>
#include <string>

namespace {

bool Write(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    int written = 0;
    for (const TestPng& image : AllTestPngs()) {
        auto bytes = EncodeTestPng(image);
        if (!Write(dir + "/" + TestPngName(image) + ".png", bytes.data(), bytes.size())) return 1;
        ++written;
    }
    // The small module images; the background is large enough to slow every run down.
    for (int id = 101; id <= 104; ++id) {
        const void* data = nullptr;
        int size = 0;
        if (FindModuleResource(nullptr, id, "PNG", &data, &size) &&
            Write(dir + "/resource-" + std::to_string(id) + ".png", data, size_t(size)))
            ++written;
    }
    std::printf("%d seeds written to %s\n", written, dir.c_str());
    return 0;
}
