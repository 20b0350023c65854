// Floating numbers: a left click pops up a random number below 10000 that
// jumps up to 15 pixels and falls back over 31 frames, then vanishes.
#pragma once

#include <cstdint>

#include "base/state.h"

// Vertical offset of a number drawn at a given age (negative is up).
extern const int riseTable[32];

// A left click (user-interface thread): fills the lowest free slot with a
// number, RandomNext(&state->random) % 10000, at the click's client position
// cut to 8 bits (low word of lParam x, high word y). The text is written
// first, then the word is published; with every slot busy the click does
// nothing and draws no number.
void FloaterSpawn(AppState* state, uint32_t lParam);

// Once a frame (render thread): ages every active number, draws its text in
// the memory context's font and colour at its position plus the rise for its
// age, and frees the slot once it has been drawn 31 times.
void FloatersDraw(AppState* state);
