// The window procedure: the start-up inside the window's creation, the
// held-key bits, clicks, and the tear-down at destruction.
#pragma once

#include "app/state.h"
#include "platform/window.h"

// context is the AppState. Create runs the whole start-up (graphics, stars,
// first words, view, item list) and then lets the render thread begin; on a
// failure it prints one line on stderr and returns -1. Destroy stops and
// joins the render thread, then releases the drawing objects.
int MainWndProc(platform::Window* window, const platform::WindowEvent* event, void* context);

// The held-key bit of a virtual-key code, or 0 for a key the program ignores.
InputBits KeyInputBit(int virtualKey);

// Builds the item list from the item table: one entry per row, in order,
// numbered from 0, up to the terminating row.
void ItemListBuild(AppState* state, ItemRecord* table);
