// The 8-bit top-down image record every subsystem sees: a header block (a
// bitmap info header followed by a 256-entry colour table) and a pixel block,
// one byte per pixel, rows padded to a multiple of 4 bytes. The functions
// that act on it are in surface/.
#pragma once

#include <cstddef>
#include <cstdint>

// Binary-exact layout of the published BITMAPINFOHEADER.
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;  // negative: top-down
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(offsetof(BitmapInfoHeader, biWidth) == 4);
static_assert(offsetof(BitmapInfoHeader, biPlanes) == 12);
static_assert(offsetof(BitmapInfoHeader, biBitCount) == 14);
static_assert(offsetof(BitmapInfoHeader, biCompression) == 16);
static_assert(offsetof(BitmapInfoHeader, biSizeImage) == 20);
static_assert(offsetof(BitmapInfoHeader, biClrUsed) == 32);
static_assert(offsetof(BitmapInfoHeader, biClrImportant) == 36);

// Colour-table entry of an RGB table: blue, green, red, reserved.
struct RgbQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
static_assert(sizeof(RgbQuad) == 4);

// Colour-table modes.
constexpr int DIB_RGB_COLORS = 0;  // 256 RgbQuads
constexpr int DIB_PAL_COLORS = 1;  // 256 16-bit palette indices
constexpr uint32_t BI_RGB = 0;

constexpr int SURFACE_HEADER_SIZE = 40;
constexpr int SURFACE_TABLE_ENTRIES = 256;

// A rectangle of pixels, right and bottom exclusive; empty when right <= left
// or bottom <= top.
struct SurfaceBounds {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The opaque spans of a surface for one colour key (see surface/surface_runs.h).
struct SurfaceRuns;

struct Surface {
    BitmapInfoHeader* header;  // followed directly by the colour table
    uint8_t* pixels;           // |height| rows of stride bytes, top row first
    int32_t ownsPixels;        // 1: the pixel block is the record's to release
    int32_t tableMode;         // DIB_RGB_COLORS or DIB_PAL_COLORS
    // What the surface's own drawing calls have written since the bounds
    // were last reset: the back buffer clears only this much after a frame.
    SurfaceBounds drawn = {};
    // The spans a keyed blit from this surface copies, built on request for a
    // fixed image and dropped by any call that writes its pixels; owned.
    SurfaceRuns* runs = nullptr;
};
