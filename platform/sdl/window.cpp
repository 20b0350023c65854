// The window on SDL2: SDL's whole lifetime, one fixed-size window, its events
// turned into the program's window events, the render procedure on a thread
// of its own, and the newest frame of the mailbox shown on the window.
// Everything here runs on the thread that calls WindowRun; the render thread
// makes no SDL call (sounds are readied during Create, see audio.h).
#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/mailbox.h"
#include "platform/render_thread.h"
#include "platform/sdl/audio.h"
#include "platform/sdl/keys.h"
#include "platform/window.h"

namespace platform {

namespace {

struct SdlBackend {
    SdlAudio* audio = nullptr;  // opened before the window, closed after it
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    FrameMailbox* mailbox = nullptr;
    const Frame* shown = nullptr;  // the last frame taken; valid until the next take
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

constexpr WindowServices SDL_SERVICES{SdlTicks, SdlPrepareSound, SdlPlaySound, SdlBeep};

void BackendDestroy(SdlBackend* backend) {
    if (backend->texture != nullptr) {
        SDL_DestroyTexture(backend->texture);
    }
    if (backend->renderer != nullptr) {
        SDL_DestroyRenderer(backend->renderer);
    }
    if (backend->window != nullptr) {
        SDL_DestroyWindow(backend->window);
    }
    if (backend->mailbox != nullptr) {
        MailboxDestroy(backend->mailbox);
    }
    *backend = SdlBackend{backend->audio};
}

// Prints the one line that says why the window could not be had.
void ReportFailure(const char* what) {
    std::fprintf(stderr, "karido: %s: %s\n", what, SDL_GetError());
}

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

// Opens SDL's video. Without a display to show on, SDL would settle for a
// driver that shows nothing (after trying Wayland, which complains on its
// own): with neither DISPLAY nor WAYLAND_DISPLAY set only the console is
// tried, and an invisible window is refused unless asked for by
// SDL_VIDEODRIVER.
// Xlib ends the process when the connection to the X server breaks, after a
// message of its own whose wording and length vary. This handler says it in
// one line and exits with status 1; the exit stops the render thread before
// anything is torn down (see platform/render_thread.h). It must not return.
int ExitOnLostDisplay(void*) {
    static const char message[] = "karido: lost the connection to the display\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    std::exit(1);
}

// On X11, installs ExitOnLostDisplay through the X library SDL has loaded.
void WatchForLostDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) {
        return;
    }
    void* x11 = SDL_LoadObject("libX11.so.6");
    if (x11 == nullptr) {
        return;
    }
    using IoErrorHandler = int (*)(void*);
    using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);
    auto set = reinterpret_cast<SetIoErrorHandler>(SDL_LoadFunction(x11, "XSetIOErrorHandler"));
    if (set != nullptr) {
        set(ExitOnLostDisplay);
    }
    // The library stays loaded: SDL holds it too, and the handler lives in it.
}

bool OpenVideo() {
    const bool driverChosen = IsSet(SDL_GetHint(SDL_HINT_VIDEODRIVER));
    const bool noDisplay = !IsSet(std::getenv("DISPLAY")) && !IsSet(std::getenv("WAYLAND_DISPLAY"));
    if (!driverChosen && noDisplay) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "kmsdrm");
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        if (!driverChosen && noDisplay) {
            std::fprintf(stderr,
                         "karido: cannot open the display: DISPLAY and WAYLAND_DISPLAY are not "
                         "set (%s)\n",
                         SDL_GetError());
        } else {
            ReportFailure("cannot open the display");
        }
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool invisible = driver != nullptr && (std::strcmp(driver, "offscreen") == 0 ||
                                                 std::strcmp(driver, "dummy") == 0);
    if (invisible && !driverChosen) {
        std::fprintf(stderr, "karido: cannot open the display: only SDL's %s driver works\n",
                     driver);
        return false;
    }
    WatchForLostDisplay();
    return true;
}

