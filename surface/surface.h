// 8-bit top-down images: the header block (a bitmap info header followed by a
// 256-entry colour table) and the pixel block, one byte per pixel, rows
// padded to a multiple of 4 bytes.
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

struct Surface {
    BitmapInfoHeader* header;  // followed directly by the colour table
    uint8_t* pixels;           // |height| rows of stride bytes, top row first
    int32_t ownsPixels;        // 1: the pixel block is the record's to release
    int32_t tableMode;         // DIB_RGB_COLORS or DIB_PAL_COLORS
};

// Row stride of an 8-bit image: the width rounded up to a multiple of 4.
constexpr int SurfaceStrideFor(int width) { return ((width + 3) / 4) * 4; }

// Stride and row count of a surface, from its header.
int SurfaceStride(const Surface* surface);
int SurfaceRows(const Surface* surface);

// Size of the pixel block: stride x |height| bytes.
size_t SurfacePixelBytes(const Surface* surface);

// The colour table, read as RGB entries or as 16-bit palette indices.
RgbQuad* SurfaceRgbTable(Surface* surface);
const RgbQuad* SurfaceRgbTable(const Surface* surface);
uint16_t* SurfaceIndexTable(Surface* surface);
const uint16_t* SurfaceIndexTable(const Surface* surface);

// A new surface, every pixel 0, with the identity index table (DIB_PAL_COLORS)
// or a grey ramp (any other mode). The sign of height is ignored. Returns null
// when an allocation fails, when width is negative, or when the pixel block
// would not fit the header's 32-bit size field; nothing is left allocated.
Surface* SurfaceCreate(int width, int height, int mode);

// Releases a surface made by SurfaceCreate (the pixel block only when the
// record owns it). Null is allowed.
void SurfaceDestroy(Surface* surface);

// Writes the low 8 bits of value at (x, y) when the linear offset
// y * stride + x lies inside the pixel block; otherwise does nothing.
void SurfacePutPixel(Surface* surface, int x, int y, int value);

// Reverses the order of the pixel rows in place (the header is unchanged).
// Not reentrant: it swaps through one shared row buffer.
void SurfaceFlipRows(Surface* surface);

// Copies the w x h rectangle at (sx, sy) of src to (dx, dy) of dst, clipped
// against dst. A negative key copies opaquely; a key of 0 or more leaves the
// destination unchanged wherever the source byte equals the key's low 8 bits.
// The source is addressed linearly (a rectangle that runs past the source's
// right edge continues on its next row) and is not clipped; rows that would
// read outside the source's pixel block are skipped. dst and src must be
// different surfaces; a null surface draws nothing.
void SurfaceBlit(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy,
                 int key);
