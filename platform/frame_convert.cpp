#include "platform/frame_convert.h"

#include <cstddef>
#include <cstring>

#include "platform/cpu.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace platform {

// Four pixels per step: the loads of the next indices do not wait for the
// stores of the previous ones, which keeps several table reads in flight.
void FrameConvertScalar(const uint8_t* src, int srcStride, int width, int height,
                        const ColourTable32* table, uint32_t* dst, int dstStride) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const uint32_t* argb = table->argb;
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = src + static_cast<ptrdiff_t>(y) * srcStride;
        uint32_t* d = dst + static_cast<ptrdiff_t>(y) * dstStride;
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            const uint32_t c0 = argb[s[x]];
            const uint32_t c1 = argb[s[x + 1]];
            const uint32_t c2 = argb[s[x + 2]];
            const uint32_t c3 = argb[s[x + 3]];
            d[x] = c0;
            d[x + 1] = c1;
            d[x + 2] = c2;
            d[x + 3] = c3;
        }
        for (; x < width; ++x) {
            d[x] = argb[s[x]];
        }
    }
}

#if defined(__x86_64__)

namespace {

#define KARIDO_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// One colour channel of the table as 256 bytes in four registers: entries
// 0-63, 64-127, 128-191 and 192-255.
struct BytePlane {
    __m512i q0, q1, q2, q3;
};

struct Planes {
    BytePlane blue, green, red, alpha;
    bool opaque;  // every entry's alpha is 0xFF
};

// Splits the 0xAARRGGBB table into its four byte planes. Done once per
// call: a few hundred cycles against the tens of thousands of a frame.
KARIDO_VBMI inline Planes SplitTable(const ColourTable32* table) {
    alignas(64) uint8_t bytes[4][256];
    uint32_t alphaAnd = 0xFF;
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = table->argb[i];
        bytes[0][i] = static_cast<uint8_t>(c);
        bytes[1][i] = static_cast<uint8_t>(c >> 8);
        bytes[2][i] = static_cast<uint8_t>(c >> 16);
        bytes[3][i] = static_cast<uint8_t>(c >> 24);
        alphaAnd &= c >> 24;
    }
    Planes p;
    BytePlane* planes[4] = {&p.blue, &p.green, &p.red, &p.alpha};
    for (int c = 0; c < 4; ++c) {
        planes[c]->q0 = _mm512_load_si512(bytes[c]);
        planes[c]->q1 = _mm512_load_si512(bytes[c] + 64);
        planes[c]->q2 = _mm512_load_si512(bytes[c] + 128);
        planes[c]->q3 = _mm512_load_si512(bytes[c] + 192);
    }
    p.opaque = alphaAnd == 0xFF;
    return p;
}

// 64 table look-ups of one channel: each two-register permute covers 128
// entries using the index's low seven bits; the top bit picks which half.
KARIDO_VBMI inline __m512i LookUp(const BytePlane& plane, __m512i index, __mmask64 upperHalf) {
    const __m512i lower = _mm512_permutex2var_epi8(plane.q0, index, plane.q1);
    const __m512i upper = _mm512_permutex2var_epi8(plane.q2, index, plane.q3);
    return _mm512_mask_blend_epi8(upperHalf, lower, upper);
}

// The unpack instructions below interleave inside each 128-bit lane, so
// their k-th result holds, in lane l, pixels 16l + 4k .. 16l + 4k + 3. With
// the indices' 4-byte groups transposed as a 4x4 matrix first, the k-th
// result holds pixels 16k .. 16k + 15 in order instead.
KARIDO_VBMI inline __m512i TransposeGroups() {
    return _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
}

// Converts 64 indices into four registers of 16 pixels each, in pixel order.
// An opaque table (a frame's colours are) skips the alpha look-up: a constant
// 0xFF plane saves a third of the permutes.
template <bool kOpaque>
KARIDO_VBMI inline void ConvertBlock(__m512i indices, const Planes& p, __m512i transpose,
                                     __m512i out[4]) {
    // The two-source permute with both sources the same: GCC 12's one-source
    // form trips -Wuninitialized inside its own header.
    const __m512i index = _mm512_permutex2var_epi32(indices, transpose, indices);
    const __mmask64 upperHalf = _mm512_movepi8_mask(index);
    const __m512i b = LookUp(p.blue, index, upperHalf);
    const __m512i g = LookUp(p.green, index, upperHalf);
    const __m512i r = LookUp(p.red, index, upperHalf);
    const __m512i a =
        kOpaque ? _mm512_set1_epi8(static_cast<char>(0xFF)) : LookUp(p.alpha, index, upperHalf);
    const __m512i bgLow = _mm512_unpacklo_epi8(b, g);
    const __m512i bgHigh = _mm512_unpackhi_epi8(b, g);
    const __m512i raLow = _mm512_unpacklo_epi8(r, a);
    const __m512i raHigh = _mm512_unpackhi_epi8(r, a);
    out[0] = _mm512_unpacklo_epi16(bgLow, raLow);
    out[1] = _mm512_unpackhi_epi16(bgLow, raLow);
    out[2] = _mm512_unpacklo_epi16(bgHigh, raHigh);
    out[3] = _mm512_unpackhi_epi16(bgHigh, raHigh);
}

