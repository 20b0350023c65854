// Opaque spans of a fixed image: for each row, the runs of bytes that are not
// the colour key, found once when the image is prepared. A keyed blit from a
// surface that has them copies only those runs and never looks at the key's
// bytes, the way a run-length encoded image skips them. What it draws is
// exactly what the byte-by-byte keyed copy draws.
#pragma once

#include <cstdint>

#include "base/surface_record.h"

// One run of a row: columns [begin, end) hold no key byte. A row's columns
// run to its stride, the padding bytes included, so that a blit whose source
// rectangle runs on from one row into the next finds what it reads there.
// The run's bytes are kept packed, one run after the other, from byte packed
// of the packed block: a blit reads them in order, as a run-length encoded
// image is read, instead of picking them out of the sparse rows.
struct SurfaceSpan {
    int32_t begin;
    int32_t end;
    uint32_t packed;
    int32_t row;  // the row that holds the run
};

struct SurfaceRuns {
    uint8_t key;
    // Row r's spans are spans[rowStart[r]] .. spans[rowStart[r + 1] - 1], left
    // to right; rowStart has one entry for each row of the surface and one more.
    const uint32_t* rowStart;
    const SurfaceSpan* spans;
    const uint8_t* packed;
};

// Finds the spans of every row of surface for the key's low 8 bits and packs
// their bytes (replacing any found before). Returns false, leaving the surface without spans, when
// memory runs out or the key is negative; blits then compare byte by byte.
bool SurfacePrepareRuns(Surface* surface, int key);

// Forgets the spans; every call that writes a surface's pixels calls this.
// Null surfaces and surfaces without spans are allowed.
void SurfaceDropRuns(Surface* surface);

// The keyed blit through the spans: rows of w bytes, the first from byte
// offset base of the source's pixel block and each next one srcStride bytes
// further, drawn dstStride apart from dst. Every such byte must lie inside
// the pixel block; a row may start in one source row and end in the next.
void SurfaceRunsBlit(const SurfaceRuns* runs, uint8_t* dst, int64_t dstStride, int64_t base,
                     int64_t w, int64_t rows, int64_t srcStride);
