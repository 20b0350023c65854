#include "platform/win32/palette_display.h"

#include <cstddef>
#include <cstdio>
#include <new>

#include "platform/palette.h"
#include "platform/report.h"

namespace {

// Our names for the values that GDI's macros below take the place of.
constexpr int OUR_SYSPAL_STATIC = platform::SYSPAL_STATIC;
constexpr int OUR_SYSPAL_NOSTATIC = platform::SYSPAL_NOSTATIC;

}  // namespace

// After the platform's headers: the system's macros would take the place of
// the palette constants that those declare under the same names.
#include <windows.h>

// The driver hands our values and records to GDI as they are.
static_assert(OUR_SYSPAL_STATIC == SYSPAL_STATIC && OUR_SYSPAL_NOSTATIC == SYSPAL_NOSTATIC);
static_assert(platform::CAPS_NUMCOLORS == NUMCOLORS && platform::CAPS_SIZEPALETTE == SIZEPALETTE);
static_assert(sizeof(platform::PaletteEntry) == sizeof(PALETTEENTRY) &&
              offsetof(platform::PaletteEntry, peRed) == offsetof(PALETTEENTRY, peRed) &&
              offsetof(platform::PaletteEntry, peGreen) == offsetof(PALETTEENTRY, peGreen) &&
              offsetof(platform::PaletteEntry, peBlue) == offsetof(PALETTEENTRY, peBlue) &&
              offsetof(platform::PaletteEntry, peFlags) == offsetof(PALETTEENTRY, peFlags));
static_assert(platform::Rgb(1, 2, 3) == RGB(1, 2, 3));

namespace platform {

struct Win32PaletteDisplay {
    HDC dc = nullptr;
    // The DC's own palette while one of ours is selected in its place.
    HPALETTE original = nullptr;
    ScreenContext* screen = nullptr;
};

namespace {

Win32PaletteDisplay* DisplayOf(void* device) {
    return static_cast<Win32PaletteDisplay*>(device);
}

int GdiSetSystemPaletteUse(void* device, int use) {
    return static_cast<int>(SetSystemPaletteUse(DisplayOf(device)->dc, static_cast<UINT>(use)));
}

// A logical palette of up to 256 entries in the layout CreatePalette reads.
struct GdiLogPalette {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[PALETTE_MAX_ENTRIES];
};

void* GdiCreatePalette(void*, const Palette* palette) {
    GdiLogPalette description{};
    description.palVersion = 0x300;
    description.palNumEntries = palette->count;
    // The entries' flags go with them: they tell the palette manager which
    // entries must take a system-palette entry of their own.
    for (int i = 0; i < palette->count; ++i) {
        const PaletteEntry& e = palette->entries[i];
        description.palPalEntry[i] = PALETTEENTRY{e.peRed, e.peGreen, e.peBlue, e.peFlags};
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&description));
}

void GdiDeletePalette(void* native) {
    DeleteObject(static_cast<HPALETTE>(native));
}

void GdiSelectPalette(void* device, void* native) {
    Win32PaletteDisplay* display = DisplayOf(device);
    if (native == nullptr) {
        if (display->original != nullptr) {
            SelectPalette(display->dc, display->original, FALSE);
            display->original = nullptr;
        }
        return;
    }
    const HPALETTE before = SelectPalette(display->dc, static_cast<HPALETTE>(native), FALSE);
    if (display->original == nullptr) {
        display->original = before;
    }
}

int GdiRealizePalette(void* device) {
    const UINT mapped = RealizePalette(DisplayOf(device)->dc);
    return mapped == GDI_ERROR ? 0 : static_cast<int>(mapped);
}

int GdiGetSystemPaletteEntries(void* device, int start, int count, PaletteEntry* out) {
    const UINT copied =
        GetSystemPaletteEntries(DisplayOf(device)->dc, static_cast<UINT>(start),
                                static_cast<UINT>(count), reinterpret_cast<PALETTEENTRY*>(out));
    // As on the emulated display, the copies carry no flags.
    for (UINT i = 0; i < copied; ++i) {
        out[i].peFlags = 0;
    }
    return static_cast<int>(copied);
}

// CAPS_NUMCOLORS asks for the reserved static colours. A palette display
// gives them as NUMCOLORS; one that gives -1 there instead (as it would for
// a display of more than 256 colours) still reserves NUMRESERVED entries,
// and an identity palette made without them would take a system-palette
// entry of its own for each static colour, shifting every other one.
int GdiGetDeviceCaps(void* device, int index) {
    const HDC dc = DisplayOf(device)->dc;
    if (index == CAPS_NUMCOLORS) {
        const int colours = GetDeviceCaps(dc, NUMCOLORS);
        return colours >= 0 ? colours : GetDeviceCaps(dc, NUMRESERVED);
    }
    return index == CAPS_SIZEPALETTE ? GetDeviceCaps(dc, SIZEPALETTE) : 0;
}

uint32_t GdiNearestIndex(void* native, ColorRef colour) {
    const UINT index = GetNearestPaletteIndex(static_cast<HPALETTE>(native), colour);
    return index == CLR_INVALID ? 0 : static_cast<uint32_t>(index);
}

constexpr ScreenDriver GDI_DRIVER{
    GdiSetSystemPaletteUse, GdiCreatePalette,           GdiDeletePalette, GdiSelectPalette,
    GdiRealizePalette,      GdiGetSystemPaletteEntries, GdiGetDeviceCaps, GdiNearestIndex};

}  // namespace

