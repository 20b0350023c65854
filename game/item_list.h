// The item list: its rows, built from the item table, and the icons the
// rows load on first display.
#pragma once

#include "base/state.h"

// Builds the item list from the item table: one entry per row, in order,
// numbered from 0, up to the terminating row (at most LIST_CAPACITY rows).
void ItemListBuild(AppState* state, ItemRecord* table);

// Releases the icons the list's rows have loaded and forgets them. Only
// while nothing draws the list (the render thread stopped or never started).
void ItemListRelease(AppState* state);
