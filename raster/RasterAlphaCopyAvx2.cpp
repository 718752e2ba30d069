// The AVX2 kernel of the copy with source alpha: eight pixels at a time, the last one to seven
// pixels of a row through masked loads and stores, and when those are at most four, two rows'
// last pixels in one group (a 12-pixel control row is then one and a half groups, not two).
// Only the functions here are compiled for AVX2 (target attribute), and they run only after
// the processor said it has it.
#include "raster/RasterAlphaCopy.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define TAMBORELLE_AVX2_KERNEL 1
#include <immintrin.h>
#include <cstdint>
#endif

namespace raster {

#if defined(TAMBORELLE_AVX2_KERNEL)

// Everything is inlined into the two row loops: no 256-bit value is passed through memory,
// which also keeps mingw-w64, whose stack is only 16-byte aligned, away from aligned spills.
#define AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline
#define AVX2_FUNCTION __attribute__((target("avx2")))

namespace {

// The same per-byte move as the SSE2 kernel: d toward t keeping keep/256 of the difference,
// truncated toward zero, with even and odd bytes multiplied in place and merged by one blend.
AVX2_INLINE __m256i MoveToward(__m256i d, __m256i t, __m256i keep) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    __m256i up = _mm256_subs_epu8(d, t);
    __m256i diff = _mm256_or_si256(up, _mm256_subs_epu8(t, d));
    __m256i below = _mm256_cmpeq_epi8(up, _mm256_setzero_si256());  // d <= t: subtract the part
    __m256i even = _mm256_mulhi_epu16(_mm256_slli_epi16(diff, 8), keep);
    __m256i odd = _mm256_mullo_epi16(_mm256_srli_epi16(diff, 8), keep);
    __m256i part = _mm256_blendv_epi8(odd, even, lowBytes);
    return _mm256_add_epi8(t, _mm256_sub_epi8(_mm256_xor_si256(part, below), below));
}

// Each pixel's alpha in both of its 16-bit words: one byte shuffle.
AVX2_INLINE __m256i AlphaWords(__m256i s) {
    const __m256i alphaToWords = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1,  //
                                                  3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    return _mm256_shuffle_epi8(s, alphaToWords);
}

// Full weight: the target is s with alpha sa + 1 (saturating), or 0 for a transparent pixel,
// and keep = 256 - target alpha. That is 255 - sa, 256 for a transparent pixel (d stays) and
// 1 for an opaque one, whose part, |d - t| / 256, is 0 so that s is stored whole.
AVX2_INLINE __m256i BlendFull(__m256i d, __m256i s) {
    __m256i t = _mm256_adds_epu8(s, _mm256_min_epu8(s, _mm256_set1_epi32(0x01000000)));
    return MoveToward(d, t, _mm256_sub_epi16(_mm256_set1_epi16(256), AlphaWords(t)));
}

// Weight below 256: keep = 256 - w * (sa + 1) / 256, the quotient being the high half of
// (sa + 1) * (w << 8).
AVX2_INLINE __m256i BlendPartial(__m256i d, __m256i s, __m256i weight8) {
    __m256i sa1 = _mm256_add_epi16(AlphaWords(s), _mm256_set1_epi16(1));
    __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(256), _mm256_mulhi_epu16(sa1, weight8));
    return MoveToward(d, s, keep);
}

