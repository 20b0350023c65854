#include <algorithm>
#include <cstdint>
#include <cstring>

#include "surface/blit_kernels.h"
#include "surface/surface.h"
#include "surface/surface_runs.h"

namespace {

// Rows [first, last] of a w-byte-wide linear source rectangle starting at
// byte offset base that lie wholly inside a pixel block of size bytes.
// Returns false when no row does.
bool SourceRowsInside(int64_t base, int64_t stride, int64_t w, int64_t h, int64_t size,
                      int64_t* first, int64_t* last) {
    if (stride <= 0) {
        // A zero-width source: every row starts at base.
        if (base < 0 || base + w > size) {
            return false;
        }
        *first = 0;
        *last = h - 1;
        return true;
    }
    const int64_t lastEnd = size - w - base;  // room left for r * stride
    if (lastEnd < 0) {
        return false;
    }
    *first = base >= 0 ? 0 : (-base + stride - 1) / stride;
    *last = std::min(h - 1, lastEnd / stride);
    return *first <= *last;
}

}  // namespace

void SurfaceBlit(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy,
                 int key) {
    if (dst == nullptr || src == nullptr) {
        return;
    }
    if (w == 0 || h == 0) {
        return;
    }
    // The clip runs in 64 bits so that extreme arguments cannot overflow.
    int64_t x = dx, y = dy, cw = w, ch = h, srcX = sx, srcY = sy;
    if (x < 0) {
        cw += x;
        srcX -= x;
        x = 0;
    }
    if (y < 0) {
        ch += y;
        srcY -= y;
        y = 0;
    }
    const int64_t dstWidth = dst->header->biWidth;
    const int64_t dstRows = SurfaceRows(dst);
    if (x + cw >= dstWidth) {
        cw = dstWidth - x;
    }
    if (y + ch >= dstRows) {
        ch = dstRows - y;
    }
    if (cw <= 0 || ch <= 0) {
        return;
    }

    const int64_t srcStride = SurfaceStride(src);
    const int64_t dstStride = SurfaceStride(dst);
    const int64_t base = srcY * srcStride + srcX;
    int64_t first = 0;
    int64_t last = 0;
    if (!SourceRowsInside(base, srcStride, cw, ch, static_cast<int64_t>(SurfacePixelBytes(src)),
                          &first, &last)) {
        return;
    }

    const uint8_t* srcRow = src->pixels + (base + first * srcStride);
    uint8_t* dstRow = dst->pixels + (y + first) * dstStride + x;
    const int rows = static_cast<int>(last - first + 1);
    const int width = static_cast<int>(cw);
    SurfaceDropRuns(dst);
    SurfaceBoundsAdd(&dst->drawn, x, y + first, x + cw, y + first + rows);

    const SurfaceRuns* runs = src->runs;
    if (key >= 0 && runs != nullptr && runs->key == static_cast<uint8_t>(key & 0xFF) &&
        srcStride > 0) {
        SurfaceRunsBlit(runs, dstRow, dstStride, base + first * srcStride, cw, rows, srcStride);
        return;
    }
    if (key < 0) {
        for (int r = 0; r < rows; ++r, srcRow += srcStride, dstRow += dstStride) {
            std::memcpy(dstRow, srcRow, static_cast<size_t>(width));
        }
        return;
    }
    blit::KeyedBest()(dstRow, dstStride, srcRow, srcStride, width, rows,
                      static_cast<uint8_t>(key & 0xFF));
}
