#include "render/floaters.h"

#include <cstdio>
#include <cstring>

#include "platform/draw_context.h"

const int riseTable[32] = {0,   -4,  -7,  -9,  -10, -11, -12, -13, -13, -14, -14,
                           -14, -15, -15, -15, -15, -15, -15, -15, -15, -14, -14,
                           -14, -13, -13, -12, -11, -10, -9,  -7,  -4,  0};

void FloaterSpawn(AppState* state, uint32_t lParam) {
    for (Floater& slot : state->floaters) {
        const FloaterWord word = slot.word.load(std::memory_order_acquire);
        if (WordGet(word, FLOATER_ACTIVE)) {
            continue;
        }
        std::snprintf(slot.text, sizeof slot.text, "%d", RandomNext(&state->random) % 10000);
        FloaterWord fresh = 0;
        fresh = WordSet(fresh, FLOATER_ACTIVE, 1);
        fresh = WordSet(fresh, FLOATER_X, lParam & 0xFF);
        fresh = WordSet(fresh, FLOATER_Y, (lParam >> 16) & 0xFF);
        slot.word.store(fresh, std::memory_order_release);
        return;
    }
}

void FloatersDraw(AppState* state) {
    for (Floater& slot : state->floaters) {
        const FloaterWord word = slot.word.load(std::memory_order_acquire);
        if (!WordGet(word, FLOATER_ACTIVE)) {
            continue;
        }
        const int rise = riseTable[WordGet(word, FLOATER_AGE)];
        FloaterWord aged = WordAdd(word, FLOATER_AGE, 1);
        const int x = static_cast<int>(WordGet(word, FLOATER_X));
        const int y = static_cast<int>(WordGet(word, FLOATER_Y)) + rise;
        platform::DrawContextTextOut(state->hdcMem, x, y, slot.text,
                                     static_cast<int>(strnlen(slot.text, sizeof slot.text)));
        // The slot's last write: with the final age the slot is handed back
        // to the user-interface thread, after its text has been read.
        if (WordGet(aged, FLOATER_AGE) == 31) {
            aged = WordSet(aged, FLOATER_ACTIVE, 0);
        }
        slot.word.store(aged, std::memory_order_release);
    }
}
