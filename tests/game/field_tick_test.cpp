// The field tick on the real program's state (headless backend, so that the
// sounds it asks for are recorded): scrolling, the ship's wrap-around moves,
// the shots' life, the out-of-ammo message and the menu key.
#include "game/field_tick.h"

#include <gtest/gtest.h>

#include "game/game_tick.h"
#include "game/message.h"
#include "platform/keys.h"
#include "tests/app/headless_program.h"

namespace {

using testing_app::HeadlessProgram;
using Sounds = std::vector<std::string>;

SpriteWord Placed(SpriteWord word, uint32_t x, uint32_t y) {
    return WordSet(WordSet(word, SPRITE_X, x), SPRITE_Y, y);
}

TEST(FieldTick, LayersScrollAndTheShipWrapsInsideItsFields) {
    HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    AppState* s = p.state.get();
    s->layerWords[0] = WordSet(s->layerWords[0], LAYER_X, 1023);
    s->layerWords[1] = WordSet(WordSet(s->layerWords[1], LAYER_X, 1023), LAYER_Y, 77);
    s->sprites[0] = WordSet(Placed(s->sprites[0], 0, 0), SPRITE_EXTRA, 5);
    p.Key(platform::VK_LEFT, true);
    p.Key(platform::VK_UP, true);
    GameTick(s);
    EXPECT_EQ(WordGet(s->layerWords[0], LAYER_X), 0u);
    EXPECT_EQ(WordGet(s->layerWords[1], LAYER_X), 1u);
    EXPECT_EQ(WordGet(s->layerWords[1], LAYER_Y), 77u);
    EXPECT_EQ(WordGet(s->layerWords[1], LAYER_VISIBLE), 1u);
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_X), 1020u);
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_Y), 1020u);
    // The cell, the visible bit and the carried bits are untouched.
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_COLUMN), 2u);
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_ROW), 0u);
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_EXTRA), 5u);
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_VISIBLE), 1u);
    // Up and down together cancel; right and left too.
    p.Key(platform::VK_DOWN, true);
    p.Key(platform::VK_RIGHT, true);
    const SpriteWord before = s->sprites[0];
    GameTick(s);
    EXPECT_EQ(s->sprites[0], before);
    p.Key(platform::VK_UP, false);
    p.Key(platform::VK_LEFT, false);
    GameTick(s);
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_X), 0u);  // 1020 + 4 wraps to 0
    EXPECT_EQ(WordGet(s->sprites[0], SPRITE_Y), 0u);
}

TEST(FieldTick, SixteenShotsThenTheMessageUntilTheFirstSlotIsFree) {
    HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    AppState* s = p.state.get();
    s->sprites[0] = Placed(s->sprites[0], 0, 40);
    p.Key(platform::VK_Z, true);
    for (int tick = 1; tick <= 35; ++tick) {
        s->messageShown = 3;  // a message start puts it back to 0
        GameTick(s);
        int busy = 0;
        for (int slot = 0; slot < SHOT_SLOT_COUNT; ++slot) {
            busy += s->shotState[slot] != SHOT_FREE;
        }
        if (tick <= 16) {
            ASSERT_EQ(s->shotState[tick - 1], SHOT_FLYING) << tick;
            ASSERT_EQ(busy, tick) << tick;
            ASSERT_EQ(s->messageState, MESSAGE_CLOSED) << tick;
        } else if (tick <= 34) {
            // Every tick that finds all 16 busy starts the message over.
            ASSERT_EQ(s->messageState, MESSAGE_TYPING) << tick;
            ASSERT_EQ(s->messageShown, 0) << tick;
            ASSERT_EQ(busy, tick == 34 ? 15 : 16) << tick;  // slot 0 freed on tick 34
        } else {
            EXPECT_EQ(s->messageShown, 3);  // fired instead
            EXPECT_EQ(s->shotState[0], SHOT_FLYING);
            EXPECT_EQ(s->shotState[1], SHOT_FREE);  // fired on tick 2, freed on this one
            EXPECT_EQ(busy, 15);
        }
    }
    for (int slot = 16; slot < SHOT_SLOT_COUNT; ++slot) {
        EXPECT_EQ(s->shotState[slot], SHOT_FREE) << slot;
    }
}

