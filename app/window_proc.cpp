#include "app/window_proc.h"

#include <cstdio>
#include <cstdlib>

#include "app/view_mode.h"
#include "game/game_tick.h"
#include "game/item_table.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "render/floaters.h"
#include "render/frame_loop.h"
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

void ItemListBuild(AppState* state, ItemRecord* table) {
    state->listCount = 0;
    for (ItemRecord* row = table; row->iconId != 0 && state->listCount < LIST_CAPACITY; ++row) {
        state->listEntries[state->listCount] = ListEntry{row, state->listCount};
        state->listCount += 1;
    }
}

namespace {

int Create(AppState* state, platform::Window* window) {
    const char* failure = AppStartup(state, window, &programResources, GameTick);
    if (failure != nullptr) {
        std::fprintf(stderr, "karido: start-up failed: %s\n", failure);
        AppRelease(state);
        return -1;
    }
    // The render thread waits at its gate while the stars, the first words,
    // the view and the list are set up, so none of them races its ticks.
    std::srand(platform::ClockTicks());
    StarsScatter(state);
    PlayfieldInitWords(state);
    SetViewMode(state, 0, 1);
    ItemListBuild(state, itemTable);
    RenderThreadOpenGate();
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
            // The drawing objects go only after the render thread has stopped.
            RenderThreadStop();
            AppRelease(state);
            return 0;
    }
    return 0;
}
