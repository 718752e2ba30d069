// The SSE2 kernel of the copy with source alpha: four pixels at a time, the last pixels of a
// row through the scalar combiners.
#include "raster/RasterAlphaCopy.h"

#include "raster/RasterCombine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster {

#if defined(__SSE2__)

namespace {

// Every byte of d moves toward the byte of t, keeping keep/256 of the difference, with keep
// (0..256) given in each 16-bit word. Exact integer division toward zero: the magnitude
// |d - t| * keep fits 16 bits, its high byte is the moved part, and the sign comes back
// afterwards. Even and odd bytes are multiplied in place, so nothing is unpacked or packed:
// an even byte shifted up gives its part as the high half of the product, an odd byte shifted
// down as the high byte of the low half.
inline __m128i MoveToward(__m128i d, __m128i t, __m128i keep) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    __m128i up = _mm_subs_epu8(d, t);
    __m128i diff = _mm_or_si128(up, _mm_subs_epu8(t, d));
    __m128i below = _mm_cmpeq_epi8(up, _mm_setzero_si128());  // d <= t: subtract the part
    __m128i even = _mm_mulhi_epu16(_mm_slli_epi16(diff, 8), keep);
    __m128i odd = _mm_andnot_si128(lowBytes, _mm_mullo_epi16(_mm_srli_epi16(diff, 8), keep));
    __m128i part = _mm_or_si128(even, odd);
    return _mm_add_epi8(t, _mm_sub_epi8(_mm_xor_si128(part, below), below));
}

// Each pixel's alpha in both of its 16-bit words.
inline __m128i AlphaWords(__m128i s) {
    __m128i sa = _mm_srli_epi32(s, 24);
    return _mm_or_si128(sa, _mm_slli_epi32(sa, 16));
}

// Full weight: the target is s with alpha sa + 1 (saturating), or 0 for a transparent pixel,
// and keep = 256 - target alpha. That is 255 - sa, 256 for a transparent pixel (d stays) and
// 1 for an opaque one, whose part, |d - t| / 256, is 0 so that s is stored whole.
inline __m128i BlendFull(__m128i d, __m128i s) {
    __m128i t = _mm_adds_epu8(s, _mm_min_epu8(s, _mm_set1_epi32(0x01000000)));
    return MoveToward(d, t, _mm_sub_epi16(_mm_set1_epi16(256), AlphaWords(t)));
}

// Weight w = weight8 >> 8 below 256: keep = 256 - w * (sa + 1) / 256, where the high half of
// (sa + 1) * (w << 8) is the quotient. A transparent pixel gets keep 256.
inline __m128i BlendPartial(__m128i d, __m128i s, __m128i weight8) {
    __m128i sa1 = _mm_add_epi16(AlphaWords(s), _mm_set1_epi16(1));
    __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), _mm_mulhi_epu16(sa1, weight8));
    return MoveToward(d, s, keep);
}

inline __m128i Load(const RasterPixel* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(RasterPixel* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

template <bool kFull>
inline __m128i Blend(__m128i d, __m128i s, __m128i weight8) {
    return kFull ? BlendFull(d, s) : BlendPartial(d, s, weight8);
}

// Every row in groups of four pixels: wholly transparent groups are skipped, wholly opaque
// ones stored at full weight; a row's last pixels go through the scalar formulas.
template <bool kFull>
void CopyRows(const AlphaRegion& r, int w) {
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i weight8 = _mm_set1_epi16(short(kFull ? 0 : w << 8));
    RasterPixel* dRow = r.mpDst;
    const RasterPixel* sRow = r.mpSrc;
    for (int y = 0; y < r.mHeight; ++y, dRow += r.mDstStride, sRow += r.mSrcStride) {
        int x = 0;
        for (; x + 4 <= r.mWidth; x += 4) {
            __m128i s = Load(sRow + x);
            __m128i alpha = _mm_and_si128(s, alphaMask);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF) continue;
            if (kFull && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF)
                Store(dRow + x, s);
            else
                Store(dRow + x, Blend<kFull>(Load(dRow + x), s, weight8));
        }
        for (; x < r.mWidth; ++x)
            dRow[x] = kFull ? CombineCopyFullAlpha::Apply(dRow[x], sRow[x], 256)
                            : CombineCopyAlpha::Apply(dRow[x], sRow[x], w);
    }
}

}  // namespace

bool Sse2KernelBuilt() { return true; }

void AlphaCopyRegionSse2(const AlphaRegion& r, int w) {
    if (w >= 256)
        CopyRows<true>(r, 256);
    else if (w > 0)
        CopyRows<false>(r, w);
    else
        AlphaCopyRegionScalar(r, w);
}

#else

bool Sse2KernelBuilt() { return false; }

void AlphaCopyRegionSse2(const AlphaRegion& r, int w) { AlphaCopyRegionScalar(r, w); }

#endif

}  // namespace raster
