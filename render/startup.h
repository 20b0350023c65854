// Graphics start-up: loads and prepares the images, builds the identity
// palette, creates the font, the back buffer and the star layers, and starts
// the render thread.
#pragma once

#include "app/state.h"
#include "platform/resource.h"

// Runs the start-up in order and, as its last step, starts the render thread
// (which waits at its start gate until RenderThreadOpenGate). Returns null on
// success, or a short description of what failed ("cannot load bitmap 110");
// then nothing is drawn with what is missing and no thread was started.
const char* AppStartup(AppState* state, platform::Window* window, const platform::Module* module,
                       TickFunction tick);

// Releases every object the start-up and the item icons created. Only for a
// state whose render thread is not running (never started, or stopped).
void AppRelease(AppState* state);
