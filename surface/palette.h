// The identity palette (whose entry i is system-palette entry i) and the
// matching of images from their RGB colour tables to indices into it.
#pragma once

#include "platform/palette.h"
#include "surface/surface.h"

// The description the identity palette is created from; filled by
// PaletteCreateIdentity.
extern platform::LogPalette identityPalette;

// A logical palette holding the surface's RGB colour table (DibColorCount
// entries, flags 0), or null for a null surface, no colours, or a failed
// allocation. The surface must carry an RGB colour table.
platform::Palette* PaletteFromSurface(const Surface* surface);

// Realises the surface's colours on the screen (the process's display, or
// the one given), reads the resulting system palette back into
// identityPalette, marks the entries between the reserved static colours
// PC_NOCOLLAPSE, and creates the identity palette from it. The surface must
// still carry its RGB colour table. Null if the palette cannot be created.
platform::Palette* PaletteCreateIdentity(const Surface* surface,
                                         platform::ScreenContext* screen = nullptr);

// Rewrites every byte of the pixel block (row padding included) as the index
// of the palette colour nearest to its RGB table colour, then makes the
// colour table the identity index table (DIB_PAL_COLORS). Runs once per
// surface: a second pass would read the index table as colours.
void SurfaceMatchPalette(Surface* surface, const platform::Palette* palette);
