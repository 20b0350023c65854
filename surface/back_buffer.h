// The 8-bit back buffer every frame is composed in, its memory drawing
// context, and the one font all text is drawn with.
#pragma once

#include "base/state.h"
#include "platform/font.h"

// The font the program asks for: 12 pixels, normal weight, fixed pitch,
// Shift-JIS, face "ＭＳ ゴシック".
platform::LogFontA FontRequest();

// Creates the font into state->hfont (null when it cannot be made).
void FontCreate(AppState* state);

// Destroys state->hfont and forgets it.
void FontRelease(AppState* state);

// Creates the memory drawing context (identity palette, DIB section, font,
// transparent background, black background colour, white text) into
// state->hdcMem and state->hbitmap, sets state->backBuffer as a top-down
// width x |height| surface over the DIB section's pixels whose colour table
// is the screen-index order P (the surface does not own the pixels), and
// points state->target at it. Requires state->hpalette and state->hfont.
// When anything cannot be made, whatever was made is released and
// state->target stays null.
void BackBufferCreate(AppState* state, int width, int height);

// Sets every pixel drawn since the last clear back to 0: the union of what
// the blits into the back buffer and the text drawn through state->hdcMem
// have written, row by row. Afterwards the whole back buffer is 0, as after
// filling all of it, and both drawn bounds are empty.
void BackBufferClear(AppState* state);

// Deletes the memory drawing context, the DIB section and the back buffer's
// header, and clears state->backBuffer and state->target (the palette and
// the font are not the back buffer's). Only while nothing draws.
void BackBufferDestroy(AppState* state);
