#include "platform/clock.h"

#include <chrono>

#include "platform/window.h"

namespace platform {

uint32_t ClockSystemTicks() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

uint32_t WindowTicks(const Window* window) {
    if (window == nullptr || window->services == nullptr || window->services->ticks == nullptr) {
        return 0;
    }
    return window->services->ticks(window);
}

}  // namespace platform
