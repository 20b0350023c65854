#include "platform/headless/headless.h"

#include <atomic>
#include <new>
#include <vector>

#include "platform/draw_context.h"
#include "platform/frame_convert.h"
#include "platform/report.h"
#include "platform/wav.h"
#include "platform/window_life.h"

namespace platform {

struct HeadlessWindow {
    WindowLife life;
    std::atomic<uint32_t> now;
    bool begun;     // the render procedure's begin has run
    bool ended;     // a step returned 0: the procedure is not called again
    uint64_t frames;  // frames run on the caller's thread so far
    std::vector<HeadlessSound> sounds;
    uint32_t* picturePixels;  // room for the largest frame, in colour, maxFrameWidth a row
    Picture picture;
};

namespace {

HeadlessWindow* Of(const Window* window) { return static_cast<HeadlessWindow*>(window->backend); }

uint32_t HeadlessTicks(const Window* window) {
    return Of(window)->now.load(std::memory_order_relaxed);
}

bool HeadlessPrepareSound(const Window*, const uint8_t* wav, size_t size) {
    WavImage image{};
    return WavRead(wav, size, &image);
}

bool HeadlessPlaySound(const Window* window, const uint8_t* wav, size_t size) {
    if (!HeadlessPrepareSound(window, wav, size)) {
        return false;
    }
    Of(window)->sounds.push_back(HeadlessSound{Of(window)->frames, wav, size});
    return true;
}

void HeadlessBeep(const Window* window) {
    Of(window)->sounds.push_back(HeadlessSound{Of(window)->frames, nullptr, 0});
}

// The emulated display: no screen context of its own.
constexpr WindowServices HEADLESS_SERVICES{HeadlessTicks, HeadlessPrepareSound, HeadlessPlaySound,
                                           HeadlessBeep, nullptr};

void Free(HeadlessWindow* window) {
    WindowLifeEnd(&window->life);
    PixelBlockFree(reinterpret_cast<uint8_t*>(window->picturePixels));
    delete window;
}

// One step of the render procedure on the caller's thread; false once it
// has ended.
bool RunStep(HeadlessWindow* window) {
    const RenderProcedure& render = window->life.config.render;
    if (window->ended || window->life.renderThread != nullptr) {
        return false;
    }
    window->frames += 1;
    if (!window->begun) {
        window->begun = true;
        if (render.begin(render.context) == 0) {
            window->ended = true;
            return false;
        }
    }
    if (render.frame(render.context) == 0) {
        window->ended = true;
    }
    return true;
}

}  // namespace

HeadlessWindow* HeadlessOpen(const WindowConfig* config, uint32_t clockStart) {
    auto* headless = new (std::nothrow) HeadlessWindow{};
    if (headless == nullptr) {
        ReportFailure("out of memory for the window");
        return nullptr;
    }
    headless->now.store(clockStart, std::memory_order_relaxed);
    // Room for the sounds of many frames: a caller that forgets them as it
    // goes never has the record allocate while frames run.
    try {
        headless->sounds.reserve(256);
    } catch (const std::bad_alloc&) {
        ReportFailure("out of memory for the window");
        delete headless;
        return nullptr;
    }
    const size_t pixels =
        static_cast<size_t>(config->maxFrameWidth > 0 ? config->maxFrameWidth : 0) *
        static_cast<size_t>(config->maxFrameHeight > 0 ? config->maxFrameHeight : 0);
    headless->picturePixels =
        reinterpret_cast<uint32_t*>(PixelBlockAllocate(pixels * sizeof(uint32_t)));
    if (headless->picturePixels == nullptr && pixels > 0) {
        ReportFailure("out of memory for the window's picture");
        delete headless;
        return nullptr;
    }
    if (!WindowLifeCreate(&headless->life, config, &HEADLESS_SERVICES, headless)) {
        Free(headless);
        return nullptr;
    }
    return headless;
}

void HeadlessSend(HeadlessWindow* window, const WindowEvent& event) {
    WindowLifeSend(&window->life, event);
}

void HeadlessKey(HeadlessWindow* window, int virtualKey, bool down) {
    HeadlessSend(window, {down ? WindowEventType::KeyDown : WindowEventType::KeyUp, virtualKey,
                          0, 0});
}

void HeadlessClick(HeadlessWindow* window, int x, int y) {
    HeadlessSend(window, {WindowEventType::LeftButtonDown, 0, x, y});
}

void HeadlessClockAdvance(HeadlessWindow* window, uint32_t milliseconds) {
    window->now.fetch_add(milliseconds, std::memory_order_relaxed);
}

const Frame* HeadlessFrame(HeadlessWindow* window) {
    FrameMailbox* mailbox = window->life.window.mailbox;
    if (window->ended || window->life.renderThread != nullptr) {
        return nullptr;
    }
    MailboxRequest(mailbox);
    RunStep(window);
    return MailboxTakeNewest(mailbox);
}

bool HeadlessStep(HeadlessWindow* window) {
    return RunStep(window) && !window->ended;
}

bool HeadlessStartRenderThread(HeadlessWindow* window) {
    if (window->life.renderThread == nullptr && !window->begun) {
        MailboxRequest(window->life.window.mailbox);
        window->begun = WindowLifeStartRenderThread(&window->life);
    }
    return window->life.renderThread != nullptr;
}

const Frame* HeadlessTakeFrame(HeadlessWindow* window) {
    FrameMailbox* mailbox = window->life.window.mailbox;
    const Frame* frame = MailboxTakeNewest(mailbox);
    if (frame != nullptr) {
        MailboxRequest(mailbox);
    }
    return frame;
}

const Picture* HeadlessPicture(HeadlessWindow* window, const Frame* frame) {
    if (frame == nullptr) {
        return nullptr;
    }
    const int stride = window->life.config.maxFrameWidth;
    FrameConvert(frame->pixels, frame->stride, frame->width, frame->height, &frame->colours->argb,
                 window->picturePixels, stride);
    window->picture = Picture{window->picturePixels, stride, frame->width, frame->height,
                              frame->outWidth, frame->outHeight, frame->sequence};
    return &window->picture;
}

size_t HeadlessSoundCount(const HeadlessWindow* window) { return window->sounds.size(); }

const HeadlessSound* HeadlessSounds(const HeadlessWindow* window) { return window->sounds.data(); }

void HeadlessForgetSounds(HeadlessWindow* window) { window->sounds.clear(); }

void HeadlessClose(HeadlessWindow* window) {
    if (window != nullptr) {
        Free(window);
    }
}

}  // namespace platform
