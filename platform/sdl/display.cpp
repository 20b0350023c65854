#include "platform/sdl/display.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/report.h"
#include "platform/sdl/quiet_stderr.h"

namespace platform {

namespace {

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

// Xlib's calls that take over its handlers, from the copy of the library
// that SDL has loaded (the program does not link it itself).
using XErrorHandlerProc = int (*)(Display*, XErrorEvent*);
using XIoErrorHandlerProc = int (*)(Display*);
struct Xlib {
    XErrorHandlerProc (*setErrorHandler)(XErrorHandlerProc) = nullptr;
    XIoErrorHandlerProc (*setIoErrorHandler)(XIoErrorHandlerProc) = nullptr;
    int (*sync)(Display*, Bool) = nullptr;
};
Xlib xlib;

std::atomic<unsigned long> xErrors{0};
// SDL's connection to the X server, once a window has shown it: it lasts
// until SDL's video is shut down.
Display* xDisplay = nullptr;

// Xlib's default handler of a refused request prints a report of its own and
// ends the process. A refused request is something the program can live
// with (a GL context that cannot be made sends the renderer back to SDL's
// software one), so it is only counted.
int CountXError(Display*, XErrorEvent*) {
    xErrors.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

// stderr as it was when the display opened: the lost display's line must
// reach it even while the libraries' messages are kept off stderr.
int realStderr = STDERR_FILENO;

// Xlib ends the process when the connection to the X server breaks, after a
// message of its own whose wording and length vary. This handler says it in
// one line and exits with status 1; the exit stops the render thread before
// anything is torn down (see platform/render_thread.h). It must not return.
// The line is written by hand, with write alone: the connection may break
// inside any call, and this may be no place for formatting.
int ExitOnLostDisplay(Display*) {
    static const char message[] = "karido: lost the connection to the display\n";
    [[maybe_unused]] const ssize_t written = write(realStderr, message, sizeof message - 1);
    std::exit(1);
}

// Loads Xlib's calls that set its handlers, from the library SDL loads too
// (one copy in the process: the handlers are the library's own globals).
// The library stays loaded: SDL holds it too, and the handlers live in it.
void LoadXlib() {
    void* x11 = SDL_LoadObject("libX11.so.6");
    if (x11 == nullptr) {
        return;
    }
    xlib.setErrorHandler =
        reinterpret_cast<decltype(xlib.setErrorHandler)>(SDL_LoadFunction(x11, "XSetErrorHandler"));
    xlib.setIoErrorHandler = reinterpret_cast<decltype(xlib.setIoErrorHandler)>(
        SDL_LoadFunction(x11, "XSetIOErrorHandler"));
    xlib.sync = reinterpret_cast<decltype(xlib.sync)>(SDL_LoadFunction(x11, "XSync"));
}

// Refused requests are counted from before SDL's video starts. SDL keeps the
// error handler it finds (its own passes errors on to it) and puts that one
// back as it shuts down, just before closing its connections to the server;
// the last replies read there can still carry a refusal, such as the
// wake-up SDL sends to a window that is already destroyed. Had SDL found
// Xlib's default handler, that refusal would end the process with status 1
// while it closes, its report lost with the libraries' other messages.
void CountXErrors() {
    if (xlib.setErrorHandler != nullptr) {
        xlib.setErrorHandler(CountXError);
    }
}

// On X11, a lost connection ends the program with one line of its own.
void TakeOverLostDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0 || xlib.setIoErrorHandler == nullptr) {
        return;
    }
    const int copy = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    realStderr = copy >= 0 ? copy : STDERR_FILENO;
    xlib.setIoErrorHandler(ExitOnLostDisplay);
}

// Starts SDL's video with the driver SDL's hint names (driver, if given, is
// set as that hint first), the libraries' messages kept off stderr.
bool VideoInit(const char* driver) {
    if (driver != nullptr) {
        // Above the environment's SDL_VIDEODRIVER, which is set but empty.
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver, SDL_HINT_OVERRIDE);
    }
    const QuietStderr quiet;
    return SDL_Init(SDL_INIT_VIDEO) == 0;
}

// Without a display to show on, SDL would settle for a driver that shows
// nothing (offscreen, dummy), after trying the others in turn: the drivers
// are named here, so that the program gets the display the environment
// names or says which one it could not open.
bool OpenNamedDisplay() {
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (IsSet(chosen)) {
        char name[64];
        std::snprintf(name, sizeof name, "%s", chosen);
        if (VideoInit(nullptr)) {
            return true;
        }
        ReportFailure("cannot open the display through SDL_VIDEODRIVER=%s: %s", name,
                      SDL_GetError());
        return false;
    }
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!IsSet(x) && !IsSet(wayland)) {
        if (VideoInit("kmsdrm")) {
            return true;
        }
        ReportFailure(
            "cannot open the display: DISPLAY and WAYLAND_DISPLAY are not set, "
            "and the console offers none (%s)",
            SDL_GetError());
        return false;
    }
    if (IsSet(x) && VideoInit("x11")) {
        return true;
    }
    if (IsSet(wayland) && VideoInit("wayland")) {
        return true;
    }
    if (IsSet(x) && IsSet(wayland)) {
        ReportFailure(
            "cannot open the X display \"%s\" (DISPLAY) nor the Wayland display "
            "\"%s\" (WAYLAND_DISPLAY): no server there accepted the connection",
            x, wayland);
    } else if (IsSet(x)) {
        ReportFailure(
            "cannot open the X display \"%s\" (DISPLAY): no X server there "
            "accepted the connection",
            x);
    } else {
        ReportFailure(
            "cannot open the Wayland display \"%s\" (WAYLAND_DISPLAY): no "
            "compositor there accepted the connection",
            wayland);
    }
    return false;
}

}  // namespace

bool DisplayOpen() {
    LoadXlib();
    CountXErrors();
    if (!OpenNamedDisplay()) {
        return false;
    }
    TakeOverLostDisplay();
    return true;
}

unsigned long DisplayErrorCount(SDL_Window* window) {
    if (window != nullptr && xlib.sync != nullptr) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
            xDisplay = info.info.x11.display;
        }
    }
    if (xDisplay != nullptr) {
        xlib.sync(xDisplay, False);
    }
    return xErrors.load(std::memory_order_relaxed);
}

}  // namespace platform
