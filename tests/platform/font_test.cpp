#include "platform/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/cp932.h"
#include "platform/font_table.h"
#include "tests/platform/font_compare.h"
#include "tests/platform/stderr_capture.h"
#include "tests/platform/text_fixtures.h"

namespace {

using namespace platform;
using text_fixtures::SharedFont;

int InkCount(const FontGlyph& glyph) {
    int count = 0;
    for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
        count += __builtin_popcount(glyph.rows[r]);
    }
    return count;
}

// Rows of a glyph as text, '#' for set pixels, for failure messages.
std::string Picture(const FontGlyph& glyph) {
    std::string out;
    for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
        for (int c = 0; c < glyph.width; ++c) {
            out += (glyph.rows[r] & (0x8000u >> c)) != 0 ? '#' : '.';
        }
        out += '\n';
    }
    return out;
}

FontGlyph Find(uint16_t code) {
    FontGlyph glyph{};
    FontFindGlyph(SharedFont(), code, &glyph);
    return glyph;
}

TEST(Font, AnyRequestGetsTheEmbedded12PixelFont) {
    ASSERT_NE(SharedFont(), nullptr);
    LogFontA request{};
    request.lfHeight = 12;
    request.lfWeight = FW_NORMAL;
    request.lfCharSet = SHIFTJIS_CHARSET;
    request.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::memcpy(request.lfFaceName, text_fixtures::FACE_NAME, sizeof text_fixtures::FACE_NAME);
    Font* gothic = FontCreateIndirect(&request);
    ASSERT_NE(gothic, nullptr);
    std::memcpy(request.lfFaceName, "Arial", 6);
    request.lfHeight = 40;
    Font* other = FontCreateIndirect(&request);
    ASSERT_NE(other, nullptr);

    EXPECT_EQ(FontCellHeight(gothic), 12);
    EXPECT_EQ(FontHalfWidth(gothic), 6);
    EXPECT_EQ(FontFullWidth(gothic), 12);
    EXPECT_EQ(std::memcmp(gothic->rows, other->rows, sizeof gothic->rows), 0);
    EXPECT_EQ(std::memcmp(gothic->rows, SharedFont()->rows, sizeof gothic->rows), 0);
    FontDestroy(gothic);
    FontDestroy(other);
    FontDestroy(nullptr);
}

// Walks every text the program shows and requires an inked glyph of the
// right width for each character other than a space or a line feed.
TEST(Font, EveryCharacterOfTheProgramsTextsHasAGlyph) {
    std::vector<const char*> texts = text_fixtures::ITEM_NAMES;
    texts.insert(texts.end(), text_fixtures::DESCRIPTIONS.begin(),
                 text_fixtures::DESCRIPTIONS.end());
    texts.insert(texts.end(), {text_fixtures::OUT_OF_AMMO, text_fixtures::LIST_ROW,
                               text_fixtures::FPS, text_fixtures::FACE_NAME});
    int checked = 0;
    for (const char* text : texts) {
        const size_t length = std::strlen(text);
        size_t pos = 0;
        while (pos < length) {
            const Cp932Char ch = Cp932Read(text, length, pos);
            ASSERT_GT(ch.size, 0) << "text ends in a lead byte: " << text;
            pos += static_cast<size_t>(ch.size);
            if (ch.code == ' ' || ch.code == '\n') {
                continue;
            }
            FontGlyph glyph{};
            EXPECT_TRUE(FontFindGlyph(SharedFont(), ch.code, &glyph)) << std::hex << ch.code;
            EXPECT_GT(InkCount(glyph), 0) << std::hex << ch.code;
            EXPECT_EQ(glyph.width, ch.size == 2 ? 12 : 6) << std::hex << ch.code;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 421);  // the texts' characters other than spaces and line feeds
}

TEST(Font, SingleByteCodesAreTheJapaneseRomanAndKatakanaSet) {
    // 0x5C is the yen sign: a left-right symmetric Y with crossbars, where
    // a backslash would be a diagonal with one pixel per row.
    const FontGlyph yen = Find(0x5C);
    int widestRow = 0;
    for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
        widestRow = std::max(widestRow, __builtin_popcount(yen.rows[r]));
        uint16_t mirrored = 0;
        for (int c = 0; c < 5; ++c) {
            if (yen.rows[r] & (0x8000u >> c)) {
                mirrored = static_cast<uint16_t>(mirrored | (0x8000u >> (4 - c)));
            }
        }
        EXPECT_EQ(mirrored, yen.rows[r]) << "row " << r << "\n" << Picture(yen);
    }
    EXPECT_GE(widestRow, 4) << Picture(yen);

    // 0x7E is the overline: one solid top row and nothing else.
    const FontGlyph overline = Find(0x7E);
    EXPECT_EQ(__builtin_popcount(overline.rows[0]), 6) << Picture(overline);
    EXPECT_EQ(InkCount(overline), 6) << Picture(overline);

    // Half-width katakana ア (0xB1) is drawn, 6 pixels wide.
    FontGlyph katakana{};
    EXPECT_TRUE(FontFindGlyph(SharedFont(), 0xB1, &katakana));
    EXPECT_EQ(katakana.width, 6);
    EXPECT_GT(InkCount(katakana), 0);

    // Control codes and the unassigned bytes are no characters.
    for (uint16_t code : {0x00, 0x01, 0x0A, 0x1F, 0x7F, 0x80, 0xA0, 0xE0, 0xFD, 0xFF}) {
        FontGlyph glyph{};
        EXPECT_FALSE(FontFindGlyph(SharedFont(), code, &glyph)) << std::hex << code;
        EXPECT_EQ(InkCount(glyph), 0) << std::hex << code;
        EXPECT_EQ(glyph.width, 6) << std::hex << code;
    }
}

