#include "surface/blit_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/cpu.h"

namespace blit {

void KeyedScalar(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride,
                 int w, int h, uint8_t key) {
    for (int row = 0; row < h; ++row, dst += dstStride, src += srcStride) {
        for (int i = 0; i < w; ++i) {
            if (src[i] != key) {
                dst[i] = src[i];
            }
        }
    }
}

#if defined(__x86_64__) || defined(__i386__)

namespace {

// One 16-byte group: mostly-transparent groups (star fields, the overlay's
// see-through square) skip the store, fully opaque groups store without
// reading the destination, mixed groups blend.
inline void KeyedGroup16(uint8_t* dst, const uint8_t* src, __m128i key) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i transparent = _mm_cmpeq_epi8(s, key);
    const int mask = _mm_movemask_epi8(transparent);
    if (mask == 0xFFFF) {
        return;
    }
    if (mask != 0) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                         _mm_or_si128(_mm_and_si128(transparent, d),
                                      _mm_andnot_si128(transparent, s)));
        return;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), s);
}

__attribute__((target("avx2"))) inline void KeyedGroup32(uint8_t* dst, const uint8_t* src,
                                                         __m256i key) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i transparent = _mm256_cmpeq_epi8(s, key);
    const unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(transparent));
    if (mask == 0xFFFFFFFFu) {
        return;
    }
    if (mask != 0) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_blendv_epi8(s, d, transparent));
        return;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), s);
}

void KeyedTail(uint8_t* dst, const uint8_t* src, int w, uint8_t key) {
    for (int i = 0; i < w; ++i) {
        if (src[i] != key) {
            dst[i] = src[i];
        }
    }
}

}  // namespace

// A row whose width is not a multiple of the group size ends with one more
// group that overlaps the previous one. Re-applying the keyed copy to bytes
// already drawn gives the same bytes again, so the overlap is harmless.
void KeyedSse2(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride, int w,
               int h, uint8_t key) {
    const __m128i k = _mm_set1_epi8(static_cast<char>(key));
    for (int row = 0; row < h; ++row, dst += dstStride, src += srcStride) {
        if (w < 16) {
            KeyedTail(dst, src, w, key);
            continue;
        }
        int i = 0;
        for (; i + 16 <= w; i += 16) {
            KeyedGroup16(dst + i, src + i, k);
        }
        if (i < w) {
            KeyedGroup16(dst + w - 16, src + w - 16, k);
        }
    }
}

__attribute__((target("avx2"))) void KeyedAvx2(uint8_t* dst, ptrdiff_t dstStride,
                                               const uint8_t* src, ptrdiff_t srcStride, int w,
                                               int h, uint8_t key) {
    const __m256i k = _mm256_set1_epi8(static_cast<char>(key));
    const __m128i k16 = _mm_set1_epi8(static_cast<char>(key));
    for (int row = 0; row < h; ++row, dst += dstStride, src += srcStride) {
        if (w < 32) {
            if (w < 16) {
                KeyedTail(dst, src, w, key);
            } else {
                KeyedGroup16(dst, src, k16);
                KeyedGroup16(dst + w - 16, src + w - 16, k16);
            }
            continue;
        }
        int i = 0;
        for (; i + 32 <= w; i += 32) {
            KeyedGroup32(dst + i, src + i, k);
        }
        if (i < w) {
            KeyedGroup32(dst + w - 32, src + w - 32, k);
        }
    }
}

// AVX-512 compares 64 bytes into a bit mask and stores only the opaque bytes
// with a masked store, so the destination is never read; the row's last
// partial group uses masked loads that touch no byte past the row.
__attribute__((target("avx512f,avx512bw"))) void KeyedAvx512(uint8_t* dst, ptrdiff_t dstStride,
                                                             const uint8_t* src,
                                                             ptrdiff_t srcStride, int w, int h,
                                                             uint8_t key) {
    const __m512i k = _mm512_set1_epi8(static_cast<char>(key));
    for (int row = 0; row < h; ++row, dst += dstStride, src += srcStride) {
        int i = 0;
        // Two groups per step: both loads are issued before either result is
        // needed, which keeps more reads in flight on wide rows.
        for (; i + 128 <= w; i += 128) {
            const __m512i a = _mm512_loadu_si512(src + i);
            const __m512i b = _mm512_loadu_si512(src + i + 64);
            const __mmask64 opaqueA = _mm512_cmpneq_epi8_mask(a, k);
            const __mmask64 opaqueB = _mm512_cmpneq_epi8_mask(b, k);
            if ((opaqueA | opaqueB) != 0) {
                _mm512_mask_storeu_epi8(dst + i, opaqueA, a);
                _mm512_mask_storeu_epi8(dst + i + 64, opaqueB, b);
            }
        }
        for (; i + 64 <= w; i += 64) {
            const __m512i s = _mm512_loadu_si512(src + i);
            const __mmask64 opaque = _mm512_cmpneq_epi8_mask(s, k);
            if (opaque != 0) {
                _mm512_mask_storeu_epi8(dst + i, opaque, s);
            }
        }
        if (i < w) {
            const __mmask64 inRow = (__mmask64{1} << (w - i)) - 1;
            const __m512i s = _mm512_maskz_loadu_epi8(inRow, src + i);
            const __mmask64 opaque = _mm512_mask_cmpneq_epi8_mask(inRow, s, k);
            _mm512_mask_storeu_epi8(dst + i, opaque, s);
        }
    }
}

bool CpuHasAvx2() { return platform::CpuMayUseAvx2(); }

bool CpuHasAvx512() { return platform::CpuMayUseAvx512(); }

KeyedKernel KeyedBest() {
    static const KeyedKernel best = CpuHasAvx512() ? KeyedAvx512
                                    : CpuHasAvx2() ? KeyedAvx2
                                                   : KeyedSse2;
    return best;
}

#else

bool CpuHasAvx2() { return false; }

bool CpuHasAvx512() { return false; }

KeyedKernel KeyedBest() { return KeyedScalar; }

#endif

}  // namespace blit
