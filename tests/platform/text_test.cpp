#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/text_fixtures.h"

namespace {

using namespace platform;
using text_fixtures::Buffer;
using text_fixtures::ChangedPixels;
using text_fixtures::SharedFont;

constexpr uint8_t WHITE = 255;
constexpr uint8_t FILL = 7;

FontGlyph Find(uint16_t code) {
    FontGlyph glyph{};
    FontFindGlyph(SharedFont(), code, &glyph);
    return glyph;
}

bool Draw(Buffer& buffer, int x, int y, const char* text, int length, uint8_t colour = WHITE) {
    const TextTarget target = buffer.Target();
    return TextDraw(SharedFont(), &target, x, y, text, length, colour);
}

bool Draw(Buffer& buffer, int x, int y, const std::string& text) {
    return Draw(buffer, x, y, text.data(), static_cast<int>(text.size()));
}

// Requires the cell at (x, y) to hold exactly the glyph: set pixels in the
// colour, the rest as before.
void ExpectGlyphAt(const Buffer& buffer, const FontGlyph& glyph, int x, int y, uint8_t colour,
                   uint8_t background) {
    for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
        for (int c = 0; c < glyph.width; ++c) {
            const bool set = (glyph.rows[r] & (0x8000u >> c)) != 0;
            ASSERT_EQ(buffer.At(x + c, y + r), set ? colour : background)
                << "pixel " << c << "," << r << " of the cell at " << x << "," << y;
        }
    }
}

// Number of pixels that differ from fill inside [x0, x1) x [y0, y1) and outside it.
struct Spread {
    int inside = 0;
    int outside = 0;
};
Spread Changes(const Buffer& buffer, uint8_t fill, int x0, int y0, int x1, int y1) {
    Spread spread;
    for (int y = 0; y < buffer.height; ++y) {
        for (int x = 0; x < buffer.stride; ++x) {
            if (buffer.At(x, y) != fill) {
                const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
                (in ? spread.inside : spread.outside) += 1;
            }
        }
    }
    return spread;
}

TEST(TextDraw, GlyphsLandAtThePenAndAdvanceByTheirWidth) {
    Buffer one(64, 48, FILL);
    ASSERT_TRUE(Draw(one, 10, 20, "A", 1));
    const Spread a = Changes(one, FILL, 10, 20, 16, 32);
    EXPECT_GT(a.inside, 0);
    EXPECT_EQ(a.outside, 0) << ChangedPixels(one, FILL);
    ExpectGlyphAt(one, Find('A'), 10, 20, WHITE, FILL);

    // あ is 12 wide and A follows it at +12; a space moves 6; 漢 follows at +6.
    Buffer row(80, 20, FILL);
    ASSERT_TRUE(Draw(row, 3, 4,
                     "\x82\xA0"
                     "A \x8A\xBF",
                     6));
    ExpectGlyphAt(row, Find(0x82A0), 3, 4, WHITE, FILL);
    ExpectGlyphAt(row, Find('A'), 15, 4, WHITE, FILL);
    ExpectGlyphAt(row, Find(' '), 21, 4, WHITE, FILL);
    ExpectGlyphAt(row, Find(0x8ABF), 27, 4, WHITE, FILL);
    EXPECT_EQ(Changes(row, FILL, 3, 4, 39, 16).outside, 0) << ChangedPixels(row, FILL);

    // The colour is any byte; the frame counter's digits draw as themselves.
    Buffer fps(64, 16, FILL);
    ASSERT_TRUE(Draw(fps, 0, 0, text_fixtures::FPS, -1, 42));
    for (int i = 0; i < 7; ++i) {
        ExpectGlyphAt(fps, Find(static_cast<uint8_t>(text_fixtures::FPS[i])), 6 * i, 0, 42, FILL);
    }
}

