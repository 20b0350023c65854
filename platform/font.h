// The program's one font: a 12-pixel fixed-pitch Japanese bitmap face linked
// into the executable (half-width 6x12 JIS X 0201 characters and full-width
// 12x12 JIS X 0208 characters). The executable carries the glyphs as a
// compact table (platform/font_table.h), written on the build machine from
// the Shinonome font files; creating the font unpacks it into the 1-bit
// glyph rows below, with no font library at run time. Drawing reads only
// those rows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cp932.h"

namespace platform {

inline constexpr int FONT_CELL_HEIGHT = 12;  // rows of every glyph cell
inline constexpr int FONT_HALF_WIDTH = 6;    // single-byte characters
inline constexpr int FONT_FULL_WIDTH = 12;   // double-byte characters

// Glyph table slots: the 256 single-byte codes, the 94 x 94 JIS X 0208
// codes, and one blank slot for every double-byte code the font lacks.
inline constexpr int FONT_SINGLE_BYTE_GLYPHS = 256;
inline constexpr int FONT_JIS_GLYPHS = 94 * 94;
inline constexpr int FONT_MISSING_GLYPH = FONT_SINGLE_BYTE_GLYPHS + FONT_JIS_GLYPHS;
inline constexpr int FONT_GLYPH_SLOTS = FONT_MISSING_GLYPH + 1;

// Field-for-field the Win32 LOGFONTA request.
inline constexpr int LF_FACESIZE = 32;
struct LogFontA {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];  // CP932, zero-terminated unless it fills the array
};

inline constexpr int32_t FW_NORMAL = 400;
inline constexpr uint8_t SHIFTJIS_CHARSET = 128;
inline constexpr uint8_t FIXED_PITCH = 1;
inline constexpr uint8_t FF_MODERN = 0x30;

struct Font {
    // FONT_CELL_HEIGHT row masks per slot; bit 15 is the cell's leftmost
    // pixel. Half-width glyphs use bits 15-10, full-width bits 15-4.
    uint16_t rows[FONT_GLYPH_SLOTS][FONT_CELL_HEIGHT];
    // 1 where the face has a glyph for the slot's code (a space counts).
    uint8_t present[FONT_GLYPH_SLOTS];
    // The rows [inkTop, inkBottom) hold every set pixel of the slot's glyph,
    // so drawing skips the blank rows above and below; both 0 when blank.
    uint8_t inkTop[FONT_GLYPH_SLOTS];
    uint8_t inkBottom[FONT_GLYPH_SLOTS];
    // The rows again with the leftmost pixel in bit 0: the byte mask of a
    // store that writes the row's set pixels in one go.
    uint16_t leftFirst[FONT_GLYPH_SLOTS][FONT_CELL_HEIGHT];
};

// Any requested face resolves to the embedded 12-pixel font, built from the
// glyph table linked into the executable; the request itself may be null.
// Returns null, after one line on stderr, when the embedded table cannot be
// read or memory runs out.
Font* FontCreateIndirect(const LogFontA* request);

// Releases a font from FontCreateIndirect, FontCreateFromTable
// (font_table.h) or FontCreateFromFiles (font_files.h). Null is allowed.
void FontDestroy(Font* font);

// For the code that builds a font: fills inkTop, inkBottom and leftFirst of
// every slot from its rows, which must be complete.
void FontDeriveRows(Font* font);

constexpr int FontCellHeight(const Font*) {
    return FONT_CELL_HEIGHT;
}
constexpr int FontHalfWidth(const Font*) {
    return FONT_HALF_WIDTH;
}
constexpr int FontFullWidth(const Font*) {
    return FONT_FULL_WIDTH;
}

// The glyph slot of a CP932 character code (a single byte 0x00-0xFF, or
// lead << 8 | trail). Double-byte codes outside JIS X 0208 get
// FONT_MISSING_GLYPH, which is always blank.
constexpr int FontGlyphSlot(uint16_t code) {
    if (code <= 0xFF) {
        return code;
    }
    const uint16_t jis = Cp932ToJis(code);
    if (jis == 0) {
        return FONT_MISSING_GLYPH;
    }
    return FONT_SINGLE_BYTE_GLYPHS + ((jis >> 8) - 0x21) * 94 + ((jis & 0xFF) - 0x21);
}

// Cell width of a glyph slot: 6 for the single-byte slots, 12 for the rest.
constexpr int FontSlotWidth(int slot) {
    return slot < FONT_SINGLE_BYTE_GLYPHS ? FONT_HALF_WIDTH : FONT_FULL_WIDTH;
}

// A glyph as the table holds it.
struct FontGlyph {
    const uint16_t* rows;  // FONT_CELL_HEIGHT masks, bit 15 leftmost
    int width;             // 6 or 12
};

// Looks up the glyph of a CP932 character code. Returns false, and a blank
// glyph of the code's width, when the font has none for it.
// Precondition: font is not null.
bool FontFindGlyph(const Font* font, uint16_t code, FontGlyph* glyph);

}  // namespace platform
