// GDI's palette manager as the screen driver: what GDI holds after the
// palette calls of platform/palette.h went to it on the screen DC. The
// calls work on any display; the window uses them where the display has a
// palette.
#include <gtest/gtest.h>

#include "platform/palette.h"
#include "platform/win32/palette_display.h"

// After the platform's headers: the system's macros would take the place of
// the palette constants that those declare under the same names.
#include <windows.h>

namespace {

// A palette whose colours tell red from blue: entry i is nearest to itself,
// and would not be with red and blue swapped.
platform::LogPalette Description() {
    platform::LogPalette description{0x300, 16, {}};
    for (int i = 0; i < 16; ++i) {
        description.palPalEntry[i] =
            platform::PaletteEntry{static_cast<uint8_t>(16 * i), static_cast<uint8_t>(i * 7),
                                   static_cast<uint8_t>(255 - 16 * i),
                                   static_cast<uint8_t>(i % 2 == 0 ? 0 : PC_NOCOLLAPSE)};
    }
    return description;
}

struct OpenDisplay {
    OpenDisplay() : display(platform::Win32PaletteDisplayOpen()) {}
    ~OpenDisplay() { platform::Win32PaletteDisplayClose(display); }
    platform::Win32PaletteDisplay* display;
};

TEST(Win32PaletteDisplay, PalettesMadeThereHoldTheirEntriesFlagsAndNearestColours) {
    OpenDisplay open;
    ASSERT_NE(open.display, nullptr);
    platform::ScreenContext* screen = platform::Win32PaletteDisplayScreen(open.display);
    const platform::LogPalette description = Description();
    platform::Palette* palette = platform::ScreenCreatePalette(screen, &description);
    ASSERT_NE(palette, nullptr);
    ASSERT_NE(palette->native, nullptr) << "no palette object of the display's own";

    const auto hpal = static_cast<HPALETTE>(palette->native);
    PALETTEENTRY entries[17] = {};
    ASSERT_EQ(GetPaletteEntries(hpal, 0, 17, entries), 16u);
    for (int i = 0; i < 16; ++i) {
        const platform::PaletteEntry& e = description.palPalEntry[i];
        EXPECT_EQ(entries[i].peRed, e.peRed) << i;
        EXPECT_EQ(entries[i].peGreen, e.peGreen) << i;
        EXPECT_EQ(entries[i].peBlue, e.peBlue) << i;
        EXPECT_EQ(entries[i].peFlags, e.peFlags) << i;
        // The display's own search, a little off each colour.
        const platform::ColorRef offColour =
            platform::Rgb(static_cast<uint8_t>(e.peRed + 3), e.peGreen, e.peBlue);
        EXPECT_EQ(platform::PaletteNearestIndex(palette, offColour), static_cast<uint32_t>(i));
    }
    platform::PaletteDelete(palette);
    EXPECT_EQ(GetObjectType(hpal), 0u) << "the display's palette object outlived its palette";
}

TEST(Win32PaletteDisplay, SelectingNothingPutsTheScreensOwnPaletteBack) {
    OpenDisplay open;
    ASSERT_NE(open.display, nullptr);
    platform::ScreenContext* screen = platform::Win32PaletteDisplayScreen(open.display);
    const auto dc = static_cast<HDC>(platform::Win32PaletteDisplayDevice(open.display));
    const HGDIOBJ own = GetCurrentObject(dc, OBJ_PAL);
    ASSERT_NE(own, nullptr);

    const platform::LogPalette description = Description();
    platform::Palette* first = platform::ScreenCreatePalette(screen, &description);
    platform::Palette* second = platform::ScreenCreatePalette(screen, &description);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    platform::ScreenSelectPalette(screen, first);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), first->native);
    platform::ScreenSelectPalette(screen, second);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), second->native);
    platform::ScreenSelectPalette(screen, nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), own) << "not the palette the screen had";

    // A palette deleted while selected leaves the screen with its own.
    platform::ScreenSelectPalette(screen, first);
    platform::PaletteDelete(first);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), own);
    platform::PaletteDelete(second);

    // The reserved static colours, which a display may give as NUMCOLORS
    // -1 and NUMRESERVED.
    const int numColors = GetDeviceCaps(dc, NUMCOLORS);
    EXPECT_EQ(platform::ScreenGetDeviceCaps(screen, platform::CAPS_NUMCOLORS),
              numColors >= 0 ? numColors : GetDeviceCaps(dc, NUMRESERVED));
    EXPECT_EQ(platform::ScreenGetDeviceCaps(screen, platform::CAPS_SIZEPALETTE),
              GetDeviceCaps(dc, SIZEPALETTE));
}

}  // namespace
