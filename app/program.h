// The program as a backend sees it: everything the platform needs to run
// KARIDO, whichever backend runs it.
#pragma once

#include "base/state.h"
#include "platform/window.h"
#include "render/frame_loop.h"

// The window KARIDO asks for, on state: titled "KARIDO", the client size of
// the view mode, the back buffer as the largest frame, MainWndProc, and the
// render loop (which the call points at state) as the render procedure.
// state and loop must outlive the window.
platform::WindowConfig ProgramWindowConfig(AppState* state, RenderLoop* loop);
