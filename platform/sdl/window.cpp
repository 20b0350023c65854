// The window on SDL2: SDL's whole lifetime, one fixed-size window, its events
// turned into the program's window events, the render procedure on a thread
// of its own, and a frame asked of the mailbox and shown on the window at
// most once per refresh of the display (the render thread itself is not
// paced: it draws as fast as it can, and only the frames asked for are
// handed over). Each shown frame is coloured straight into the streaming
// texture.
// Between two presents this thread sleeps on the window's events, so that it
// leaves the processor to the render thread.
// Everything here runs on the thread that calls WindowRun; the render thread
// makes no SDL call (sounds are readied during Create, see audio.h).
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>

#include "platform/clock.h"
#include "platform/frame_convert.h"
#include "platform/mailbox.h"
#include "platform/report.h"
#include "platform/sdl/audio.h"
#include "platform/sdl/display.h"
#include "platform/sdl/keys.h"
#include "platform/sdl/quiet_stderr.h"
#include "platform/window.h"
#include "platform/window_life.h"

namespace platform {

namespace {

struct SdlBackend {
    SdlAudio* audio = nullptr;  // opened before the window, closed after it
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    const Frame* shown = nullptr;  // the last frame taken; valid until the next take
    bool vsync = false;            // the renderer says its presents wait for the refresh
    bool exposed = false;          // the window must be drawn again, new frame or not
    bool displayChanged = false;   // the window has moved to another display
};

uint32_t SdlTicks(const Window*) { return ClockSystemTicks(); }

bool SdlPrepareSound(const Window* window, const uint8_t* wav, size_t size) {
    return SdlAudioPrepare(static_cast<SdlBackend*>(window->backend)->audio, wav, size);
}

bool SdlPlaySound(const Window* window, const uint8_t* wav, size_t size) {
    return SdlAudioPlay(static_cast<SdlBackend*>(window->backend)->audio, wav, size);
}

void SdlBeep(const Window* window) {
    SdlAudioBeep(static_cast<SdlBackend*>(window->backend)->audio);
}

// The emulated palette display: no screen context of its own.
constexpr WindowServices SDL_SERVICES{SdlTicks, SdlPrepareSound, SdlPlaySound, SdlBeep, nullptr};

// Releases the window, its renderer and its texture (see CreateWindowDrawing).
void DestroyWindowDrawing(SdlBackend* backend) {
    if (backend->texture != nullptr) {
        SDL_DestroyTexture(backend->texture);
        backend->texture = nullptr;
    }
    if (backend->renderer != nullptr) {
        SDL_DestroyRenderer(backend->renderer);
        backend->renderer = nullptr;
    }
    if (backend->window != nullptr) {
        SDL_DestroyWindow(backend->window);
        backend->window = nullptr;
    }
}


// How the window is drawn: with the renderer SDL chooses (a GL one where the
// display offers GL), or with SDL's software renderer on the window
// system's own image calls, which every X server has.
enum class Drawing { Chosen, Software };

// Creates the hidden window, its renderer and the frame texture; null when
// all is well, else what failed (SDL's error stays for the caller to read).
const char* CreateWindowDrawing(SdlBackend* backend, const WindowConfig* config, Drawing drawing) {
    if (drawing == Drawing::Software) {
        SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    }
    backend->window =
        SDL_CreateWindow(config->title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         config->clientWidth, config->clientHeight, SDL_WINDOW_HIDDEN);
    if (backend->window == nullptr) {
        return "cannot create the window";
    }
    // Without SDL_WINDOW_RESIZABLE SDL already asks for a fixed size; equal
    // minimum and maximum sizes also keep a window manager from maximising it.
    SDL_SetWindowMinimumSize(backend->window, config->clientWidth, config->clientHeight);
    SDL_SetWindowMaximumSize(backend->window, config->clientWidth, config->clientHeight);

    // SDL takes the SDL_RENDER_DRIVER hint if one is set, otherwise an
    // accelerated renderer if it can and the software one if not; each is
    // asked to wait for the display's refresh when presenting. Should none
    // that can be had offer that (SDL then finds no renderer at all), the one
    // SDL would choose without it is taken: the loop's own timer paces it.
    backend->renderer = SDL_CreateRenderer(backend->window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (backend->renderer == nullptr) {
        backend->renderer = SDL_CreateRenderer(backend->window, -1, 0);
    }
    if (backend->renderer == nullptr) {
        return "cannot create the renderer";
    }
    // What the renderer says of itself: whether its presents really wait is
    // another matter (see Pacing).
    SDL_RendererInfo info;
    backend->vsync = SDL_GetRendererInfo(backend->renderer, &info) == 0 &&
                     (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;

    // Pixels are scaled by repeating them, never blurred.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    backend->texture =
        SDL_CreateTexture(backend->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                          config->maxFrameWidth, config->maxFrameHeight);
    if (backend->texture == nullptr) {
        return "cannot create the frame texture";
    }
    SDL_SetTextureScaleMode(backend->texture, SDL_ScaleModeNearest);
    // The frames' alpha byte means nothing: copy the colour as it is.
    SDL_SetTextureBlendMode(backend->texture, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(backend->renderer, 0, 0, 0, 255);
    return nullptr;
}

// CreateWindowDrawing, where a request the display refused during it (a GL
// context it cannot make, which SDL does not always notice) counts as a
// failure too. Any refused request counts, whatever it was: the software
// renderer then draws, which works wherever the window does.
const char* TryWindowDrawing(SdlBackend* backend, const WindowConfig* config, Drawing drawing) {
    const unsigned long errorsBefore = DisplayErrorCount(nullptr);
    const char* failure = CreateWindowDrawing(backend, config, drawing);
    const bool refused = DisplayErrorCount(backend->window) != errorsBefore;
    if (failure == nullptr && refused) {
        SDL_SetError("the display refused a request");
        failure = "cannot draw in the window";
    }
    return failure;
}

bool BackendCreate(SdlBackend* backend, const WindowConfig* config) {
    // On X11 SDL's software renderer would otherwise show its picture through
    // a GL texture where GL seems to be there, and SDL decides that once for
    // the process: were GL broken, the software renderer would be too. (Other
    // drivers may have no other way to show it.)
    if (const char* driver = SDL_GetCurrentVideoDriver();
        driver != nullptr && std::strcmp(driver, "x11") == 0) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    const char* failure = nullptr;
    {
        // A GL stack that cannot be had (no direct rendering over a remote
        // connection, missing drivers) says so on stderr in its own words;
        // the software renderer is the answer to it.
        const QuietStderr quiet;
        failure = TryWindowDrawing(backend, config, Drawing::Chosen);
        if (failure != nullptr) {
            DestroyWindowDrawing(backend);
            failure = TryWindowDrawing(backend, config, Drawing::Software);
        }
    }
    if (failure != nullptr) {
        ReportFailure("%s: %s", failure, SDL_GetError());
        return false;
    }
    return true;
}

// Scales a length in client coordinates to the renderer's output, which is
// bigger than the client area on a high-density display.
int ClientToOutput(int length, int output, int client) {
    return client > 0 ? static_cast<int>(static_cast<long long>(length) * output / client) : length;
}

// Colours the frame's region straight into the texture: one pass over the
// frame's bytes, no picture in between. False when the texture cannot be
// locked.
bool ColourIntoTexture(SDL_Texture* texture, const Frame* frame) {
    const SDL_Rect region{0, 0, frame->width, frame->height};
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture, &region, &pixels, &pitch) != 0) {
        return false;
    }
    FrameConvert(frame->pixels, frame->stride, frame->width, frame->height,
                 &frame->colours->argb, static_cast<uint32_t*>(pixels),
                 pitch / static_cast<int>(sizeof(uint32_t)));
    SDL_UnlockTexture(texture);
    return true;
}

// Draws the frame stretched over its outWidth x outHeight of the client area,
// black around it, and shows it. No frame, or a frame of no pixels, shows
// black.
void ShowFrame(SdlBackend* backend, const Window* window, const Frame* frame) {
    SDL_RenderClear(backend->renderer);
    if (frame != nullptr && frame->width > 0 && frame->height > 0 &&
        ColourIntoTexture(backend->texture, frame)) {
        const SDL_Rect source{0, 0, frame->width, frame->height};
        int outputWidth = window->clientWidth;
        int outputHeight = window->clientHeight;
        SDL_GetRendererOutputSize(backend->renderer, &outputWidth, &outputHeight);
        const SDL_Rect target{0, 0,
                              ClientToOutput(frame->outWidth, outputWidth, window->clientWidth),
                              ClientToOutput(frame->outHeight, outputHeight, window->clientHeight)};
        SDL_RenderCopy(backend->renderer, backend->texture, &source, &target);
    }
    SDL_RenderPresent(backend->renderer);
}

// Mouse positions come in window coordinates; should the window not be the
// size asked for (a window manager that scales it), they are scaled back.
void WindowToClient(SDL_Window* sdlWindow, const Window* window, int* x, int* y) {
    int width = window->clientWidth;
    int height = window->clientHeight;
    SDL_GetWindowSize(sdlWindow, &width, &height);
    if (width > 0 && width != window->clientWidth) {
        *x = static_cast<int>(static_cast<long long>(*x) * window->clientWidth / width);
    }
    if (height > 0 && height != window->clientHeight) {
        *y = static_cast<int>(static_cast<long long>(*y) * window->clientHeight / height);
    }
}

// Hands one SDL event to the procedure; false when it closes the window.
bool HandleEvent(const SDL_Event& event, WindowLife* life, SdlBackend* backend) {
    switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                return false;
            }
            // Both are seen to at the next present, which comes within a
            // refresh: an exposed window then shows the last frame again
            // even when no new one has come.
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                backend->exposed = true;
            }
            if (event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
                backend->displayChanged = true;
            }
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // A held key repeats as more KeyDown events, as on Windows.
            const int virtualKey =
                SdlKeyToVirtualKey(event.key.keysym.scancode, event.key.keysym.sym);
            if (virtualKey != 0) {
                WindowLifeSend(life, WindowEvent{event.type == SDL_KEYDOWN
                                                     ? WindowEventType::KeyDown
                                                     : WindowEventType::KeyUp,
                                                 virtualKey, 0, 0});
            }
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                int x = event.button.x;
                int y = event.button.y;
                WindowToClient(backend->window, &life->window, &x, &y);
                WindowLifeSend(life, WindowEvent{WindowEventType::LeftButtonDown, 0, x, y});
            }
            return true;
        default:
            return true;
    }
}

