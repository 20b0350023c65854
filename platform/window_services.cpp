// The program's calls into its window's services: each goes to the backend
// through the window's table, and does nothing harmful for a window without
// one.
#include "platform/sound.h"
#include "platform/window.h"

namespace platform {

uint32_t WindowTicks(const Window* window) {
    if (window == nullptr || window->services == nullptr || window->services->ticks == nullptr) {
        return 0;
    }
    return window->services->ticks(window);
}

ScreenContext* WindowScreen(const Window* window) {
    if (window == nullptr || window->services == nullptr || window->services->screen == nullptr) {
        return nullptr;
    }
    return window->services->screen(window);
}

bool SoundPrepare(const Window* window, const uint8_t* wav, size_t size) {
    if (window == nullptr || window->services == nullptr ||
        window->services->prepareSound == nullptr) {
        return false;
    }
    return window->services->prepareSound(window, wav, size);
}

bool SoundPlay(const Window* window, const uint8_t* wav, size_t size) {
    if (window == nullptr || window->services == nullptr ||
        window->services->playSound == nullptr) {
        return false;
    }
    return window->services->playSound(window, wav, size);
}

void SoundBeep(const Window* window) {
    if (window != nullptr && window->services != nullptr && window->services->beep != nullptr) {
        window->services->beep(window);
    }
}

}  // namespace platform
