// Throughput of the copies the editor runs every frame: the 410 x 680 background at opacity 1.0,
// and controls drawn with source alpha at 1.0 and 0.25 (grayed out), plus a bilinear 2x
// downscale. Each reports MPixel/s. The alpha copies also report their speed relative to memcpy
// of the same pixels, measured in this process: "x_memcpy" against one contiguous memcpy,
// "x_memcpy_rows" against one memcpy per row between the same bitmaps (what a plain copy of the
// region costs). 1.0 would be memcpy speed, 0.5 half of it.
#include "raster/RasterAlphaCopy.h"
#include "raster/RasterMemBitmap.h"
#include "raster/RasterOperations.h"
#include "raster/RasterSysBitmap.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace {

const int EDITOR_W = 410, EDITOR_H = 680;

void FillOpaque(RasterBitmap& bmp, unsigned seed) {
    std::mt19937 rng(seed);
    RasterPixel* p = bmp.GetPixelData();
    for (int i = 0; i < bmp.GetRowSpan() * bmp.GetHeight(); ++i) p[i] = RasterPixel(rng()) | 0xFF000000;
}

// Like a control image: an opaque disc with a soft edge on a transparent square, tiled every
// 12 pixels (the fader handle's size).
void FillControlImage(RasterBitmap& bmp) {
    RasterPixel* p = bmp.GetPixelData();
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x) {
            double d = std::hypot(x % 12 - 5.5, y % 12 - 5.5);
            double cover = d < 4.5 ? 1.0 : (d < 6.0 ? (6.0 - d) / 1.5 : 0.0);
            RasterPixel a = RasterPixel(cover * 255.0 + 0.5);
            p[y * bmp.GetRowSpan() + x] = (a << 24) | RasterPixel(0x00406080 + x + y);
        }
}

void SetPixelCounters(benchmark::State& state, int64_t pixelsPerIteration) {
    state.SetItemsProcessed(state.iterations() * pixelsPerIteration);
    state.counters["MPixel/s"] =
        benchmark::Counter(double(state.iterations()) * double(pixelsPerIteration) / 1e6, benchmark::Counter::kIsRate);
}

// Processor seconds used so far; CPU time keeps the ratio steady on a busy machine.
double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

// CPU seconds per copy of `rows` rows of `rowBytes` bytes, one memcpy per row, between
// buffers whose rows lie `dstStride` and `srcStride` bytes apart; measured in this process.
double MemcpySeconds(int rows, size_t rowBytes, size_t dstStride, size_t srcStride) {
    std::vector<char> src(srcStride * size_t(rows - 1) + rowBytes, 1), dst(dstStride * size_t(rows - 1) + rowBytes, 2);
    int64_t reps = 0;
    double start = CpuSeconds(), elapsed = 0;
    do {
        for (int i = 0; i < 64; ++i) {
            for (int y = 0; y < rows; ++y)
                std::memcpy(dst.data() + size_t(y) * dstStride, src.data() + size_t(y) * srcStride, rowBytes);
            benchmark::ClobberMemory();
        }
        reps += 64;
        elapsed = CpuSeconds() - start;
    } while (elapsed < 0.2);
    return elapsed / double(reps);
}

void BM_CopyBackground(benchmark::State& state) {
    RasterMemBitmap src(EDITOR_W, EDITOR_H, 4);
    RasterSysBitmap dst(EDITOR_W, EDITOR_H);
    FillOpaque(src, 1);
    for (auto _ : state) {
        RasterCopyRegion(&dst, &src, 0, 0, 0, 0, EDITOR_W, EDITOR_H, 1.0f, BlitCopy);
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state, int64_t(EDITOR_W) * EDITOR_H);
}
BENCHMARK(BM_CopyBackground);

// Alpha copy of a w x h control image at the opacity, timed in CPU seconds.
void RunAlphaCopy(benchmark::State& state, int w, int h, float opacity) {
    RasterMemBitmap src(w, h, 4);
    RasterSysBitmap dst(EDITOR_W, EDITOR_H);
    FillControlImage(src);
    FillOpaque(dst, 2);
    double start = CpuSeconds();
    for (auto _ : state) {
        RasterCopyRegion(&dst, &src, 0, 0, 0, 0, w, h, opacity, BlitCopy | BlitUseAlpha);
        benchmark::ClobberMemory();
    }
    double perCopy = (CpuSeconds() - start) / double(state.iterations());
    SetPixelCounters(state, int64_t(w) * h);
    size_t rowBytes = size_t(w) * sizeof(RasterPixel);
    state.counters["x_memcpy"] = MemcpySeconds(1, rowBytes * size_t(h), 0, 0) / perCopy;
    state.counters["x_memcpy_rows"] = MemcpySeconds(h, rowBytes, size_t(dst.GetRowSpan()) * sizeof(RasterPixel),
                                                    size_t(src.GetRowSpan()) * sizeof(RasterPixel)) /
                                      perCopy;
}

// range(0) is the size (12: a 12 x 12 control, else the editor's 410 x 680), range(1) the
// opacity in percent.
void BM_AlphaCopy(benchmark::State& state) {
    int side = int(state.range(0));
    RunAlphaCopy(state, side == 12 ? 12 : EDITOR_W, side == 12 ? 12 : EDITOR_H, float(state.range(1)) / 100.0f);
}
BENCHMARK(BM_AlphaCopy)->Args({12, 100})->Args({12, 25})->Args({410, 100})->Args({410, 25});

// The same with each kernel forced, range(2): 1 scalar, 2 SSE2, 3 AVX2 (skipped where missing).
void BM_AlphaCopyKernel(benchmark::State& state) {
    const raster::AlphaKernel kernels[] = {raster::AlphaKernel::Best, raster::AlphaKernel::Scalar,
                                           raster::AlphaKernel::Sse2, raster::AlphaKernel::Avx2};
    if (!raster::SelectAlphaKernel(kernels[state.range(2) & 3])) {
        state.SkipWithError("kernel not available here");
        return;
    }
    BM_AlphaCopy(state);
    raster::SelectAlphaKernel(raster::AlphaKernel::Best);
}
BENCHMARK(BM_AlphaCopyKernel)->ArgsProduct({{12, 410}, {100, 25}, {1, 2, 3}});

// The reference: memcpy of one image's bytes (12 x 12 or 410 x 680 pixels).
void BM_Memcpy(benchmark::State& state) {
    size_t pixels = state.range(0) == 12 ? 12 * 12 : size_t(EDITOR_W) * EDITOR_H;
    std::vector<RasterPixel> a(pixels, 1), b(pixels, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), pixels * sizeof(RasterPixel));
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state, int64_t(pixels));
}
BENCHMARK(BM_Memcpy)->Arg(12)->Arg(410);

// Bilinear 2x downscale of the editor-sized image (the 3 x 3 box kernel path).
void BM_BilinearDownscale2x(benchmark::State& state) {
    RasterMemBitmap src(EDITOR_W, EDITOR_H, 4), dst(EDITOR_W / 2, EDITOR_H / 2, 4);
    FillOpaque(src, 3);
    for (auto _ : state) {
        RasterScaleRegion(&dst, &src, 0, 0, EDITOR_W / 2, EDITOR_H / 2, 0.0f, 0.0f, float(EDITOR_W), float(EDITOR_H),
                          1.0f, BlitCopy | BlitFilterBilinear);
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state, int64_t(EDITOR_W / 2) * (EDITOR_H / 2));
}
BENCHMARK(BM_BilinearDownscale2x);

}  // namespace
