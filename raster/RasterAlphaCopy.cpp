#include "raster/RasterAlphaCopy.h"

#include "raster/RasterCombine.h"

#include <atomic>

namespace raster {

namespace {

using Kernel = void (*)(const AlphaRegion&, int);

// Chosen on the first copy; a relaxed atomic because several editors may draw at once and
// every thread that races to choose picks the same kernel.
std::atomic<Kernel> gKernel{nullptr};

Kernel KernelFor(AlphaKernel kernel) {
    switch (kernel) {
    case AlphaKernel::Scalar: return AlphaCopyRegionScalar;
    case AlphaKernel::Sse2: return Sse2KernelBuilt() ? AlphaCopyRegionSse2 : nullptr;
    case AlphaKernel::Avx2: return Avx2KernelRunnable() ? AlphaCopyRegionAvx2 : nullptr;
    case AlphaKernel::Best: break;
    }
    if (Avx2KernelRunnable()) return AlphaCopyRegionAvx2;
    if (Sse2KernelBuilt()) return AlphaCopyRegionSse2;
    return AlphaCopyRegionScalar;
}

}  // namespace

void AlphaCopyRegion(const AlphaRegion& r, int w) {
    Kernel kernel = gKernel.load(std::memory_order_relaxed);
    if (!kernel) {
        kernel = KernelFor(AlphaKernel::Best);
        gKernel.store(kernel, std::memory_order_relaxed);
    }
    kernel(r, w);
}

bool AlphaKernelAvailable(AlphaKernel kernel) { return KernelFor(kernel) != nullptr; }

bool SelectAlphaKernel(AlphaKernel kernel) {
    Kernel chosen = KernelFor(kernel);
    if (!chosen) return false;
    gKernel.store(chosen, std::memory_order_relaxed);
    return true;
}

void AlphaCopyRegionScalar(const AlphaRegion& r, int w) {
    RasterPixel* d = r.mpDst;
    const RasterPixel* s = r.mpSrc;
    for (int y = 0; y < r.mHeight; ++y, d += r.mDstStride, s += r.mSrcStride) {
        if (w >= 256)
            for (int x = 0; x < r.mWidth; ++x) d[x] = CombineCopyFullAlpha::Apply(d[x], s[x], 256);
        else
            for (int x = 0; x < r.mWidth; ++x) d[x] = CombineCopyAlpha::Apply(d[x], s[x], w);
    }
}

}  // namespace raster
