// SDL copies of our surfaces, for benchmarks that measure SDL2 as the
// reference on the same pixels.
#pragma once

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "surface/surface.h"

namespace bench {

// Ends the benchmark program when SDL cannot give what it needs.
[[noreturn]] inline void SdlFailed(const char* what) {
    std::fprintf(stderr, "benchmark: %s failed: %s\n", what, SDL_GetError());
    std::exit(1);
}

// An SDL-owned INDEX8 copy of one of our surfaces. All copies share one
// palette, so SDL copies bytes without remapping. A key of 0 or more is set
// as the colour key, RLE-accelerated when rle is true.
inline SDL_Surface* SdlCopy(const Surface* s, SDL_Palette* palette, int key, bool rle) {
    const int w = s->header->biWidth;
    const int h = SurfaceRows(s);
    SDL_Surface* copy = SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8);
    if (copy == nullptr) {
        SdlFailed("SDL_CreateRGBSurfaceWithFormat");
    }
    SDL_SetSurfacePalette(copy, palette);
    for (int y = 0; y < h; ++y) {
        std::memcpy(static_cast<uint8_t*>(copy->pixels) + y * copy->pitch,
                    s->pixels + y * SurfaceStride(s), static_cast<size_t>(w));
    }
    if (key >= 0) {
        SDL_SetColorKey(copy, SDL_TRUE, static_cast<Uint32>(key));
        SDL_SetSurfaceRLE(copy, rle ? 1 : 0);
    }
    return copy;
}

}  // namespace bench
