// Screen indices: the byte values of the back buffer. The back buffer's
// colour table lists the identity palette's indices in a fixed permuted order
// P, so that screen indices 0-7 are black, blue, red, magenta, green, cyan,
// yellow and white, 8-15 their dark shades, and 16-251 the ordinary entries.
#pragma once

#include <cstdint>

#include "surface/surface.h"

// P: screen index v shows identity-palette index SCREEN_PALETTE_ORDER[v].
extern const uint16_t SCREEN_PALETTE_ORDER[256];

// The inverse of P (palette index -> screen index), filled on first use.
extern uint8_t screenIndexTable[256];
extern int screenIndexTableBuilt;

// Fills screenIndexTable from P unless that was done already.
void ScreenIndexTableBuild();

// Converts every byte of the pixel block, row padding included, from a
// palette index to a screen index. Runs once per surface, after palette
// matching; the colour table is left as it is.
void SurfaceToScreenIndices(Surface* surface);
