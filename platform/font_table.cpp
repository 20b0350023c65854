#include "platform/font_table.h"

#include <cstdio>
#include <cstring>
#include <new>

// The glyph table linked in by font_data.S, from its start symbol up to its
// end symbol.
extern "C" {
extern const uint8_t karido_font_glyphs[];
extern const uint8_t karido_font_glyphs_end[];
}

namespace platform {

namespace {

constexpr uint32_t HALF_SLOTS = FONT_SINGLE_BYTE_GLYPHS;
constexpr uint32_t FULL_SLOTS = FONT_GLYPH_SLOTS - FONT_SINGLE_BYTE_GLYPHS;
// A half-width row's pixels in a byte (bits 7-2) and in a Font row (15-10);
// a full-width row's pixels in a Font row (15-4).
constexpr uint8_t HALF_BYTE_MASK = 0xFC;
constexpr uint16_t HALF_ROW_MASK = 0xFC00;
constexpr uint16_t FULL_ROW_MASK = 0xFFF0;

static_assert(FONT_CELL_HEIGHT % 2 == 0, "full-width rows are packed in pairs");
static_assert(FONT_TABLE_HALF_GLYPH_SIZE == FONT_CELL_HEIGHT * 1);
static_assert(FONT_TABLE_FULL_GLYPH_SIZE == FONT_CELL_HEIGHT / 2 * 3);
static_assert(FONT_HALF_WIDTH == 6 && FONT_FULL_WIDTH == 12, "the row packing assumes 6 and 12");

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Put16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* p, uint32_t value) {
    Put16(p, value & 0xFFFF);
    Put16(p + 2, value >> 16);
}

// The table's size for the given glyph counts; 64-bit, so that no count of
// a damaged header overflows it.
uint64_t TableSize(uint64_t halfGlyphs, uint64_t fullGlyphs) {
    return FONT_TABLE_AT_ROWS + halfGlyphs * FONT_TABLE_HALF_GLYPH_SIZE +
           fullGlyphs * FONT_TABLE_FULL_GLYPH_SIZE;
}

bool Refuse(const char* name, const char* reason) {
    std::fprintf(stderr, "font: cannot read %s: %s\n", name, reason);
    return false;
}

// Checks every field of the table against its size and itself; on success
// the counts are the header's.
bool CheckTable(const uint8_t* data, size_t size, const char* name) {
    char reason[160];
    if (size == 0) {
        return Refuse(name, "the glyph table is empty");
    }
    if (size < FONT_TABLE_HEADER_SIZE) {
        std::snprintf(reason, sizeof reason,
                      "the glyph table is truncated: %u bytes, shorter than its %u-byte header",
                      static_cast<unsigned>(size), static_cast<unsigned>(FONT_TABLE_HEADER_SIZE));
        return Refuse(name, reason);
    }
    if (std::memcmp(data, FONT_TABLE_MAGIC, sizeof FONT_TABLE_MAGIC) != 0) {
        return Refuse(name, "not a glyph table (it does not start with KRDGLYPH)");
    }
    const unsigned version = Read16(data + FONT_TABLE_AT_VERSION);
    if (version != FONT_TABLE_VERSION) {
        std::snprintf(reason, sizeof reason,
                      "the glyph table has format version %u; this program reads version %u",
                      version, static_cast<unsigned>(FONT_TABLE_VERSION));
        return Refuse(name, reason);
    }
    if (data[FONT_TABLE_AT_CELL_HEIGHT] != FONT_CELL_HEIGHT ||
        data[FONT_TABLE_AT_HALF_WIDTH] != FONT_HALF_WIDTH ||
        data[FONT_TABLE_AT_FULL_WIDTH] != FONT_FULL_WIDTH || data[FONT_TABLE_AT_ZERO] != 0 ||
        Read16(data + FONT_TABLE_AT_HALF_SLOTS) != HALF_SLOTS ||
        Read32(data + FONT_TABLE_AT_SLOTS) != static_cast<uint32_t>(FONT_GLYPH_SLOTS)) {
        return Refuse(name,
                      "the glyph table's cell sizes or slot counts are not the font's "
                      "(12-pixel cells 6 and 12 wide, 256 + 8837 slots)");
    }
    const uint32_t halfGlyphs = Read32(data + FONT_TABLE_AT_HALF_GLYPHS);
    const uint32_t fullGlyphs = Read32(data + FONT_TABLE_AT_FULL_GLYPHS);
    const uint32_t declaredSize = Read32(data + FONT_TABLE_AT_TABLE_SIZE);
    // The last slot is never present.
    if (halfGlyphs > HALF_SLOTS || fullGlyphs > FULL_SLOTS - 1) {
        std::snprintf(reason, sizeof reason,
                      "the glyph table counts more glyphs (%llu half-width, %llu full-width) "
                      "than it has slots",
                      static_cast<unsigned long long>(halfGlyphs),
                      static_cast<unsigned long long>(fullGlyphs));
        return Refuse(name, reason);
    }
    const uint64_t expectedSize = TableSize(halfGlyphs, fullGlyphs);
    if (declaredSize != expectedSize) {
        std::snprintf(reason, sizeof reason,
                      "the glyph table's header gives its size as %llu bytes, but its glyph "
                      "counts make it %llu",
                      static_cast<unsigned long long>(declaredSize),
                      static_cast<unsigned long long>(expectedSize));
        return Refuse(name, reason);
    }
    if (size < expectedSize) {
        std::snprintf(reason, sizeof reason, "the glyph table is truncated: %llu of its %llu bytes",
                      static_cast<unsigned long long>(size),
                      static_cast<unsigned long long>(expectedSize));
        return Refuse(name, reason);
    }
    if (size > expectedSize) {
        std::snprintf(reason, sizeof reason,
                      "the glyph table of %llu bytes is followed by %llu more",
                      static_cast<unsigned long long>(expectedSize),
                      static_cast<unsigned long long>(size - expectedSize));
        return Refuse(name, reason);
    }

    // The presence bitmap: its counts, the bits after the last slot and the
    // missing-glyph slot.
    const uint8_t* bitmap = data + FONT_TABLE_AT_BITMAP;
    uint32_t halfMarked = 0;
    uint32_t fullMarked = 0;
    for (size_t slot = 0; slot < FONT_TABLE_BITMAP_SIZE * 8; ++slot) {
        if (((bitmap[slot / 8] >> (slot % 8)) & 1) == 0) {
            continue;
        }
        if (slot >= static_cast<size_t>(FONT_MISSING_GLYPH)) {
            return Refuse(name,
                          slot == FONT_MISSING_GLYPH
                              ? "the glyph table marks the missing-glyph slot present"
                              : "the glyph table's presence bitmap marks slots past the last");
        }
        if (slot < HALF_SLOTS) {
            ++halfMarked;
        } else {
            ++fullMarked;
        }
    }
    if (halfMarked != halfGlyphs || fullMarked != fullGlyphs) {
        std::snprintf(reason, sizeof reason,
                      "the glyph table's presence bitmap marks %llu half-width and %llu full-width "
                      "glyphs, its header counts %llu and %llu",
                      static_cast<unsigned long long>(halfMarked),
                      static_cast<unsigned long long>(fullMarked),
                      static_cast<unsigned long long>(halfGlyphs),
                      static_cast<unsigned long long>(fullGlyphs));
        return Refuse(name, reason);
    }

    // Half-width rows have 6 pixels; the byte's two low bits are unused.
    const uint8_t* halfRows = data + FONT_TABLE_AT_ROWS;
    for (size_t i = 0; i < halfGlyphs * FONT_TABLE_HALF_GLYPH_SIZE; ++i) {
        if ((halfRows[i] & ~HALF_BYTE_MASK) != 0) {
            return Refuse(name, "a half-width glyph of the table has pixels outside its 6 columns");
        }
    }
    return true;
}

}  // namespace

