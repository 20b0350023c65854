#include "platform/palette.h"

#include <mutex>
#include <new>

namespace platform {

// An emulated display, or a real one through its driver. Its palette calls
// happen at start-up on one thread; the mutex keeps tests that use it from
// several threads honest.
struct ScreenContext {
    ScreenContext(int colours, int entries) : numColors(colours), sizePalette(entries) {
        for (int i = 0; i < 10; ++i) {
            system[i] = STATIC_COLOURS[i];
            system[246 + i] = STATIC_COLOURS[10 + i];
        }
    }
    std::mutex lock;
    int numColors;
    int sizePalette;
    int staticUse = SYSPAL_STATIC;
    Palette* selected = nullptr;
    PaletteEntry system[PALETTE_MAX_ENTRIES] = {};
    const ScreenDriver* driver = nullptr;  // set: a real display
    void* device = nullptr;                // the driver's
    ScreenContext* next = nullptr;         // in the list of screens
};

namespace {

// Every screen context, so that a deleted palette can be unselected from
// each. The process's display is the first and is never destroyed.
std::mutex screensLock;
ScreenContext* screens = nullptr;

void ListScreen(ScreenContext* screen) {
    std::lock_guard<std::mutex> guard(screensLock);
    screen->next = screens;
    screens = screen;
}

ScreenContext& TheScreen() {
    static ScreenContext* screen = [] {
        auto* display = new ScreenContext(20, 256);
        ListScreen(display);
        return display;
    }();
    return *screen;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

ScreenContext* ScreenContextGet() { return &TheScreen(); }

void ScreenContextRelease(ScreenContext*) {}

ScreenContext* ScreenContextCreate(int numColors, int sizePalette) {
    auto* screen = new (std::nothrow) ScreenContext(numColors, sizePalette);
    if (screen != nullptr) {
        ListScreen(screen);
    }
    return screen;
}

ScreenContext* ScreenContextCreateOn(const ScreenDriver* driver, void* device) {
    if (driver == nullptr) {
        return nullptr;
    }
    auto* screen = new (std::nothrow) ScreenContext(0, 0);
    if (screen != nullptr) {
        screen->driver = driver;
        screen->device = device;
        ListScreen(screen);
    }
    return screen;
}

void ScreenContextDestroy(ScreenContext* screen) {
    if (screen == nullptr || screen == &TheScreen()) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(screensLock);
        for (ScreenContext** link = &screens; *link != nullptr; link = &(*link)->next) {
            if (*link == screen) {
                *link = screen->next;
                break;
            }
        }
    }
    delete screen;
}

int ScreenSetSystemPaletteUse(ScreenContext* screen, int use) {
    if (screen == nullptr || (use != SYSPAL_STATIC && use != SYSPAL_NOSTATIC)) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    if (screen->driver != nullptr) {
        return screen->driver->setSystemPaletteUse(screen->device, use);
    }
    const int previous = screen->staticUse;
    screen->staticUse = use;
    return previous;
}

Palette* ScreenSelectPalette(ScreenContext* screen, Palette* palette) {
    if (screen == nullptr) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    if (screen->driver != nullptr) {
        if (palette != nullptr && palette->native == nullptr) {
            palette->native = screen->driver->createPalette(screen->device, palette);
            palette->driver = palette->native != nullptr ? screen->driver : nullptr;
        }
        screen->driver->selectPalette(screen->device,
                                      palette != nullptr ? palette->native : nullptr);
    }
    Palette* previous = screen->selected;
    screen->selected = palette;
    return previous;
}

int ScreenRealizePalette(ScreenContext* screen) {
    if (screen == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    if (screen->driver != nullptr) {
        return screen->driver->realizePalette(screen->device);
    }
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
    if (screen->driver != nullptr) {
        return screen->driver->getSystemPaletteEntries(screen->device, start, end - start, out);
    }
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
    if (screen->driver != nullptr) {
        return screen->driver->getDeviceCaps(screen->device, index);
    }
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

Palette* ScreenCreatePalette(ScreenContext* screen, const LogPalette* description) {
    Palette* palette = PaletteCreate(description);
    if (palette == nullptr || screen == nullptr || screen->driver == nullptr) {
        return palette;
    }
    std::lock_guard<std::mutex> guard(screen->lock);
    palette->native = screen->driver->createPalette(screen->device, palette);
    if (palette->native == nullptr) {
        delete palette;
        return nullptr;
    }
    palette->driver = screen->driver;
    return palette;
}

void PaletteDelete(Palette* palette) {
    if (palette == nullptr) {
        return;
    }
    {
        // A deleted palette must not stay selected anywhere.
        std::lock_guard<std::mutex> guard(screensLock);
        for (ScreenContext* screen = screens; screen != nullptr; screen = screen->next) {
            std::lock_guard<std::mutex> screenGuard(screen->lock);
            if (screen->selected == palette) {
                screen->selected = nullptr;
                if (screen->driver != nullptr) {
                    screen->driver->selectPalette(screen->device, nullptr);
                }
            }
        }
    }
    if (palette->native != nullptr) {
        palette->driver->deletePalette(palette->native);
    }
    delete palette;
}

uint32_t PaletteNearestIndex(const Palette* palette, ColorRef colour) {
    if (palette == nullptr) {
        return 0;
    }
    if (palette->native != nullptr && palette->driver->nearestIndex != nullptr) {
        return palette->driver->nearestIndex(palette->native, colour);
    }
    const int nearest = NearestColourIndex(colour, palette->count,
                                           [palette](int i) { return &palette->entries[i]; });
    return nearest < 0 ? 0 : static_cast<uint32_t>(nearest);
}

}  // namespace platform