bool Win32ScreenHasPalette() {
    const HDC dc = GetDC(nullptr);
    if (dc == nullptr) {
        return false;
    }
    const bool palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, dc);
    return palette;
}

Win32PaletteDisplay* Win32PaletteDisplayOpen() {
    auto* display = new (std::nothrow) Win32PaletteDisplay{};
    if (display == nullptr) {
        ReportFailure("out of memory for the palette display");
        return nullptr;
    }
    display->dc = GetDC(nullptr);
    if (display->dc == nullptr) {
        ReportFailure("cannot get the screen's device context for its palette");
        delete display;
        return nullptr;
    }
    display->screen = ScreenContextCreateOn(&GDI_DRIVER, display);
    if (display->screen == nullptr) {
        ReportFailure("out of memory for the palette display");
        ReleaseDC(nullptr, display->dc);
        delete display;
        return nullptr;
    }
    return display;
}

void Win32PaletteDisplayClose(Win32PaletteDisplay* display) {
    if (display == nullptr) {
        return;
    }
    ScreenContextDestroy(display->screen);
    GdiSelectPalette(display, nullptr);
    ReleaseDC(nullptr, display->dc);
    delete display;
}

ScreenContext* Win32PaletteDisplayScreen(const Win32PaletteDisplay* display) {
    return display != nullptr ? display->screen : nullptr;
}

void* Win32PaletteDisplayDevice(const Win32PaletteDisplay* display) {
    return display != nullptr ? display->dc : nullptr;
}

void Win32ReportDisplay(int realised) {
    const HDC dc = GetDC(nullptr);
    if (dc == nullptr) {
        std::fprintf(stderr, "display: no screen device context\n");
        std::fflush(stderr);
        return;
    }
    char realisedText[16] = "-";
    if (realised >= 0) {
        std::snprintf(realisedText, sizeof realisedText, "%d", realised);
    }
    std::fprintf(stderr,
                 "display: BITSPIXEL %d, RASTERCAPS %s, SIZEPALETTE %d, NUMRESERVED %d, "
                 "NUMCOLORS %d, realised %s\n",
                 GetDeviceCaps(dc, BITSPIXEL),
                 (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0 ? "RC_PALETTE" : "no RC_PALETTE",
                 GetDeviceCaps(dc, SIZEPALETTE), GetDeviceCaps(dc, NUMRESERVED),
                 GetDeviceCaps(dc, NUMCOLORS), realisedText);
    std::fflush(stderr);
    ReleaseDC(nullptr, dc);
}

}  // namespace platform
