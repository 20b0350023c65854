// CP932 text drawn with the 12-pixel font into 8-bit top-down pixel buffers:
// only the glyphs' set pixels are written (with one palette index), the
// background stays as it was. Drawing reads the font's glyph table only; it
// allocates nothing.
#pragma once

#include <cstdint>

#include "platform/font.h"

namespace platform {

// An 8-bit top-down buffer: height rows of stride bytes, width of them used.
struct TextTarget {
    uint8_t* pixels;
    int width;
    int height;
    int stride;
};

// right and bottom are exclusive, as in a Win32 RECT.
struct TextRect {
    int left;
    int top;
    int right;
    int bottom;
};

// Draws text with its top-left corner at (x, y); any position is allowed and
// the glyphs are clipped to the target. Each single-byte character advances
// the pen 6 pixels, each double-byte character 12; no byte is a control (a
// line feed is an empty cell). length is a byte count, or -1 for a
// zero-terminated text. A lead byte as the last byte ends the text; a
// character the font lacks leaves an empty cell of its width.
// Returns false, drawing nothing, when an argument is unusable: a null font,
// target or target pixels, a negative width or height, a stride below the
// width, a length below -1, or a null text with a length other than 0.
// Precondition: text holds length bytes (a terminator with -1); pixels holds
// height rows of stride bytes.
bool TextDraw(const Font* font, const TextTarget* target, int x, int y, const char* text,
              int length, uint8_t colour);

// Draws text word-wrapped into rect, as Win32 DrawTextA with DT_WORDBREAK |
// DT_EXPANDTABS | DT_NOPREFIX: lines 12 pixels apart from rect->top, each
// from rect->left; a line breaks at a line feed (CR LF, or CR alone, counts as
// one) and before the first character that would pass rect->right, at the
// last place that allows it: after a space or a tab, or on either side of a
// double-byte character; a line with no such place breaks before that
// character, and a line's first character is always drawn. Spaces and tabs
// may run past the right edge and so never start a wrapped line. Tabs move
// to the next multiple of 48 pixels (8 half-width cells) from rect->left.
// "&" is drawn as itself. Everything is clipped to rect and to the target.
// length and the text's bytes are read as for TextDraw.
// Returns the height of the laid-out text (12 per line, including lines
// clipped away; at most INT32_MAX), or -1, drawing nothing, for the unusable
// arguments of TextDraw or a null rect.
int TextDrawWrapped(const Font* font, const TextTarget* target, const TextRect* rect,
                    const char* text, int length, uint8_t colour);

// Glyph rows are written with one masked store each on CPUs that have
// AVX-512, otherwise a few bytes at a time; both write the same pixels. true
// asks for the second way everywhere (tests compare the two), false restores
// the choice by CPU.
void TextUseWordWrites(bool wordWrites);

}  // namespace platform
