#include "game/field_tick.h"

#include "game/message.h"
#include "game/sound.h"

// 弾切れっすぅ。
const char OUT_OF_AMMO_TEXT[] = "\x92\x65\x90\xD8\x82\xEA\x82\xC1\x82\xB7\x82\xA3\x81\x42";

namespace {

constexpr int PLAYER_STEP = 4;
constexpr int SHOT_SPEED = 8;
constexpr uint32_t FIELD_EDGE = 256;  // shots leave the field here
constexpr uint32_t SHOT_COLUMN = 3;   // the shot's cell in the sprite sheet
constexpr uint32_t SHOT_ROW = 0;

void Scroll(AppState* state) {
    state->layerWords[0] = WordAdd(state->layerWords[0], LAYER_X, 1);
    state->layerWords[1] = WordAdd(state->layerWords[1], LAYER_X, 2);
}

void MovePlayer(AppState* state, InputBits held) {
    SpriteWord player = state->sprites[0];
    if (held & INPUT_UP) {
        player = WordAdd(player, SPRITE_Y, -PLAYER_STEP);
    }
    if (held & INPUT_DOWN) {
        player = WordAdd(player, SPRITE_Y, PLAYER_STEP);
    }
    if (held & INPUT_LEFT) {
        player = WordAdd(player, SPRITE_X, -PLAYER_STEP);
    }
    if (held & INPUT_RIGHT) {
        player = WordAdd(player, SPRITE_X, PLAYER_STEP);
    }
    state->sprites[0] = player;
}

// No edge detection: a held key fires every tick, and every tick that finds
// all firing slots busy starts the message over.
void Fire(AppState* state) {
    for (int i = 0; i < SHOT_FIRING_SLOTS; ++i) {
        if (state->shotState[i] == SHOT_FREE) {
            state->shotState[i] = SHOT_FIRED;
            return;
        }
    }
    MessageStart(state, OUT_OF_AMMO_TEXT);
}

// The menu key is read afresh here, and acts once per press.
void MenuKey(AppState* state) {
    const bool held = (InputRead(state) & INPUT_MENU) != 0;
    if (state->menuLatch) {
        if (!held) {
            state->menuLatch = 0;
        }
        return;
    }
    if (!held) {
        return;
    }
    state->menuLatch = 1;
    switch (state->messageState) {
        case MESSAGE_TYPING: state->messageShown = state->messageLength; break;
        case MESSAGE_WAITING:
            PlayUiSound(state, SOUND_CLICK);
            state->messageState = MESSAGE_CLOSED;
            break;
        default:
            PlayUiSound(state, SOUND_OPEN);
            state->listActive = 1;
            break;
    }
}

void MoveShots(AppState* state) {
    for (int i = 0; i < SHOT_SLOT_COUNT; ++i) {
        SpriteWord& shot = state->sprites[1 + i];
        if (state->shotState[i] == SHOT_FIRED) {
            // The player's word, visible, with the shot's cell; bits 1-3 stay the shot's own.
            SpriteWord fired = WordSet(state->sprites[0], SPRITE_EXTRA, WordGet(shot, SPRITE_EXTRA));
            fired = WordSet(fired, SPRITE_VISIBLE, 1);
            fired = WordSet(fired, SPRITE_COLUMN, SHOT_COLUMN);
            shot = WordSet(fired, SPRITE_ROW, SHOT_ROW);
            state->shotState[i] = SHOT_FLYING;
        } else if (state->shotState[i] == SHOT_FLYING) {
            if (WordGet(shot, SPRITE_X) >= FIELD_EDGE) {
                state->shotState[i] = SHOT_FREE;
                shot = WordSet(shot, SPRITE_VISIBLE, 0);
            } else {
                shot = WordAdd(shot, SPRITE_X, SHOT_SPEED);
            }
        }
    }
}

}  // namespace

void FieldTick(AppState* state) {
    Scroll(state);
    const InputBits held = InputRead(state);
    MovePlayer(state, held);
    if (held & INPUT_SHOT) {
        Fire(state);
    }
    MenuKey(state);
    MoveShots(state);
}