// Hands the procedure every event that has reached the program: SDL first
// reads all that the display has sent so far, then its queue is emptied.
// False when an event closes the window (the rest stay unread).
bool DrainEvents(WindowLife* life, SdlBackend* backend) {
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (!HandleEvent(event, life, backend)) {
            return false;
        }
    }
    return true;
}

// Sleeps until an event comes, at most milliseconds, and hands it to the
// procedure; false when it closes the window.
bool WaitForEvent(int milliseconds, WindowLife* life, SdlBackend* backend) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, milliseconds) != 0) {
        return HandleEvent(event, life, backend);
    }
    return true;
}

using PaceClock = std::chrono::steady_clock;

// When the main thread presents: at most once per refresh of the display,
// on a schedule of deadlines one refresh apart (each deadline follows from
// the one before, not from when the present happened, so that the rate does
// not drift below the refresh rate by the time it takes to wake up).
//
// A renderer that says its presents wait for the refresh (vsync) is trusted
// only as far as it is seen to. A present that did wait returns at a
// refresh; the next one is then due a quarter of a refresh before the next
// refresh is expected, so that waking up a little late does not miss that
// refresh and halve the rate. A present that returns at once leaves the
// schedule as it is. Either way the deadlines never come closer than one
// refresh apart, so a renderer that claims to wait and does not cannot show
// frames more often than the display refreshes either.
struct Pacing {
    PaceClock::duration period{};  // one refresh of the window's display
    PaceClock::duration lead{};    // how long before the expected refresh a vsync present starts
    PaceClock::time_point due{};   // the next present starts no earlier than this
};