// The cell's top row is 10 pixels above the baseline for both faces, so the
// glyphs of both share one baseline: capitals and kana end on row 9 or 10,
// descenders reach row 11, nothing is cut.
TEST(Font, GlyphsSitOnOneBaselineInsideTheCell) {
    auto lowestRow = [](const FontGlyph& glyph) {
        int lowest = -1;
        for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
            if (glyph.rows[r] != 0) {
                lowest = r;
            }
        }
        return lowest;
    };
    EXPECT_EQ(lowestRow(Find('A')), 9) << Picture(Find('A'));
    EXPECT_EQ(lowestRow(Find('H')), 9) << Picture(Find('H'));
    EXPECT_EQ(lowestRow(Find('g')), 11) << Picture(Find('g'));
    EXPECT_EQ(Find('A').rows[0], 0) << Picture(Find('A'));
    EXPECT_EQ(lowestRow(Find(0x8260)), 10) << Picture(Find(0x8260));  // Ａ
    EXPECT_EQ(lowestRow(Find(0x82A0)), 10) << Picture(Find(0x82A0));  // あ
    EXPECT_EQ(Find(0x82A0).rows[0], 0x0800) << Picture(Find(0x82A0));
    // A full-width box-drawing line runs through the whole cell width.
    EXPECT_EQ(Find(0x849F).rows[5] | Find(0x849F).rows[6], 0xFFF0) << Picture(Find(0x849F));
    // Half-width glyphs stay inside their 6 columns.
    for (int code = 0x20; code <= 0xDF; ++code) {
        for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
            ASSERT_EQ(Find(static_cast<uint16_t>(code)).rows[r] & 0x03FF, 0) << std::hex << code;
        }
    }
}

TEST(Font, CharactersTheFontLacksAreBlankCellsOfTheirWidth) {
    // NEC row 13, a user-defined code, an unassigned JIS cell, a lone lead.
    for (uint16_t code : {0x8740, 0x879C, 0xF040, 0xFCFC, 0x8241, 0xED40}) {
        FontGlyph glyph{};
        EXPECT_FALSE(FontFindGlyph(SharedFont(), code, &glyph)) << std::hex << code;
        EXPECT_EQ(InkCount(glyph), 0) << std::hex << code;
        EXPECT_EQ(glyph.width, 12) << std::hex << code;
    }
    // Spaces are glyphs without ink.
    FontGlyph space{};
    EXPECT_TRUE(FontFindGlyph(SharedFont(), ' ', &space));
    EXPECT_EQ(InkCount(space), 0);
    FontGlyph wideSpace{};
    EXPECT_TRUE(FontFindGlyph(SharedFont(), 0x8140, &wideSpace));
    EXPECT_EQ(InkCount(wideSpace), 0);
    EXPECT_EQ(wideSpace.width, 12);
}

