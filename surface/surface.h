// 8-bit top-down images: the header block (a bitmap info header followed by a
// 256-entry colour table) and the pixel block, one byte per pixel, rows
// padded to a multiple of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/surface_record.h"
#include "platform/draw_context.h"

// Row stride of an 8-bit image: the width rounded up to a multiple of 4, as
// in every DIB. The pixel block's size fits 32 bits, so the stride does too.
constexpr int SurfaceStrideFor(int width) { return static_cast<int>(platform::DibStride(width)); }

// Writes a top-down 8-bit header: biSize 40, biWidth width, biHeight
// -|height|, one plane, 8 bits, BI_RGB, the given biSizeImage, everything
// else 0. The colour table that follows is left as it is.
void SurfaceHeaderInit(BitmapInfoHeader* header, int width, int height, uint32_t sizeImage);

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
// record owns it) and its spans. Null is allowed.
void SurfaceDestroy(Surface* surface);

// Grows bounds to hold the rectangle [left, right) x [top, bottom); an empty
// rectangle changes nothing.
void SurfaceBoundsAdd(SurfaceBounds* bounds, int64_t left, int64_t top, int64_t right,
                      int64_t bottom);

// Every pixel of the surface may have changed: its spans are dropped and its
// drawn bounds cover it all. Whatever rewrites pixels in place calls this.
void SurfacePixelsChanged(Surface* surface);

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
