// libFuzzer entry: arbitrary bytes into the memory decoder must give null or a sound
// bitmap, never a crash, a leak or an out-of-bounds access.
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7FFFFFFF) return 0;
    RasterBitmap* bm = LoadPngFromMemory(data, int(size), nullptr);
    if (bm) {
        if (bm->GetWidth() <= 0 || bm->GetHeight() <= 0 || !bm->GetPixelData()) std::abort();
        // Read every pixel, so a buffer shorter than the bitmap claims would show.
        volatile uint32_t sink = 0;
        for (int y = 0; y < bm->GetHeight(); ++y)
            for (int x = 0; x < bm->GetWidth(); ++x) sink = sink + bm->GetPixelData()[y * bm->GetRowSpan() + x];
        delete bm;
    }
    return 0;
}
