#include "surface/surface_runs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "surface/blit_kernels.h"
#include "surface/surface.h"

namespace {

// Calls visit(y, begin, end) for every run of bytes other than key, row by
// row, left to right; a row's columns run to its stride, padding included.
template <typename Visit>
void ForEachRun(const Surface* surface, uint8_t key, Visit visit) {
    const int stride = SurfaceStride(surface);
    const int rows = SurfaceRows(surface);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* row = surface->pixels + static_cast<size_t>(y) * stride;
        int x = 0;
        while (x < stride) {
            while (x < stride && row[x] == key) {
                ++x;
            }
            const int begin = x;
            while (x < stride && row[x] != key) {
                ++x;
            }
            if (begin < x) {
                visit(y, begin, x);
            }
        }
    }
}

}  // namespace

bool SurfacePrepareRuns(Surface* surface, int key) {
    SurfaceDropRuns(surface);
    if (surface == nullptr || key < 0) {
        return false;
    }
    const auto byte = static_cast<uint8_t>(key & 0xFF);
    const int stride = SurfaceStride(surface);
    const int rows = SurfaceRows(surface);
    size_t count = 0;
    size_t bytes = 0;
    ForEachRun(surface, byte, [&](int, int begin, int end) {
        count += 1;
        bytes += static_cast<size_t>(end - begin);
    });
    if (count > UINT32_MAX || bytes > UINT32_MAX) {
        return false;
    }
    // One block: the record, the row table, the spans (both need only 4-byte
    // alignment, which the record's size keeps), then the packed bytes.
    const size_t tableBytes = (static_cast<size_t>(rows) + 1) * sizeof(uint32_t);
    const size_t spanBytes = count * sizeof(SurfaceSpan);
    void* block = std::malloc(sizeof(SurfaceRuns) + tableBytes + spanBytes + bytes);
    if (block == nullptr) {
        return false;
    }
    auto* runs = static_cast<SurfaceRuns*>(block);
    auto* rowStart =
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(block) + sizeof(SurfaceRuns));
    auto* spans = reinterpret_cast<SurfaceSpan*>(reinterpret_cast<uint8_t*>(rowStart) + tableBytes);
    uint8_t* packed = reinterpret_cast<uint8_t*>(spans) + spanBytes;
    uint32_t next = 0;
    uint32_t packedNext = 0;
    int rowsStarted = 0;  // rows whose first span's index is in rowStart
    ForEachRun(surface, byte, [&](int y, int begin, int end) {
        while (rowsStarted <= y) {
            rowStart[rowsStarted++] = next;
        }
        spans[next++] = SurfaceSpan{begin, end, packedNext, y};
        std::memcpy(packed + packedNext, surface->pixels + static_cast<size_t>(y) * stride + begin,
                    static_cast<size_t>(end - begin));
        packedNext += static_cast<uint32_t>(end - begin);
    });
    while (rowsStarted <= rows) {
        rowStart[rowsStarted++] = next;
    }
    *runs = SurfaceRuns{byte, rowStart, spans, packed};
    surface->runs = runs;
    return true;
}

void SurfaceDropRuns(Surface* surface) {
    if (surface != nullptr && surface->runs != nullptr) {
        std::free(surface->runs);
        surface->runs = nullptr;
    }
}

