// Reading KARIDO's frames-per-second counter off a screenshot of its window:
// the text "<N>fps" that render/frame_loop.cpp draws at (FPS_TEXT_X,
// FPS_TEXT_Y) in white with the program's embedded 12-pixel font, one 6x12
// half-width cell per character. The reader knows the characters only as
// that font draws them: it draws "0123456789fps" with the program's own text
// drawing when it starts, and matches each cell of the screenshot against
// those glyphs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/font.h"
#include "render/frame_loop.h"
#include "tools/png/png_io.h"

namespace fps_reader {

// Where the counter's first cell is, in client coordinates, and its cells.
inline constexpr int COUNTER_X = FPS_TEXT_X;
inline constexpr int COUNTER_Y = FPS_TEXT_Y;
inline constexpr int CELL_WIDTH = platform::FONT_HALF_WIDTH;
inline constexpr int CELL_HEIGHT = platform::FONT_CELL_HEIGHT;
// The counter's text fits a 16-byte buffer with its terminator: "fps" and at
// most 12 digits.
inline constexpr int MAX_DIGITS = 12;

// The characters the counter is made of, in this order.
inline constexpr char COUNTER_CHARACTERS[] = "0123456789fps";
inline constexpr int COUNTER_CHARACTER_COUNT = sizeof COUNTER_CHARACTERS - 1;

// One cell as a mask: a row per line of pixels, bit 5 the leftmost pixel.
using CellMask = std::array<uint8_t, CELL_HEIGHT>;

// The glyph of each of COUNTER_CHARACTERS as the program's font draws it.
struct CounterGlyphs {
    std::array<CellMask, COUNTER_CHARACTER_COUNT> masks{};
};

// Draws the glyphs with the embedded font. False, with *error set, when the
// font cannot be made, or it draws one of the characters blank or two of
// them alike (a cell could then not be told apart).
bool LoadCounterGlyphs(CounterGlyphs* glyphs, std::string* error);

// The white pixels (255, 255, 255) of the cell whose left edge is at x, on
// the counter's line. Precondition: the image holds the whole cell.
CellMask WhiteCell(const png_io::RgbImage& image, int x);

// Reads the counter: digits, cell by cell from COUNTER_X, each matching the
// font's glyph exactly, then "fps"; what lies right of the "s" is not looked
// at. False, with *error saying what was found instead, when the image is too
// small or not whole, when the first cell holds no white pixel (the counter
// is blank during the program's first second), or when the cells do not read
// as a number followed by "fps".
bool ReadCounter(const CounterGlyphs& glyphs, const png_io::RgbImage& image, uint64_t* number,
                 std::string* error);

}  // namespace fps_reader
