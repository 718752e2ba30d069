// Internal: the copy with source alpha over a region of rows, the editor's most frequent draw
// (control images at opacity 1.0, grayed-out ones at 0.25). Three kernels give exactly the
// bytes of the scalar combiners CombineCopyFullAlpha and CombineCopyAlpha: AVX2 where the
// processor has it (checked once at run time, so the rest of the build stays baseline x86-64),
// SSE2, and plain C++. Each kernel walks the rows itself, so a 12 x 12 control image pays one
// dispatch, not one per row.
#pragma once

#include "raster/RasterPixel.h"

#include <cstddef>

namespace raster {

// Rows of mWidth pixels; strides in pixels, negative for bottom-up bitmaps.
struct AlphaRegion {
    RasterPixel* mpDst;
    ptrdiff_t mDstStride;
    const RasterPixel* mpSrc;
    ptrdiff_t mSrcStride;
    int mWidth;
    int mHeight;
};

// Copy with source alpha at weight w, 1..256; 256 is the full-weight rule.
void AlphaCopyRegion(const AlphaRegion& r, int w);

enum class AlphaKernel { Best, Scalar, Sse2, Avx2 };

// Whether this build and processor can run the kernel.
bool AlphaKernelAvailable(AlphaKernel kernel);

// Makes AlphaCopyRegion run the given kernel (Best: the fastest available) and returns true;
// returns false and changes nothing if the kernel is not available. For tests and benchmarks,
// which compare every kernel on one machine; nothing else calls it.
bool SelectAlphaKernel(AlphaKernel kernel);

// The kernels; each falls back to the scalar one where it cannot run.
void AlphaCopyRegionScalar(const AlphaRegion& r, int w);
void AlphaCopyRegionSse2(const AlphaRegion& r, int w);
void AlphaCopyRegionAvx2(const AlphaRegion& r, int w);
bool Sse2KernelBuilt();
bool Avx2KernelRunnable();

}  // namespace raster
