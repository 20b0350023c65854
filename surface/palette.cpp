#include "surface/palette.h"

#include <cstdlib>

#include "surface/bitmap_load.h"

platform::LogPalette identityPalette = {0x300, platform::PALETTE_MAX_ENTRIES, {}};

namespace {

// Sets the flags of entries [from, to) of identityPalette, kept inside its
// 256 entries whatever the display reports.
void SetFlags(int from, int to, uint8_t flags) {
    from = from < 0 ? 0 : from;
    to = to > platform::PALETTE_MAX_ENTRIES ? platform::PALETTE_MAX_ENTRIES : to;
    for (int i = from; i < to; ++i) {
        identityPalette.palPalEntry[i].peFlags = flags;
    }
}

}  // namespace

platform::Palette* PaletteFromSurface(const Surface* surface) {
    // An index-table surface has no colours to offer (and its header block is
    // too short to be read as an RGB table).
    if (surface == nullptr || surface->tableMode != DIB_RGB_COLORS) {
        return nullptr;
    }
    const int count = DibColorCount(surface->header);
    if (count == 0) {
        return nullptr;
    }
    // The colour table holds 256 entries, so no more than that are read.
    const int entries = count > SURFACE_TABLE_ENTRIES ? SURFACE_TABLE_ENTRIES : count;
    auto* description =
        static_cast<platform::LogPalette*>(std::calloc(1, sizeof(platform::LogPalette)));
    if (description == nullptr) {
        return nullptr;
    }
    description->palVersion = 0x300;
    description->palNumEntries = static_cast<uint16_t>(entries);
    const RgbQuad* table = SurfaceRgbTable(surface);
    for (int i = 0; i < entries; ++i) {
        description->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    }
    platform::Palette* palette = platform::PaletteCreate(description);
    std::free(description);
    return palette;
}

platform::Palette* PaletteCreateIdentity(const Surface* surface, platform::ScreenContext* screen) {
    if (screen == nullptr) {
        screen = platform::ScreenContextGet();
    }
    platform::ScreenSetSystemPaletteUse(screen, platform::SYSPAL_NOSTATIC);
    platform::ScreenSetSystemPaletteUse(screen, platform::SYSPAL_STATIC);

    platform::Palette* imagePalette = PaletteFromSurface(surface);
    platform::Palette* previous = platform::ScreenSelectPalette(screen, imagePalette);
    platform::ScreenRealizePalette(screen);
    platform::ScreenGetSystemPaletteEntries(screen, 0, platform::PALETTE_MAX_ENTRIES,
                                            identityPalette.palPalEntry);
    platform::ScreenSelectPalette(screen, previous);
    platform::PaletteDelete(imagePalette);

    const int statics = platform::ScreenGetDeviceCaps(screen, platform::CAPS_NUMCOLORS);
    const int half = statics / 2;
    const int size = platform::ScreenGetDeviceCaps(screen, platform::CAPS_SIZEPALETTE);

    SetFlags(0, half, 0);
    SetFlags(half, size - half, platform::PC_NOCOLLAPSE);
    SetFlags(size - half, size, 0);
    identityPalette.palVersion = 0x300;
    identityPalette.palNumEntries = platform::PALETTE_MAX_ENTRIES;
    // Made on the screen, so that a real display has its own palette object
    // to realise when the frames are shown.
    platform::Palette* identity = platform::ScreenCreatePalette(screen, &identityPalette);
    platform::ScreenContextRelease(screen);
    return identity;
}

void SurfaceMatchPalette(Surface* surface, const platform::Palette* palette) {
    // Only an RGB colour table can be matched; a surface already matched (or
    // created with an index table) is left as it is.
    if (surface == nullptr || surface->tableMode != DIB_RGB_COLORS) {
        return;
    }
    uint8_t map[SURFACE_TABLE_ENTRIES];
    const RgbQuad* table = SurfaceRgbTable(surface);
    for (int i = 0; i < SURFACE_TABLE_ENTRIES; ++i) {
        const uint32_t nearest = platform::PaletteNearestIndex(
            palette, platform::Rgb(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
        map[i] = static_cast<uint8_t>(nearest & 0xFF);
    }
    SurfacePixelsChanged(surface);
    const size_t bytes = SurfacePixelBytes(surface);
    for (size_t i = 0; i < bytes; ++i) {
        surface->pixels[i] = map[surface->pixels[i]];
    }
    uint16_t* indices = SurfaceIndexTable(surface);
    for (int i = 0; i < SURFACE_TABLE_ENTRIES; ++i) {
        indices[i] = static_cast<uint16_t>(i);
    }
    surface->tableMode = DIB_PAL_COLORS;
}
