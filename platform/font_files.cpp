#include "platform/font_files.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <limits>
#include <new>

namespace platform {

namespace {

constexpr int CELL_PIXELS = 64;  // FreeType's 26.6 fixed point

const char* FreeTypeErrorText(FT_Error error) {
    const char* text = FT_Error_String(error);
    return text != nullptr ? text : "no description";
}

void ReportFailure(const char* file, const char* reason) {
    std::fprintf(stderr, "font: cannot read %s: %s\n", file != nullptr ? file : "(unnamed)",
                 reason);
}

void ReportFreeTypeFailure(const char* file, const char* step, FT_Error error) {
    std::fprintf(stderr, "font: cannot read %s: %s failed (FreeType error 0x%02X: %s)\n",
                 file != nullptr ? file : "(unnamed)", step, static_cast<unsigned>(error),
                 FreeTypeErrorText(error));
}

// FreeType's library and face handles, released when the scope ends, so that
// nothing of FreeType outlives font creation.
class FreeTypeLibrary {
   public:
    FreeTypeLibrary() = default;
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;
    ~FreeTypeLibrary() {
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
    FT_Library library = nullptr;
};

class FreeTypeFace {
   public:
    FreeTypeFace() = default;
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;
    ~FreeTypeFace() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
    }
    FT_Face face = nullptr;
};

// Which glyph slot a code of the face's charmap fills, or -1 to leave it out.
using SlotOfCode = int (*)(FT_ULong code);

// The JIS X 0201 face: its charmap codes are the single bytes. Only the
// assigned characters are taken (roman 0x20-0x7E, katakana 0xA1-0xDF); the
// face's pictures for control codes are not characters of CP932.
int HalfWidthSlot(FT_ULong code) {
    if ((code >= 0x20 && code <= 0x7E) || (code >= 0xA1 && code <= 0xDF)) {
        return static_cast<int>(code);
    }
    return -1;
}

// The JIS X 0208 face: its charmap codes are row << 8 | cell.
int FullWidthSlot(FT_ULong code) {
    const FT_ULong row = code >> 8;
    const FT_ULong cell = code & 0xFF;
    if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) {
        return -1;
    }
    return FONT_SINGLE_BYTE_GLYPHS + static_cast<int>((row - 0x21) * 94 + (cell - 0x21));
}

// Copies a 1-bit FreeType bitmap into a glyph cell: the cell's top row is the
// face's ascent above the baseline, so every glyph sits on one baseline and
// a cell is exactly FONT_CELL_HEIGHT rows. Ink outside the cell is dropped.
void StoreGlyph(const FT_GlyphSlot glyph, int ascent, int cellWidth, uint16_t* cell) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned r = 0; r < bitmap.rows; ++r) {
        const int cellRow = ascent - glyph->bitmap_top + static_cast<int>(r);
        if (cellRow < 0 || cellRow >= FONT_CELL_HEIGHT) {
            continue;
        }
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
        uint16_t mask = 0;
        for (unsigned x = 0; x < bitmap.width; ++x) {
            const int cellX = glyph->bitmap_left + static_cast<int>(x);
            if (cellX < 0 || cellX >= cellWidth) {
                continue;
            }
            if ((source[x / 8] >> (7 - x % 8)) & 1) {
                mask = static_cast<uint16_t>(mask | (0x8000u >> cellX));
            }
        }
        cell[cellRow] = static_cast<uint16_t>(cell[cellRow] | mask);
    }
}

// Renders every character of one face into the font's glyph table.
// sampleCode is a code the face must have; its absence means the file is not
// the kind of face expected (another encoding, say).
bool RenderFace(FT_Library library, const FontFile& file, int cellWidth, SlotOfCode slotOf,
                FT_ULong sampleCode, Font* font) {
    if (file.data == nullptr || file.size == 0) {
        ReportFailure(file.name, "the file is empty");
        return false;
    }
    if (file.size > static_cast<size_t>(std::numeric_limits<FT_Long>::max())) {
        ReportFailure(file.name, "the file is too large");
        return false;
    }
    FreeTypeFace holder;
    FT_Error error =
        FT_New_Memory_Face(library, file.data, static_cast<FT_Long>(file.size), 0, &holder.face);
    if (error != 0) {
        ReportFreeTypeFailure(file.name, "opening the face", error);
        return false;
    }
    FT_Face face = holder.face;
    // The faces' charmaps carry the font's own encoding (JIS X 0201 bytes,
    // JIS X 0208 row/cell), which FreeType does not select by itself.
    if (face->num_charmaps < 1) {
        ReportFailure(file.name, "the face has no character map");
        return false;
    }
    error = FT_Set_Charmap(face, face->charmaps[0]);
    if (error != 0) {
        ReportFreeTypeFailure(file.name, "selecting the character map", error);
        return false;
    }
    int strike = -1;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (face->available_sizes[i].height == FONT_CELL_HEIGHT) {
            strike = i;
            break;
        }
    }
    if (strike < 0) {
        ReportFailure(file.name, "the face has no 12-pixel bitmap strike");
        return false;
    }
    error = FT_Select_Size(face, strike);
    if (error != 0) {
        ReportFreeTypeFailure(file.name, "selecting the 12-pixel strike", error);
        return false;
    }
    const int ascent =
        static_cast<int>((face->size->metrics.ascender + CELL_PIXELS / 2) / CELL_PIXELS);

    bool sampleFound = false;
    FT_UInt index = 0;
    for (FT_ULong code = FT_Get_First_Char(face, &index); index != 0;
         code = FT_Get_Next_Char(face, code, &index)) {
        const int slot = slotOf(code);
        if (slot < 0) {
            continue;
        }
        error = FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
        if (error != 0) {
            ReportFreeTypeFailure(file.name, "rendering a glyph", error);
            return false;
        }
        if (face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
            ReportFailure(file.name, "a glyph is not a 1-bit bitmap");
            return false;
        }
        // Rows are read top down from the buffer's start; a bitmap stored
        // bottom up (negative pitch) would be read from before it.
        if (face->glyph->bitmap.pitch < 0) {
            ReportFailure(file.name, "a glyph's rows are stored bottom up");
            return false;
        }
        StoreGlyph(face->glyph, ascent, cellWidth, font->rows[slot]);
        font->present[slot] = 1;
        sampleFound = sampleFound || code == sampleCode;
    }
    if (!sampleFound) {
        ReportFailure(file.name, "the face does not have the expected character set");
        return false;
    }
    return true;
}

}  // namespace

Font* FontCreateFromFiles(const FontFile& halfWidth, const FontFile& fullWidth) {
    Font* font = new (std::nothrow) Font{};
    if (font == nullptr) {
        std::fprintf(stderr, "font: out of memory for the glyph table\n");
        return nullptr;
    }
    FreeTypeLibrary freeType;
    const FT_Error error = FT_Init_FreeType(&freeType.library);
    if (error != 0) {
        ReportFreeTypeFailure(halfWidth.name, "starting FreeType", error);
        delete font;
        return nullptr;
    }
    if (!RenderFace(freeType.library, halfWidth, FONT_HALF_WIDTH, HalfWidthSlot, 'A', font) ||
        !RenderFace(freeType.library, fullWidth, FONT_FULL_WIDTH, FullWidthSlot, 0x2422, font)) {
        delete font;
        return nullptr;
    }
    FontDeriveRows(font);
    return font;
}

}  // namespace platform
