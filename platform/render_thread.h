// A thread of its own for a window's render procedure, for backends that
// drive frames that way (the SDL backend, the headless one on request).
//
// Every way out of the process is safe while such a thread runs: should
// anything call exit() (Xlib does when the display goes away), the thread is
// asked to stop and joined before the process's static objects are destroyed,
// so the exit completes with the status it was given.
#pragma once

#include "platform/window.h"

namespace platform {

struct RenderThread;

// User-interface thread: starts a thread that runs procedure->begin, then
// procedure->frame until one returns 0 or a stop is asked. Null when no
// thread can be started (nothing of the procedure has run then).
RenderThread* RenderThreadStart(const RenderProcedure* procedure);

// User-interface thread: asks the thread to stop after its current frame,
// waits for it, and frees it. Null is allowed.
void RenderThreadStop(RenderThread* thread);

}  // namespace platform