// The refresh rate SDL reports for the window's display, 60 Hz where it
// reports none (0, unknown) or cannot tell which display the window is on.
int RefreshRate(SDL_Window* sdlWindow) {
    const int display = SDL_GetWindowDisplayIndex(sdlWindow);
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0 || mode.refresh_rate <= 0) {
        return WINDOW_FALLBACK_REFRESH_HZ;
    }
    return mode.refresh_rate;
}

// Sets the period and the lead from the window's display.
void PacingMeasureDisplay(Pacing* pacing, SDL_Window* sdlWindow) {
    pacing->period = std::chrono::duration_cast<PaceClock::duration>(std::chrono::seconds(1)) /
                     RefreshRate(sdlWindow);
    pacing->lead = pacing->period / 4;
}

// Whole milliseconds to sleep from now until due, rounded up so that the
// sleep does not end before it and so never spins: a deadline is met up to a
// millisecond late (and whatever the scheduler adds), which the next one,
// set from this one, does not carry.
int MillisecondsUntil(PaceClock::time_point now, PaceClock::time_point due) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 1, INT_MAX));
}

// Sets the next deadline once a present that started at start has returned
// at end.
void PacingPresented(Pacing* pacing, bool vsync, PaceClock::time_point start,
                     PaceClock::time_point end) {
    // A schedule far behind (the thread was held up for more than a refresh:
    // a busy machine, a stopped process, a slow present) starts over from
    // this present rather than presenting the missed deadlines back to back.
    if (start - pacing->due > pacing->period) {
        pacing->due = start;
    }
    pacing->due += pacing->period;
    if (vsync) {
        // Should this present have waited, it returned at a refresh: the
        // next is expected a period later, and the next present starts the
        // lead before it.
        pacing->due = std::max(pacing->due, end + pacing->period - pacing->lead);
    }
}

