#include "platform/headless/headless.h"

#include <atomic>
#include <new>
#include <vector>

#include "platform/render_thread.h"
#include "platform/wav.h"

namespace platform {

struct HeadlessWindow {
    Window window;
    WindowConfig config;
    std::atomic<uint32_t> now;
    bool begun;     // the render procedure's begin has run
    bool ended;     // a step returned 0: the procedure is not called again
    RenderThread* renderThread;
    uint64_t frames;  // HeadlessFrame calls so far
    std::vector<HeadlessSound> sounds;
};

namespace {

uint32_t HeadlessTicks(const Window* window) {
    return static_cast<const HeadlessWindow*>(window->backend)->now.load(std::memory_order_relaxed);
}

HeadlessWindow* Of(const Window* window) { return static_cast<HeadlessWindow*>(window->backend); }

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

constexpr WindowServices HEADLESS_SERVICES{HeadlessTicks, HeadlessPrepareSound, HeadlessPlaySound,
                                           HeadlessBeep};

}  // namespace

HeadlessWindow* HeadlessOpen(const WindowConfig* config, uint32_t clockStart) {
    auto* headless = new (std::nothrow) HeadlessWindow{};
    if (headless == nullptr) {
        return nullptr;
    }
    headless->config = *config;
    headless->now.store(clockStart, std::memory_order_relaxed);
    // Room for the sounds of many frames: a caller that forgets them as it
    // goes never has the record allocate while frames run.
    try {
        headless->sounds.reserve(256);
    } catch (const std::bad_alloc&) {
        delete headless;
        return nullptr;
    }
    headless->window = Window{&HEADLESS_SERVICES,
                              MailboxCreate(config->maxFrameWidth, config->maxFrameHeight),
                              config->clientWidth, config->clientHeight, headless};
    if (headless->window.mailbox == nullptr) {
        delete headless;
        return nullptr;
    }
    const WindowEvent create{WindowEventType::Create, 0, 0, 0};
    if (config->procedure(&headless->window, &create, config->context) != 0) {
        MailboxDestroy(headless->window.mailbox);
        delete headless;
        return nullptr;
    }
    return headless;
}

void HeadlessSend(HeadlessWindow* window, const WindowEvent& event) {
    window->config.procedure(&window->window, &event, window->config.context);
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
    const RenderProcedure& render = window->config.render;
    if (window->ended || window->renderThread != nullptr) {
        return nullptr;
    }
    window->frames += 1;
    if (!window->begun) {
        window->begun = true;
        if (render.begin(render.context) == 0) {
            window->ended = true;
            return nullptr;
        }
    }
    if (render.frame(render.context) == 0) {
        window->ended = true;
    }
    return MailboxTakeNewest(window->window.mailbox);
}

bool HeadlessStartRenderThread(HeadlessWindow* window) {
    if (window->renderThread == nullptr && !window->begun) {
        window->renderThread = RenderThreadStart(&window->config.render);
        window->begun = window->renderThread != nullptr;
    }
    return window->renderThread != nullptr;
}

const Frame* HeadlessTakeFrame(HeadlessWindow* window) {
    return MailboxTakeNewest(window->window.mailbox);
}

size_t HeadlessSoundCount(const HeadlessWindow* window) { return window->sounds.size(); }

const HeadlessSound* HeadlessSounds(const HeadlessWindow* window) { return window->sounds.data(); }

void HeadlessForgetSounds(HeadlessWindow* window) { window->sounds.clear(); }

void HeadlessClose(HeadlessWindow* window) {
    if (window == nullptr) {
        return;
    }
    RenderThreadStop(window->renderThread);
    const WindowEvent destroy{WindowEventType::Destroy, 0, 0, 0};
    window->config.procedure(&window->window, &destroy, window->config.context);
    MailboxDestroy(window->window.mailbox);
    delete window;
}

}  // namespace platform
