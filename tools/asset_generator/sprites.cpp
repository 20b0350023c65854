// The sprite sheet: 16 x 16 cells of 16 x 16 pixels on the transparent index.
//
// Row 0: two star twinkles, the player's ship (column 2), its shot (column 3)
// and a second shot frame. Row 1: an explosion in four frames. Row 2: enemies
// and an asteroid. Row 3: a power-up capsule and the ship with its engine
// flickering.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "tools/asset_generator/art_parts.h"

namespace {

// A small fixed-seed generator so the scattered details are the same every run.
class Xorshift32 {
   public:
    explicit Xorshift32(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

   private:
    uint32_t state_;
};

int CellX(int column) {
    return column * SPRITE_CELL;
}
int CellY(int row) {
    return row * SPRITE_CELL;
}

// The player's fighter, nose to the right. `flame` picks one of two engine frames.
void DrawShip(Canvas& c, int x, int y, int flame) {
    // Hull shaded from the top-left light; red stripes; blue canopy.
    DrawPattern(c, x, y,
                {
                    "................",
                    "..ooo...........",
                    "..owlo..........",
                    "...olmo.........",
                    "...olrmo........",
                    ".o..olmmoooo....",
                    "oloolllmmlccoo..",
                    "fklwllllllcCnloo",
                    "fkkmmmmmmmmmmmdo",
                    "okooddddmdddoo..",
                    ".o..okddoooo....",
                    "...okRdo........",
                    "...okdo.........",
                    "..okko..........",
                    "..ooo...........",
                    "................",
                },
                {{'o', Ramp(R_STEEL, 0)},
                 {'k', Ramp(R_STEEL, 3)},
                 {'d', Ramp(R_STEEL, 5)},
                 {'m', Ramp(R_STEEL, 7)},
                 {'l', Ramp(R_STEEL, 9)},
                 {'w', Ramp(R_STEEL, 11)},
                 {'r', Ramp(R_RED, 7)},
                 {'R', Ramp(R_RED, 4)},
                 {'c', Ramp(R_AZURE, 10)},
                 {'C', Ramp(R_AZURE, 6)},
                 {'n', Ramp(R_NAVY, 5)},
                 {'f', Ramp(R_ORANGE, 6)}});
    // Engine glow behind the nozzle.
    if (flame == 0) {
        DrawPattern(c, x, y + 7, {"y", "y"}, {{'y', Ramp(R_GOLD, 11)}});
    } else {
        DrawPattern(c, x, y + 7, {"e", "e"}, {{'e', Ramp(R_ORANGE, 8)}});
    }
}

void DrawShot(Canvas& c, int x, int y, int frame) {
    if (frame == 0) {
        DrawPattern(
            c, x, y + 6,
            {"........aaaa....", "..bbaaacccwwa...", "..bbaaacccwwa...", "........aaaa...."},
            {{'b', Ramp(R_AZURE, 5)}, {'a', Ramp(R_AZURE, 8)}, {'c', C_CYAN}, {'w', C_WHITE}});
    } else {
        DrawPattern(
            c, x, y + 6,
            {".........aaa....", "...bbaacccwwa...", "...bbaacccwwa...", ".........aaa...."},
            {{'b', Ramp(R_AZURE, 4)}, {'a', Ramp(R_TEAL, 9)}, {'c', C_CYAN}, {'w', C_WHITE}});
    }
}

void DrawTwinkle(Canvas& c, int x, int y, int size) {
    const int cx = x + 7;
    const int cy = y + 7;
    for (int i = 1; i <= size; ++i) {
        const uint8_t col = i == size ? Ramp(R_AZURE, 7) : Ramp(R_AZURE, 10);
        c.Set(cx + i, cy, col);
        c.Set(cx - i, cy, col);
        c.Set(cx, cy + i, col);
        c.Set(cx, cy - i, col);
    }
    c.Set(cx, cy, C_WHITE);
}

// Heat of a fire puff at a pixel: 1 at the centre, 0 at the rim.
double PuffHeat(int px, int py, double cx, double cy, double r) {
    const double dx = px + 0.5 - cx;
    const double dy = py + 0.5 - cy;
    return 1.0 - (dx * dx + dy * dy) / (r * r);
}

uint8_t FireColour(double heat, int px, int py) {
    const int level = static_cast<int>(heat * 8.0 + Bayer4(px, py) / 16.0);
    static constexpr std::array<uint8_t, 6> SCALE = {Ramp(R_RED, 3),    Ramp(R_RED, 6),
                                                     Ramp(R_ORANGE, 7), Ramp(R_GOLD, 9),
                                                     Ramp(R_GOLD, 11),  C_WHITE};
    return SCALE[static_cast<size_t>(std::clamp(level - 1, 0, 5))];
}

uint8_t SmokeColour(double heat, int px, int py) {
    const int level = static_cast<int>(heat * 5.0 + Bayer4(px, py) / 16.0);
    return level >= 5 ? Ramp(R_ORANGE, 6) : Grey(4 + level * 2);
}

// An explosion in four frames: a flash, a fireball, the fireball bursting into
// puffs, and smoke drifting apart with a few embers.
void DrawExplosion(Canvas& c, int x, int y, int frame) {
    Canvas cell(SPRITE_CELL, SPRITE_CELL, C_TRANSPARENT);
    Xorshift32 rng(0x9E3779B9u + static_cast<uint32_t>(frame) * 7919u);
    struct Puff {
        double cx;
        double cy;
        double r;
    };
    std::vector<Puff> puffs;
    if (frame < 2) {
        puffs.push_back({8.0, 8.0, frame == 0 ? 3.5 : 6.0});
    } else {
        const double spread = frame == 2 ? 3.5 : 5.0;
        const double size = frame == 2 ? 3.6 : 2.8;
        // Six puffs around the centre at fixed directions.
        static constexpr std::array<std::array<double, 2>, 6> DIRS = {
            {{1.0, 0.0}, {0.5, 0.87}, {-0.5, 0.87}, {-1.0, 0.0}, {-0.5, -0.87}, {0.5, -0.87}}};
        for (const auto& d : DIRS) {
            puffs.push_back({8.0 + d[0] * spread, 8.0 + d[1] * spread, size + rng.Below(3) * 0.4});
        }
        if (frame == 2) {
            puffs.push_back({8.0, 8.0, 4.0});
        }
    }
    for (int py = 0; py < SPRITE_CELL; ++py) {
        for (int px = 0; px < SPRITE_CELL; ++px) {
            double heat = -1.0;
            for (const Puff& p : puffs) {
                heat = std::max(heat, PuffHeat(px, py, p.cx, p.cy, p.r));
            }
            if (heat < 0.0) {
                continue;
            }
            cell.Set(
                px, py,
                frame < 3 ? FireColour(heat - frame * 0.15, px, py) : SmokeColour(heat, px, py));
        }
    }
    // Sparks flying outwards.
    for (int i = 0; i < 3 + frame * 2; ++i) {
        const int sx = rng.Below(SPRITE_CELL);
        const int sy = rng.Below(SPRITE_CELL);
        if (cell.At(sx, sy) == C_TRANSPARENT) {
            cell.Set(sx, sy, frame < 2 ? Ramp(R_GOLD, 10) : Ramp(R_ORANGE, 8));
        }
    }
    Stamp(c, cell, x, y);
}

void DrawSaucer(Canvas& c, int x, int y) {
    Canvas cell(SPRITE_CELL, SPRITE_CELL, C_TRANSPARENT);
    FillEllipse(cell, 4, 3, 8, 8, SphereShader(R_TEAL, 8.0, 7.0, 4.0, 3, 11, false));
    FillEllipse(cell, 1, 7, 14, 5, [](int px, int py) {
        const double light = CylinderLight(px, 1, 14) - (py - 7) * 0.12;
        return Ramp(R_PURPLE, StepFor(light, 2, 9, px, py, false));
    });
    for (int i = 0; i < 4; ++i) {
        cell.Set(3 + i * 3, 9, i % 2 == 0 ? Ramp(R_GOLD, 10) : C_RED);
    }
    cell.Set(6, 5, C_WHITE);
    Outline(cell, Ramp(R_PURPLE, 0));
    Stamp(c, cell, x, y);
}

void DrawMine(Canvas& c, int x, int y) {
    Canvas cell(SPRITE_CELL, SPRITE_CELL, C_TRANSPARENT);
    // Spikes: straight ones lit, diagonal ones in shade; the ball covers their roots.
    FillRect(cell, 7, 1, 2, 14, Ramp(R_STEEL, 8));
    FillRect(cell, 1, 7, 14, 2, Ramp(R_STEEL, 8));
    Line(cell, 3, 3, 12, 12, Ramp(R_STEEL, 6));
    Line(cell, 12, 3, 3, 12, Ramp(R_STEEL, 6));
    FillEllipse(cell, 3, 3, 10, 10, SphereShader(R_RED, 8.0, 8.0, 5.0, 1, 10, false));
    cell.Set(6, 5, C_WHITE);
    FillRect(cell, 7, 7, 2, 2, Ramp(R_GOLD, 10));
    Outline(cell, Ramp(R_RED, 0));
    Stamp(c, cell, x, y);
}

void DrawDrone(Canvas& c, int x, int y) {
    // An enemy fighter facing left, towards the player.
    Canvas cell(SPRITE_CELL, SPRITE_CELL, C_TRANSPARENT);
    FillPolygon(cell, {{1, 8}, {9, 3}, {15, 3}, {12, 8}, {15, 13}, {9, 13}}, [](int px, int py) {
        const int step = py < 8 ? 8 - (8 - py) / 3 : 5 - (py - 8) / 2;
        return Ramp(R_OLIVE, step + (px < 5 ? 1 : 0));
    });
    FillPolygon(cell, {{5, 7}, {10, 6}, {10, 10}, {5, 9}}, Ramp(R_GOLD, 9));
    cell.Set(6, 7, C_WHITE);
    FillRect(cell, 13, 7, 2, 2, Ramp(R_ORANGE, 8));
    Outline(cell, Ramp(R_OLIVE, 0));
    Stamp(c, cell, x, y);
}

void DrawAsteroid(Canvas& c, int x, int y) {
    Canvas cell(SPRITE_CELL, SPRITE_CELL, C_TRANSPARENT);
    FillPolygon(cell, {{5, 1}, {11, 2}, {15, 7}, {13, 13}, {7, 15}, {2, 12}, {1, 5}},
                SphereShader(R_BROWN, 8.0, 8.0, 8.0, 1, 9, true));
    FillEllipse(cell, 8, 5, 3, 3, Ramp(R_BROWN, 3));
    cell.Set(8, 5, Ramp(R_BROWN, 2));
    FillEllipse(cell, 4, 9, 4, 3, Ramp(R_BROWN, 4));
    FillEllipse(cell, 10, 10, 2, 2, Ramp(R_BROWN, 2));
    Outline(cell, Ramp(R_BROWN, 0));
    Stamp(c, cell, x, y);
}

void DrawCapsule(Canvas& c, int x, int y) {
    Canvas cell(SPRITE_CELL, SPRITE_CELL, C_TRANSPARENT);
    FillRoundRect(cell, 2, 4, 12, 8, 2, [](int px, int py) {
        const double light = 1.0 - (py - 4) / 8.0 - (px - 2) / 40.0;
        return Ramp(R_ORANGE, StepFor(light, 3, 10, px, py, false));
    });
    FillRect(cell, 6, 4, 4, 8, VerticalGradient(R_STEEL, 4, 8, 11, 5, false));
    DrawPattern(cell, 6, 5, {"XXX.", "X..X", "XXX.", "X...", "X..."}, {{'X', Ramp(R_NAVY, 3)}});
    Line(cell, 3, 5, 5, 5, Ramp(R_ORANGE, 11));
    Outline(cell, Ramp(R_ORANGE, 0));
    Stamp(c, cell, x, y);
}

}  // namespace

Canvas DrawSpriteSheet() {
    Canvas c(256, 256, C_TRANSPARENT);
    DrawTwinkle(c, CellX(0), CellY(0), 2);
    DrawTwinkle(c, CellX(1), CellY(0), 4);
    DrawShip(c, CellX(SHIP_CELL_COLUMN), CellY(SHIP_CELL_ROW), 0);
    DrawShot(c, CellX(3), CellY(0), 0);
    DrawShot(c, CellX(4), CellY(0), 1);
    for (int frame = 0; frame < 4; ++frame) {
        DrawExplosion(c, CellX(frame), CellY(1), frame);
    }
    DrawSaucer(c, CellX(0), CellY(2));
    DrawMine(c, CellX(1), CellY(2));
    DrawDrone(c, CellX(2), CellY(2));
    DrawAsteroid(c, CellX(3), CellY(2));
    DrawCapsule(c, CellX(0), CellY(3));
    DrawShip(c, CellX(2), CellY(3), 1);
    return c;
}