Font* FontCreateFromTable(const uint8_t* data, size_t size, const char* name) {
    if (name == nullptr) {
        name = "(unnamed)";
    }
    if (data == nullptr) {
        size = 0;
    }
    if (!CheckTable(data, size, name)) {
        return nullptr;
    }
    Font* font = new (std::nothrow) Font{};
    if (font == nullptr) {
        std::fprintf(stderr, "font: out of memory for the glyph table\n");
        return nullptr;
    }
    const uint8_t* bitmap = data + FONT_TABLE_AT_BITMAP;
    const uint8_t* at = data + FONT_TABLE_AT_ROWS;
    for (int slot = 0; slot < FONT_GLYPH_SLOTS; ++slot) {
        if (((bitmap[slot / 8] >> (slot % 8)) & 1) == 0) {
            continue;
        }
        font->present[slot] = 1;
        uint16_t* rows = font->rows[slot];
        if (slot < FONT_SINGLE_BYTE_GLYPHS) {
            for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
                rows[r] = static_cast<uint16_t>(at[r] << 8);
            }
            at += FONT_TABLE_HALF_GLYPH_SIZE;
        } else {
            for (int r = 0; r < FONT_CELL_HEIGHT; r += 2, at += 3) {
                rows[r] = static_cast<uint16_t>((at[0] << 8 | (at[1] & 0xF0)));
                rows[r + 1] = static_cast<uint16_t>(((at[1] & 0x0F) << 12 | at[2] << 4));
            }
        }
    }
    FontDeriveRows(font);
    return font;
}