TEST(FieldTick, AShotStartsFromThePlayerAndLeavesAtTheFieldsEdge) {
    HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    AppState* s = p.state.get();
    s->sprites[0] = WordSet(Placed(s->sprites[0], 248, 100), SPRITE_EXTRA, 2);
    s->sprites[1] = WordSet(0, SPRITE_EXTRA, 6);  // the shot's own carried bits
    p.Key(platform::VK_SPACE, true);
    GameTick(s);
    p.Key(platform::VK_SPACE, false);
    // Fired: the player's word, visible, cell (3, 0), the shot's bits 1-3.
    SpriteWord shot = s->sprites[1];
    EXPECT_EQ(WordGet(shot, SPRITE_X), 248u);
    EXPECT_EQ(WordGet(shot, SPRITE_Y), 100u);
    EXPECT_EQ(WordGet(shot, SPRITE_COLUMN), 3u);
    EXPECT_EQ(WordGet(shot, SPRITE_ROW), 0u);
    EXPECT_EQ(WordGet(shot, SPRITE_VISIBLE), 1u);
    EXPECT_EQ(WordGet(shot, SPRITE_EXTRA), 6u);
    GameTick(s);
    EXPECT_EQ(WordGet(s->sprites[1], SPRITE_X), 256u);
    EXPECT_EQ(s->shotState[0], SHOT_FLYING);
    GameTick(s);
    // Freed two ticks after the firing: only the visible bit goes.
    EXPECT_EQ(s->shotState[0], SHOT_FREE);
    EXPECT_EQ(s->sprites[1], WordSet(WordSet(shot, SPRITE_X, 256), SPRITE_VISIBLE, 0));
}

TEST(FieldTick, TheMenuKeyActsOncePerPress) {
    HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    AppState* s = p.state.get();
    // Typing: the whole text at once, no sound; held, nothing more happens.
    MessageStart(s, OUT_OF_AMMO_TEXT);
    p.Key(platform::VK_X, true);
    GameTick(s);
    EXPECT_EQ(s->messageShown, s->messageLength);
    EXPECT_EQ(s->messageState, MESSAGE_TYPING);
    s->messageState = MESSAGE_WAITING;  // as the typewriter would leave it
    GameTick(s);
    EXPECT_EQ(s->messageState, MESSAGE_WAITING);
    EXPECT_TRUE(p.TakeSounds().empty());
    // Released and pressed again: the message closes with a click.
    p.Key(platform::VK_X, false);
    GameTick(s);
    p.Key(platform::VK_ESCAPE, true);
    GameTick(s);
    EXPECT_EQ(s->messageState, MESSAGE_CLOSED);
    EXPECT_EQ(p.TakeSounds(), Sounds{"CLICK"});
    // The next press opens the list; the shot pass still runs in that tick.
    p.Key(platform::VK_ESCAPE, false);
    GameTick(s);
    s->shotState[5] = SHOT_FIRED;
    p.Key(platform::VK_ESCAPE, true);
    GameTick(s);
    EXPECT_EQ(s->listActive, 1);
    EXPECT_EQ(s->shotState[5], SHOT_FLYING);
    EXPECT_EQ(p.TakeSounds(), Sounds{"OPEN"});
    // Held on, the press closes nothing: the list stays open.
    for (int tick = 0; tick < 5; ++tick) {
        GameTick(s);
    }
    EXPECT_EQ(s->listActive, 1);
    EXPECT_TRUE(p.TakeSounds().empty());
}

TEST(FieldTick, APressInTheTickThatStartsTheMessageRevealsItAll) {
    HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    AppState* s = p.state.get();
    for (int slot = 0; slot < SHOT_FIRING_SLOTS; ++slot) {
        s->shotState[slot] = SHOT_FLYING;
        s->sprites[1 + slot] = Placed(s->sprites[1 + slot], 100, 0);
    }
    p.Key(platform::VK_Z, true);
    p.Key(platform::VK_X, true);
    GameTick(s);
    EXPECT_EQ(s->messageState, MESSAGE_TYPING);
    EXPECT_EQ(s->messageShown, 14);
    EXPECT_EQ(s->listActive, 0);
}

}  // namespace
