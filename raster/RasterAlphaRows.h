// Internal: row kernels for the copy with source alpha, the editor's most frequent draw. On
// SSE2 they handle four pixels at a time with exactly the scalar results; elsewhere, and for
// the last pixels of a row, the scalar combiner runs.
#pragma once

#include "raster/RasterPixel.h"

namespace raster {

// Copy with source alpha at full weight (CombineCopyFullAlpha).
void AlphaCopyRowFull(RasterPixel* dst, const RasterPixel* src, int count);

// Copy with source alpha at weight w, 0 < w < 256 (CombineCopyAlpha).
void AlphaCopyRow(RasterPixel* dst, const RasterPixel* src, int count, int w);

}  // namespace raster
