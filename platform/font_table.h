// The glyph table: the font's glyphs as a compact file, written on the build
// machine from the Shinonome font files (tools/font_table, with FreeType) and
// committed as platform/font_glyphs.bin, which is linked into the executable.
// The program builds its Font from it at start-up without any font library.
//
// Format, version 1. Integers are little-endian; offsets are in bytes.
//
//   offset size  field
//        0    8  magic: the bytes "KRDGLYPH"
//        8    2  format version: 1
//       10    1  cell height: FONT_CELL_HEIGHT (12)
//       11    1  half width: FONT_HALF_WIDTH (6)
//       12    1  full width: FONT_FULL_WIDTH (12)
//       13    1  zero
//       14    2  half-width slots: FONT_SINGLE_BYTE_GLYPHS (256), the first
//                slots; every later slot is full width
//       16    4  slot count: FONT_GLYPH_SLOTS (9093)
//       20    4  H, the half-width glyphs: present slots below 256
//       24    4  F, the full-width glyphs: present slots from 256 on
//       28    4  table size: the whole table, this header included, which is
//                32 + B + 12 H + 18 F
//       32    B  presence bitmap, B = (slot count + 7) / 8: slot s is present
//                when bit s % 8 (value 1 << (s % 8)) of byte s / 8 is set.
//                The bits after the last slot are 0, and the last slot
//                (FONT_MISSING_GLYPH) is never present.
//   32 + B 12 H  the half-width glyphs, in slot order: one byte per row, top
//                row first, bit 7 the leftmost pixel; bits 1 and 0 are 0.
//       ... 18 F the full-width glyphs, in slot order: rows 2k and 2k + 1 in
//                three bytes, top pair first. With bit 11 as a row's
//                leftmost pixel: byte 0 holds bits 11-4 of row 2k, byte 1
//                bits 3-0 of row 2k in its high half and bits 11-8 of row
//                2k + 1 in its low half, byte 2 bits 7-0 of row 2k + 1.
//
// Only the present glyphs' rows are stored; a slot that is not present is
// blank. The ink rows (inkTop, inkBottom) and the leftFirst rows are derived
// from the rows when the font is created (FontDeriveRows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/font.h"

namespace platform {

inline constexpr char FONT_TABLE_MAGIC[8] = {'K', 'R', 'D', 'G', 'L', 'Y', 'P', 'H'};
inline constexpr uint16_t FONT_TABLE_VERSION = 1;
inline constexpr size_t FONT_TABLE_HEADER_SIZE = 32;
inline constexpr size_t FONT_TABLE_BITMAP_SIZE = (FONT_GLYPH_SLOTS + 7) / 8;
// Where the fields above lie, from the table's start.
inline constexpr size_t FONT_TABLE_AT_VERSION = 8;
inline constexpr size_t FONT_TABLE_AT_CELL_HEIGHT = 10;
inline constexpr size_t FONT_TABLE_AT_HALF_WIDTH = 11;
inline constexpr size_t FONT_TABLE_AT_FULL_WIDTH = 12;
inline constexpr size_t FONT_TABLE_AT_ZERO = 13;
inline constexpr size_t FONT_TABLE_AT_HALF_SLOTS = 14;
inline constexpr size_t FONT_TABLE_AT_SLOTS = 16;
inline constexpr size_t FONT_TABLE_AT_HALF_GLYPHS = 20;
inline constexpr size_t FONT_TABLE_AT_FULL_GLYPHS = 24;
inline constexpr size_t FONT_TABLE_AT_TABLE_SIZE = 28;
inline constexpr size_t FONT_TABLE_AT_BITMAP = FONT_TABLE_HEADER_SIZE;
inline constexpr size_t FONT_TABLE_AT_ROWS = FONT_TABLE_AT_BITMAP + FONT_TABLE_BITMAP_SIZE;
inline constexpr size_t FONT_TABLE_HALF_GLYPH_SIZE = FONT_CELL_HEIGHT;           // 12 bytes
inline constexpr size_t FONT_TABLE_FULL_GLYPH_SIZE = FONT_CELL_HEIGHT * 12 / 8;  // 18 bytes

// Builds a font from a glyph table of size bytes at data. Every field of the
// table is checked, and nothing past data + size is read: a table that is
// damaged in any way (wrong magic or version, another cell geometry or slot
// count, counts that disagree with each other, with the presence bitmap or
// with the size, bits that must be 0, truncated, or followed by extra bytes)
// gives null after one line on stderr naming the table (name) and the
// reason; so does running out of memory. The bytes are only read during the
// call. Release the font with FontDestroy.
Font* FontCreateFromTable(const uint8_t* data, size_t size, const char* name);

// Writes the glyph table of font into *table (replacing what it held).
// Returns false, after one line on stderr, when the font has what the table
// cannot hold: pixels outside a glyph's width, ink in a slot that is not
// present, or a present FONT_MISSING_GLYPH. Only rows and present are read.
bool FontWriteTable(const Font& font, std::vector<uint8_t>* table);

// The glyph table linked into the executable (platform/font_glyphs.bin).
struct FontTableBytes {
    const uint8_t* data;
    size_t size;
};
FontTableBytes FontEmbeddedTable();

}  // namespace platform
