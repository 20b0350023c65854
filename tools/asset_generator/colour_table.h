// The one 256-entry colour table shared by every bitmap of the program.
//
// Indices 0-9 and 246-255 hold the twenty static colours of a 256-colour
// display, so the art keeps its look when the system reserves them. Indices
// 10-29 are a grey ramp and 30-245 are eighteen twelve-step ramps of hues,
// darkest first, so the art can shade any material from shadow to highlight.
// No colour appears twice: a palette-based renderer maps colours back to
// indices, and a duplicate would make that mapping ambiguous.
#pragma once

#include <array>
#include <cstdint>

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The table, built once on first use.
const std::array<Rgb, 256>& ColourTable();

// Static colours.
constexpr uint8_t C_BLACK = 0;  // also the transparent index of sprites and indicators
constexpr uint8_t C_MAROON = 1;
constexpr uint8_t C_DARK_GREEN = 2;
constexpr uint8_t C_DARK_OLIVE = 3;
constexpr uint8_t C_NAVY = 4;
constexpr uint8_t C_SEE_THROUGH = 5;  // purple: the overlay's see-through colour
constexpr uint8_t C_TEAL = 6;
constexpr uint8_t C_SILVER = 7;
constexpr uint8_t C_MONEY_GREEN = 8;
constexpr uint8_t C_SKY_BLUE = 9;
constexpr uint8_t C_CREAM = 246;
constexpr uint8_t C_MEDIUM_GREY = 247;
constexpr uint8_t C_GREY = 248;
constexpr uint8_t C_RED = 249;
constexpr uint8_t C_LIME = 250;
constexpr uint8_t C_YELLOW = 251;
constexpr uint8_t C_BLUE = 252;
constexpr uint8_t C_MAGENTA = 253;
constexpr uint8_t C_CYAN = 254;
constexpr uint8_t C_WHITE = 255;

constexpr uint8_t C_TRANSPARENT = C_BLACK;

// Grey ramp: GREY_RAMP + 0 (near black) .. GREY_RAMP + GREY_STEPS - 1 (near white).
constexpr uint8_t GREY_RAMP = 10;
constexpr int GREY_STEPS = 20;

// Hue ramps: each ramp holds RAMP_STEPS shades, step 0 darkest, step 11 lightest,
// step 6 about the pure colour. Ramp(r, s) gives the table index.
constexpr int RAMP_STEPS = 12;
enum HueRamp : uint8_t {
    R_SKIN,
    R_BROWN,
    R_GOLD,
    R_ORANGE,
    R_RED,
    R_PINK,
    R_PURPLE,
    R_NAVY,
    R_AZURE,
    R_TEAL,
    R_GREEN,
    R_OLIVE,
    R_FOREST,
    R_STEEL,
    R_TIN,
    R_BEIGE,
    R_CARAMEL,
    R_COLA,
    HUE_RAMP_COUNT
};
constexpr uint8_t HUE_RAMP_FIRST = GREY_RAMP + GREY_STEPS;

// Index of step `step` (clamped to 0..RAMP_STEPS-1) of ramp `ramp`.
constexpr uint8_t Ramp(HueRamp ramp, int step) {
    const int clamped = step < 0 ? 0 : (step >= RAMP_STEPS ? RAMP_STEPS - 1 : step);
    return static_cast<uint8_t>(HUE_RAMP_FIRST + ramp * RAMP_STEPS + clamped);
}

// Index of step `step` (clamped) of the grey ramp.
constexpr uint8_t Grey(int step) {
    const int clamped = step < 0 ? 0 : (step >= GREY_STEPS ? GREY_STEPS - 1 : step);
    return static_cast<uint8_t>(GREY_RAMP + clamped);
}

static_assert(HUE_RAMP_FIRST + HUE_RAMP_COUNT * RAMP_STEPS == 246,
              "the ramps fill the table up to the upper static colours");
