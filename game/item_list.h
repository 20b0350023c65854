// The item list: its rows, built from the item table, and the icons the
// rows load on first display.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/state.h"

// Builds the item list from the item table: one entry per row, in order,
// numbered from 0, up to the terminating row (at most LIST_CAPACITY rows).
// Writes a list row, "<name>：<value>" (the full-width colon, the value with
// at least two digits, as printf's "%s\x81\x46%02d" writes it) into out,
// cut to size - 1 bytes and terminated; returns the bytes written. It does
// the work of that printf without its cost, 30 times a frame.
int ListLineFormat(char* out, size_t size, const char* name, int value);

void ItemListBuild(AppState* state, ItemRecord* table);

// Releases the icons the list's rows have loaded and forgets them. Only
// while nothing draws the list (the render thread stopped or never started).
void ItemListRelease(AppState* state);

// The list window shows 15 lines of 2 entries.
constexpr int LIST_VISIBLE_ENTRIES = 30;

// A cursor move repeats once more than this many milliseconds have passed.
constexpr uint32_t LIST_REPEAT_MS = 100;

// One list-mode tick: the menu key closes the list (with the cancel sound)
// and the same tick goes on; the direction keys move the cursor once per
// press and again whenever more than LIST_REPEAT_MS have passed since the
// last move (the tick that finds the delay over only ends it); a move past
// either end is clamped with the error sound, any other move clicks.
void ListTick(AppState* state);

// Draws the list window: both panels, the list scrolled to show the
// selection, the cursor, each shown entry's text (the selected one bold),
// the selected item's description, and its icon, loaded the first time it is
// shown and kept in the item's row. An icon that cannot be loaded is not
// drawn, and not tried again until another item has been selected.
void ItemListDraw(AppState* state);
