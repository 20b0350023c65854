#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/platform/text_fixtures.h"

namespace {

using namespace platform;
using text_fixtures::Buffer;
using text_fixtures::SharedFont;

constexpr uint8_t WHITE = 255;
constexpr uint8_t FILL = 3;

// A line as it should appear: its text and its pen start from rect.left.
struct Line {
    std::string text;
    int indent = 0;
};

// Draws text wrapped into rect of a w x h target, and the expected lines
// with TextDraw into another, clipped to the rect through a target that is
// the rect's window of the buffer; requires the same pixels and height.
// Each buffer has GUARD more rows and columns than its target, which no draw
// may touch.
void ExpectLines(int w, int h, TextRect rect, const char* text, int length,
                 const std::vector<Line>& lines, int expectedHeight) {
    constexpr int GUARD = 13;
    Buffer wrapped(w, h + GUARD, FILL, GUARD);
    const TextTarget target{wrapped.pixels.data(), w, h, wrapped.stride};
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &rect, text, length, WHITE), expectedHeight);

    Buffer expected(w, h + GUARD, FILL, GUARD);
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const TextTarget window{expected.pixels.data() + top * expected.stride + left,
                            std::max(0, std::min(rect.right, w) - left),
                            std::max(0, std::min(rect.bottom, h) - top), expected.stride};
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(TextDraw(SharedFont(), &window, rect.left - left + lines[i].indent,
                             rect.top - top + static_cast<int>(i) * FONT_CELL_HEIGHT,
                             lines[i].text.data(), static_cast<int>(lines[i].text.size()), WHITE));
    }
    ASSERT_NE(text_fixtures::ChangedPixels(wrapped, FILL), "") << "nothing drawn";
    EXPECT_EQ(wrapped.pixels, expected.pixels);
    if (wrapped.pixels != expected.pixels) {
        for (int y = 0; y < wrapped.height; ++y) {
            for (int x = 0; x < wrapped.stride; ++x) {
                if (wrapped.At(x, y) != expected.At(x, y)) {
                    ADD_FAILURE() << "first difference at " << x << "," << y;
                    return;
                }
            }
        }
    }
}

// 美しいボディになれる。 / “刺激的な味がしますが、一気に飲 / み干してください”と書いてある。 /
// デア・ド・サロン製, the full-width lines 16 characters (192 pixels) long.
const Line LONGEST_192[] = {
    {"\x94\xFC\x82\xB5\x82\xA2\x83{\x83"
     "f\x83"
     "B\x82\xC9\x82\xC8\x82\xEA\x82\xE9\x81"
     "B"},
    {"\x81g\x8Eh\x8C\x83\x93I\x82\xC8\x96\xA1\x82\xAA\x82\xB5\x82\xDC\x82\xB7\x82\xAA\x81"
     "A"
     "\x88\xEA\x8B"
     "C\x82\xC9\x88\xF9"},
    {"\x82\xDD\x8A\xB1\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81h\x82\xC6\x8F\x91\x82"
     "\xA2\x82\xC4\x82\xA0\x82\xE9\x81"
     "B"},
    {"\x83"
     "f\x83"
     "A\x81"
     "E\x83h\x81"
     "E\x83T\x83\x8D\x83\x93\x90\xBB"},
};

// The same at 240 pixels: the second line takes 飲み干して as well.
const Line LONGEST_240[] = {
    LONGEST_192[0],
    {LONGEST_192[1].text + "\x82\xDD\x8A\xB1\x82\xB5\x82\xC4"},
    {"\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81h\x82\xC6\x8F\x91\x82\xA2\x82\xC4\x82\xA0\x82\xE9\x81"
     "B"},
    LONGEST_192[3],
};

TEST(TextDrawWrapped, LongestDescriptionWrapsInTheItemWindowRectangles) {
    const char* text = text_fixtures::LONGEST_DESCRIPTION;
    ASSERT_EQ(std::strlen(text), 106u);
    // 192 x 48: four lines, the last ending exactly on the bottom edge.
    ExpectLines(768, 512, TextRect{8, 200, 200, 248}, text, -1,
                {std::begin(LONGEST_192), std::end(LONGEST_192)}, 48);
    // 240 x 36: three lines; the fourth lies below the bottom edge.
    ExpectLines(768, 512, TextRect{8, 200, 248, 236}, text, 106,
                {std::begin(LONGEST_240), std::begin(LONGEST_240) + 3}, 48);
    // A bottom edge through the fourth line keeps its top half only.
    ExpectLines(768, 512, TextRect{8, 200, 200, 242}, text, -1,
                {std::begin(LONGEST_192), std::end(LONGEST_192)}, 48);
    // Rectangles hanging off the target's top-left and bottom-right corners.
    ExpectLines(768, 512, TextRect{-100, -17, 92, 100}, text, -1,
                {std::begin(LONGEST_192), std::end(LONGEST_192)}, 48);
    ExpectLines(768, 512, TextRect{700, 482, 892, 600}, text, -1,
                {std::begin(LONGEST_192), std::end(LONGEST_192)}, 48);
}