bool BackendCreate(SdlBackend* backend, const WindowConfig* config) {
    backend->window =
        SDL_CreateWindow(config->title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         config->clientWidth, config->clientHeight, SDL_WINDOW_HIDDEN);
    if (backend->window == nullptr) {
        ReportFailure("cannot create the window");
        return false;
    }
    // Without SDL_WINDOW_RESIZABLE SDL already asks for a fixed size; equal
    // minimum and maximum sizes also keep a window manager from maximising it.
    SDL_SetWindowMinimumSize(backend->window, config->clientWidth, config->clientHeight);
    SDL_SetWindowMaximumSize(backend->window, config->clientWidth, config->clientHeight);

    // No flags: SDL takes the SDL_RENDER_DRIVER hint if one is set, otherwise
    // an accelerated renderer if it can and the software one if not. Without
    // SDL_RENDERER_PRESENTVSYNC presenting does not wait for the display.
    backend->renderer = SDL_CreateRenderer(backend->window, -1, 0);
    if (backend->renderer == nullptr) {
        ReportFailure("cannot create the renderer");
        return false;
    }

    // Pixels are scaled by repeating them, never blurred.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    backend->texture =
        SDL_CreateTexture(backend->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                          config->maxFrameWidth, config->maxFrameHeight);
    if (backend->texture == nullptr) {
        ReportFailure("cannot create the frame texture");
        return false;
    }
    SDL_SetTextureScaleMode(backend->texture, SDL_ScaleModeNearest);
    // The frames' alpha byte means nothing: copy the colour as it is.
    SDL_SetTextureBlendMode(backend->texture, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(backend->renderer, 0, 0, 0, 255);

    backend->mailbox = MailboxCreate(config->maxFrameWidth, config->maxFrameHeight);
    if (backend->mailbox == nullptr) {
        std::fprintf(stderr, "karido: out of memory for the frame mailbox\n");
        return false;
    }
    return true;
}

// Scales a length in client coordinates to the renderer's output, which is
// bigger than the client area on a high-density display.
int ClientToOutput(int length, int output, int client) {
    return client > 0 ? static_cast<int>(static_cast<long long>(length) * output / client) : length;
}

// Draws the frame stretched over its outWidth x outHeight of the client area,
// black around it, and shows it. No frame, or a frame of no pixels, shows
// black.
void ShowFrame(SdlBackend* backend, const Window* window, const Frame* frame) {
    SDL_RenderClear(backend->renderer);
    if (frame != nullptr && frame->width > 0 && frame->height > 0) {
        const SDL_Rect source{0, 0, frame->width, frame->height};
        SDL_UpdateTexture(backend->texture, &source, frame->pixels,
                          frame->stride * static_cast<int>(sizeof(uint32_t)));
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
bool HandleEvent(const SDL_Event& event, Window* window, SdlBackend* backend,
                 const WindowConfig* config) {
    switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                return false;
            }
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                ShowFrame(backend, window, backend->shown);
            }
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // A held key repeats as more KeyDown events, as on Windows.
            const int virtualKey =
                SdlKeyToVirtualKey(event.key.keysym.scancode, event.key.keysym.sym);
            if (virtualKey != 0) {
                const WindowEvent windowEvent{
                    event.type == SDL_KEYDOWN ? WindowEventType::KeyDown : WindowEventType::KeyUp,
                    virtualKey, 0, 0};
                config->procedure(window, &windowEvent, config->context);
            }
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                int x = event.button.x;
                int y = event.button.y;
                WindowToClient(backend->window, window, &x, &y);
                const WindowEvent windowEvent{WindowEventType::LeftButtonDown, 0, x, y};
                config->procedure(window, &windowEvent, config->context);
            }
            return true;
        default:
            return true;
    }
}

// The window's whole life, between SDL's start and its end.
int RunWindow(const WindowConfig* config, SdlAudio* audio) {
    SdlBackend backend;
    backend.audio = audio;
    if (!BackendCreate(&backend, config)) {
        BackendDestroy(&backend);
        return 1;
    }

    Window window{&SDL_SERVICES, backend.mailbox, config->clientWidth, config->clientHeight,
                  &backend};
    const WindowEvent create{WindowEventType::Create, 0, 0, 0};
    if (config->procedure(&window, &create, config->context) != 0) {
        // The procedure has said why and undone its own start-up.
        BackendDestroy(&backend);
        return 1;
    }
    const WindowEvent destroy{WindowEventType::Destroy, 0, 0, 0};
    RenderThread* renderThread = RenderThreadStart(&config->render);
    if (renderThread == nullptr) {
        std::fprintf(stderr, "karido: cannot start the render thread\n");
        config->procedure(&window, &destroy, config->context);
        BackendDestroy(&backend);
        return 1;
    }

    SDL_ShowWindow(backend.window);
    bool open = true;
    while (open) {
        // Waits at most a millisecond, so that frames are shown as soon as
        // the render thread publishes them, then drains what has come.
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 1) != 0) {
            open = HandleEvent(event, &window, &backend, config);
            while (open && SDL_PollEvent(&event) != 0) {
                open = HandleEvent(event, &window, &backend, config);
            }
        }
        if (!open) {
            break;
        }
        if (const Frame* frame = MailboxTakeNewest(backend.mailbox)) {
            backend.shown = frame;
            ShowFrame(&backend, &window, frame);
        }
    }

    // Nothing draws into the mailbox or the program's objects once the
    // render thread has stopped.
    RenderThreadStop(renderThread);
    config->procedure(&window, &destroy, config->context);
    BackendDestroy(&backend);
    return 0;
}

}  // namespace

int WindowRun(const WindowConfig* config) {
    if (!OpenVideo()) {
        SDL_Quit();
        return 1;
    }
    // Sound is opened on its own once video works: a machine without sound
    // still gets its window, and every sound then falls back to the beep.
    SdlAudio* audio = SdlAudioOpen(0);
    const int status = RunWindow(config, audio);
    SdlAudioClose(audio);
    SDL_Quit();
    return status;
}

}  // namespace platform
