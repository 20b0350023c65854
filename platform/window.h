// The program's one window. The SDL backend runs it for real; the headless
// backend gives tests and the capture tool the same window without a display.
//
// Threads: the window, its events and the showing of frames belong to the
// thread that runs the window (the user-interface thread). The render thread
// only ever calls WindowPresent, which writes into the window's frame mailbox
// and touches nothing else of the backend.
#pragma once

#include <cstdint>

#include "platform/palette.h"

namespace platform {

struct FrameMailbox;

struct Window {
    FrameMailbox* mailbox;  // frames presented by the render thread
    int clientWidth;
    int clientHeight;
    void* backend;  // the backend's own data
};

enum class WindowEventType {
    Create,          // before the window is shown; runs the start-up
    KeyDown,         // virtualKey holds the key's Win32 virtual-key code
    KeyUp,           // likewise
    LeftButtonDown,  // x, y: client coordinates
    Destroy,         // the window is going away; the program ends after it
};

struct WindowEvent {
    WindowEventType type;
    int virtualKey;
    int x;
    int y;
};

// Handles one event for the window; context is WindowConfig::context. For
// Create a non-zero result means the start-up failed and the window must not
// be shown; for the other events the result is ignored.
using WindowProcedure = int (*)(Window* window, const WindowEvent* event, void* context);

struct WindowConfig {
    const char* title;
    int clientWidth;   // the client area is exactly this size and cannot be resized
    int clientHeight;
    WindowProcedure procedure;
    void* context;
};

// Runs the window on the calling thread: creates it (not yet shown), sends
// Create, shows it, then handles events and shows each newly presented frame
// until the window is closed (close button, Alt+F4, or SIGTERM), and sends
// Destroy. Returns the process exit status: 0 after a close; 1, after one line
// on stderr naming what failed, when the display, window or renderer cannot be
// had or Create fails.
int WindowRun(const WindowConfig* config);

// Render thread: converts the width x height region of an 8-bit top-down
// buffer (stride bytes per row) to 32-bit colour, showing byte v in the
// colour of palette entry colourIndices[v], and publishes it as the window's
// newest frame, to be shown stretched over outWidth x outHeight of the client
// area. Never blocks and allocates nothing. A zero-sized region publishes an
// empty (black) frame.
void WindowPresent(Window* window, const uint8_t* pixels, int stride, int width, int height,
                   const uint16_t colourIndices[256], const Palette* palette, int outWidth,
                   int outHeight);

}  // namespace platform