// The window's whole life, between SDL's start and its end.
int RunWindow(const WindowConfig* config, SdlAudio* audio) {
    SdlBackend backend;
    backend.audio = audio;
    WindowLife life{};
    const bool started = BackendCreate(&backend, config) &&
                         WindowLifeCreate(&life, config, &SDL_SERVICES, &backend) &&
                         WindowLifeStartRenderThread(&life);
    if (!started) {
        WindowLifeEnd(&life);
        DestroyWindowDrawing(&backend);
        return 1;
    }

    FrameMailbox* mailbox = life.window.mailbox;
    SDL_ShowWindow(backend.window);
    Pacing pacing;
    PacingMeasureDisplay(&pacing, backend.window);
    pacing.due = PaceClock::now();
    bool asked = false;  // a frame has been asked for and not taken yet
    PaceClock::time_point askedAt{};
    bool open = true;
    while (open) {
        // Until the next present is due, sleeps on the window's events and
        // hands each to the procedure as it comes.
        const PaceClock::time_point now = PaceClock::now();
        if (now < pacing.due) {
            open = WaitForEvent(MillisecondsUntil(now, pacing.due), &life, &backend);
            continue;
        }
        // Every present comes after all the events that reached the program
        // before it: a key that reached the display before one present has
        // been handed to the procedure by the next.
        open = DrainEvents(&life, &backend);
        if (!open) {
            break;
        }
        if (backend.displayChanged) {
            backend.displayChanged = false;
            PacingMeasureDisplay(&pacing, backend.window);
        }
        const Frame* frame = MailboxTakeNewest(mailbox);
        if (frame == nullptr) {
            // The frame for this present is asked for now, once, so that
            // what is shown was composed after the present fell due (the
            // render thread hands it over within a frame of its own); it is
            // looked for again every millisecond, the present still due. An
            // exposed window whose frame has not come within a refresh (the
            // render thread is held up, or has ended) shows the last again.
            if (!asked) {
                MailboxRequest(mailbox);
                asked = true;
                askedAt = now;
            }
            if (!backend.exposed || now - askedAt < pacing.period) {
                open = WaitForEvent(1, &life, &backend);
                continue;
            }
        } else {
            backend.shown = frame;
            asked = false;
        }
        backend.exposed = false;
        const PaceClock::time_point start = PaceClock::now();
        ShowFrame(&backend, &life.window, backend.shown);
        PacingPresented(&pacing, backend.vsync, start, PaceClock::now());
    }

    WindowLifeEnd(&life);
    DestroyWindowDrawing(&backend);
    return 0;
}

}  // namespace

int WindowRun(const WindowConfig* config) {
    if (!DisplayOpen()) {
        SDL_Quit();
        return 1;
    }
    // Sound is opened on its own once video works: a machine without sound
    // still gets its window, and every sound then falls back to the beep.
    SdlAudio* audio = SdlAudioOpen(0);
    const int status = RunWindow(config, audio);
    // What the program had to say it has said; the libraries, short of
    // memory, may still find something to report as they shut down.
    const QuietStderr quiet;
    SdlAudioClose(audio);
    SDL_Quit();
    return status;
}

}  // namespace platform
