#include "platform/clock.h"

#include <atomic>
#include <chrono>

namespace platform {

namespace {

std::atomic<bool> manual{false};
std::atomic<uint32_t> manualNow{0};

}  // namespace

uint32_t ClockTicks() {
    if (manual.load(std::memory_order_acquire)) {
        return manualNow.load(std::memory_order_relaxed);
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    // The low 32 bits of a millisecond count: wraps after about 49.7 days.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void ClockUseManual(uint32_t start) {
    manualNow.store(start, std::memory_order_relaxed);
    manual.store(true, std::memory_order_release);
}

void ClockSet(uint32_t now) { manualNow.store(now, std::memory_order_relaxed); }

void ClockAdvance(uint32_t milliseconds) {
    manualNow.fetch_add(milliseconds, std::memory_order_relaxed);
}

void ClockUseSystem() { manual.store(false, std::memory_order_release); }

}  // namespace platform
