// A real 256-colour display on Win32: GDI's own palette manager as the
// ScreenDriver of platform/palette.h. On a display whose colours go through
// a system palette, the start-up's palette calls reach that system palette
// on the screen DC, and the palettes made there have their HPALETTE, which
// the window realises when it shows a frame.
#pragma once

#include "platform/palette.h"

namespace platform {

struct Win32PaletteDisplay;

// Whether the screen shows its colours through a system palette
// (RASTERCAPS has RC_PALETTE).
bool Win32ScreenHasPalette();

// The screen DC with a screen context whose palette calls go to GDI; null
// after one line says why (no screen DC, no memory). Works on any display;
// the window opens it only where the screen has a palette.
Win32PaletteDisplay* Win32PaletteDisplayOpen();

// Selects the screen DC's own palette back, releases the DC and destroys
// the screen context. Palettes made on it must have been deleted. Safe for
// null.
void Win32PaletteDisplayClose(Win32PaletteDisplay* display);

ScreenContext* Win32PaletteDisplayScreen(const Win32PaletteDisplay* display);

// The screen DC (an HDC) that the screen context's calls go to.
void* Win32PaletteDisplayDevice(const Win32PaletteDisplay* display);

// Writes one line to stderr with the screen's colour figures, as GDI gives
// them, and realised (negative: no palette was realised).
void Win32ReportDisplay(int realised);

}  // namespace platform
