// The palette manager of a 256-colour display. Linux has no hardware
// palette, so this emulates one: a 256-entry system palette whose reserved
// entries hold the 20 standard static colours, logical palettes that can be
// selected into the screen context and realised, and nearest-colour lookup.
// Where the display has a palette manager of its own (a real 256-colour
// display on Windows), a screen context made on its driver hands every call
// to it instead, with the same meaning.
#pragma once

#include <cstdint>

namespace platform {

struct PaletteEntry {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};

constexpr uint8_t PC_NOCOLLAPSE = 0x04;
constexpr int PALETTE_MAX_ENTRIES = 256;

// A logical palette description: version 0x300 and up to 256 entries.
struct LogPalette {
    uint16_t palVersion;
    uint16_t palNumEntries;
    PaletteEntry palPalEntry[PALETTE_MAX_ENTRIES];
};

struct ScreenDriver;

// A logical palette object. On a display with a driver it also has the
// display's own palette object, made when it is first selected there.
struct Palette {
    uint16_t count;
    PaletteEntry entries[PALETTE_MAX_ENTRIES];
    void* native;                // the driver's palette object, or null
    const ScreenDriver* driver;  // the driver that made it
};

// A colour as red | green << 8 | blue << 16.
using ColorRef = uint32_t;
constexpr ColorRef Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return ColorRef{r} | (ColorRef{g} << 8) | (ColorRef{b} << 16);
}

// The standard 20 static colours of a 256-colour display, in system-palette
// order: the first 10 belong at indices 0-9, the last 10 at 246-255.
inline constexpr int STATIC_COLOUR_COUNT = 20;
inline constexpr PaletteEntry STATIC_COLOURS[STATIC_COLOUR_COUNT] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

// The nearest-colour search: the index i in [0, count) whose colour
// entryAt(i) (a const PaletteEntry*, or null to pass i over) is nearest to
// colour by squared RGB distance, the lowest index on a tie; -1 when no index
// qualifies.
template <typename EntryAt>
int NearestColourIndex(ColorRef colour, int count, EntryAt entryAt) {
    const int r = static_cast<int>(colour & 0xFF);
    const int g = static_cast<int>((colour >> 8) & 0xFF);
    const int b = static_cast<int>((colour >> 16) & 0xFF);
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < count; ++i) {
        const PaletteEntry* e = entryAt(i);
        if (e == nullptr) {
            continue;
        }
        const int dr = e->peRed - r, dg = e->peGreen - g, db = e->peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// Static-colour use of the system palette.
constexpr int SYSPAL_STATIC = 1;
constexpr int SYSPAL_NOSTATIC = 2;

// Device capabilities that the palette code asks for.
constexpr int CAPS_NUMCOLORS = 24;    // reserved static colours
constexpr int CAPS_SIZEPALETTE = 104;  // entries of the system palette

// The screen's device context of an emulated display.
struct ScreenContext;

// The process's display: NUMCOLORS 20, SIZEPALETTE 256, static use on.
ScreenContext* ScreenContextGet();
void ScreenContextRelease(ScreenContext* screen);

// A display of another kind, for tests (for example NUMCOLORS -1 and
// SIZEPALETTE 0 for one without a palette); its system palette starts like
// the process's. Null when memory runs out. Destroy it with
// ScreenContextDestroy.
ScreenContext* ScreenContextCreate(int numColors, int sizePalette);
void ScreenContextDestroy(ScreenContext* screen);

// The palette manager of a real display: each call does on the display what
// the function of the same name below does on the emulated one. device is
// the driver's own (a screen device context).
struct ScreenDriver {
    int (*setSystemPaletteUse)(void* device, int use);
    // The display's palette object holding palette's entries; null when the
    // display cannot make one.
    void* (*createPalette)(void* device, const Palette* palette);
    void (*deletePalette)(void* native);
    // Selects native into the device as a foreground palette; null selects
    // the palette the device had before the first selection.
    void (*selectPalette)(void* device, void* native);
    int (*realizePalette)(void* device);
    int (*getSystemPaletteEntries)(void* device, int start, int count, PaletteEntry* out);
    int (*getDeviceCaps)(void* device, int index);
    uint32_t (*nearestIndex)(void* native, ColorRef colour);
};

// A screen context whose calls go to driver (which stays valid while the
// context lives). Null when memory runs out. Destroy it with
// ScreenContextDestroy.
ScreenContext* ScreenContextCreateOn(const ScreenDriver* driver, void* device);

// Sets the static-colour use (SYSPAL_STATIC or SYSPAL_NOSTATIC); returns the
// previous one, or 0 for an unknown value (which changes nothing).
int ScreenSetSystemPaletteUse(ScreenContext* screen, int use);

// Selects palette (may be null) into the screen context; returns the palette
// selected before, or null when there was none.
Palette* ScreenSelectPalette(ScreenContext* screen, Palette* palette);

// Realises the selected palette: the system palette's entries below
// NUMCOLORS / 2 and from SIZEPALETTE - NUMCOLORS / 2 on hold the standard
// static colours (while static use is on); every other entry takes the
// selected palette's colour at the same index. Returns the number of
// entries that took a palette colour.
int ScreenRealizePalette(ScreenContext* screen);

// Copies count system-palette entries from start into out (flags 0);
// returns how many were copied.
int ScreenGetSystemPaletteEntries(ScreenContext* screen, int start, int count, PaletteEntry* out);

// CAPS_NUMCOLORS or CAPS_SIZEPALETTE of the display; 0 for anything else.
int ScreenGetDeviceCaps(ScreenContext* screen, int index);

// Makes a palette object from a description; null for a null description,
// a count outside 1..256 or a failed allocation.
Palette* PaletteCreate(const LogPalette* description);
// PaletteCreate for use on screen: on a display with a driver the display's
// own palette object is made at once (null if it cannot be).
Palette* ScreenCreatePalette(ScreenContext* screen, const LogPalette* description);
// Deletes a palette; it is no longer selected into any screen context.
void PaletteDelete(Palette* palette);

// Index of the entry nearest to colour by squared RGB distance, the lowest
// index on a tie (on a display with a driver, as the display finds it); 0
// for a null palette.
uint32_t PaletteNearestIndex(const Palette* palette, ColorRef colour);

}  // namespace platform
