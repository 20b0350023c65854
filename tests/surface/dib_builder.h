// Builds packed DIB blocks for loader tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "surface/surface.h"

namespace testing_dib {

// Pixel value of stored row r (r = 0 is the first row in the block), column x.
using PixelFn = uint8_t (*)(int r, int x);

inline uint8_t DefaultPixel(int r, int x) { return static_cast<uint8_t>(r * 31 + x); }

// An 8-bit packed DIB: 40-byte header, 256 RGB entries (entry i = blue i,
// green 255 - i, red i ^ 0x5A), then the rows as stored, padded to 4 bytes.
inline std::vector<uint8_t> MakeDib(int width, int height, PixelFn pixel = DefaultPixel) {
    const int stride = SurfaceStrideFor(width);
    const int rows = height < 0 ? -height : height;
    BitmapInfoHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<uint32_t>(stride * rows);
    std::vector<uint8_t> block(40 + 1024 + static_cast<size_t>(stride * rows));
    std::memcpy(block.data(), &h, sizeof h);
    for (int i = 0; i < 256; ++i) {
        uint8_t* e = block.data() + 40 + 4 * i;
        e[0] = static_cast<uint8_t>(i);
        e[1] = static_cast<uint8_t>(255 - i);
        e[2] = static_cast<uint8_t>(i ^ 0x5A);
        e[3] = 0;
    }
    for (int r = 0; r < rows; ++r) {
        for (int x = 0; x < stride; ++x) {
            block[1064 + static_cast<size_t>(r * stride + x)] = pixel(r, x);
        }
    }
    return block;
}

inline BitmapInfoHeader* HeaderOf(std::vector<uint8_t>& block) {
    return reinterpret_cast<BitmapInfoHeader*>(block.data());
}

}  // namespace testing_dib
