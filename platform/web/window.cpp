// The window in a browser page: a <canvas> of the client size, keys on the
// page's window and the left button on the canvas turned into the program's
// window events, the render procedure unpaced on a thread of its own (a
// worker), and at each of the browser's animation frames the newest frame
// taken from the mailbox, coloured and put on the canvas, then the next one
// asked for. A key or a click asks for one more: the first frame composed
// after it, so that the next animation frame shows what it did.
//
// The browser's main thread is the user-interface thread. It must never
// block, and it must get its thread back to run anything at all: WindowRun
// sets everything up and returns 0 while the window lives on (window.h). What
// the window keeps therefore lives for the rest of the page, never on
// WindowRun's stack. A tab has no exit, so Destroy never comes; in a hidden
// tab, where nobody sees its frames, the render procedure waits until the
// tab is shown again and then goes on where it was.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/threading.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "platform/frame_convert.h"
#include "platform/mailbox.h"
#include "platform/report.h"
#include "platform/web/audio.h"
#include "platform/web/keys.h"
#include "platform/window.h"
#include "platform/window_life.h"

namespace platform {

namespace {

struct WebPage {
    WindowLife life;
    WebAudio* audio = nullptr;
    RenderProcedure program{};  // the program's render procedure, which the page's wraps
    // 1 while the tab is hidden; the render thread waits on it.
    std::atomic<uint32_t> hidden{0};
    std::atomic<uint32_t> framesComposed{0};  // for the page's own figures
    // Set by the main thread after an input event: the render thread asks for
    // the frame it is about to compose.
    std::atomic<bool> inputFrameWanted{false};
    bool asked = false;  // a frame has been asked for and not taken yet
    // The frame's colours in the canvas's byte order (R, G, B, A), made again
    // when the frame's table changes.
    ColourTable32 canvasColours{};
    uint64_t canvasColoursSerial = 0;
    uint32_t* picture = nullptr;  // the coloured frame, maxFrameWidth x maxFrameHeight
};

// The page the program runs in; made once, never freed (a tab has no exit).
WebPage* thePage = nullptr;

// clang-format off
// The same clock on every thread: each worker's own performance.now()
// starts when that worker did.
EM_JS(double, web_page_now, (), {
    return performance.timeOrigin + performance.now();
});

// Readies the canvas (client size, black) and its 2D context. The title is
// ASCII, the one text the page shows that the program did not draw itself.
EM_JS(int, web_page_open, (int width, int height, const char* title), {
    const canvas = document.getElementById("canvas");
    const context = canvas && canvas.getContext("2d", { alpha: false });
    if (!context) return 0;
    canvas.width = width;
    canvas.height = height;
    context.imageSmoothingEnabled = false;
    context.fillStyle = "#000";
    context.fillRect(0, 0, width, height);
    document.title = UTF8ToString(title);
    Module.karidoPage = { canvas: canvas, context: context, image: null, scratch: null,
                          framesShown: 0, firstFrameAt: 0 };
    return 1;
});

// Puts width x height RGBA pixels on the canvas, stretched over outWidth x
// outHeight, black around them.
EM_JS(void, web_page_show, (const uint8_t* rgba, int width, int height, int outWidth, int outHeight), {
    const page = Module.karidoPage;
    const canvas = page.canvas;
    const context = page.context;
    if (width > 0 && height > 0) {
        if (!page.image || page.image.width != width || page.image.height != height) {
            page.image = new ImageData(width, height);
        }
        // ImageData does not take a view of shared memory: copy.
        page.image.data.set(HEAPU8.subarray(rgba, rgba + width * height * 4));
    }
    if (width <= 0 || height <= 0 || outWidth != canvas.width || outHeight != canvas.height) {
        context.fillStyle = "#000";
        context.fillRect(0, 0, canvas.width, canvas.height);
    }
    if (width > 0 && height > 0) {
        if (width == outWidth && height == outHeight) {
            context.putImageData(page.image, 0, 0);
        } else {
            if (!page.scratch) page.scratch = document.createElement("canvas");
            page.scratch.width = width;
            page.scratch.height = height;
            page.scratch.getContext("2d").putImageData(page.image, 0, 0);
            context.drawImage(page.scratch, 0, 0, width, height, 0, 0, outWidth, outHeight);
        }
    }
    if (page.framesShown == 0) page.firstFrameAt = performance.now();
    page.framesShown += 1;
});
// clang-format on

uint32_t WebTicks(const Window*) {
    return static_cast<uint32_t>(std::fmod(web_page_now(), 4294967296.0));
}

bool WebPrepareSound(const Window* window, const uint8_t* wav, size_t size) {
    return WebAudioPrepare(static_cast<WebPage*>(window->backend)->audio, wav, size);
}

bool WebPlaySound(const Window* window, const uint8_t* wav, size_t size) {
    return WebAudioPlay(static_cast<WebPage*>(window->backend)->audio, wav, size);
}

void WebBeep(const Window* window) { WebAudioBeep(static_cast<WebPage*>(window->backend)->audio); }

// The emulated palette display: the canvas is true colour.
constexpr WindowServices WEB_SERVICES{WebTicks, WebPrepareSound, WebPlaySound, WebBeep, nullptr};

// The render thread: the program's procedure, held while the tab is hidden.
int WebRenderBegin(void* context) {
    const auto* page = static_cast<WebPage*>(context);
    return page->program.begin(page->program.context);
}

int WebRenderFrame(void* context) {
    auto* page = static_cast<WebPage*>(context);
    while (page->hidden.load(std::memory_order_acquire) != 0) {
        emscripten_futex_wait(&page->hidden, 1, INFINITY);
    }
    // Asked for at the start of a frame, the frame that answers (at its
    // present) is composed wholly after the input.
    if (page->inputFrameWanted.exchange(false, std::memory_order_acquire)) {
        MailboxRequest(page->life.window.mailbox);
    }
    page->framesComposed.fetch_add(1, std::memory_order_relaxed);
    return page->program.frame(page->program.context);
}

// Colours the frame into the picture and puts it on the canvas.
void ShowFrame(WebPage* page, const Frame* frame) {
    const FrameColours* colours = frame->colours;
    if (colours->serial != page->canvasColoursSerial) {
        // 0xAARRGGBB to the bytes R, G, B, A in memory, opaque: the frames'
        // alpha byte means nothing.
        for (int v = 0; v < 256; ++v) {
            const uint32_t argb = colours->argb.argb[v];
            page->canvasColours.argb[v] = 0xFF000000u | (argb & 0x0000FF00u) |
                                          (argb >> 16 & 0xFFu) | (argb & 0xFFu) << 16;
        }
        page->canvasColoursSerial = colours->serial;
    }
    FrameConvert(frame->pixels, frame->stride, frame->width, frame->height, &page->canvasColours,
                 page->picture, frame->width);
    web_page_show(reinterpret_cast<const uint8_t*>(page->picture), frame->width, frame->height,
                  frame->outWidth, frame->outHeight);
}

// Each animation frame: the sound asked for, the newest frame, and the next
// asked for. What is shown was composed after the previous animation frame.
EM_BOOL AnimationFrame(double, void* userData) {
    auto* page = static_cast<WebPage*>(userData);
    WebAudioStartRequested(page->audio);
    FrameMailbox* mailbox = page->life.window.mailbox;
    if (const Frame* frame = MailboxTakeNewest(mailbox)) {
        ShowFrame(page, frame);
        page->asked = false;
    }
    if (!page->asked) {
        MailboxRequest(mailbox);
        page->asked = true;
    }
    return EM_TRUE;
}

EM_BOOL KeyEvent(int eventType, const EmscriptenKeyboardEvent* event, void* userData) {
    auto* page = static_cast<WebPage*>(userData);
    const int virtualKey = WebKeyToVirtualKey(event->code, event->key);
    if (virtualKey != 0) {
        // A held key repeats as more KeyDown events, as on the desktop.
        WindowLifeSend(&page->life,
                       WindowEvent{eventType == EMSCRIPTEN_EVENT_KEYDOWN ? WindowEventType::KeyDown
                                                                         : WindowEventType::KeyUp,
                                   virtualKey, 0, 0});
        page->inputFrameWanted.store(true, std::memory_order_release);
    }
    return WebKeyKeepsBrowserAction(virtualKey, event->ctrlKey, event->altKey, event->metaKey)
               ? EM_FALSE
               : EM_TRUE;
}

// The left button on the canvas, in canvas pixels whatever its size on the
// page. The browser's own action (taking the focus) is kept.
EM_BOOL MouseDown(int, const EmscriptenMouseEvent* event, void* userData) {
    auto* page = static_cast<WebPage*>(userData);
    if (event->button != 0) {
        return EM_FALSE;
    }
    const Window& window = page->life.window;
    double cssWidth = window.clientWidth;
    double cssHeight = window.clientHeight;
    emscripten_get_element_css_size("#canvas", &cssWidth, &cssHeight);
    const auto toClient = [](long target, double css, int client) {
        const double scaled = css > 0 ? static_cast<double>(target) * client / css : target;
        return static_cast<int>(std::fmin(std::fmax(std::floor(scaled), 0.0), client - 1));
    };
    WindowLifeSend(&page->life,
                   WindowEvent{WindowEventType::LeftButtonDown, 0,
                               toClient(event->targetX, cssWidth, window.clientWidth),
                               toClient(event->targetY, cssHeight, window.clientHeight)});
    page->inputFrameWanted.store(true, std::memory_order_release);
    return EM_FALSE;
}

void SetHidden(WebPage* page, bool hidden) {
    page->hidden.store(hidden ? 1 : 0, std::memory_order_release);
    if (!hidden) {
        emscripten_futex_wake(&page->hidden, INT32_MAX);
    }
}

EM_BOOL VisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void* userData) {
    SetHidden(static_cast<WebPage*>(userData), event->hidden != 0);
    return EM_FALSE;
}

// Everything up to the render thread's start; false after one line.
bool PageStart(WebPage* page, const WindowConfig* config) {
    if (web_page_open(config->clientWidth, config->clientHeight, config->title) == 0) {
        ReportFailure("cannot draw on the page: it has no <canvas id=\"canvas\"> with a 2D context");
        return false;
    }
    page->picture = static_cast<uint32_t*>(std::malloc(
        static_cast<size_t>(config->maxFrameWidth) * static_cast<size_t>(config->maxFrameHeight) *
        sizeof(uint32_t)));
    if (page->picture == nullptr) {
        ReportFailure("out of memory for the page's picture");
        return false;
    }
    page->audio = WebAudioOpen();
    if (page->audio == nullptr) {
        ReportFailure("out of memory for the page's sound");
        return false;
    }
    if (!WindowLifeCreate(&page->life, config, &WEB_SERVICES, page)) {
        return false;
    }
    // The render thread runs the page's procedure, which runs the program's.
    page->program = page->life.config.render;
    page->life.config.render = RenderProcedure{WebRenderBegin, WebRenderFrame, page};
    EmscriptenVisibilityChangeEvent visibility{};
    if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS) {
        SetHidden(page, visibility.hidden != 0);
    }
    emscripten_set_visibilitychange_callback(page, EM_TRUE, VisibilityChange);
    if (!WindowLifeStartRenderThread(&page->life)) {
        return false;
    }
    // Input reaches the program only once it runs: a failed start sends
    // Destroy, after which no event may come.
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, page, EM_TRUE, KeyEvent);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, page, EM_TRUE, KeyEvent);
    emscripten_set_mousedown_callback("#canvas", page, EM_TRUE, MouseDown);
    return true;
}

}  // namespace

int WindowRun(const WindowConfig* config) {
    if (thePage != nullptr) {
        ReportFailure("the page already runs a window");
        return 1;
    }
    thePage = new (std::nothrow) WebPage{};
    if (thePage == nullptr) {
        ReportFailure("out of memory for the page");
        return 1;
    }
    if (!PageStart(thePage, config)) {
        // What was made is undone; the page shows the line said above.
        WindowLifeEnd(&thePage->life);
        return 1;
    }
    emscripten_request_animation_frame_loop(AnimationFrame, thePage);
    return 0;
}

}  // namespace platform

// The page's figures (shell.html): frames the render procedure has composed.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t karido_web_frames_composed() {
    return platform::thePage != nullptr
               ? platform::thePage->framesComposed.load(std::memory_order_relaxed)
               : 0;
}
