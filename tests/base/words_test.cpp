#include "base/words.h"

#include <gtest/gtest.h>

namespace {

SpriteWord MakeSprite(uint32_t x, uint32_t y, uint32_t column, uint32_t row, uint32_t extra) {
    SpriteWord w = 0;
    w = WordSet(w, SPRITE_VISIBLE, 1);
    w = WordSet(w, SPRITE_EXTRA, extra);
    w = WordSet(w, SPRITE_COLUMN, column);
    w = WordSet(w, SPRITE_ROW, row);
    w = WordSet(w, SPRITE_X, x);
    w = WordSet(w, SPRITE_Y, y);
    return w;
}

TEST(PackedWords, SpriteFieldsRoundTripAtTheirBitPositions) {
    const SpriteWord w = MakeSprite(1023, 512, 15, 3, 5);
    EXPECT_EQ(w, 0x80000000u | (1023u << 12) | (3u << 8) | (15u << 4) | (5u << 1) | 1u);
    EXPECT_EQ(WordGet(w, SPRITE_X), 1023u);
    EXPECT_EQ(WordGet(w, SPRITE_Y), 512u);
    EXPECT_EQ(WordGet(w, SPRITE_COLUMN), 15u);
    EXPECT_EQ(WordGet(w, SPRITE_ROW), 3u);
    EXPECT_EQ(WordGet(w, SPRITE_EXTRA), 5u);
    EXPECT_EQ(WordGet(w, SPRITE_VISIBLE), 1u);
}

TEST(PackedWords, SetReplacesOnlyItsFieldAndMasksTheValue) {
    const SpriteWord w = MakeSprite(100, 200, 2, 0, 7);
    const SpriteWord moved = WordSet(w, SPRITE_X, 1024 + 9);  // only the low 10 bits count
    EXPECT_EQ(WordGet(moved, SPRITE_X), 9u);
    EXPECT_EQ(moved & ~WordFieldMask(SPRITE_X), w & ~WordFieldMask(SPRITE_X));
}

TEST(PackedWords, ArithmeticWrapsInsideTheField) {
    // Moving left from x 0 by 4 gives 1020 with y and the cell unchanged.
    const SpriteWord ship = MakeSprite(0, 37, 2, 0, 0);
    const SpriteWord left = WordAdd(ship, SPRITE_X, -4);
    EXPECT_EQ(WordGet(left, SPRITE_X), 1020u);
    EXPECT_EQ(WordGet(left, SPRITE_Y), 37u);
    EXPECT_EQ(WordGet(left, SPRITE_COLUMN), 2u);
    EXPECT_EQ(WordGet(left, SPRITE_VISIBLE), 1u);

    // y is the top field: wrapping up from 0 must not touch x, and wrapping
    // down from 1020 must not spill out of the word's top bits into nothing.
    EXPECT_EQ(WordGet(WordAdd(ship, SPRITE_Y, -40), SPRITE_Y), 1021u);
    const SpriteWord low = MakeSprite(5, 1020, 2, 0, 0);
    const SpriteWord wrapped = WordAdd(low, SPRITE_Y, 4);
    EXPECT_EQ(WordGet(wrapped, SPRITE_Y), 0u);
    EXPECT_EQ(WordGet(wrapped, SPRITE_X), 5u);

    // x at 1023 + 2 wraps to 1 and does not carry into y.
    const LayerWord layer = WordSet(WordSet(0, LAYER_VISIBLE, 1), LAYER_X, 1023);
    const LayerWord scrolled = WordAdd(layer, LAYER_X, 2);
    EXPECT_EQ(WordGet(scrolled, LAYER_X), 1u);
    EXPECT_EQ(WordGet(scrolled, LAYER_Y), 0u);
    EXPECT_EQ(WordGet(scrolled, LAYER_VISIBLE), 1u);
}

TEST(PackedWords, FloaterAgeWrapsWithoutTouchingActiveOrPosition) {
    FloaterWord w = 0;
    w = WordSet(w, FLOATER_ACTIVE, 1);
    w = WordSet(w, FLOATER_AGE, 31);
    w = WordSet(w, FLOATER_X, 255);
    w = WordSet(w, FLOATER_Y, 128);
    const FloaterWord aged = WordAdd(w, FLOATER_AGE, 1);
    EXPECT_EQ(WordGet(aged, FLOATER_AGE), 0u);
    EXPECT_EQ(WordGet(aged, FLOATER_ACTIVE), 1u);
    EXPECT_EQ(WordGet(aged, FLOATER_X), 255u);
    EXPECT_EQ(WordGet(aged, FLOATER_Y), 128u);
    EXPECT_EQ(aged, w & ~WordFieldMask(FLOATER_AGE));

    // A click's coordinates are cut to 8 bits: x 300 lands at 44.
    EXPECT_EQ(WordGet(WordSet(0, FLOATER_X, 300), FLOATER_X), 44u);
}

}  // namespace
