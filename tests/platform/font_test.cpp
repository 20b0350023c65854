#include "platform/font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/cp932.h"
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

// Font files that cannot be read give a null font and one line on stderr
// naming the file.
TEST(Font, UnreadableFilesAreReportedByName) {
    const FontFile half{"half.pcf.gz", FontEmbeddedHalfWidth().data,
                        FontEmbeddedHalfWidth().size};
    const FontFile full{"full.pcf.gz", FontEmbeddedFullWidth().data,
                        FontEmbeddedFullWidth().size};
    const uint8_t junk[] = "this is not a font file";

    struct Case {
        const char* what;
        FontFile halfWidth;
        FontFile fullWidth;
        const char* named;
    };
    const Case cases[] = {
        {"empty", FontFile{"empty.pcf.gz", nullptr, 0}, full, "empty.pcf.gz"},
        {"junk", half, FontFile{"junk.pcf.gz", junk, sizeof junk}, "junk.pcf.gz"},
        {"truncated", FontFile{"cut.pcf.gz", half.data, half.size / 2}, full, "cut.pcf.gz"},
        {"truncated full-width", half, FontFile{"cut.pcf.gz", full.data, full.size / 3},
         "cut.pcf.gz"},
        {"faces swapped", full, half, "full.pcf.gz"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        Font* font = FontCreateFromFiles(c.halfWidth, c.fullWidth);
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(font, nullptr) << c.what;
        FontDestroy(font);
        EXPECT_NE(message.find(c.named), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << c.what << ": " << message;
    }

    testing::internal::CaptureStderr();
    Font* font = FontCreateFromFiles(half, full);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::memcmp(font->rows, SharedFont()->rows, sizeof font->rows), 0);
    FontDestroy(font);
}

}  // namespace