AVX2_INLINE __m256i Load(const RasterPixel* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
AVX2_INLINE void Store(RasterPixel* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// Lane masks for the last width % 8 pixels of a row: n lanes on from kTailMasks + 8 - n.
const int32_t kTailMasks[16] = {-1, -1, -1, -1, -1, -1, -1, -1, 0, 0, 0, 0, 0, 0, 0, 0};

template <bool kFull>
AVX2_INLINE __m256i Blend(__m256i d, __m256i s, __m256i weight8) {
    return kFull ? BlendFull(d, s) : BlendPartial(d, s, weight8);
}

// The whole groups of eight pixels of one row. Groups that are wholly transparent are skipped,
// wholly opaque ones stored at full weight.
template <bool kFull>
AVX2_INLINE void WholeGroups(RasterPixel* dRow, const RasterPixel* sRow, int whole, __m256i weight8) {
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    for (int x = 0; x < whole; x += 8) {
        __m256i s = Load(sRow + x);
        if (_mm256_testz_si256(s, alphaMask)) continue;
        if (kFull && _mm256_testc_si256(s, alphaMask)) {
            Store(dRow + x, s);
            continue;
        }
        Store(dRow + x, Blend<kFull>(Load(dRow + x), s, weight8));
    }
}

// One row's last pixels, fewer than eight, through masked loads and stores.
template <bool kFull>
AVX2_INLINE void Tail(RasterPixel* dp, const RasterPixel* sp, __m256i mask, __m256i weight8) {
    __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(sp), mask);
    if (_mm256_testz_si256(s, _mm256_set1_epi32(int(0xFF000000u)))) return;
    __m256i d = _mm256_maskload_epi32(reinterpret_cast<const int*>(dp), mask);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(dp), mask, Blend<kFull>(d, s, weight8));
}

// The last pixels, at most four, of two rows at once: one in each 128-bit half.
template <bool kFull>
AVX2_INLINE void TailPair(RasterPixel* dp0, RasterPixel* dp1, const RasterPixel* sp0, const RasterPixel* sp1,
                          __m128i mask, __m256i weight8) {
    __m256i s =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_maskload_epi32(reinterpret_cast<const int*>(sp0), mask)),
                                _mm_maskload_epi32(reinterpret_cast<const int*>(sp1), mask), 1);
    if (_mm256_testz_si256(s, _mm256_set1_epi32(int(0xFF000000u)))) return;
    __m256i d =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_maskload_epi32(reinterpret_cast<const int*>(dp0), mask)),
                                _mm_maskload_epi32(reinterpret_cast<const int*>(dp1), mask), 1);
    __m256i out = Blend<kFull>(d, s, weight8);
    _mm_maskstore_epi32(reinterpret_cast<int*>(dp0), mask, _mm256_castsi256_si128(out));
    _mm_maskstore_epi32(reinterpret_cast<int*>(dp1), mask, _mm256_extracti128_si256(out, 1));
}

template <bool kFull>
AVX2_FUNCTION void CopyRows(const AlphaRegion& r, int w) {
    const __m256i weight8 = _mm256_set1_epi16(short(kFull ? 0 : w << 8));
    const int whole = r.mWidth & ~7;
    const int rest = r.mWidth & 7;
    // Locals, so that the stores into the rows cannot make the compiler reload them.
    const ptrdiff_t dStride = r.mDstStride, sStride = r.mSrcStride;
    const int height = r.mHeight;
    RasterPixel* dRow = r.mpDst;
    const RasterPixel* sRow = r.mpSrc;
    int y = 0;
    if (rest > 0 && rest <= 4) {
        // Rows such as the 12 or 11 pixels of a control image: two rows' tails share a group.
        const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kTailMasks + 8 - rest));
        for (; y + 2 <= height; y += 2, dRow += 2 * dStride, sRow += 2 * sStride) {
            WholeGroups<kFull>(dRow, sRow, whole, weight8);
            WholeGroups<kFull>(dRow + dStride, sRow + sStride, whole, weight8);
            TailPair<kFull>(dRow + whole, dRow + dStride + whole, sRow + whole, sRow + sStride + whole, mask, weight8);
        }
    }
    const __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kTailMasks + 8 - rest));
    for (; y < height; ++y, dRow += dStride, sRow += sStride) {
        WholeGroups<kFull>(dRow, sRow, whole, weight8);
        if (rest) Tail<kFull>(dRow + whole, sRow + whole, mask, weight8);
    }
}

}  // namespace

bool Avx2KernelRunnable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

void AlphaCopyRegionAvx2(const AlphaRegion& r, int w) {
    if (w >= 256)
        CopyRows<true>(r, 256);
    else if (w > 0)
        CopyRows<false>(r, w);
    else
        AlphaCopyRegionScalar(r, w);
}

#else

bool Avx2KernelRunnable() { return false; }

void AlphaCopyRegionAvx2(const AlphaRegion& r, int w) { AlphaCopyRegionScalar(r, w); }

#endif

}  // namespace raster
