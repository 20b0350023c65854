// Encodes an 8-bit indexed image as a Windows BMP file image: file header,
// BITMAPINFOHEADER, a 256-entry colour table and bottom-up pixel rows.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/asset_generator/colour_table.h"

// Offset of the pixel rows: 14-byte file header + 40-byte info header + 256 * 4 table bytes.
constexpr uint32_t BMP_PIXEL_OFFSET = 14 + 40 + 256 * 4;

// `pixels` holds width * height indices, top row first. Rows are written
// bottom row first, each padded with zeros to a multiple of 4 bytes.
// Throws std::invalid_argument when the sizes do not match.
std::vector<uint8_t> BmpEncode(int width, int height, const std::vector<uint8_t>& pixels,
                               const std::array<Rgb, 256>& table);
