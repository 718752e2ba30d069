#include "raster/RasterAlphaRows.h"

#include "raster/RasterCombine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster {

#if defined(__SSE2__)

namespace {

// Four pixels of d move toward target, keeping keep/256 of the difference per channel, with
// keep given per pixel in 32-bit lanes (0..256). Truncation toward zero is done on magnitudes:
// t + sign(d - t) * ((|d - t| * keep) >> 8), and |d - t| * keep fits 16 unsigned bits.
inline __m128i MoveToward(__m128i d, __m128i target, __m128i keep) {
    const __m128i zero = _mm_setzero_si128();
    __m128i up = _mm_subs_epu8(d, target);    // d - t where d > t
    __m128i down = _mm_subs_epu8(target, d);  // t - d where t > d
    __m128i keep16 = _mm_or_si128(keep, _mm_slli_epi32(keep, 16));
    __m128i keepLo = _mm_unpacklo_epi32(keep16, keep16);  // pixels 0, 1: one keep per channel
    __m128i keepHi = _mm_unpackhi_epi32(keep16, keep16);  // pixels 2, 3

    __m128i upLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(up, zero), keepLo), 8);
    __m128i upHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(up, zero), keepHi), 8);
    __m128i downLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(down, zero), keepLo), 8);
    __m128i downHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(down, zero), keepHi), 8);
    __m128i upPart = _mm_packus_epi16(upLo, upHi);
    __m128i downPart = _mm_packus_epi16(downLo, downHi);
    return _mm_sub_epi8(_mm_add_epi8(target, upPart), downPart);
}

}  // namespace

void AlphaCopyRowFull(RasterPixel* dst, const RasterPixel* src, int count) {
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i alphaOne = _mm_set1_epi32(0x01000000);
    const __m128i k255 = _mm_set1_epi32(255);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i alpha = _mm_and_si128(s, alphaMask);
        int transparent = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128()));
        if (transparent == 0xFFFF) continue;
        int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask));
        if (opaque == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i sa = _mm_srli_epi32(s, 24);
        // keep = 255 - sa, or 256 for a transparent pixel (which leaves d as it is).
        __m128i isZero = _mm_cmpeq_epi32(sa, _mm_setzero_si128());
        __m128i keep = _mm_sub_epi32(_mm_sub_epi32(k255, sa), isZero);
        // Alpha moves toward sa + 1, saturating at 255 for an opaque pixel (where keep is 0).
        __m128i target = _mm_adds_epu8(s, alphaOne);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), MoveToward(d, target, keep));
    }
    for (; i < count; ++i) dst[i] = CombineCopyFullAlpha::Apply(dst[i], src[i], 256);
}

void AlphaCopyRow(RasterPixel* dst, const RasterPixel* src, int count, int w) {
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i one = _mm_set1_epi32(1);
    const __m128i k256 = _mm_set1_epi32(256);
    const __m128i weight = _mm_set1_epi32(w);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i alpha = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF) continue;
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // keep = 256 - w * (sa + 1) / 256; w * (sa + 1) < 65536 fits the 16-bit multiply.
        // A transparent pixel gets w / 256 = 0, so keep = 256 leaves d as it is.
        __m128i sa1 = _mm_add_epi32(_mm_srli_epi32(s, 24), one);
        __m128i keep = _mm_sub_epi32(k256, _mm_srli_epi32(_mm_mullo_epi16(sa1, weight), 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), MoveToward(d, s, keep));
    }
    for (; i < count; ++i) dst[i] = CombineCopyAlpha::Apply(dst[i], src[i], w);
}

#else

void AlphaCopyRowFull(RasterPixel* dst, const RasterPixel* src, int count) {
    for (int i = 0; i < count; ++i) dst[i] = CombineCopyFullAlpha::Apply(dst[i], src[i], 256);
}

void AlphaCopyRow(RasterPixel* dst, const RasterPixel* src, int count, int w) {
    for (int i = 0; i < count; ++i) dst[i] = CombineCopyAlpha::Apply(dst[i], src[i], w);
}

#endif

}  // namespace raster
