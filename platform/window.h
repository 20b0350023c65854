// The backend contract: start here to port KARIDO. Everything a backend needs
// from the program comes in a WindowConfig; everything the program asks of
// the backend's window is in the functions below. A backend lives in a
// folder of its own, platform/<name>/, and uses the shared services of
// platform/ (the window's life in window_life.h, frame mailbox and
// conversion, palette manager, drawing context and text, font, resource
// lookup, render thread).
//
// The backends:
// - platform/sdl/ runs the program in a real window on Linux: WindowRun.
// - platform/win32/ runs it in a real window on Windows: WindowRun, in the
//   Windows build instead of the SDL backend.
// - platform/web/ runs it on a browser page, its canvas the window:
//   WindowRun, in the browser build. The browser's main thread is the
//   user-interface thread; WindowRun returns while the page goes on.
// - platform/headless/ runs it without a display, frame by frame on the
//   caller's thread with a clock the caller drives (tests, capture tool).
//
// Threads: the window, its events and the showing of frames belong to the
// thread that runs the window (the user-interface thread). The render
// procedure runs wherever the backend chooses: on a thread of its own, or
// stepped on the caller's thread. From there the program calls only
// WindowPresent, WindowTicks and the sound calls of platform/sound.h.
//
// Frames: the render procedure presents 8-bit frames with the colours of
// their bytes; the display colours only the frames it shows (see
// WindowPresent and mailbox.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/palette.h"

namespace platform {

struct FrameColours;
struct FrameMailbox;
struct Window;

// What a backend's window offers the program besides presenting frames.
struct WindowServices {
    // The window's millisecond clock: a 32-bit count that wraps like the
    // Win32 tick count. Called from any thread; never blocks.
    uint32_t (*ticks)(const Window* window);
    // Readies the RIFF/WAVE PCM image of size bytes at wav for playing, so
    // that starting it later converts nothing; false when it cannot be
    // played. User-interface thread, during Create.
    bool (*prepareSound)(const Window* window, const uint8_t* wav, size_t size);
    // Starts the RIFF/WAVE PCM image of size bytes at wav (which stays valid
    // while it plays) and returns at once, cutting off whatever still plays;
    // false when it cannot be started. Render procedure only.
    bool (*playSound)(const Window* window, const uint8_t* wav, size_t size);
    // A short alert sound, cutting off whatever plays. Render procedure only.
    void (*beep)(const Window* window);
    // The screen context of the window's display, for the palette calls of
    // the start-up: a real palette display's own, or null for the emulated
    // one (platform/palette.h). May itself be null. User-interface thread.
    ScreenContext* (*screen)(const Window* window);
};

// The part of a backend's window that the shared services read. The backend
// fills it in before it sends Create and keeps it unchanged until Destroy
// has returned.
struct Window {
    const WindowServices* services;
    FrameMailbox* mailbox;  // frames of up to WindowConfig's largest frame
    int clientWidth;
    int clientHeight;
    void* backend;  // the backend's own data
};

enum class WindowEventType {
    Create,          // before the window is shown; runs the start-up
    KeyDown,         // virtualKey holds the key's Win32 virtual-key code
    KeyUp,           // likewise
    LeftButtonDown,  // x, y: client coordinates
    Destroy,         // the window is going away; the program ends after it (never on the web)
};

struct WindowEvent {
    WindowEventType type;
    int virtualKey;
    int x;
    int y;
};

// Handles one event for the window on the user-interface thread; context is
// WindowConfig::context. For Create a non-zero result means the start-up
// failed (the procedure has said why and undone it) and the window must not
// be shown; for the other events the result is ignored. Destroy is sent only
// after the render procedure has returned for the last time.
using WindowProcedure = int (*)(Window* window, const WindowEvent* event, void* context);

// The render thread's procedure, in two steps so that a backend can run it
// on a thread of its own or step it frame by frame: begin once, then frame
// once per frame, each with context, until one of them returns 0 or the
// backend stops calling. The backend calls begin only after Create has
// succeeded, never two steps at once, and none after it sends Destroy.
using RenderStep = int (*)(void* context);
struct RenderProcedure {
    RenderStep begin;
    RenderStep frame;
    void* context;
};

// Everything a backend needs from the program. The config and what it points
// to stay valid and unchanged until WindowRun returns, and, where WindowRun
// returns while the window lives on (see there), for the rest of the process.
struct WindowConfig {
    const char* title;
    int clientWidth;  // the client area is exactly this size and cannot be resized
    int clientHeight;
    int maxFrameWidth;  // the largest region WindowPresent is ever given
    int maxFrameHeight;
    WindowProcedure procedure;
    void* context;  // the procedure's
    RenderProcedure render;
};

// Runs the program in a real window on the calling thread, which becomes the
// user-interface thread: creates the window (not yet shown), sends Create,
// starts the render procedure on a thread of its own, shows the window, then
// handles events and shows the newest presented frame until the window is
// closed (close button, Alt+F4, or on Linux SIGTERM); stops and joins the render
// thread, and sends Destroy. Returns the process exit status: 0 after a
// close; 1, after one line naming what failed (ReportFailure), when the display,
// window, renderer or render thread cannot be had or Create fails.
// On the desktop WindowRun returns only once the window has closed and
// Destroy has been sent. A backend whose platform must get its thread back
// to run the window (a browser page) may return 0 as soon as the window is
// running; the window then lives on, and Destroy may never come: a browser
// tab has no exit, and a closed tab ends the program's threads with it,
// its memory and all, without running another line of the program. So
// nothing the program must do before it ends may wait for Destroy there.
// Implemented by the windowed backend the build links (platform/sdl/,
// platform/win32/ or platform/web/).
int WindowRun(const WindowConfig* config);

// The refresh rate a windowed backend presents at when the display does not
// say its own.
constexpr int WINDOW_FALLBACK_REFRESH_HZ = 60;

// Render procedure: hands the width x height region of an 8-bit top-down
// buffer (stride bytes per row) to the window as its newest frame, with the
// colours of its bytes, to be shown stretched over outWidth x outHeight of
// the client area. Only when the window has asked for a frame (mailbox.h) are
// the bytes copied, as they are; otherwise nothing is done. Never blocks and
// allocates nothing. A zero-sized region publishes an empty (black) frame; a
// null window, or one without a mailbox, does nothing.
void WindowPresent(Window* window, const uint8_t* pixels, int stride, int width, int height,
                   const FrameColours* colours, int outWidth, int outHeight);

// Any thread: the window's millisecond clock (WindowServices::ticks); 0 for
// a null window or one without services.
uint32_t WindowTicks(const Window* window);

// User-interface thread: the window's screen context (WindowServices::screen);
// null for the emulated display, a null window or one without services.
ScreenContext* WindowScreen(const Window* window);

}  // namespace platform