// ---------------------------------------------------------------------------
// The glyph table (platform/font_table.h).

// An exactly sized heap copy of a table, so that AddressSanitizer (the asan
// build) stops any read past its end.
class HeapCopy {
   public:
    HeapCopy(const uint8_t* data, size_t size) : bytes_(new uint8_t[size]), size_(size) {
        if (size != 0) {
            std::memcpy(bytes_.get(), data, size);
        }
    }
    explicit HeapCopy(const std::vector<uint8_t>& bytes) : HeapCopy(bytes.data(), bytes.size()) {}
    const uint8_t* data() const { return bytes_.get(); }
    size_t size() const { return size_; }

   private:
    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_;
};

std::vector<uint8_t> EmbeddedTable() {
    const FontTableBytes table = FontEmbeddedTable();
    return std::vector<uint8_t>(table.data, table.data + table.size);
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8 |
           static_cast<uint32_t>(b.at(at + 2)) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}

void Set32(std::vector<uint8_t>* b, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        b->at(at + static_cast<size_t>(i)) = static_cast<uint8_t>(value >> (8 * i));
    }
}

void SetSlotBit(std::vector<uint8_t>* b, int slot, bool on) {
    uint8_t& byte = b->at(FONT_TABLE_AT_BITMAP + static_cast<size_t>(slot / 8));
    const uint8_t bit = static_cast<uint8_t>(1u << (slot % 8));
    byte = static_cast<uint8_t>(on ? byte | bit : byte & ~bit);
}

// Reads a damaged table from an exactly sized heap copy: no font, and one
// line on stderr naming the table and holding reason.
void ExpectRefused(const std::vector<uint8_t>& bytes, const std::string& what,
                   const std::string& reason) {
    const HeapCopy copy(bytes);
    stderr_capture::Begin();
    Font* font = FontCreateFromTable(copy.data(), copy.size(), "damaged.bin");
    const std::string message = stderr_capture::End();
    EXPECT_EQ(font, nullptr) << what;
    FontDestroy(font);
    EXPECT_EQ(message.rfind("font: cannot read damaged.bin: ", 0), 0u) << what << ": " << message;
    EXPECT_NE(message.find(reason), std::string::npos) << what << ": " << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << what << ": " << message;
}

TEST(FontTable, TheEmbeddedTableIsTheCommittedFile) {
    const std::vector<uint8_t> committed = font_compare::ReadBytes(KARIDO_FONT_TABLE_FILE);
    ASSERT_FALSE(committed.empty()) << KARIDO_FONT_TABLE_FILE;
    EXPECT_TRUE(EmbeddedTable() == committed)
        << "the linked table differs from " << KARIDO_FONT_TABLE_FILE;
    // The header's size is the table's.
    EXPECT_EQ(Get32(committed, FONT_TABLE_AT_TABLE_SIZE), committed.size());
    EXPECT_EQ(committed.size(), FONT_TABLE_AT_ROWS +
                                    12 * Get32(committed, FONT_TABLE_AT_HALF_GLYPHS) +
                                    18 * Get32(committed, FONT_TABLE_AT_FULL_GLYPHS));
    // The half-width roman and katakana sets, and most of JIS X 0208.
    EXPECT_EQ(Get32(committed, FONT_TABLE_AT_HALF_GLYPHS), 95u + 63u);
    EXPECT_GT(Get32(committed, FONT_TABLE_AT_FULL_GLYPHS), 6800u);
}

TEST(FontTable, TheFontWritesTheEmbeddedTableBack) {
    std::vector<uint8_t> written;
    ASSERT_TRUE(FontWriteTable(*SharedFont(), &written));
    EXPECT_TRUE(written == EmbeddedTable());
}

TEST(FontTable, ATableFromAHeapCopyGivesTheSameFont) {
    const HeapCopy copy(EmbeddedTable());
    stderr_capture::Begin();
    Font* font = FontCreateFromTable(copy.data(), copy.size(), "copy.bin");
    EXPECT_EQ(stderr_capture::End(), "");
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font_compare::SameFont(*font, *SharedFont()));
    FontDestroy(font);
}

