// The field: the star layers scroll, the ship moves with the held arrow
// keys and fires shots that fly right, and the menu key completes or closes
// the message or opens the item list. Render thread only (the game tick).
#pragma once

#include "base/state.h"

// Slots searched when firing: at most this many shots fly at once.
constexpr int SHOT_FIRING_SLOTS = 16;

// "弾切れっすぅ。": what the field says when every firing slot is busy.
extern const char OUT_OF_AMMO_TEXT[];

// One field-mode tick: scroll, move, fire, the menu key, the shot pass.
void FieldTick(AppState* state);
