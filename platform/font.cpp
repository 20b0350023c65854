#include "platform/font.h"

#include "platform/font_table.h"

namespace platform {

void FontDeriveRows(Font* font) {
    for (int slot = 0; slot < FONT_GLYPH_SLOTS; ++slot) {
        const uint16_t* rows = font->rows[slot];
        int top = 0;
        int bottom = FONT_CELL_HEIGHT;
        while (top < bottom && rows[top] == 0) {
            ++top;
        }
        while (bottom > top && rows[bottom - 1] == 0) {
            --bottom;
        }
        font->inkTop[slot] = static_cast<uint8_t>(top < bottom ? top : 0);
        font->inkBottom[slot] = static_cast<uint8_t>(top < bottom ? bottom : 0);
        for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
            unsigned reversed = 0;
            for (int bit = 0; bit < 16; ++bit) {
                reversed |= ((rows[r] >> bit) & 1u) << (15 - bit);
            }
            font->leftFirst[slot][r] = static_cast<uint16_t>(reversed);
        }
    }
}

Font* FontCreateIndirect(const LogFontA* request) {
    // Every request (the program asks for 12-pixel "ＭＳ ゴシック", fixed
    // pitch, Shift-JIS) is answered with the one embedded face.
    static_cast<void>(request);
    const FontTableBytes table = FontEmbeddedTable();
    return FontCreateFromTable(table.data, table.size, "the embedded font_glyphs.bin");
}

void FontDestroy(Font* font) {
    delete font;
}

bool FontFindGlyph(const Font* font, uint16_t code, FontGlyph* glyph) {
    // A slot the face has no glyph for was never drawn into, so it is blank.
    const int slot = FontGlyphSlot(code);
    if (glyph != nullptr) {
        *glyph = FontGlyph{font->rows[slot], FontSlotWidth(slot)};
    }
    return font->present[slot] != 0;
}

}  // namespace platform
