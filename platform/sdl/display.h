// SDL's video on the display the environment names, and the X server's ways
// of ending the program by itself taken over.
//
// Threads: the user-interface thread only (the render thread makes no SDL or
// X call).
#pragma once

struct SDL_Window;

namespace platform {

// Opens SDL's video: the driver SDL_VIDEODRIVER names, if any; otherwise the
// X display named by DISPLAY, then the Wayland display named by
// WAYLAND_DISPLAY, whichever is set and answers; with neither set, the
// console's own display (kmsdrm). The libraries' own messages are kept off
// stderr meanwhile. On X11, a protocol error (a request the server refused,
// such as a GL context it cannot make) is counted instead of ending the
// process, up to the end of SDL_Quit; a lost connection ends it with one
// line and status 1.
// False, after one line on stderr that names the display tried and why it
// failed, when no display can be opened; SDL_Quit is then still owed.
bool DisplayOpen();

// The X protocol errors the server has reported to the program so far, after
// waiting for the server to answer every request sent before (so that a
// refused one is counted by the time this returns). The connection is found
// through a window the first time: until a window has been given, window
// may be null and nothing is waited for. 0 on other drivers.
unsigned long DisplayErrorCount(SDL_Window* window);

}  // namespace platform
