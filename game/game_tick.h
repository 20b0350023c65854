// The per-frame game logic, run by the render thread once before the first
// frame and once after every presented frame.
#pragma once

#include "base/state.h"

// Returns non-zero while the render loop is to go on (always).
int GameTick(AppState* state);