TEST(TextDrawWrapped, BreaksAfterSpacesAndAroundDoubleByteCharacters) {
    const TextRect tenCells{4, 4, 64, 100};  // 60 pixels: ten half-width cells
    // The word that does not fit moves whole; the space is not drawn first.
    ExpectLines(80, 104, tenCells, "ABCD EFGHIJ KL", -1, {{"ABCD "}, {"EFGHIJ KL"}}, 24);
    // Several spaces hang past the edge, none starts the next line.
    ExpectLines(80, 104, tenCells, "ABCDEFGH    IJ", -1, {{"ABCDEFGH"}, {"IJ"}}, 24);
    // A word longer than the line is split between characters.
    ExpectLines(80, 104, tenCells, "ABCDEFGHIJKLMN", -1, {{"ABCDEFGHIJ"}, {"KLMN"}}, 24);
    // "HPが50%回復する。" in 36 pixels: breaks may fall before or after a
    // double-byte character, not inside "50%".
    ExpectLines(80, 104, TextRect{4, 4, 40, 100}, text_fixtures::DESCRIPTIONS[0], -1,
                {{"HP\x82\xAA"},
                 {"50%\x89\xF1"},
                 {"\x95\x9C\x82\xB7\x82\xE9"},
                 {"\x81"
                  "B"}},
                48);
    // A double-byte character that would cross the edge moves whole.
    ExpectLines(40, 40, TextRect{0, 0, 18, 40}, "AA\x82\xA0", -1, {{"AA"}, {"\x82\xA0"}}, 24);
    ExpectLines(40, 40, TextRect{0, 0, 18, 40}, "A\x82\xA0", -1, {{"A\x82\xA0"}}, 12);
    // A rectangle narrower than one character still shows each first
    // character, clipped to the rectangle.
    ExpectLines(40, 40, TextRect{2, 2, 10, 40}, "\x82\xA0\x82\xA0", -1,
                {{"\x82\xA0"}, {"\x82\xA0"}}, 24);
}

TEST(TextDrawWrapped, LineFeedsTabsAndAmpersands) {
    const TextRect wide{2, 2, 190, 100};
    // LF, CR LF and a lone CR each break once; empty lines count.
    ExpectLines(192, 104, wide, "AB\r\nCD\nEF\rGH\n\nIJ", -1,
                {{"AB"}, {"CD"}, {"EF"}, {"GH"}, {""}, {"IJ"}}, 72);
    // Spaces after a line feed are kept, unlike after a wrap.
    ExpectLines(192, 104, wide, "AB\n  CD", -1, {{"AB"}, {"CD", 12}}, 24);
    // Tabs go to the next multiple of 48 pixels from the rectangle's left.
    ExpectLines(192, 104, wide, "A\tB\nABCDEFGH\tC\n\t\tD", -1,
                {{"A       B"}, {"ABCDEFGH        C"}, {"D", 96}}, 36);
    // "&" is drawn, not taken as a prefix.
    ExpectLines(192, 104, wide, "A&B&&C", -1, {{"A&B&&C"}}, 12);
    // The item list's row: name, full-width colon, number.
    ExpectLines(192, 104, wide, text_fixtures::LIST_ROW, -1, {{text_fixtures::LIST_ROW}}, 12);
}

TEST(TextDrawWrapped, OddInputIsReadOnlyUpToItsEnd) {
    const TextRect rect{0, 0, 60, 60};
    ExpectLines(64, 64, rect, "AB\x82", -1, {{"AB"}}, 12);              // lead byte at the end
    ExpectLines(64, 64, rect, "AB\x82\xA0", 3, {{"AB"}}, 12);           // cut inside a character
    ExpectLines(64, 64, rect, "ABCDEF", 2, {{"AB"}}, 12);               // shorter length
    ExpectLines(64, 64, rect, "A\x82\nB", -1, {{"A\x82"}, {"B"}}, 24);  // lone lead, LF kept
    ExpectLines(64, 64, rect,
                "\x87\x40"
                "A\xF0\x40"
                "B",
                -1,
                {{"\x87\x40"
                  "A\xF0\x40"
                  "B"}},
                12);
    ExpectLines(64, 64, rect,
                "\xA0"
                "A",
                -1,
                {{"\xA0"
                  "A"}},
                12);

    Buffer buffer(64, 64, FILL);
    const TextTarget target = buffer.Target();
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &rect, "ABC", 0, WHITE), 0);
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &rect, nullptr, 0, WHITE), 0);
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &rect, "\x82", -1, WHITE), 0);
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, nullptr, "A", -1, WHITE), -1);
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &rect, nullptr, 1, WHITE), -1);
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &rect, "A", -2, WHITE), -1);
    EXPECT_EQ(TextDrawWrapped(nullptr, &target, &rect, "A", -1, WHITE), -1);
    const TextTarget bad{buffer.pixels.data(), 64, 64, 63};
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &bad, &rect, "A", -1, WHITE), -1);
    EXPECT_EQ(text_fixtures::ChangedPixels(buffer, FILL), "");

    // An empty or inverted rectangle draws nothing but still lays out.
    const TextRect inverted{40, 40, 10, 10};
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &inverted, "AB", -1, WHITE), 24);
    EXPECT_EQ(text_fixtures::ChangedPixels(buffer, FILL), "");
}

}  // namespace
