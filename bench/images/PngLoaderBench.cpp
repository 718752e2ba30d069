// Decoding speed of the editor's background (410 x 680 RGB) from the module's resource bytes.
#include "images/ModuleResource.h"
#include "images/PngLoader.h"
#include "raster/RasterMemBitmap.h"

#include <benchmark/benchmark.h>

namespace {

bool BackgroundBytes(const void** data, int* size) { return FindModuleResource(nullptr, 100, "PNG", data, size); }

void SetPixelRate(benchmark::State& state, const RasterBitmap& bm) {
    double pixels = double(bm.GetWidth()) * bm.GetHeight();
    state.counters["MPixel/s"] =
        benchmark::Counter(pixels * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

// Into a bitmap that is reused: the decode alone.
void BM_DecodeBackgroundIntoBitmap(benchmark::State& state) {
    const void* data = nullptr;
    int size = 0;
    if (!BackgroundBytes(&data, &size)) {
        state.SkipWithError("background resource missing");
        return;
    }
    RasterMemBitmap target;
    for (auto _ : state) {
        RasterBitmap* bm = LoadPngFromMemory(data, size, &target);
        benchmark::DoNotOptimize(bm);
    }
    SetPixelRate(state, target);
}
BENCHMARK(BM_DecodeBackgroundIntoBitmap)->Unit(benchmark::kMillisecond);

// With a new bitmap each time, as a first load does.
void BM_DecodeBackgroundNewBitmap(benchmark::State& state) {
    const void* data = nullptr;
    int size = 0;
    if (!BackgroundBytes(&data, &size)) {
        state.SkipWithError("background resource missing");
        return;
    }
    int w = 0, h = 0;
    for (auto _ : state) {
        RasterBitmap* bm = LoadPngFromMemory(data, size, nullptr);
        benchmark::DoNotOptimize(bm);
        if (bm) {
            w = bm->GetWidth();
            h = bm->GetHeight();
        }
        delete bm;
    }
    RasterMemBitmap shape(w, h);
    SetPixelRate(state, shape);
}
BENCHMARK(BM_DecodeBackgroundNewBitmap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
