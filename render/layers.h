// The two star-field layers and the 256 sprites of the playfield.
#pragma once

#include "base/state.h"

constexpr int LAYER_SIZE = 1024;  // each layer is 1024x1024 screen indices

// Scatters 1024 stars into each layer with state's generator (seeded by the
// caller), on the user-interface thread: per pass, value = next & 7,
// y = next & 1023 and x = next & 1023 (next: RandomNext(&state->random)) for
// layer 0, then the same for layer 1. A value of 0 leaves the pixel empty; a
// later star overwrites an earlier one. Then finds each layer's spans of stars.
void StarsScatter(AppState* state);

// The first words: both layers visible at source (0, 0), and sprites[0] the
// player: visible, sheet cell column 2, row 0, bits 1-3 and the position kept.
void PlayfieldInitWords(AppState* state);

// Draws layer index (0 or 1) into the target: the 256x256 piece at the
// layer's source position, and for views wider or taller than 256 the
// strips from source x 0 / source y 0. Colour key 0.
void DrawLayer(AppState* state, int index);

// Draws every visible sprite from 255 down to 0, so sprite 0 is on top.
void DrawSprites(AppState* state);
