// Packed 32-bit descriptor words: sprites, layer scroll positions and
// floating numbers. A field is read or replaced on its own; arithmetic on a
// field wraps inside the field and never carries into its neighbours.
#pragma once

#include <cstdint>

// Bit position and width of one field inside a 32-bit word.
struct WordField {
    uint32_t shift;
    uint32_t width;
};

constexpr uint32_t WordFieldMask(WordField field) {
    return (field.width >= 32 ? 0xFFFFFFFFu : ((1u << field.width) - 1u)) << field.shift;
}

constexpr uint32_t WordGet(uint32_t word, WordField field) {
    return (word & WordFieldMask(field)) >> field.shift;
}

// Replaces the field's bits with the low bits of value; the rest of the word is kept.
constexpr uint32_t WordSet(uint32_t word, WordField field, uint32_t value) {
    const uint32_t mask = WordFieldMask(field);
    return (word & ~mask) | ((value << field.shift) & mask);
}

// Adds delta to the field modulo 2^width; the rest of the word is kept.
constexpr uint32_t WordAdd(uint32_t word, WordField field, int32_t delta) {
    return WordSet(word, field, WordGet(word, field) + static_cast<uint32_t>(delta));
}

// SpriteWord: bit 0 visible, bits 1-3 carried along, bits 4-7 sheet cell
// column, bits 8-11 cell row, bits 12-21 x, bits 22-31 y.
using SpriteWord = uint32_t;
constexpr WordField SPRITE_VISIBLE{0, 1};
constexpr WordField SPRITE_EXTRA{1, 3};
constexpr WordField SPRITE_COLUMN{4, 4};
constexpr WordField SPRITE_ROW{8, 4};
constexpr WordField SPRITE_X{12, 10};
constexpr WordField SPRITE_Y{22, 10};

// The sprite sheet's cells are 16x16 pixels: a cell's source position is its
// column and row times this.
constexpr int SPRITE_CELL = 16;

// LayerWord: bit 0 visible, bits 12-21 source x, bits 22-31 source y.
using LayerWord = uint32_t;
constexpr WordField LAYER_VISIBLE{0, 1};
constexpr WordField LAYER_X{12, 10};
constexpr WordField LAYER_Y{22, 10};

// FloaterWord: bits 0-7 x, bits 8-15 y, bits 24-28 age, bit 31 active.
using FloaterWord = uint32_t;
constexpr WordField FLOATER_X{0, 8};
constexpr WordField FLOATER_Y{8, 8};
constexpr WordField FLOATER_AGE{24, 5};
constexpr WordField FLOATER_ACTIVE{31, 1};
