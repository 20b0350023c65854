// The window procedure: the start-up inside the window's creation, the
// held-key bits, clicks, and the tear-down at destruction.
#pragma once

#include "base/state.h"
#include "platform/window.h"

// context is the AppState. Create runs the whole start-up (graphics, stars,
// first words, view, item list); on a failure it reports one line (ReportFailure),
// releases what it made and returns -1. Destroy, which the platform sends
// once the render procedure has stopped, releases everything.
int MainWndProc(platform::Window* window, const platform::WindowEvent* event, void* context);

// The held-key bit of a virtual-key code, or 0 for a key the program ignores.
InputBits KeyInputBit(int virtualKey);
