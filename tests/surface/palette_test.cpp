#include "surface/palette.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/surface/surface_ptr.h"

namespace {

using testing_surface::SurfacePtr;

// A sprite-sheet-like colour table: the 20 static colours at 0-9 and
// 246-255, and 236 distinct other colours between them.
SurfacePtr MakeSheet() {
    SurfacePtr s(SurfaceCreate(16, 16, DIB_RGB_COLORS));
    RgbQuad* table = SurfaceRgbTable(s.get());
    const platform::PaletteEntry* statics = platform::STATIC_COLOURS;
    for (int i = 0; i < 256; ++i) {
        if (i < 10 || i >= 246) {
            const platform::PaletteEntry& e = statics[i < 10 ? i : i - 236];
            table[i] = {e.peBlue, e.peGreen, e.peRed, 0};
        } else {
            table[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(3 * i),
                        static_cast<uint8_t>(255 - i), 0};
        }
    }
    return s;
}

// An emulated display of the given kind, for one test.
struct Display {
    platform::ScreenContext* screen;
    Display(int numColors, int sizePalette)
        : screen(platform::ScreenContextCreate(numColors, sizePalette)) {}
    ~Display() { platform::ScreenContextDestroy(screen); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
};

TEST(Palette, IdentityPaletteHoldsTheSheetColoursWithStaticEntriesUnflagged) {
    for (int numColors : {20, 21}) {
        Display display(numColors, 256);
        ASSERT_NE(display.screen, nullptr);
        SurfacePtr sheet = MakeSheet();
        platform::Palette* palette = PaletteCreateIdentity(sheet.get(), display.screen);
        ASSERT_NE(palette, nullptr);
        const RgbQuad* table = SurfaceRgbTable(sheet.get());
        for (int i = 0; i < 256; ++i) {
            const platform::PaletteEntry& e = identityPalette.palPalEntry[i];
            const uint8_t flags = (i < 10 || i >= 246) ? 0 : platform::PC_NOCOLLAPSE;
            ASSERT_EQ(e.peFlags, flags) << numColors << " entry " << i;
            ASSERT_EQ(e.peRed, table[i].rgbRed) << i;
            ASSERT_EQ(e.peGreen, table[i].rgbGreen) << i;
            ASSERT_EQ(e.peBlue, table[i].rgbBlue) << i;
            ASSERT_EQ(palette->entries[i].peRed, e.peRed);
        }
        EXPECT_EQ(identityPalette.palNumEntries, 256);
        platform::PaletteDelete(palette);
    }
}

TEST(Palette, StaticColoursWinOverAnImageThatDisagrees) {
    // An image whose entries 0-9 are not the static colours still yields
    // black at 0 and white at 255, which the drawing relies on.
    SurfacePtr odd(SurfaceCreate(4, 4, DIB_RGB_COLORS));
    RgbQuad* table = SurfaceRgbTable(odd.get());
    table[0] = {9, 9, 9, 0};
    table[255] = {1, 2, 3, 0};
    table[100] = {10, 20, 30, 0};
    platform::Palette* palette = PaletteCreateIdentity(odd.get());
    ASSERT_NE(palette, nullptr);
    const platform::PaletteEntry& black = identityPalette.palPalEntry[0];
    const platform::PaletteEntry& white = identityPalette.palPalEntry[255];
    const platform::PaletteEntry& ordinary = identityPalette.palPalEntry[100];
    EXPECT_EQ(black.peRed + black.peGreen + black.peBlue, 0);
    EXPECT_EQ(white.peRed & white.peGreen & white.peBlue, 255);
    EXPECT_EQ(ordinary.peRed, 30);
    EXPECT_EQ(ordinary.peBlue, 10);
    platform::PaletteDelete(palette);
}

TEST(Palette, FlagRangesFollowTheDisplayAndStayInsideTheTable) {
    SurfacePtr sheet = MakeSheet();
    // A display without a palette: no reserved colours, no flags set.
    Display noPalette(-1, 0);
    platform::PaletteDelete(PaletteCreateIdentity(sheet.get(), noPalette.screen));
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(identityPalette.palPalEntry[i].peFlags, 0) << i;
    }
    // A system palette larger than 256 entries must not push a range past
    // the table's end (AddressSanitizer watches the writes).
    Display large(20, 300);
    platform::PaletteDelete(PaletteCreateIdentity(sheet.get(), large.screen));
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(identityPalette.palPalEntry[i].peFlags, i < 10 ? 0 : platform::PC_NOCOLLAPSE)
            << i;
    }
}

TEST(Palette, PaletteFromSurfaceCopiesTheRgbTableFieldByField) {
    SurfacePtr grey(SurfaceCreate(4, 4, DIB_RGB_COLORS));
    SurfaceRgbTable(grey.get())[9] = {0x10, 0x20, 0x30, 0x77};
    platform::Palette* palette = PaletteFromSurface(grey.get());
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->count, 256);
    EXPECT_EQ(palette->entries[200].peRed, 200);
    EXPECT_EQ(palette->entries[200].peGreen, 200);
    EXPECT_EQ(palette->entries[200].peBlue, 200);
    EXPECT_EQ(palette->entries[9].peRed, 0x30);
    EXPECT_EQ(palette->entries[9].peGreen, 0x20);
    EXPECT_EQ(palette->entries[9].peBlue, 0x10);
    EXPECT_EQ(palette->entries[9].peFlags, 0);
    platform::PaletteDelete(palette);

    EXPECT_EQ(PaletteFromSurface(nullptr), nullptr);
    SurfacePtr indexed(SurfaceCreate(4, 4, DIB_PAL_COLORS));
    EXPECT_EQ(PaletteFromSurface(indexed.get()), nullptr);
}

TEST(Palette, MatchingMapsEveryByteToTheNearestIndexOnce) {
    // Palette: entry 77 is exactly (r 0x30, g 0x20, b 0x10); entry 5 is near grey 200.
    platform::LogPalette description{0x300, 256, {}};
    for (int i = 0; i < 256; ++i) {
        description.palPalEntry[i] = {255, 255, 255, 0};
    }
    description.palPalEntry[77] = {0x30, 0x20, 0x10, 0};
    description.palPalEntry[5] = {198, 201, 200, 0};
    description.palPalEntry[6] = {198, 201, 200, 0};  // a tie: the lower index wins
    description.palPalEntry[0] = {0, 0, 0, 0};
    platform::Palette* palette = platform::PaletteCreate(&description);
    ASSERT_NE(palette, nullptr);

    SurfacePtr s(SurfaceCreate(10, 2, DIB_RGB_COLORS));  // stride 12: 2 padding bytes a row
    SurfaceRgbTable(s.get())[7] = {0x10, 0x20, 0x30, 0};
    for (int i = 0; i < 24; ++i) {
        s->pixels[i] = i % 3 == 0 ? 7 : i % 3 == 1 ? 200 : 0;
    }
    SurfaceMatchPalette(s.get(), palette);
    for (int i = 0; i < 24; ++i) {
        ASSERT_EQ(s->pixels[i], i % 3 == 0 ? 77 : i % 3 == 1 ? 5 : 0) << i;  // padding too
    }
    EXPECT_EQ(s->tableMode, DIB_PAL_COLORS);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(SurfaceIndexTable(s.get())[i], i);
    }
    // A second pass would read the index table as colours; it changes nothing.
    SurfaceMatchPalette(s.get(), palette);
    EXPECT_EQ(s->pixels[0], 77);
    EXPECT_EQ(s->pixels[1], 5);
    platform::PaletteDelete(palette);
}

}  // namespace