namespace {

// Copies length bytes of a span; a length of 0 or less copies nothing.
struct PortableCopy {
    void operator()(uint8_t* out, const uint8_t* in, int64_t length) const {
        if (length <= 0) {
            return;
        }
        // A star is a byte or two: a call to the library copy costs more.
        if (length < 8) {
            for (int64_t i = 0; i < length; ++i) {
                out[i] = in[i];
            }
        } else {
            std::memcpy(out, in, static_cast<size_t>(length));
        }
    }
};

#if defined(__x86_64__) || defined(__i386__)
// 64 bytes a step, the last part with masks that touch no byte past the span.
// A span of up to 64 bytes, or of none, is one masked copy without a branch
// on its length: a sparse image's runs fall in and out of a rectangle at
// random, which would defeat the branch predictor.
#define KARIDO_RUNS_AVX512 __attribute__((target("avx512f,avx512bw,bmi2")))
struct Avx512Copy {
    KARIDO_RUNS_AVX512 void operator()(uint8_t* out, const uint8_t* in, int64_t length) const {
        if (length <= 64) {
            const __mmask64 bytes =
                _bzhi_u64(~uint64_t{0}, static_cast<unsigned>(std::max<int64_t>(length, 0)));
            _mm512_mask_storeu_epi8(out, bytes, _mm512_maskz_loadu_epi8(bytes, in));
            return;
        }
        int64_t i = 0;
        for (; i + 64 <= length; i += 64) {
            _mm512_storeu_si512(out + i, _mm512_loadu_si512(in + i));
        }
        if (i < length) {
            const __mmask64 rest = _bzhi_u64(~uint64_t{0}, static_cast<unsigned>(length - i));
            _mm512_mask_storeu_epi8(out + i, rest, _mm512_maskz_loadu_epi8(rest, in + i));
        }
    }
};
#endif

// Copies the spans of source row y that meet columns [from, to) to dst, whose
// first byte stands for column from, from their packed bytes.
template <typename Copy>
[[gnu::always_inline]] inline void CopySpans(const uint32_t* rowStart, const SurfaceSpan* spans,
                                             const uint8_t* packed, uint8_t* dst, int64_t y,
                                             int64_t from, int64_t to) {
    const SurfaceSpan* span = spans + rowStart[y];
    const SurfaceSpan* end = spans + rowStart[y + 1];
    // Most rows hold a few spans; a long row is searched for its first span
    // that reaches into the columns.
    if (end - span > 8) {
        span = std::lower_bound(span, end, from,
                                [](const SurfaceSpan& s, int64_t x) { return s.end <= x; });
    }
    for (; span < end && span->begin < to; ++span) {
        const int64_t begin = std::max<int64_t>(span->begin, from);
        const int64_t stop = std::min<int64_t>(span->end, to);
        Copy{}(dst + (begin - from), packed + span->packed + (begin - span->begin), stop - begin);
    }
}

template <typename Copy>
[[gnu::always_inline]] inline void RowsBlit(const SurfaceRuns* runs, uint8_t* dst,
                                            int64_t dstStride, int64_t base, int64_t w,
                                            int64_t rows, int64_t srcStride) {
    // Read once: the stores below could alias the record as far as the
    // compiler knows.
    const uint32_t* const rowStart = runs->rowStart;
    const SurfaceSpan* const spans = runs->spans;
    const uint8_t* const packed = runs->packed;
    // Each row starts one source row further down, in the same column.
    const int64_t firstY = base / srcStride;
    const int64_t x = base - firstY * srcStride;
    if (x + w <= srcStride) {
        // No row runs on into the next: one pass over the runs of the rows,
        // each cut to the columns (an image drawn in full needs no cut).
        const SurfaceSpan* span = spans + rowStart[firstY];
        const SurfaceSpan* const end = spans + rowStart[firstY + rows];
        for (; span < end; ++span) {
            const int64_t begin = std::max<int64_t>(span->begin, x);
            const int64_t stop = std::min<int64_t>(span->end, x + w);
            Copy{}(dst + (span->row - firstY) * dstStride + (begin - x),
                   packed + span->packed + (begin - span->begin), stop - begin);
        }
        return;
    }
    const int64_t piece = std::min(w, srcStride - x);
    for (int64_t y = firstY; y < firstY + rows; ++y, dst += dstStride) {
        CopySpans<Copy>(rowStart, spans, packed, dst, y, x, x + piece);
        // A row that runs on into the next source rows, from their first column.
        for (int64_t done = piece, next = y + 1; done < w; done += srcStride, ++next) {
            CopySpans<Copy>(rowStart, spans, packed, dst + done, next, 0,
                            std::min(w - done, srcStride));
        }
    }
}

using RunsKernel = void (*)(const SurfaceRuns*, uint8_t*, int64_t, int64_t, int64_t, int64_t,
                            int64_t);

void RowsBlitPortable(const SurfaceRuns* runs, uint8_t* dst, int64_t dstStride, int64_t base,
                      int64_t w, int64_t rows, int64_t srcStride) {
    RowsBlit<PortableCopy>(runs, dst, dstStride, base, w, rows, srcStride);
}

#if defined(__x86_64__) || defined(__i386__)
KARIDO_RUNS_AVX512 void RowsBlitAvx512(const SurfaceRuns* runs, uint8_t* dst, int64_t dstStride,
                                       int64_t base, int64_t w, int64_t rows, int64_t srcStride) {
    RowsBlit<Avx512Copy>(runs, dst, dstStride, base, w, rows, srcStride);
}
#undef KARIDO_RUNS_AVX512
#endif

RunsKernel BestRunsKernel() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (blit::CpuHasAvx512() && __builtin_cpu_supports("bmi2")) {
        return RowsBlitAvx512;
    }
#endif
    return RowsBlitPortable;
}

}  // namespace

void SurfaceRunsBlit(const SurfaceRuns* runs, uint8_t* dst, int64_t dstStride, int64_t base,
                     int64_t w, int64_t rows, int64_t srcStride) {
    static const RunsKernel kernel = BestRunsKernel();
    kernel(runs, dst, dstStride, base, w, rows, srcStride);
}