TEST(TextDraw, OnlyTheGlyphsSetPixelsAreWritten) {
    // Both ways of writing glyph rows: masked stores where the CPU has them,
    // and words.
    for (const bool wordWrites : {false, true}) {
        TextUseWordWrites(wordWrites);
        SCOPED_TRACE(wordWrites ? "word-wise writes" : "the CPU's choice");
        // A background in which no two neighbouring bytes are alike, and the
        // colour 0: a draw that wrote whole cells or whole words would show.
        Buffer buffer(100, 30, 0, 3);
        for (size_t i = 0; i < buffer.pixels.size(); ++i) {
            buffer.pixels[i] = static_cast<uint8_t>(1 + i % 251);
        }
        const std::vector<uint8_t> before = buffer.pixels;
        const char* text =
            "\x82\xA0g\x8A\xBF"
            "A\xB1";  // あg漢Aｱ
        ASSERT_TRUE(Draw(buffer, 5, 9, text, -1, 0));
        int x = 5;
        for (uint16_t code :
             {uint16_t{0x82A0}, uint16_t{'g'}, uint16_t{0x8ABF}, uint16_t{'A'}, uint16_t{0xB1}}) {
            const FontGlyph glyph = Find(code);
            for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
                for (int c = 0; c < glyph.width; ++c) {
                    const size_t i = static_cast<size_t>((9 + r) * buffer.stride + x + c);
                    const bool set = (glyph.rows[r] & (0x8000u >> c)) != 0;
                    ASSERT_EQ(buffer.pixels[i], set ? 0 : before[i]) << std::hex << code;
                    buffer.pixels[i] = before[i];  // checked: put it back
                }
            }
            x += glyph.width;
        }
        EXPECT_EQ(buffer.pixels, before) << "pixels outside the cells changed";
    }
    TextUseWordWrites(false);
}

// A target that is a window into a larger block: everything around the
// window (guard bytes on every side and the stride's padding) must keep its
// sentinel, and the window must look like the same draw into a big buffer.
TEST(TextDraw, ClipsToAllFourSidesAtAnyPosition) {
    constexpr int W = 30;
    constexpr int H = 20;
    constexpr int GUARD = 24;
    constexpr int STRIDE = W + 2 * GUARD + 5;
    constexpr uint8_t SENTINEL = 0xEE;
    // あAg‾─漢, 54 pixels, wider than W; the overline and the box-drawing
    // line have ink in the last column of their cells.
    const char* text =
        "\x82\xA0"
        "Ag~\x84\x9F\x8A\xBF";
    const FontGlyph glyphs[] = {Find(0x82A0), Find('A'),    Find('g'),
                                Find('~'),    Find(0x849F), Find(0x8ABF)};

    std::vector<uint8_t> block(static_cast<size_t>(STRIDE) * (H + 2 * GUARD));
    int draws = 0;
    for (int y = -14; y <= H + 1; ++y) {
        for (int x = -56; x <= W + 1; ++x) {
            std::fill(block.begin(), block.end(), SENTINEL);
            for (int row = 0; row < H; ++row) {
                std::fill_n(block.begin() + (GUARD + row) * STRIDE + GUARD, W, FILL);
            }
            const TextTarget window{block.data() + GUARD * STRIDE + GUARD, W, H, STRIDE};
            ASSERT_TRUE(TextDraw(SharedFont(), &window, x, y, text, -1, WHITE));
            ++draws;

            // What an unclipped draw would put at each block position.
            std::vector<uint8_t> expected(block.size(), SENTINEL);
            for (int row = 0; row < H; ++row) {
                std::fill_n(expected.begin() + (GUARD + row) * STRIDE + GUARD, W, FILL);
            }
            int pen = x;
            for (const FontGlyph& glyph : glyphs) {
                for (int r = 0; r < FONT_CELL_HEIGHT; ++r) {
                    for (int c = 0; c < glyph.width; ++c) {
                        const int px = pen + c;
                        const int py = y + r;
                        if ((glyph.rows[r] & (0x8000u >> c)) != 0 && px >= 0 && px < W && py >= 0 &&
                            py < H) {
                            expected[static_cast<size_t>((GUARD + py) * STRIDE + GUARD + px)] =
                                WHITE;
                        }
                    }
                }
                pen += glyph.width;
            }
            ASSERT_EQ(block, expected) << "text at " << x << "," << y;
        }
    }
    EXPECT_EQ(draws, 88 * 36);

    // Text entirely outside leaves even a 1x1 target alone; so does a 0x0 one.
    uint8_t pixel = FILL;
    const TextTarget tiny{&pixel, 1, 1, 1};
    ASSERT_TRUE(TextDraw(SharedFont(), &tiny, 1, 0, "AAAA", -1, WHITE));
    ASSERT_TRUE(TextDraw(SharedFont(), &tiny, -24, 0, "AAAA", -1, WHITE));
    ASSERT_TRUE(TextDraw(SharedFont(), &tiny, 0, -12, "AAAA", -1, WHITE));
    const TextTarget empty{&pixel, 0, 0, 0};
    ASSERT_TRUE(TextDraw(SharedFont(), &empty, 0, 0, "AAAA", -1, WHITE));
    EXPECT_EQ(pixel, FILL);

    // Positions far from the target do not overflow.
    Buffer far(16, 16, FILL);
    EXPECT_TRUE(Draw(far, INT32_MAX - 3, INT32_MAX - 3, "\x82\xA0\x82\xA0", -1));
    EXPECT_TRUE(Draw(far, INT32_MIN, INT32_MIN, "\x82\xA0\x82\xA0", -1));
    EXPECT_EQ(ChangedPixels(far, FILL), "");
}

