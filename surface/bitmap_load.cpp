#include "surface/bitmap_load.h"

#include <cstdlib>
#include <cstring>

namespace {

// Widest row SurfaceFlipRows swaps through its row buffer in one piece.
constexpr int64_t MAX_STRIDE = 512;
constexpr size_t TABLE_BYTES = SURFACE_TABLE_ENTRIES * sizeof(RgbQuad);

// The block may lie at any alignment, so the header is copied out.
bool ReadHeader(const uint8_t* block, size_t size, BitmapInfoHeader* header) {
    if (block == nullptr || size < sizeof(BitmapInfoHeader)) {
        return false;
    }
    std::memcpy(header, block, sizeof(BitmapInfoHeader));
    return true;
}

}  // namespace

uint16_t DibColorCount(const BitmapInfoHeader* header) {
    if (header->biClrUsed != 0) {
        return static_cast<uint16_t>(header->biClrUsed);
    }
    switch (header->biBitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

Surface* SurfaceLoadDib(const uint8_t* block, size_t size) {
    BitmapInfoHeader header;
    if (!ReadHeader(block, size, &header)) {
        return nullptr;
    }
    if (header.biSize != sizeof(BitmapInfoHeader) || header.biPlanes != 1 ||
        header.biBitCount != 8 || header.biCompression != BI_RGB ||
        (header.biClrUsed != 0 && header.biClrUsed != 256) || header.biWidth <= 0 ||
        header.biWidth > MAX_STRIDE || header.biHeight == 0 || header.biHeight == INT32_MIN) {
        return nullptr;
    }
    const int64_t stride = SurfaceStrideFor(header.biWidth);
    const int64_t rows = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
    const size_t pixelOffset = sizeof(BitmapInfoHeader) + 4u * DibColorCount(&header);
    if (stride > MAX_STRIDE || pixelOffset < sizeof(BitmapInfoHeader) + TABLE_BYTES) {
        return nullptr;
    }
    const uint64_t pixelBytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(rows);
    if (size < pixelOffset || size - pixelOffset < pixelBytes) {
        return nullptr;
    }

    Surface* surface = SurfaceCreate(header.biWidth, header.biHeight, DIB_RGB_COLORS);
    if (surface == nullptr) {
        return nullptr;
    }
    std::memcpy(SurfaceRgbTable(surface), block + sizeof(BitmapInfoHeader), TABLE_BYTES);
    std::memcpy(surface->pixels, block + pixelOffset, static_cast<size_t>(pixelBytes));
    if (header.biHeight > 0) {
        SurfaceFlipRows(surface);  // bottom-up rows become top-down
    }
    return surface;
}

Surface* SurfaceLoadResource(const platform::Module* module, int id) {
    platform::ResourceBlock block{};
    if (!platform::ResourceFindById(module, platform::RESOURCE_BITMAP, id, &block)) {
        return nullptr;
    }
    return SurfaceLoadDib(block.data, block.size);
}