// Each row is converted 64 pixels at a time; the row's last partial group is
// read and written with masks, so no byte outside the region is touched.
template <bool kOpaque>
KARIDO_VBMI void ConvertRows(const uint8_t* src, ptrdiff_t srcStride, int width, int height,
                             const Planes& planes, uint32_t* dst, ptrdiff_t dstStride) {
    const __m512i transpose = TransposeGroups();
    __m512i out[4];
    for (int y = 0; y < height; ++y, src += srcStride, dst += dstStride) {
        int x = 0;
        for (; x + 64 <= width; x += 64) {
            ConvertBlock<kOpaque>(_mm512_loadu_si512(src + x), planes, transpose, out);
            _mm512_storeu_si512(dst + x, out[0]);
            _mm512_storeu_si512(dst + x + 16, out[1]);
            _mm512_storeu_si512(dst + x + 32, out[2]);
            _mm512_storeu_si512(dst + x + 48, out[3]);
        }
        const int rest = width - x;
        if (rest > 0) {
            const __mmask64 inRow = (__mmask64{1} << rest) - 1;
            ConvertBlock<kOpaque>(_mm512_maskz_loadu_epi8(inRow, src + x), planes, transpose, out);
            for (int k = 0; k < 4 && 16 * k < rest; ++k) {
                const __mmask16 store = static_cast<__mmask16>(inRow >> (16 * k));
                _mm512_mask_storeu_epi32(dst + x + 16 * k, store, out[k]);
            }
        }
    }
}

bool DetectAvx512Vbmi() {
    return CpuMayUseAvx512() && __builtin_cpu_supports("avx512vbmi") != 0;
}

}  // namespace

KARIDO_VBMI void FrameConvertAvx512Vbmi(const uint8_t* src, int srcStride, int width, int height,
                                        const ColourTable32* table, uint32_t* dst, int dstStride) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const Planes planes = SplitTable(table);
    if (planes.opaque) {
        ConvertRows<true>(src, srcStride, width, height, planes, dst, dstStride);
    } else {
        ConvertRows<false>(src, srcStride, width, height, planes, dst, dstStride);
    }
}

#undef KARIDO_VBMI

#define KARIDO_AVX2 __attribute__((target("avx2")))

namespace {

// Four look-ups, for the indices in the low 32 bits of indices (the first
// pixel's in the lowest byte), as one 128-bit register in pixel order.
// Each entry is read straight into its lane. An 8-lane gather does such
// reads in one instruction, but where it was measured it ran no faster than
// the scalar kernel, and slower than these separate reads.
KARIDO_AVX2 inline __m128i LookUp4(const uint32_t* argb, uint64_t indices) {
    const uint32_t i0 = indices & 0xFF;
    const uint32_t i1 = (indices >> 8) & 0xFF;
    const uint32_t upper = static_cast<uint32_t>(indices) >> 16;
    const uint32_t i2 = upper & 0xFF;
    const uint32_t i3 = upper >> 8;
    __m128i c = _mm_cvtsi32_si128(static_cast<int>(argb[i0]));
    c = _mm_insert_epi32(c, static_cast<int>(argb[i1]), 1);
    c = _mm_insert_epi32(c, static_cast<int>(argb[i2]), 2);
    return _mm_insert_epi32(c, static_cast<int>(argb[i3]), 3);
}

}  // namespace

// Eight pixels per step: one 8-byte read of indices, two halves of four
// look-ups, one 32-byte store. The row's last zero to seven pixels are
// converted one at a time, so no byte outside the region is touched.
KARIDO_AVX2 void FrameConvertAvx2(const uint8_t* src, int srcStride, int width, int height,
                                  const ColourTable32* table, uint32_t* dst, int dstStride) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const uint32_t* argb = table->argb;
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = src + static_cast<ptrdiff_t>(y) * srcStride;
        uint32_t* d = dst + static_cast<ptrdiff_t>(y) * dstStride;
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            uint64_t indices;
            std::memcpy(&indices, s + x, sizeof indices);
            const __m128i low = LookUp4(argb, indices);
            const __m128i high = LookUp4(argb, indices >> 32);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x), _mm256_set_m128i(high, low));
        }
        for (; x < width; ++x) {
            d[x] = argb[s[x]];
        }
    }
}

#undef KARIDO_AVX2

bool CpuHasAvx512Vbmi() {
    static const bool has = DetectAvx512Vbmi();
    return has;
}

bool CpuHasAvx2() { return CpuMayUseAvx2(); }

void FrameConvert(const uint8_t* src, int srcStride, int width, int height,
                  const ColourTable32* table, uint32_t* dst, int dstStride) {
    using Kernel = void (*)(const uint8_t*, int, int, int, const ColourTable32*, uint32_t*, int);
    static const Kernel kernel = CpuHasAvx512Vbmi() ? FrameConvertAvx512Vbmi
                                 : CpuHasAvx2()     ? FrameConvertAvx2
                                                    : FrameConvertScalar;
    kernel(src, srcStride, width, height, table, dst, dstStride);
}

#else

bool CpuHasAvx512Vbmi() {
    return false;
}

bool CpuHasAvx2() {
    return false;
}

void FrameConvert(const uint8_t* src, int srcStride, int width, int height,
                  const ColourTable32* table, uint32_t* dst, int dstStride) {
    FrameConvertScalar(src, srcStride, width, height, table, dst, dstStride);
}

#endif

}  // namespace platform
