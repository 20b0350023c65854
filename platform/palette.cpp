#include "platform/palette.h"

#include <mutex>
#include <new>

namespace platform {

namespace {

constexpr PaletteEntry STATIC_COLOURS[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

}  // namespace

// The emulated display. Its palette calls happen at start-up on one thread;
// the mutex keeps tests that use it from several threads honest.
struct ScreenContext {
    ScreenContext() {
        for (int i = 0; i < 10; ++i) {
            system[i] = STATIC_COLOURS[i];
            system[246 + i] = STATIC_COLOURS[10 + i];
        }
    }
    std::mutex lock;
    int numColors = 20;
    int sizePalette = 256;
    int staticUse = SYSPAL_STATIC;
    Palette* selected = nullptr;
    PaletteEntry system[PALETTE_MAX_ENTRIES] = {};
};

namespace {

ScreenContext& TheScreen() {
    static ScreenContext screen;
    return screen;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

ScreenContext* ScreenContextGet() { return &TheScreen(); }

void ScreenContextRelease(ScreenContext*) {}

int ScreenSetSystemPaletteUse(ScreenContext* screen, int use) {
    if (screen == nullptr || (use != SYSPAL_STATIC && use != SYSPAL_NOSTATIC)) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    const int previous = screen->staticUse;
    screen->staticUse = use;
    return previous;
}

Palette* ScreenSelectPalette(ScreenContext* screen, Palette* palette) {
    if (screen == nullptr) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    Palette* previous = screen->selected;
    screen->selected = palette;
    return previous;
}

int ScreenRealizePalette(ScreenContext* screen) {
    if (screen == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    const int half = screen->staticUse == SYSPAL_STATIC ? screen->numColors / 2 : 0;
    const int size = Clamp(screen->sizePalette, 0, PALETTE_MAX_ENTRIES);
    const int reservedLow = Clamp(half, 0, Clamp(10, 0, size));
    const int reservedHigh = Clamp(size - Clamp(half, 0, 10), 0, size);
    for (int i = 0; i < reservedLow; ++i) {
        screen->system[i] = STATIC_COLOURS[i];
    }
    for (int i = reservedHigh; i < size; ++i) {
        screen->system[i] = STATIC_COLOURS[20 - (size - i)];
    }
    const Palette* palette = screen->selected;
    if (palette == nullptr) {
        return 0;
    }
    int taken = 0;
    for (int i = reservedLow; i < reservedHigh && i < palette->count; ++i) {
        screen->system[i] = palette->entries[i];
        screen->system[i].peFlags = 0;
        ++taken;
    }
    return taken;
}

int ScreenGetSystemPaletteEntries(ScreenContext* screen, int start, int count, PaletteEntry* out) {
    if (screen == nullptr || out == nullptr || start < 0 || count <= 0 ||
        start >= PALETTE_MAX_ENTRIES) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    const int end = Clamp(start + count, start, PALETTE_MAX_ENTRIES);
    for (int i = start; i < end; ++i) {
        out[i - start] = screen->system[i];
        out[i - start].peFlags = 0;
    }
    return end - start;
}

int ScreenGetDeviceCaps(ScreenContext* screen, int index) {
    if (screen == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    switch (index) {
        case CAPS_NUMCOLORS: return screen->numColors;
        case CAPS_SIZEPALETTE: return screen->sizePalette;
        default: return 0;
    }
}

Palette* PaletteCreate(const LogPalette* description) {
    if (description == nullptr || description->palNumEntries == 0 ||
        description->palNumEntries > PALETTE_MAX_ENTRIES) {
        return nullptr;
    }
    auto* palette = new (std::nothrow) Palette{};
    if (palette == nullptr) {
        return nullptr;
    }
    palette->count = description->palNumEntries;
    for (int i = 0; i < palette->count; ++i) {
        palette->entries[i] = description->palPalEntry[i];
    }
    return palette;
}

void PaletteDelete(Palette* palette) {
    ScreenContext& screen = TheScreen();
    {
        // A deleted palette must not stay selected.
        std::lock_guard<std::mutex> guard(screen.lock);
        if (screen.selected == palette) {
            screen.selected = nullptr;
        }
    }
    delete palette;
}

uint32_t PaletteNearestIndex(const Palette* palette, ColorRef colour) {
    if (palette == nullptr) {
        return 0;
    }
    const int r = static_cast<int>(colour & 0xFF);
    const int g = static_cast<int>((colour >> 8) & 0xFF);
    const int b = static_cast<int>((colour >> 16) & 0xFF);
    uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < palette->count; ++i) {
        const PaletteEntry& e = palette->entries[i];
        const int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<uint32_t>(i);
        }
    }
    return best;
}

const PaletteEntry* DisplayStaticColours() { return STATIC_COLOURS; }

void DisplaySetCaps(int numColors, int sizePalette) {
    ScreenContext& screen = TheScreen();
    std::lock_guard<std::mutex> guard(screen.lock);
    screen.numColors = numColors;
    screen.sizePalette = sizePalette;
}

}  // namespace platform
