// Drawing contexts and DIB sections: the memory context the program draws
// its text through, holding an 8-bit top-down pixel block, the palette its
// colour table indexes, the font and the text colours.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/palette.h"

namespace platform {

struct Font;

// Row stride of an 8-bit DIB: the width rounded up to a multiple of 4 bytes.
constexpr int64_t DibStride(int64_t width) { return (width + 3) / 4 * 4; }

// A zeroed block of at least one byte for pixels, released with
// PixelBlockFree, or null when memory runs out. Its start is aligned to 64
// bytes, a cache line and the widest vector the drawing code stores, so that
// rows at multiples of 64 bytes never split a store over two lines.
uint8_t* PixelBlockAllocate(size_t bytes);

// Releases a block of PixelBlockAllocate. Null is allowed.
void PixelBlockFree(void* block);

// An 8-bit top-down DIB section whose colour table holds 256 palette indices.
// The system sees it only through the functions below.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

struct Bitmap {
    uint8_t* pixels;
    int width;
    int height;
    int stride;  // DibStride(width)
    uint16_t colourIndices[256];
    // Holds every pixel text has written since BitmapForgetDrawn (or since
    // the bitmap was made); right and bottom exclusive, empty when right <=
    // left. Drawing that writes nothing may still grow it.
    Rect drawn;
};

// A new DIB section, every pixel 0, whose pixel block (height rows of
// DibStride(width) bytes, top row first) is stored in *bits; null, with
// *bits null, for a non-positive size or a failed allocation. colourIndices
// may be null for the identity order.
Bitmap* BitmapCreateDib(int width, int height, const uint16_t colourIndices[256], uint8_t** bits);
void BitmapDelete(Bitmap* bitmap);

// The bitmap's drawn bounds, and emptying them.
Rect BitmapDrawnBounds(const Bitmap* bitmap);
void BitmapForgetDrawn(Bitmap* bitmap);

constexpr int BK_TRANSPARENT = 1;

// A memory drawing context. Text is always drawn with a transparent
// background: only the glyphs' pixels are written, in the byte whose colour
// (its colour-table index looked up in the selected palette) is nearest to
// the text colour.
struct DrawContext {
    Bitmap* bitmap;
    Palette* palette;
    Font* font;
    int bkMode;
    ColorRef bkColor;
    ColorRef textColor;
    uint8_t textByte;  // derived from textColor, palette and bitmap
};

// A new context with nothing selected, transparent background, black
// background colour and black text; null when memory runs out.
DrawContext* DrawContextCreate();
void DrawContextDelete(DrawContext* context);

// Each select returns what was selected before.
Palette* DrawContextSelectPalette(DrawContext* context, Palette* palette);
Bitmap* DrawContextSelectBitmap(DrawContext* context, Bitmap* bitmap);
Font* DrawContextSelectFont(DrawContext* context, Font* font);

ColorRef DrawContextSetTextColor(DrawContext* context, ColorRef colour);
ColorRef DrawContextSetBkColor(DrawContext* context, ColorRef colour);

// Draws length bytes of CP932 text with its top-left corner at (x, y),
// clipped to the bitmap. Nothing happens without a bitmap or a font.
void DrawContextTextOut(DrawContext* context, int x, int y, const char* text, int length);

// Draws text word-wrapped into rect, clipped to it (the word-break, tab
// expanding, no-prefix behaviour the message and list windows use). length is
// a byte count, or -1 for zero-terminated text.
void DrawContextDrawText(DrawContext* context, const char* text, int length, const Rect* rect);

}  // namespace platform
