#include "app/window_proc.h"

#include "base/view_mode.h"
#include "game/game_tick.h"
#include "game/item_list.h"
#include "game/item_table.h"
#include "game/sound.h"
#include "platform/keys.h"
#include "platform/report.h"
#include "render/floaters.h"
#include "render/layers.h"
#include "render/startup.h"
#include "resources/program_resources.h"

InputBits KeyInputBit(int virtualKey) {
    switch (virtualKey) {
        case platform::VK_UP:
        case platform::VK_NUMPAD8: return INPUT_UP;
        case platform::VK_DOWN:
        case platform::VK_NUMPAD2: return INPUT_DOWN;
        case platform::VK_LEFT:
        case platform::VK_NUMPAD4: return INPUT_LEFT;
        case platform::VK_RIGHT:
        case platform::VK_NUMPAD6: return INPUT_RIGHT;
        case platform::VK_RETURN:
        case platform::VK_SPACE:
        case platform::VK_Z: return INPUT_SHOT;
        case platform::VK_ESCAPE:
        case platform::VK_X: return INPUT_MENU;
        default: return 0;
    }
}

namespace {

int Create(AppState* state, platform::Window* window) {
    const char* failure = AppStartup(state, window, &programResources, GameTick);
    if (failure != nullptr) {
        platform::ReportFailure("start-up failed: %s", failure);
        AppRelease(state);
        return -1;
    }
    // The platform starts the render procedure only after this returns, so
    // the stars, the first words, the view and the list race none of its
    // ticks. The generator is the program's own, so that every platform
    // scatters the same stars from the same clock.
    RandomSeed(&state->random, platform::WindowTicks(window));
    StarsScatter(state);
    PlayfieldInitWords(state);
    SetViewMode(state, 0, 1);
    ItemListBuild(state, itemTable);
    PrepareUiSounds(state);
    return 0;
}

}  // namespace

int MainWndProc(platform::Window* window, const platform::WindowEvent* event, void* context) {
    auto* state = static_cast<AppState*>(context);
    switch (event->type) {
        case platform::WindowEventType::Create: return Create(state, window);
        case platform::WindowEventType::KeyDown:
            InputPress(state, KeyInputBit(event->virtualKey));
            return 0;
        case platform::WindowEventType::KeyUp:
            InputRelease(state, KeyInputBit(event->virtualKey));
            return 0;
        case platform::WindowEventType::LeftButtonDown:
            FloaterSpawn(state, (static_cast<uint32_t>(event->x) & 0xFFFF) |
                                    (static_cast<uint32_t>(event->y) & 0xFFFF) << 16);
            return 0;
        case platform::WindowEventType::Destroy:
            // The platform has stopped the render procedure: nothing draws.
            AppRelease(state);
            return 0;
    }
    return 0;
}
