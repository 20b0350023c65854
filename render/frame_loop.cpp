#include "render/frame_loop.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/view_mode.h"
#include "platform/clock.h"
#include "platform/draw_context.h"
#include "platform/window.h"
#include "render/floaters.h"
#include "render/layers.h"

char fpsText[16];

namespace {

constexpr int OVERLAY_KEY = 11;  // dark magenta: the overlay's see-through colour

std::thread renderThread;
std::atomic<bool> stopRequested{false};
std::mutex gateLock;
std::condition_variable gateChanged;
bool gateOpen = false;
bool manualMode = false;


}  // namespace

int RenderLoopBegin(AppState* state, RenderLoop* loop) {
    fpsText[0] = '\0';
    loop->framesInPeriod = 0;
    loop->periodStart = platform::ClockTicks();
    return state->tick(state);
}

int RenderLoopFrame(AppState* state, RenderLoop* loop) {
    Surface* target = state->target;
    if (!state->listActive) {
        DrawLayer(state, 0);
        DrawLayer(state, 1);
        DrawSprites(state);
    }
    SurfaceBlit(target, 0, 0, 384, 256, state->imgOverlay, 0, 0, OVERLAY_KEY);

    // The period ends on the first frame that finds more than 1000 ms gone;
    // the unsigned difference survives the tick count's wrap.
    const uint32_t now = platform::ClockTicks();
    if (now - loop->periodStart > 1000) {
        std::snprintf(fpsText, sizeof fpsText, "%dfps", loop->framesInPeriod);
        loop->framesInPeriod = 0;
        loop->periodStart = now;
    }
    platform::DrawContextTextOut(state->hdcMem, 260, 7, fpsText,
                                 static_cast<int>(strnlen(fpsText, sizeof fpsText)));
    loop->framesInPeriod += 1;

    FloatersDraw(state);

    platform::WindowPresent(state->hwnd, target->pixels, SurfaceStride(target), state->viewWidth,
                            state->viewHeight, SurfaceIndexTable(target), state->hpalette,
                            WindowWidth(state), WindowHeight(state));
    state->frameCount += 1;
    std::memset(target->pixels, 0, SurfacePixelBytes(target));
    return state->tick(state);
}

int RenderThreadProc(AppState* state) {
    {
        std::unique_lock<std::mutex> guard(gateLock);
        gateChanged.wait(guard, [] { return gateOpen || stopRequested.load(); });
    }
    if (stopRequested.load(std::memory_order_acquire)) {
        return 0;
    }
    RenderLoop loop{};
    if (RenderLoopBegin(state, &loop) == 0) {
        return 0;
    }
    while (!stopRequested.load(std::memory_order_acquire) && RenderLoopFrame(state, &loop) != 0) {
    }
    return 0;
}

bool RenderThreadStart(AppState* state) {
    if (manualMode) {
        return true;
    }
    {
        std::lock_guard<std::mutex> guard(gateLock);
        gateOpen = false;
    }
    stopRequested.store(false);
    try {
        renderThread = std::thread(RenderThreadProc, state);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void RenderThreadOpenGate() {
    {
        std::lock_guard<std::mutex> guard(gateLock);
        gateOpen = true;
    }
    gateChanged.notify_all();
}

void RenderThreadStop() {
    stopRequested.store(true, std::memory_order_release);
    gateChanged.notify_all();
    if (renderThread.joinable()) {
        renderThread.join();
    }
}

void RenderThreadSetManual(bool manual) { manualMode = manual; }
