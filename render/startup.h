// Graphics start-up: loads and prepares the images (the keyed ones with their
// opaque spans), builds the identity
// palette, creates the font, the back buffer and the star layers, and stores
// the game tick; after it the render thread may begin.
#pragma once

#include "base/state.h"
#include "platform/resource.h"

// The colour keys of the images drawn with one: the overlay's see-through
// dark magenta, and 0 (empty) for the sprite sheet and the star layers.
constexpr int OVERLAY_KEY = 11;
constexpr int SPRITE_KEY = 0;
constexpr int STAR_KEY = 0;

// Runs the start-up in order. The platform starts the render procedure once
// the window's creation has finished, so nothing here races its frames.
// Returns null on success, or a short description of what failed ("cannot
// load bitmap 110"); then nothing must be drawn with what is missing.
const char* AppStartup(AppState* state, platform::Window* window, const platform::Module* module,
                       TickFunction tick);

// Releases every object the start-up and the item icons created, each layer
// its own. Only for a state whose render thread is not running (never
// started, or stopped).
void AppRelease(AppState* state);