// Every pixel position of both widths survives the packing: a font whose
// every other slot holds a pseudo-random pattern over the cell's width.
TEST(FontTable, EveryPixelOfBothWidthsSurvivesTheTable) {
    auto font = std::make_unique<Font>();
    uint32_t seed = 20261209;
    for (int slot = 0; slot < FONT_MISSING_GLYPH; slot += 1 + slot % 2) {
        font->present[slot] = 1;
        const uint16_t mask = FontSlotWidth(slot) == FONT_HALF_WIDTH ? 0xFC00 : 0xFFF0;
        for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
            seed = seed * 1664525u + 1013904223u;
            font->rows[slot][r] = static_cast<uint16_t>((seed >> 12) & mask);
        }
    }
    // Full rows at the first and last slot of each width, too.
    for (int slot :
         {0, FONT_SINGLE_BYTE_GLYPHS - 1, FONT_SINGLE_BYTE_GLYPHS, FONT_MISSING_GLYPH - 1}) {
        font->present[slot] = 1;
        for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
            font->rows[slot][r] = FontSlotWidth(slot) == FONT_HALF_WIDTH ? 0xFC00 : 0xFFF0;
        }
    }
    FontDeriveRows(font.get());
    std::vector<uint8_t> table;
    ASSERT_TRUE(FontWriteTable(*font, &table));
    const HeapCopy copy(table);
    Font* back = FontCreateFromTable(copy.data(), copy.size(), "patterns.bin");
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(font_compare::SameFont(*back, *font));
    FontDestroy(back);
}

TEST(FontTable, AnEmptyFontMakesTheSmallestTable) {
    auto font = std::make_unique<Font>();
    std::vector<uint8_t> table;
    ASSERT_TRUE(FontWriteTable(*font, &table));
    EXPECT_EQ(table.size(), FONT_TABLE_AT_ROWS);
    Font* back = FontCreateFromTable(table.data(), table.size(), "empty font");
    ASSERT_NE(back, nullptr);
    FontDeriveRows(font.get());
    EXPECT_TRUE(font_compare::SameFont(*back, *font));
    FontDestroy(back);
}

// Every length short of the whole table, each from a heap copy of exactly
// that many bytes.
TEST(FontTable, EveryTruncationIsRefused) {
    const std::vector<uint8_t> table = EmbeddedTable();
    ASSERT_GT(table.size(), FONT_TABLE_AT_ROWS);
    size_t accepted = 0;
    stderr_capture::Begin();
    for (size_t length = 0; length < table.size(); ++length) {
        const HeapCopy copy(table.data(), length);
        Font* font = FontCreateFromTable(copy.data(), copy.size(), "cut.bin");
        accepted += font != nullptr ? 1 : 0;
        FontDestroy(font);
    }
    const std::string messages = stderr_capture::End();
    EXPECT_EQ(accepted, 0u);
    // One line for each length, every one naming the table.
    EXPECT_EQ(static_cast<size_t>(std::count(messages.begin(), messages.end(), '\n')),
              table.size());
    const std::string prefix = "font: cannot read cut.bin: ";
    size_t named = 0;
    for (size_t at = 0; at < messages.size();) {
        const size_t end = std::min(messages.find('\n', at), messages.size());
        named += messages.compare(at, prefix.size(), prefix) == 0 ? 1 : 0;
        at = end + 1;
    }
    EXPECT_EQ(named, table.size());

    // A few lengths one by one, with the reason.
    ExpectRefused({}, "nothing", "empty");
    for (size_t length : {size_t{1}, size_t{8}, FONT_TABLE_HEADER_SIZE - 1}) {
        ExpectRefused(std::vector<uint8_t>(table.begin(), table.begin() + length),
                      std::to_string(length) + " bytes", "shorter than its 32-byte header");
    }
    for (size_t length : {FONT_TABLE_HEADER_SIZE, FONT_TABLE_AT_ROWS - 1, FONT_TABLE_AT_ROWS,
                          FONT_TABLE_AT_ROWS + 12, table.size() - 18, table.size() - 1}) {
        ExpectRefused(std::vector<uint8_t>(table.begin(), table.begin() + length),
                      std::to_string(length) + " bytes", "truncated: " + std::to_string(length));
    }
    stderr_capture::Begin();
    EXPECT_EQ(FontCreateFromTable(nullptr, 100, "null.bin"), nullptr);
    EXPECT_NE(stderr_capture::End().find("null.bin: the glyph table is empty"),
              std::string::npos);
}

