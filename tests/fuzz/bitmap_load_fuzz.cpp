// The bitmap loader on any byte block: it either refuses the block or loads
// it without reading past its end, and what it loads is the block's picture:
// the header's width, the height made top-down, the colour table, and every
// row in top-down order.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "surface/bitmap_load.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Surface* surface = SurfaceLoadDib(data, size);
    if (surface == nullptr) {
        return 0;
    }
    BitmapInfoHeader header;
    std::memcpy(&header, data, sizeof header);
    const int64_t rows = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
    const size_t stride = static_cast<size_t>(SurfaceStrideFor(header.biWidth));
    const size_t tableBytes = SURFACE_TABLE_ENTRIES * sizeof(RgbQuad);
    const size_t pixelOffset = sizeof header + tableBytes;
    fuzz::Check(surface->header->biWidth == header.biWidth, "width differs from the header's");
    fuzz::Check(surface->header->biHeight == -rows, "height is not the header's, top-down");
    fuzz::Check(pixelOffset + stride * static_cast<size_t>(rows) <= size,
                "loaded a block shorter than its pixels");
    fuzz::Check(std::memcmp(SurfaceRgbTable(surface), data + sizeof header, tableBytes) == 0,
                "colour table differs from the block's");
    for (int64_t row = 0; row < rows; ++row) {
        const int64_t stored = header.biHeight > 0 ? rows - 1 - row : row;
        fuzz::Check(
            std::memcmp(surface->pixels + static_cast<size_t>(row) * stride,
                        data + pixelOffset + static_cast<size_t>(stored) * stride, stride) == 0,
            "a row differs from the block's");
    }
    SurfaceDestroy(surface);
    return 0;
}
