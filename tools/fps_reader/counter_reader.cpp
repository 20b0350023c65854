#include "tools/fps_reader/counter_reader.h"

#include <cstring>
#include <vector>

#include "platform/font.h"
#include "platform/text.h"

namespace fps_reader {

namespace {

constexpr uint8_t INK = 1;  // the palette index the glyphs are drawn with

// The character whose glyph the cell is exactly, or 0 for none.
char MatchCell(const CounterGlyphs& glyphs, const CellMask& cell) {
    for (int i = 0; i < COUNTER_CHARACTER_COUNT; ++i) {
        if (glyphs.masks[i] == cell) {
            return COUNTER_CHARACTERS[i];
        }
    }
    return 0;
}

bool IsBlank(const CellMask& cell) {
    for (uint8_t row : cell) {
        if (row != 0) {
            return false;
        }
    }
    return true;
}

std::string CellPlace(int index) {
    return "cell " + std::to_string(index + 1) + " (x " +
           std::to_string(COUNTER_X + index * CELL_WIDTH) + ")";
}

}  // namespace

bool LoadCounterGlyphs(CounterGlyphs* glyphs, std::string* error) {
    platform::Font* font = platform::FontCreateIndirect(nullptr);
    if (font == nullptr) {
        *error = "cannot create the program's embedded font";
        return false;
    }
    // The characters side by side, as the program draws text: the glyphs'
    // set pixels in one index, the rest left 0.
    constexpr int width = COUNTER_CHARACTER_COUNT * CELL_WIDTH;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * CELL_HEIGHT, 0);
    const platform::TextTarget target{pixels.data(), width, CELL_HEIGHT, width};
    const bool drawn = platform::TextDraw(font, &target, 0, 0, COUNTER_CHARACTERS,
                                          COUNTER_CHARACTER_COUNT, INK);
    platform::FontDestroy(font);
    if (!drawn) {
        *error = "the program's text drawing refused the counter's characters";
        return false;
    }
    for (int i = 0; i < COUNTER_CHARACTER_COUNT; ++i) {
        CellMask& mask = glyphs->masks[i];
        for (int y = 0; y < CELL_HEIGHT; ++y) {
            uint8_t row = 0;
            for (int x = 0; x < CELL_WIDTH; ++x) {
                if (pixels[static_cast<size_t>(y) * width + i * CELL_WIDTH + x] == INK) {
                    row |= static_cast<uint8_t>(0x20 >> x);
                }
            }
            mask[y] = row;
        }
        if (IsBlank(mask)) {
            *error = std::string("the embedded font draws '") + COUNTER_CHARACTERS[i] + "' blank";
            return false;
        }
        for (int j = 0; j < i; ++j) {
            if (glyphs->masks[j] == mask) {
                *error = std::string("the embedded font draws '") + COUNTER_CHARACTERS[j] +
                         "' and '" + COUNTER_CHARACTERS[i] + "' alike";
                return false;
            }
        }
    }
    return true;
}

CellMask WhiteCell(const png_io::RgbImage& image, int x) {
    CellMask cell{};
    for (int y = 0; y < CELL_HEIGHT; ++y) {
        const uint8_t* rgb =
            &image.rgb[(static_cast<size_t>(COUNTER_Y + y) * image.width + x) * 3];
        uint8_t row = 0;
        for (int dx = 0; dx < CELL_WIDTH; ++dx, rgb += 3) {
            if (rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255) {
                row |= static_cast<uint8_t>(0x20 >> dx);
            }
        }
        cell[y] = row;
    }
    return cell;
}

bool ReadCounter(const CounterGlyphs& glyphs, const png_io::RgbImage& image, uint64_t* number,
                 std::string* error) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) {
        *error = "the image holds no pixels";
        return false;
    }
    // Room for the shortest counter, "0fps".
    if (image.width < COUNTER_X + 4 * CELL_WIDTH || image.height < COUNTER_Y + CELL_HEIGHT) {
        *error = "the image is " + std::to_string(image.width) + "x" +
                 std::to_string(image.height) + ", too small to hold the counter at (" +
                 std::to_string(COUNTER_X) + ", " + std::to_string(COUNTER_Y) + ")";
        return false;
    }
    const int cells = (image.width - COUNTER_X) / CELL_WIDTH;
    if (IsBlank(WhiteCell(image, COUNTER_X))) {
        *error = "no counter: the cell at (" + std::to_string(COUNTER_X) + ", " +
                 std::to_string(COUNTER_Y) +
                 ") holds no white pixel (the counter is blank during the program's first "
                 "second)";
        return false;
    }

    // What the cells read as, '?' for a cell that is no glyph of the counter,
    // for the message should they not make a counter.
    std::string read;
    uint64_t value = 0;
    int index = 0;
    for (; index < cells && index < MAX_DIGITS; ++index) {
        const char c = MatchCell(glyphs, WhiteCell(image, COUNTER_X + index * CELL_WIDTH));
        if (c < '0' || c > '9') {
            break;
        }
        read += c;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    const int digits = index;
    for (const char expected : {'f', 'p', 's'}) {
        if (index >= cells) {
            *error = "the counter reads '" + read + "' and runs off the image's right edge";
            return false;
        }
        const CellMask cell = WhiteCell(image, COUNTER_X + index * CELL_WIDTH);
        const char c = MatchCell(glyphs, cell);
        if (digits == 0 || c != expected) {
            std::string why;
            if (c == 0) {
                why = IsBlank(cell) ? " is blank" : " matches none of the font's digits or 'fps'";
            } else if (digits == 0) {
                why = std::string(" is '") + c + "' where a number should start";
            } else if (c >= '0' && c <= '9') {
                why = " is a digit past the most a counter has (" + std::to_string(MAX_DIGITS) +
                      ")";
            } else {
                why = std::string(" is '") + c + "', not '" + expected + "'";
            }
            const std::string after = read.empty() ? "" : "after '" + read + "', ";
            *error = "no readable counter: " + after + CellPlace(index) + why;
            return false;
        }
        read += c;
        ++index;
    }
    *number = value;
    return true;
}

}  // namespace fps_reader