TEST(FontTable, AChangedMagicVersionOrGeometryIsRefused) {
    const std::vector<uint8_t> table = EmbeddedTable();
    for (size_t at = 0; at < sizeof FONT_TABLE_MAGIC; ++at) {
        std::vector<uint8_t> damaged = table;
        damaged[at] = static_cast<uint8_t>(damaged[at] ^ 0x20);
        ExpectRefused(damaged, "magic byte " + std::to_string(at), "not a glyph table");
    }
    for (uint8_t version : {0, 2, 0xFF}) {
        std::vector<uint8_t> damaged = table;
        damaged[FONT_TABLE_AT_VERSION] = version;
        ExpectRefused(damaged, "version " + std::to_string(version),
                      "format version " + std::to_string(version));
    }
    // Cell height, half width, full width, the zero byte, the half-width
    // slots (both bytes), the slot count (each byte).
    for (size_t at : {10, 11, 12, 13, 14, 15, 16, 17, 18, 19}) {
        std::vector<uint8_t> damaged = table;
        damaged[at] = static_cast<uint8_t>(damaged[at] + 1);
        ExpectRefused(damaged, "header byte " + std::to_string(at), "not the font's");
    }
}

TEST(FontTable, CountsThatDisagreeAreRefused) {
    const std::vector<uint8_t> table = EmbeddedTable();
    const uint32_t half = Get32(table, FONT_TABLE_AT_HALF_GLYPHS);
    const uint32_t full = Get32(table, FONT_TABLE_AT_FULL_GLYPHS);
    const uint32_t size = Get32(table, FONT_TABLE_AT_TABLE_SIZE);

    // A count changed alone disagrees with the size field, and so does a
    // size field changed alone.
    for (size_t at : {FONT_TABLE_AT_HALF_GLYPHS, FONT_TABLE_AT_FULL_GLYPHS}) {
        for (int change : {-1, 1}) {
            std::vector<uint8_t> damaged = table;
            Set32(&damaged, at, Get32(table, at) + static_cast<uint32_t>(change));
            ExpectRefused(damaged, "count at " + std::to_string(at) + " " + std::to_string(change),
                          "header gives its size");
        }
    }
    for (uint32_t wrong : {size - 1, size + 1, size + 12, 0u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> damaged = table;
        Set32(&damaged, FONT_TABLE_AT_TABLE_SIZE, wrong);
        ExpectRefused(damaged, "size field " + std::to_string(wrong), "header gives its size");
    }
    // Counts beyond the slots, which would overflow 32-bit sizes.
    for (auto counts : {std::pair{0xFFFFFFFFu, full}, std::pair{half, 0xFFFFFFFFu},
                        std::pair{257u, full}, std::pair{half, 8837u}}) {
        std::vector<uint8_t> damaged = table;
        Set32(&damaged, FONT_TABLE_AT_HALF_GLYPHS, counts.first);
        Set32(&damaged, FONT_TABLE_AT_FULL_GLYPHS, counts.second);
        ExpectRefused(
            damaged,
            "counts " + std::to_string(counts.first) + ", " + std::to_string(counts.second),
            "more glyphs");
    }
    // Header and size agree, with a glyph's bytes more or fewer, but the
    // presence bitmap does not.
    {
        std::vector<uint8_t> damaged = table;
        Set32(&damaged, FONT_TABLE_AT_HALF_GLYPHS, half + 1);
        Set32(&damaged, FONT_TABLE_AT_TABLE_SIZE, size + 12);
        damaged.insert(damaged.begin() + static_cast<std::ptrdiff_t>(FONT_TABLE_AT_ROWS), 12, 0);
        ExpectRefused(damaged, "one half-width glyph more", "presence bitmap marks");
    }
    {
        std::vector<uint8_t> damaged = table;
        Set32(&damaged, FONT_TABLE_AT_FULL_GLYPHS, full - 1);
        Set32(&damaged, FONT_TABLE_AT_TABLE_SIZE, size - 18);
        damaged.resize(damaged.size() - 18);
        ExpectRefused(damaged, "one full-width glyph fewer", "presence bitmap marks");
    }
    // The bitmap changed alone: a present glyph dropped, an absent one added.
    {
        std::vector<uint8_t> damaged = table;
        SetSlotBit(&damaged, 'A', false);
        ExpectRefused(damaged, "A dropped", "presence bitmap marks");
    }
    {
        std::vector<uint8_t> damaged = table;
        SetSlotBit(&damaged, 0x80, true);
        ExpectRefused(damaged, "0x80 added", "presence bitmap marks");
    }
    // The missing-glyph slot and the bits after the last slot are never set,
    // even when the counts and the size account for them.
    for (int slot : {FONT_MISSING_GLYPH, FONT_GLYPH_SLOTS, FONT_GLYPH_SLOTS + 2}) {
        std::vector<uint8_t> damaged = table;
        SetSlotBit(&damaged, slot, true);
        Set32(&damaged, FONT_TABLE_AT_FULL_GLYPHS, full + 1);
        Set32(&damaged, FONT_TABLE_AT_TABLE_SIZE, size + 18);
        damaged.insert(damaged.end(), 18, 0);
        ExpectRefused(damaged, "slot " + std::to_string(slot),
                      slot == FONT_MISSING_GLYPH ? "missing-glyph slot" : "past the last");
    }
}

TEST(FontTable, ExtraBytesAreRefused) {
    const std::vector<uint8_t> table = EmbeddedTable();
    for (size_t extra : {1, 12, 18}) {
        std::vector<uint8_t> damaged = table;
        damaged.insert(damaged.end(), extra, 0);
        ExpectRefused(damaged, std::to_string(extra) + " bytes more",
                      "followed by " + std::to_string(extra) + " more");
    }
    std::vector<uint8_t> twice = table;
    twice.insert(twice.end(), table.begin(), table.end());
    ExpectRefused(twice, "the table twice", "followed by");
}

TEST(FontTable, PixelsOutsideAHalfWidthCellAreRefused) {
    const std::vector<uint8_t> table = EmbeddedTable();
    const uint32_t half = Get32(table, FONT_TABLE_AT_HALF_GLYPHS);
    for (size_t at : {FONT_TABLE_AT_ROWS, FONT_TABLE_AT_ROWS + 12 * half - 1}) {
        for (uint8_t bit : {0x01, 0x02}) {
            std::vector<uint8_t> damaged = table;
            damaged[at] = static_cast<uint8_t>(damaged[at] | bit);
            ExpectRefused(damaged, "row byte " + std::to_string(at), "outside its 6 columns");
        }
    }
}

TEST(FontTable, TheWriterRefusesWhatTheTableCannotHold) {
    struct Case {
        const char* what;
        void (*damage)(Font*);
        const char* reason;
    };
    constexpr int A = 'A';
    const Case cases[] = {
        {"a half-width pixel in column 7",
         [](Font* f) { f->rows[A][3] = static_cast<uint16_t>(f->rows[A][3] | 0x0200); },
         "outside its 6 columns"},
        {"a full-width pixel in column 13",
         [](Font* f) { f->rows[FONT_SINGLE_BYTE_GLYPHS + 3][0] = 0x0008; },
         "outside its 12 columns"},
        {"ink in an absent slot", [](Font* f) { f->rows[0x80][5] = 0x8000; },
         "has ink but is not present"},
        {"the missing glyph present", [](Font* f) { f->present[FONT_MISSING_GLYPH] = 1; },
         "missing glyph"},
        {"a present flag of 2", [](Font* f) { f->present[A] = 2; }, "other than 0 or 1"},
    };
    for (const Case& c : cases) {
        auto font = std::make_unique<Font>(*SharedFont());
        c.damage(font.get());
        std::vector<uint8_t> table{1, 2, 3};
        stderr_capture::Begin();
        EXPECT_FALSE(FontWriteTable(*font, &table)) << c.what;
        const std::string message = stderr_capture::End();
        EXPECT_EQ(message.rfind("font: cannot write the glyph table: ", 0), 0u)
            << c.what << ": " << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << c.what;
    }
}

}  // namespace
