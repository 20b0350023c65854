#include "surface/surface.h"

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <limits>

#include "surface/surface_runs.h"

namespace {

// The one row buffer of SurfaceFlipRows. Rows wider than the buffer are
// swapped in buffer-sized pieces.
constexpr size_t ROW_BUFFER_SIZE = 512;
uint8_t rowBuffer[ROW_BUFFER_SIZE];

int64_t AbsHeight(int32_t height) { return height < 0 ? -int64_t{height} : int64_t{height}; }

size_t HeaderBlockSize(int mode) {
    return SURFACE_HEADER_SIZE +
           (mode == DIB_PAL_COLORS ? SURFACE_TABLE_ENTRIES * sizeof(uint16_t)
                                   : SURFACE_TABLE_ENTRIES * sizeof(RgbQuad));
}

uint8_t* ColourTable(Surface* surface) {
    return reinterpret_cast<uint8_t*>(surface->header) + SURFACE_HEADER_SIZE;
}

}  // namespace

void SurfaceHeaderInit(BitmapInfoHeader* header, int width, int height, uint32_t sizeImage) {
    *header = BitmapInfoHeader{};
    header->biSize = SURFACE_HEADER_SIZE;
    header->biWidth = width;
    header->biHeight = static_cast<int32_t>(-AbsHeight(height));
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biCompression = BI_RGB;
    header->biSizeImage = sizeImage;
}

int SurfaceStride(const Surface* surface) { return SurfaceStrideFor(surface->header->biWidth); }

int SurfaceRows(const Surface* surface) {
    return static_cast<int>(AbsHeight(surface->header->biHeight));
}

size_t SurfacePixelBytes(const Surface* surface) {
    return static_cast<size_t>(SurfaceStride(surface)) * static_cast<size_t>(SurfaceRows(surface));
}

RgbQuad* SurfaceRgbTable(Surface* surface) {
    return reinterpret_cast<RgbQuad*>(ColourTable(surface));
}

uint16_t* SurfaceIndexTable(Surface* surface) {
    return reinterpret_cast<uint16_t*>(ColourTable(surface));
}

const RgbQuad* SurfaceRgbTable(const Surface* surface) {
    return SurfaceRgbTable(const_cast<Surface*>(surface));
}

const uint16_t* SurfaceIndexTable(const Surface* surface) {
    return SurfaceIndexTable(const_cast<Surface*>(surface));
}

Surface* SurfaceCreate(int width, int height, int mode) {
    if (width < 0) {
        return nullptr;
    }
    const int64_t rows = AbsHeight(height);
    const int64_t stride = platform::DibStride(width);
    const int64_t pixelBytes = stride * rows;
    if (rows > std::numeric_limits<int32_t>::max() || stride > std::numeric_limits<int32_t>::max() ||
        pixelBytes > std::numeric_limits<int32_t>::max()) {
        return nullptr;
    }

    auto* surface = static_cast<Surface*>(std::calloc(1, sizeof(Surface)));
    if (surface == nullptr) {
        return nullptr;
    }
    surface->header = static_cast<BitmapInfoHeader*>(std::calloc(1, HeaderBlockSize(mode)));
    if (surface->header == nullptr) {
        std::free(surface);
        return nullptr;
    }
    SurfaceHeaderInit(surface->header, width, height, static_cast<uint32_t>(pixelBytes));

    // Empty surfaces get a block too, so that null always means failure.
    surface->pixels = platform::PixelBlockAllocate(static_cast<size_t>(pixelBytes));
    if (surface->pixels == nullptr) {
        std::free(surface->header);
        std::free(surface);
        return nullptr;
    }
    surface->ownsPixels = 1;
    surface->tableMode = mode;

    if (mode == DIB_PAL_COLORS) {
        uint16_t* indices = SurfaceIndexTable(surface);
        for (int i = 0; i < SURFACE_TABLE_ENTRIES; ++i) {
            indices[i] = static_cast<uint16_t>(i);
        }
    } else {
        RgbQuad* colours = SurfaceRgbTable(surface);
        for (int i = 0; i < SURFACE_TABLE_ENTRIES; ++i) {
            const auto grey = static_cast<uint8_t>(i);
            colours[i] = RgbQuad{grey, grey, grey, 0};
        }
    }
    return surface;
}

void SurfaceDestroy(Surface* surface) {
    if (surface == nullptr) {
        return;
    }
    SurfaceDropRuns(surface);
    if (surface->ownsPixels) {
        platform::PixelBlockFree(surface->pixels);
    }
    std::free(surface->header);
    std::free(surface);
}

void SurfaceBoundsAdd(SurfaceBounds* bounds, int64_t left, int64_t top, int64_t right,
                      int64_t bottom) {
    if (right <= left || bottom <= top) {
        return;
    }
    // Callers pass rectangles already clipped to a surface, which fit 32 bits.
    if (bounds->right <= bounds->left || bounds->bottom <= bounds->top) {
        *bounds = SurfaceBounds{static_cast<int32_t>(left), static_cast<int32_t>(top),
                                static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
        return;
    }
    bounds->left = static_cast<int32_t>(std::min<int64_t>(bounds->left, left));
    bounds->top = static_cast<int32_t>(std::min<int64_t>(bounds->top, top));
    bounds->right = static_cast<int32_t>(std::max<int64_t>(bounds->right, right));
    bounds->bottom = static_cast<int32_t>(std::max<int64_t>(bounds->bottom, bottom));
}

void SurfacePixelsChanged(Surface* surface) {
    SurfaceDropRuns(surface);
    SurfaceBoundsAdd(&surface->drawn, 0, 0, SurfaceStride(surface), SurfaceRows(surface));
}

void SurfacePutPixel(Surface* surface, int x, int y, int value) {
    const int64_t stride = SurfaceStride(surface);
    const int64_t offset = int64_t{y} * stride + x;
    if (offset < 0 || static_cast<uint64_t>(offset) >= SurfacePixelBytes(surface)) {
        return;
    }
    surface->pixels[offset] = static_cast<uint8_t>(value);
    // The linear offset may have wrapped from another row: record where the
    // byte really is.
    SurfaceDropRuns(surface);
    SurfaceBoundsAdd(&surface->drawn, offset % stride, offset / stride, offset % stride + 1,
                     offset / stride + 1);
}

void SurfaceFlipRows(Surface* surface) {
    SurfacePixelsChanged(surface);
    const size_t stride = static_cast<size_t>(SurfaceStride(surface));
    const size_t rows = static_cast<size_t>(SurfaceRows(surface));
    for (size_t i = 0; i < rows / 2; ++i) {
        uint8_t* upper = surface->pixels + i * stride;
        uint8_t* lower = surface->pixels + (rows - 1 - i) * stride;
        for (size_t done = 0; done < stride; done += ROW_BUFFER_SIZE) {
            const size_t piece = stride - done < ROW_BUFFER_SIZE ? stride - done : ROW_BUFFER_SIZE;
            std::memcpy(rowBuffer, upper + done, piece);
            std::memcpy(upper + done, lower + done, piece);
            std::memcpy(lower + done, rowBuffer, piece);
        }
    }
}
