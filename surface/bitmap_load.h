// Turning a bitmap resource (a packed DIB) into a top-down surface.
#pragma once

#include <cstdint>

#include "platform/resource.h"
#include "surface/surface.h"

// Number of colour-table entries a header declares: biClrUsed when it is not
// 0, otherwise 2, 16 or 256 for 1, 4 or 8 bits per pixel, and 0 for the rest.
uint16_t DibColorCount(const BitmapInfoHeader* header);

// Loads bitmap resource id of module into a new top-down surface with the
// resource's RGB colour table (DIB_RGB_COLORS). Only 8-bit uncompressed DIBs
// with a 40-byte header, a 256-entry colour table and rows of at most 512
// bytes are accepted. Returns null, with nothing allocated and nothing read
// past the block, for an id that names no bitmap, a block that breaks these
// rules or is shorter than its header declares, or a failed allocation.
Surface* SurfaceLoadResource(const platform::Module* module, int id);

// The same for a block already in hand.
Surface* SurfaceLoadDib(const uint8_t* block, size_t size);
