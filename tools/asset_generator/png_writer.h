// Encodes an 8-bit indexed image as a PNG file image: the colour table as its
// palette, index C_TRANSPARENT fully transparent and every other index opaque.
//
// The pixel rows go into stored (uncompressed) deflate blocks. That makes the
// bytes depend on nothing but this code, not on a compressor library's version,
// so the committed files can be checked by regenerating them and comparing byte
// for byte. The images it is used for are small enough for that to cost little.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/asset_generator/colour_table.h"

// `pixels` holds width * height indices, top row first.
// Throws std::invalid_argument when the sizes do not match.
std::vector<uint8_t> PngEncodeIndexed(int width, int height, const std::vector<uint8_t>& pixels,
                                      const std::array<Rgb, 256>& table);