// Texts cut short or holding bytes that are no characters.
TEST(TextDraw, ReadsOnlyTheGivenBytesAndSkipsWhatIsNoCharacter) {
    Buffer reference(96, 16, FILL);
    ASSERT_TRUE(Draw(reference, 2, 2, "AB", 2));

    // Only length bytes are read: the rest of the string is never drawn,
    // a trailing lead byte ends the text, -1 stops at the terminator.
    for (const auto& [text, length] : std::vector<std::pair<const char*, int>>{
             {"ABCDEF", 2}, {"AB\x82\xA0", 3}, {"AB", -1}, {"AB\x82", -1}}) {
        Buffer buffer(96, 16, FILL);
        ASSERT_TRUE(Draw(buffer, 2, 2, text, length));
        EXPECT_EQ(buffer.pixels, reference.pixels) << text << " " << length;
    }
    // Heap copies with no terminator: AddressSanitizer sees any overread.
    const std::string source = "AB\x82";
    const std::unique_ptr<char[]> exact(new char[source.size()]);
    std::memcpy(exact.get(), source.data(), source.size());
    Buffer cut(96, 16, FILL);
    ASSERT_TRUE(Draw(cut, 2, 2, exact.get(), static_cast<int>(source.size())));
    EXPECT_EQ(cut.pixels, reference.pixels);

    // Length 0 draws nothing, even with a null text.
    Buffer none(96, 16, FILL);
    EXPECT_TRUE(Draw(none, 2, 2, "ABC", 0));
    EXPECT_TRUE(Draw(none, 2, 2, nullptr, 0));
    EXPECT_EQ(ChangedPixels(none, FILL), "");

    // Empty cells: NEC row 13 and a user-defined code take 12 pixels, a
    // lone trail byte (0x80, 0xA0), a control byte or a lead byte before a
    // byte that cannot follow it take 6, and the next byte is read on its own.
    struct Case {
        std::string text;
        int gap;
    };
    const Case cases[] = {
        {std::string("\x87\x40", 2), 12}, {std::string("\xF0\x40", 2), 12},
        {std::string("\x80", 1), 6},      {std::string("\xA0", 1), 6},
        {std::string("\n", 1), 6},        {std::string("\0", 1), 6},
        {std::string("\x82\x31", 2), 12},  // lone lead, then "1"
    };
    for (const Case& c : cases) {
        Buffer buffer(96, 16, FILL);
        ASSERT_TRUE(Draw(buffer, 2, 2, c.text + "A"));
        Buffer expected(96, 16, FILL);
        if (c.text == "\x82\x31") {
            ASSERT_TRUE(Draw(expected, 8, 2, "1A", 2));
        } else {
            ASSERT_TRUE(Draw(expected, 2 + c.gap, 2, "A", 1));
        }
        EXPECT_EQ(buffer.pixels, expected.pixels)
            << "text " << std::hex << static_cast<int>(uint8_t(c.text[0]));
    }
}

TEST(TextDraw, RefusesUnusableArguments) {
    Buffer buffer(32, 16, FILL);
    TextTarget target = buffer.Target();
    EXPECT_FALSE(TextDraw(nullptr, &target, 0, 0, "A", 1, WHITE));
    EXPECT_FALSE(TextDraw(SharedFont(), nullptr, 0, 0, "A", 1, WHITE));
    EXPECT_FALSE(TextDraw(SharedFont(), &target, 0, 0, nullptr, 1, WHITE));
    EXPECT_FALSE(TextDraw(SharedFont(), &target, 0, 0, "A", -2, WHITE));
    for (const TextTarget& bad :
         {TextTarget{nullptr, 32, 16, 32}, TextTarget{buffer.pixels.data(), -1, 16, 32},
          TextTarget{buffer.pixels.data(), 32, -1, 32},
          TextTarget{buffer.pixels.data(), 32, 16, 31}}) {
        EXPECT_FALSE(TextDraw(SharedFont(), &bad, 0, 0, "A", 1, WHITE));
    }
    EXPECT_EQ(ChangedPixels(buffer, FILL), "");
}

}  // namespace
