#include "game/item_list.h"

#include "surface/surface.h"

void ItemListBuild(AppState* state, ItemRecord* table) {
    state->listCount = 0;
    for (ItemRecord* row = table; row->iconId != 0 && state->listCount < LIST_CAPACITY; ++row) {
        state->listEntries[state->listCount] = ListEntry{row, state->listCount};
        state->listCount += 1;
    }
}

void ItemListRelease(AppState* state) {
    for (int i = 0; i < state->listCount; ++i) {
        ItemRecord* row = state->listEntries[i].item;
        SurfaceDestroy(row->icon);
        row->icon = nullptr;
    }
}
