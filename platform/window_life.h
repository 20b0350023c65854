// The life of a backend's window, written once for every backend: the frame
// mailbox, Create, the render thread, and at the end the render thread
// stopped and joined, Destroy, the mailbox freed, each failure said in one
// line. A backend supplies its window, its events, the showing of frames
// and its sounds around it.
#pragma once

#include "platform/render_thread.h"
#include "platform/window.h"

namespace platform {

struct WindowLife {
    WindowConfig config;        // a copy of the caller's
    Window window;              // what the program sees of the window
    RenderThread* renderThread;  // while the render procedure runs on a thread
    bool created;               // Create succeeded: Destroy is owed
};

// User-interface thread: makes the mailbox, fills in life->window with
// services and backend, and sends Create. False after one line says what
// failed (the procedure says it itself when Create fails); WindowLifeEnd
// then undoes what was done.
bool WindowLifeCreate(WindowLife* life, const WindowConfig* config,
                      const WindowServices* services, void* backend);

// User-interface thread, after WindowLifeCreate: starts the render
// procedure on a thread of its own. False after one line.
bool WindowLifeStartRenderThread(WindowLife* life);

// User-interface thread: hands one event to the window procedure.
void WindowLifeSend(WindowLife* life, const WindowEvent& event);

// User-interface thread: stops and joins the render thread if one runs,
// sends Destroy if it is owed, and frees the mailbox. Nothing draws into
// the mailbox or the program's objects once the thread has stopped, and
// only then are they released. Safe after a failed or partial start, and
// more than once.
void WindowLifeEnd(WindowLife* life);

}  // namespace platform