bool FontWriteTable(const Font& font, std::vector<uint8_t>* table) {
    auto refuse = [](const char* reason, int slot) {
        std::fprintf(stderr, "font: cannot write the glyph table: slot %d %s\n", slot, reason);
        return false;
    };
    uint32_t halfGlyphs = 0;
    uint32_t fullGlyphs = 0;
    for (int slot = 0; slot < FONT_GLYPH_SLOTS; ++slot) {
        const bool half = slot < FONT_SINGLE_BYTE_GLYPHS;
        const uint16_t mask = half ? HALF_ROW_MASK : FULL_ROW_MASK;
        uint16_t ink = 0;
        for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
            if ((font.rows[slot][r] & ~mask) != 0) {
                return refuse(
                    half ? "has pixels outside its 6 columns" : "has pixels outside its 12 columns",
                    slot);
            }
            ink = static_cast<uint16_t>(ink | font.rows[slot][r]);
        }
        if (font.present[slot] > 1) {
            return refuse("has a present flag other than 0 or 1", slot);
        }
        if (font.present[slot] == 0) {
            if (ink != 0) {
                return refuse("has ink but is not present", slot);
            }
            continue;
        }
        if (slot == FONT_MISSING_GLYPH) {
            return refuse("(the missing glyph) is present", slot);
        }
        ++(half ? halfGlyphs : fullGlyphs);
    }

    // The whole table is sized first and filled in place.
    std::vector<uint8_t>& out = *table;
    out.assign(static_cast<size_t>(TableSize(halfGlyphs, fullGlyphs)), 0);
    uint8_t* at = out.data();
    std::memcpy(at, FONT_TABLE_MAGIC, sizeof FONT_TABLE_MAGIC);
    Put16(at + FONT_TABLE_AT_VERSION, FONT_TABLE_VERSION);
    at[FONT_TABLE_AT_CELL_HEIGHT] = FONT_CELL_HEIGHT;
    at[FONT_TABLE_AT_HALF_WIDTH] = FONT_HALF_WIDTH;
    at[FONT_TABLE_AT_FULL_WIDTH] = FONT_FULL_WIDTH;
    at[FONT_TABLE_AT_ZERO] = 0;
    Put16(at + FONT_TABLE_AT_HALF_SLOTS, HALF_SLOTS);
    Put32(at + FONT_TABLE_AT_SLOTS, FONT_GLYPH_SLOTS);
    Put32(at + FONT_TABLE_AT_HALF_GLYPHS, halfGlyphs);
    Put32(at + FONT_TABLE_AT_FULL_GLYPHS, fullGlyphs);
    Put32(at + FONT_TABLE_AT_TABLE_SIZE, static_cast<uint32_t>(out.size()));

    uint8_t* bitmap = at + FONT_TABLE_AT_BITMAP;
    uint8_t* glyph = at + FONT_TABLE_AT_ROWS;
    for (int slot = 0; slot < FONT_GLYPH_SLOTS; ++slot) {
        if (font.present[slot] == 0) {
            continue;
        }
        bitmap[slot / 8] = static_cast<uint8_t>(bitmap[slot / 8] | 1u << (slot % 8));
        const uint16_t* rows = font.rows[slot];
        if (slot < FONT_SINGLE_BYTE_GLYPHS) {
            for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
                *glyph++ = static_cast<uint8_t>(rows[r] >> 8);
            }
        } else {
            for (int r = 0; r < FONT_CELL_HEIGHT; r += 2) {
                *glyph++ = static_cast<uint8_t>(rows[r] >> 8);
                *glyph++ = static_cast<uint8_t>((rows[r] & 0xF0) | rows[r + 1] >> 12);
                *glyph++ = static_cast<uint8_t>(rows[r + 1] >> 4);
            }
        }
    }
    return true;
}

FontTableBytes FontEmbeddedTable() {
    // The two symbols are distinct objects to the compiler, so the size is
    // the distance between their addresses rather than a pointer difference.
    const size_t size = static_cast<size_t>(reinterpret_cast<uintptr_t>(karido_font_glyphs_end) -
                                            reinterpret_cast<uintptr_t>(karido_font_glyphs));
    return FontTableBytes{karido_font_glyphs, size};
}

}  // namespace platform
