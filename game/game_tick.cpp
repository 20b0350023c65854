#include "game/game_tick.h"

#include "game/field_tick.h"
#include "game/item_list.h"

int GameTick(AppState* state) {
    if (state->listActive) {
        ListTick(state);
    } else {
        FieldTick(state);
    }
    return 1;
}
