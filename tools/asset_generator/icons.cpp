// The 48 x 48 item icons. Each item is drawn on an empty layer with shaded
// shapes lit from the upper left, outlined in dark navy, and placed on the
// blue of the description window with a navy drop shadow to the lower right.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string_view>

#include "tools/asset_generator/art_parts.h"

namespace {

constexpr uint8_t OUTLINE = Ramp(R_NAVY, 0);
constexpr uint8_t DROP_SHADOW = C_NAVY;
constexpr double AXIS = 24.0;  // the vertical centre line of an icon

// The colour of a shaded surface point: light 0..1 and the across-the-surface
// position u 0 (left) .. 1 (right).
using Material = std::function<uint8_t(int x, int y, double light, double u)>;

uint8_t Shade(HueRamp ramp, double light, int lo, int hi) {
    return Ramp(ramp, StepFor(light, lo, hi, 0, 0, false));
}

struct ProfileKey {
    double y;
    double half;  // half width at that height
};

// A solid of revolution around the vertical line x = axis: each row is a
// slice of a cylinder whose half width follows the profile keys.
void Lathe(Canvas& c, double axis, std::initializer_list<ProfileKey> keys,
           const Material& material) {
    const std::vector<ProfileKey> k(keys);
    const int top = static_cast<int>(std::floor(k.front().y));
    const int bottom = static_cast<int>(std::ceil(k.back().y));
    for (int py = top; py < bottom; ++py) {
        const double sy = py + 0.5;
        double half = 0.0;
        for (size_t i = 0; i + 1 < k.size(); ++i) {
            if (sy >= k[i].y && sy <= k[i + 1].y) {
                const double span = k[i + 1].y - k[i].y;
                const double t = span > 0.0 ? (sy - k[i].y) / span : 0.0;
                half = k[i].half + (k[i + 1].half - k[i].half) * t;
                break;
            }
        }
        if (half <= 0.0) {
            continue;
        }
        const int from = static_cast<int>(std::ceil(axis - half - 0.5));
        const int to = static_cast<int>(std::ceil(axis + half - 0.5));
        for (int px = from; px < to; ++px) {
            const double u = (px + 0.5 - (axis - half)) / (2.0 * half);
            c.Set(px, py, material(px, py, CylinderLightAt(u), u));
        }
    }
}

// A thick segment from (x0, y0) to (x1, y1) with rounded ends, radius r0 at
// the start growing linearly to r1 at the end. The material gets t, the
// position along the segment (0..1), and s, the signed offset across it
// (-1..1, negative on the left of the direction of travel).
using StrokeMaterial = std::function<uint8_t(int x, int y, double t, double s)>;

void Stroke(Canvas& c, double x0, double y0, double x1, double y1, double r0, double r1,
            const StrokeMaterial& material) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    const double len = std::sqrt(len2);
    const double rmax = std::max(r0, r1);
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - rmax));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + rmax));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - rmax));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + rmax));
    for (int py = top; py <= bottom; ++py) {
        for (int px = left; px <= right; ++px) {
            const double qx = px + 0.5 - x0;
            const double qy = py + 0.5 - y0;
            const double t = std::clamp((qx * dx + qy * dy) / len2, 0.0, 1.0);
            const double ex = qx - t * dx;
            const double ey = qy - t * dy;
            const double r = r0 + (r1 - r0) * t;
            const double d2 = ex * ex + ey * ey;
            if (d2 <= r * r) {
                const double cross = (dx * qy - dy * qx) / len;
                c.Set(px, py, material(px, py, t, std::clamp(cross / r, -1.0, 1.0)));
            }
        }
    }
}

// Light across a stroke that runs from the lower left to the upper right:
// its upper-left side faces the light.
double StrokeLight(double s) {
    return CylinderLightAt((s + 1.0) / 2.0);
}

// A 3 x 5 pixel font for labels: digits and a few capitals.
void DrawSmallText(Canvas& c, int x, int y, std::string_view text, uint8_t colour, int scale) {
    struct Glyph {
        char ch;
        std::array<std::string_view, 5> rows;
    };
    static constexpr std::array<Glyph, 7> GLYPHS = {{
        {'2', {"XXX", "  X", "XXX", "X  ", "XXX"}},
        {'4', {"X X", "X X", "XXX", "  X", "  X"}},
        {'C', {" XX", "X  ", "X  ", "X  ", " XX"}},
        {'M', {"X X", "XXX", "XXX", "X X", "X X"}},
        {'I', {"XXX", " X ", " X ", " X ", "XXX"}},
        {'L', {"X  ", "X  ", "X  ", "X  ", "XXX"}},
        {'K', {"X X", "XX ", "X  ", "XX ", "X X"}},
    }};
    int cx = x;
    for (char ch : text) {
        for (const Glyph& g : GLYPHS) {
            if (g.ch != ch) {
                continue;
            }
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if (g.rows[static_cast<size_t>(row)][static_cast<size_t>(col)] == 'X') {
                        FillRect(c, cx + col * scale, y + row * scale, scale, scale, colour);
                    }
                }
            }
        }
        cx += 4 * scale;
    }
}

// Outline the drawn layer and put it on the blue window field with its shadow.
Canvas FinishIcon(const Canvas& layer) {
    Canvas art = layer;
    Outline(art, OUTLINE);
    Canvas icon(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_BLUE);
    Shadow(icon, art, 2, 2, DROP_SHADOW, C_BLUE);
    Stamp(icon, art, 0, 0);
    // The outermost ring stays the window's blue so icons sit flush in any frame.
    FrameRect(icon, 0, 0, ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_BLUE);
    return icon;
}

// Material helpers -----------------------------------------------------------

// Coloured glass: ramp shading with a bright reflection streak on the lit side.
Material Glass(HueRamp ramp, int lo, int hi) {
    return [=](int, int, double light, double u) {
        if (u > 0.16 && u < 0.27) {
            return Ramp(ramp, 11);
        }
        return Shade(ramp, light, lo, hi);
    };
}

// Bright metal: strong contrast and a white glint.
Material Metal(HueRamp ramp, int lo, int hi) {
    return [=](int, int, double light, double u) {
        if (u > 0.18 && u < 0.24) {
            return C_WHITE;
        }
        return Shade(ramp, light, lo, hi);
    };
}

// Ridged bottle cap.
Material Cap(HueRamp ramp) {
    return [=](int x, int, double light, double) {
        return Shade(ramp, light - (x % 2 == 0 ? 0.12 : 0.0), 2, 11);
    };
}

// Label: plain shading without the glass streak.
Material Plain(HueRamp ramp, int lo, int hi) {
    return [=](int, int, double light, double) { return Shade(ramp, light, lo, hi); };
}

// Shading of a flat label printed on a cylinder, for drawing on top of one.
uint8_t OnCylinder(HueRamp ramp, int x, double axis, double half, int lo, int hi) {
    const double u = (x + 0.5 - (axis - half)) / (2.0 * half);
    return Shade(ramp, CylinderLightAt(u), lo, hi);
}

// Lightning bolt, drawn inside the 9 x 14 box at (x, y).
void DrawBolt(Canvas& c, int x, int y, const Paint& paint) {
    FillPolygon(c,
                {{x + 5, y},
                 {x + 9, y},
                 {x + 6, y + 5},
                 {x + 9, y + 5},
                 {x + 2, y + 14},
                 {x + 4, y + 7},
                 {x + 1, y + 7}},
                paint);
}

// The icons ------------------------------------------------------------------

Canvas IconAgain() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // Clear glass bottle full of a glowing orange drink.
    Lathe(c, AXIS, {{12, 3.5}, {16, 3.5}, {21, 9}, {23, 10}, {42, 10}, {44, 9}},
          Glass(R_ORANGE, 3, 10));
    Lathe(c, AXIS, {{10, 3.5}, {16, 3.5}}, Glass(R_AZURE, 7, 11));  // empty neck
    Lathe(c, AXIS, {{4, 5}, {11, 5}}, Cap(R_GOLD));
    Line(c, 19, 11, 28, 11, Ramp(R_GOLD, 3));
    // Red label with gold edges and the lightning bolt.
    Lathe(c, AXIS, {{24, 10}, {39, 10}}, [](int, int py, double light, double) {
        if (py == 24 || py == 38) {
            return Shade(R_GOLD, light, 4, 11);
        }
        return Shade(R_RED, light, 2, 8);
    });
    DrawBolt(c, 20, 25, [](int px, int) { return OnCylinder(R_GOLD, px, AXIS, 10, 6, 11); });
    Line(c, 21, 27, 24, 25, C_WHITE);
    return FinishIcon(c);
}

Canvas IconAgain24() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A tall can: aluminium top and bottom, a red band with a big "24".
    Lathe(c, AXIS, {{7, 13}, {44, 13}}, Metal(R_STEEL, 3, 11));
    Lathe(c, AXIS, {{12, 13}, {39, 13}}, [](int, int py, double light, double) {
        if (py == 12 || py == 38) {
            return Shade(R_GOLD, light, 4, 11);
        }
        return Shade(R_RED, light, 1, 8);
    });
    // Lid seen from slightly above, with the tab.
    FillEllipse(c, 11, 3, 26, 8, [](int px, int py) {
        return Ramp(R_STEEL,
                    StepFor(1.0 - (py - 3) / 10.0 - (px - 11) / 60.0, 5, 11, px, py, false));
    });
    EllipseRing(c, 11, 3, 26, 8, 1, Ramp(R_STEEL, 6));
    FillRoundRect(c, 20, 5, 7, 3, 1, Ramp(R_STEEL, 4));
    FillRect(c, 22, 6, 3, 1, Ramp(R_STEEL, 2));
    FillEllipse(c, 11, 41, 26, 5,
                [](int px, int) { return OnCylinder(R_STEEL, px, AXIS, 13, 2, 8); });
    // "24" with a navy drop shadow, and a small bolt.
    DrawSmallText(c, 14, 17, "24", Ramp(R_RED, 0), 3);
    DrawSmallText(c, 13, 16, "24", C_WHITE, 3);
    DrawBolt(c, 33, 15, Ramp(R_GOLD, 10));
    return FinishIcon(c);
}

Canvas IconDrug() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A round tablet behind, with its score line.
    FillEllipse(c, 24, 27, 18, 14, [](int px, int py) {
        const double light = SphereLight(px, py, 33.0, 32.0, 10.0);
        return Ramp(R_BEIGE, StepFor(std::max(light, 0.3), 4, 11, px, py, false));
    });
    Line(c, 28, 30, 38, 36, Ramp(R_BEIGE, 5));
    // A two-colour capsule lying diagonally.
    Stroke(c, 9.0, 35.0, 33.0, 11.0, 7.0, 7.0, [](int, int, double t, double s) {
        const double light = StrokeLight(s);
        if (s < -0.55 && s > -0.8 && t > 0.1 && t < 0.9) {
            return C_WHITE;
        }
        if (t >= 0.5 && t < 0.535) {
            return Shade(R_BEIGE, light, 1, 6);  // the seam where the halves meet
        }
        return t < 0.5 ? Shade(R_RED, light, 1, 9) : Shade(R_BEIGE, light, 3, 11);
    });
    return FinishIcon(c);
}

Canvas IconHeavyDrug() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // Two dark pills below.
    FillEllipse(c, 4, 34, 11, 9, SphereShader(R_PURPLE, 9.5, 38.5, 5.5, 0, 7, false));
    FillEllipse(c, 13, 37, 11, 9, SphereShader(R_PURPLE, 18.5, 41.5, 5.5, 0, 7, false));
    c.Set(7, 36, Ramp(R_PURPLE, 10));
    c.Set(16, 39, Ramp(R_PURPLE, 10));
    // A syringe from lower left (plunger) to upper right (needle).
    Stroke(c, 38.0, 10.0, 44.0, 4.0, 0.7, 0.5,
           [](int, int, double, double) { return Ramp(R_STEEL, 9); });
    Stroke(c, 33.0, 15.0, 38.0, 10.0, 2.2, 1.4,
           [](int, int, double, double s) { return Shade(R_STEEL, StrokeLight(s), 4, 10); });
    // Glass barrel with a sickly green dose.
    Stroke(c, 15.0, 33.0, 34.0, 14.0, 5.5, 5.5, [](int, int, double t, double s) {
        const double light = StrokeLight(s);
        if (s < -0.45 && s > -0.75) {
            return C_WHITE;
        }
        if (t > 0.35) {
            return Shade(R_OLIVE, light, 3, 10);
        }
        return Shade(R_STEEL, light, 6, 11);
    });
    // Scale marks on the barrel.
    for (int i = 0; i < 4; ++i) {
        const int mx = 22 + i * 3;
        Line(c, mx, 28 - i * 3, mx + 1, 27 - i * 3, Ramp(R_STEEL, 3));
    }
    // Finger flange and plunger.
    Stroke(c, 10.0, 31.0, 17.0, 38.0, 1.6, 1.6,
           [](int, int, double, double s) { return Shade(R_STEEL, StrokeLight(s), 4, 10); });
    Stroke(c, 6.0, 42.0, 15.0, 33.0, 1.3, 1.3,
           [](int, int, double, double s) { return Shade(R_STEEL, StrokeLight(s), 5, 11); });
    Stroke(c, 3.0, 41.0, 8.0, 46.0, 1.6, 1.6,
           [](int, int, double, double) { return Ramp(R_STEEL, 5); });
    // A drop at the needle's tip.
    FillEllipse(c, 43, 1, 3, 4, Ramp(R_OLIVE, 9));
    return FinishIcon(c);
}

// A medicine-style tonic bottle: round shoulders, long neck, paper label.
Canvas TonicBottle(HueRamp glass, HueRamp labelRamp, HueRamp bandRamp, HueRamp capRamp) {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    Lathe(c, AXIS, {{9, 4}, {15, 4}, {19, 7}, {22, 10.5}, {25, 11.5}, {43, 11.5}, {45, 10}},
          Glass(glass, 1, 8));
    Lathe(c, AXIS, {{3, 5}, {10, 5}}, Cap(capRamp));
    Line(c, 19, 10, 28, 10, Ramp(capRamp, 2));
    Lathe(c, AXIS, {{26, 11.5}, {40, 11.5}}, [=](int, int py, double light, double) {
        if (py >= 29 && py <= 31) {
            return Shade(bandRamp, light, 2, 9);
        }
        return Shade(labelRamp, light, 4, 11);
    });
    // Emblem: a gold star on a coloured disc.
    FillEllipse(c, 18, 31, 12, 9, Ramp(bandRamp, 5));
    DrawPattern(c, 20, 32, {"...XX...", "..XXXX..", "XXXWXXXX", ".XXXXXX.", "..XXXX..", ".XX..XX."},
                {{'X', Ramp(R_GOLD, 9)}, {'W', C_WHITE}});
    return c;
}

Canvas IconYonkel() {
    Canvas c = TonicBottle(R_CARAMEL, R_BEIGE, R_RED, R_GOLD);
    return FinishIcon(c);
}

Canvas IconYankel() {
    Canvas c = TonicBottle(R_FOREST, R_TIN, R_AZURE, R_STEEL);
    return FinishIcon(c);
}

Canvas IconOligominC() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A short, stout brown bottle with a bright label and a big "C".
    Lathe(c, AXIS, {{11, 5}, {15, 5}, {20, 11}, {22, 12.5}, {43, 12.5}, {45, 11}},
          Glass(R_BROWN, 1, 7));
    Lathe(c, AXIS, {{5, 6}, {12, 6}}, [](int px, int py, double light, double u) {
        if (py == 5) {
            return Shade(R_STEEL, light, 6, 11);
        }
        return Metal(R_GOLD, 3, 11)(px, py, light - (px % 2 == 0 ? 0.1 : 0.0), u);
    });
    Lathe(c, AXIS, {{24, 12.5}, {40, 12.5}}, [](int, int py, double light, double) {
        if (py <= 26) {
            return Shade(R_ORANGE, light, 3, 9);
        }
        return Shade(R_GOLD, light, 5, 11);
    });
    // The "C" inside a white disc.
    FillEllipse(c, 17, 27, 13, 12,
                [](int px, int) { return OnCylinder(R_BEIGE, px, AXIS, 12.5, 7, 11); });
    DrawSmallText(c, 19, 28, "C", Ramp(R_ORANGE, 5), 2);
    Line(c, 14, 40, 33, 40, Ramp(R_ORANGE, 5));
    return FinishIcon(c);
}

Canvas IconNinjaFood() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // Rice ball: a rounded triangle of rice, the grains scattered in a fixed pattern.
    Canvas rice(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    const Point a{20, 15};
    const Point b{32, 34};
    const Point d{8, 34};
    FillPolygon(rice, {a, b, d}, C_WHITE);
    for (const auto& [p, q] : {std::pair{a, b}, std::pair{b, d}, std::pair{d, a}}) {
        Stroke(rice, p.x, p.y, q.x, q.y, 7.0, 7.0,
               [](int, int, double, double) { return C_WHITE; });
    }
    for (int py = 0; py < ITEM_ICON_SIZE; ++py) {
        for (int px = 0; px < ITEM_ICON_SIZE; ++px) {
            if (rice.At(px, py) == C_TRANSPARENT) {
                continue;
            }
            const double light = std::max(SphereLight(px, py, 21.0, 27.0, 22.0), 0.35);
            int step = StepFor(light, 4, 12, px, py, false);
            if (((px * 7 + py * 13) % 23 == 0) || ((px * 5 + py * 11) % 29 == 0)) {
                step -= 3;
            }
            rice.Set(px, py, step >= 12 ? C_WHITE : Ramp(R_BEIGE, step));
        }
    }
    // Nori wrapped around the bottom, clipped to the rice.
    for (int py = 26; py < ITEM_ICON_SIZE; ++py) {
        for (int px = 13; px < 28; ++px) {
            if (rice.At(px, py) != C_TRANSPARENT) {
                const double light = 1.0 - (px - 13) / 18.0 - (py - 26) / 40.0;
                rice.Set(px, py, Ramp(R_FOREST, StepFor(light, 0, 4, px, py, true)));
            }
        }
    }
    Line(rice, 14, 26, 20, 26, Ramp(R_FOREST, 5));
    Stamp(c, rice, 0, 0);
    // Shuriken at the upper right.
    const double cx = 36.0;
    const double cy = 13.0;
    FillPolygon(c, {{36, 2}, {39, 10}, {47, 13}, {39, 16}, {36, 24}, {33, 16}, {25, 13}, {33, 10}},
                [&](int px, int py) {
                    // Each blade is a bevel: its lit half faces the top left.
                    const double dx = px + 0.5 - cx;
                    const double dy = py + 0.5 - cy;
                    const bool lit = (std::abs(dx) > std::abs(dy)) ? (dy < 0) : (dx < 0);
                    return Ramp(R_STEEL, lit ? 10 : 5);
                });
    FillEllipse(c, 34, 11, 4, 4, Ramp(R_STEEL, 2));
    FillRect(c, 35, 12, 2, 2, OUTLINE);
    c.Set(30, 12, C_WHITE);
    c.Set(35, 6, C_WHITE);
    return FinishIcon(c);
}

Canvas IconEarthElement() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // Rock base.
    FillPolygon(c, {{4, 40}, {9, 31}, {19, 28}, {31, 29}, {41, 32}, {45, 41}, {38, 45}, {10, 45}},
                [](int px, int py) {
                    const double light = 1.0 - (py - 28) / 20.0 - (px - 4) / 80.0;
                    return Ramp(R_BROWN, StepFor(light, 1, 8, px, py, true));
                });
    // Crystals: hexagonal prisms with a lit left face, dark right face, bright tip.
    struct Crystal {
        int x;
        int top;
        int bottom;
        int half;
    };
    for (const Crystal& k :
         {Crystal{14, 14, 36, 4}, Crystal{33, 17, 37, 4}, Crystal{24, 3, 37, 6}}) {
        const int tipY = k.top + k.half + 1;
        FillPolygon(c,
                    {{k.x - k.half, tipY}, {k.x, k.top}, {k.x, k.bottom}, {k.x - k.half, k.bottom}},
                    [&](int, int py) { return Ramp(R_GREEN, py < tipY ? 10 : 8); });
        FillPolygon(c,
                    {{k.x, k.top}, {k.x + k.half, tipY}, {k.x + k.half, k.bottom}, {k.x, k.bottom}},
                    [&](int, int py) { return Ramp(R_GREEN, py < tipY ? 6 : 4); });
        Line(c, k.x - k.half / 2, tipY + 1, k.x - k.half / 2, k.bottom - 2, Ramp(R_GREEN, 11));
        Line(c, k.x, k.top, k.x, k.bottom, Ramp(R_GREEN, 7));
    }
    // Pebbles and a glint.
    FillEllipse(c, 6, 38, 5, 4, SphereShader(R_OLIVE, 8.5, 40.0, 2.5, 2, 8, false));
    FillEllipse(c, 37, 38, 6, 4, SphereShader(R_BROWN, 40.0, 40.0, 3.0, 3, 9, false));
    c.Set(20, 8, C_WHITE);
    c.Set(21, 7, C_WHITE);
    return FinishIcon(c);
}

Canvas IconWaterElement() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A drop: a sphere with a pointed top.
    const double cx = 24.0;
    const double cy = 29.0;
    const double r = 14.0;
    Paint water = [=](int px, int py) {
        const double light = SphereLight(px, py, cx, cy - 2.0, r + 3.0);
        return Ramp(R_AZURE, StepFor(std::max(light, 0.0), 2, 10, px, py, true));
    };
    FillEllipse(c, 10, 15, 28, 28, water);
    FillPolygon(c, {{24, 2}, {36, 21}, {12, 21}}, water);
    // Reflections: a curved streak on the upper left, a spot at the lower right.
    Stroke(c, 16.0, 31.0, 20.0, 17.0, 1.6, 1.1,
           [](int, int, double, double) { return Ramp(R_AZURE, 11); });
    FillEllipse(c, 16, 33, 3, 3, C_WHITE);
    Stroke(c, 27.0, 38.0, 32.0, 33.0, 1.0, 1.0,
           [](int, int, double, double) { return Ramp(R_AZURE, 8); });
    FillEllipse(c, 15, 19, 3, 5, C_WHITE);
    return FinishIcon(c);
}

Canvas IconFireElement() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // Nested tongues of flame, from the red outside to the white-hot core. Each
    // tongue is a chain of tapering strokes that bends towards its tip.
    struct Tongue {
        std::array<double, 6> points;  // base x, y; bend x, y; tip x, y
        double base;                   // radius at the base
    };
    constexpr std::array<Tongue, 3> TONGUES = {{
        {{24.0, 32.0, 26.5, 18.0, 21.5, 3.0}, 13.0},
        {{17.0, 31.0, 11.5, 20.0, 13.5, 9.0}, 7.0},
        {{31.0, 31.0, 36.5, 22.0, 34.5, 12.0}, 7.0},
    }};
    // Each layer is a little deeper in colour on its right, away from the light.
    const std::array<std::pair<uint8_t, uint8_t>, 4> layers = {
        {{Ramp(R_RED, 6), Ramp(R_RED, 5)},
         {Ramp(R_ORANGE, 7), Ramp(R_ORANGE, 6)},
         {Ramp(R_GOLD, 10), Ramp(R_GOLD, 9)},
         {C_WHITE, Ramp(R_GOLD, 11)}}};
    for (size_t l = 0; l < layers.size(); ++l) {
        const double inset = 3.2 * static_cast<double>(l);
        const auto [upper, lower] = layers[l];
        const StrokeMaterial fill = [upper, lower](int px, int py, double, double) {
            return 4 * px + py + (Bayer4(px, py) >> 1) < 4 * 27 + 34 ? upper : lower;
        };
        for (size_t t = 0; t < TONGUES.size(); ++t) {
            const Tongue& g = TONGUES[t];
            if (t > 0 && l >= 2) {
                continue;  // the side tongues have no hot core
            }
            const double base = g.base - inset;
            const double lift = inset * 1.9;
            const double bx = g.points[0];
            const double by = g.points[1] + inset * 0.35;
            const double mx = g.points[2] + (bx - g.points[2]) * 0.2 * static_cast<double>(l);
            const double my = g.points[3] + lift;
            const double tx = g.points[4] + (bx - g.points[4]) * 0.25 * static_cast<double>(l);
            const double ty = g.points[5] + lift;
            Stroke(c, bx, by, mx, my, base, base * 0.55, fill);
            Stroke(c, mx, my, tx, ty, base * 0.55, 0.5, fill);
        }
    }
    // A darker red along the lower right rim for depth.
    for (int py = 0; py < ITEM_ICON_SIZE; ++py) {
        for (int px = ITEM_ICON_SIZE - 1; px > 0; --px) {
            if (c.At(px, py) != C_TRANSPARENT) {
                if (c.At(px, py) == Ramp(R_RED, 6)) {
                    c.Set(px, py, Ramp(R_RED, 4));
                }
                break;
            }
        }
    }
    return FinishIcon(c);
}

Canvas IconWindElement() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A spiral gust: points along an Archimedean spiral, turned step by step with
    // a fixed rotation (cos, sin of 1/128 turn), thickest on the outside.
    constexpr double COS_STEP = 0.99879545620517241;
    constexpr double SIN_STEP = 0.049067674327418015;
    constexpr int STEPS = 300;
    double dirX = 1.0;
    double dirY = 0.0;
    const double cx = 26.0;
    const double cy = 22.0;
    std::vector<std::array<double, 3>> path;
    for (int i = 0; i < STEPS; ++i) {
        const double t = static_cast<double>(i) / STEPS;
        const double radius = 2.0 + 16.0 * t;
        path.push_back({cx + dirX * radius, cy + dirY * radius, 1.0 + 2.6 * t});
        const double nx = dirX * COS_STEP + dirY * SIN_STEP;
        const double ny = dirY * COS_STEP - dirX * SIN_STEP;
        dirX = nx;
        dirY = ny;
    }
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const auto& a = path[i];
        const auto& b = path[i + 1];
        const double t = static_cast<double>(i) / path.size();
        Stroke(c, a[0], a[1], b[0], b[1], a[2], b[2], [=](int, int, double, double) {
            // Darker and thinner towards the eye of the swirl, pale at its outer end.
            const int step = 4 + static_cast<int>(t * 8.0);
            return step >= 11 ? Ramp(R_GREEN, 11) : Ramp(R_GREEN, step);
        });
    }
    // A white gleam along the outer rim of the spiral's last turn.
    for (size_t i = path.size() * 3 / 5; i < path.size(); ++i) {
        const auto& p = path[i];
        const double dx = p[0] - cx;
        const double dy = p[1] - cy;
        const double k = 1.0 + 0.45 * p[2] / std::sqrt(dx * dx + dy * dy);
        c.Set(static_cast<int>(cx + dx * k), static_cast<int>(cy + dy * k),
              (i % 9 < 6) ? C_WHITE : Ramp(R_GREEN, 11));
    }
    // Gust lines trailing off the spiral to the lower left.
    for (const auto& [x0, y0, x1, len] :
         std::array<std::array<int, 4>, 3>{{{4, 36, 24, 0}, {8, 41, 30, 1}, {2, 30, 14, 2}}}) {
        Stroke(c, x0, y0, x1, y0 - len, 1.2, 1.6,
               [](int, int, double t, double) { return t > 0.5 ? C_WHITE : Ramp(R_GREEN, 9); });
    }
    // Two leaves carried along.
    Stroke(c, 38.0, 38.0, 44.0, 34.0, 1.2, 2.4,
           [](int, int, double, double s) { return Shade(R_GREEN, StrokeLight(s), 4, 9); });
    Stroke(c, 6.0, 10.0, 10.0, 6.0, 1.0, 2.0,
           [](int, int, double, double s) { return Shade(R_OLIVE, StrokeLight(s), 5, 10); });
    return FinishIcon(c);
}

Canvas IconMoreSlender() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A tall slim bottle with a waist, pink drink, silver cap and a white ribbon.
    Lathe(c, AXIS, {{9, 3}, {13, 3}, {17, 7}, {22, 8}, {29, 6}, {37, 8.5}, {43, 8}, {45, 7}},
          Glass(R_PINK, 2, 10));
    Lathe(c, AXIS, {{2, 3.5}, {10, 3.5}}, Metal(R_STEEL, 4, 11));
    Lathe(c, AXIS, {{25, 7}, {30, 6}, {33, 7}}, [](int, int py, double light, double) {
        return py == 28 ? Shade(R_PURPLE, light, 6, 11) : Shade(R_PINK, light, 8, 11);
    });
    // A sparkle on the shoulder.
    DrawPattern(c, 27, 16, {".X.", "XWX", ".X."}, {{'X', Ramp(R_PINK, 10)}, {'W', C_WHITE}});
    DrawPattern(c, 14, 36, {".X.", "XWX", ".X."}, {{'X', Ramp(R_PINK, 11)}, {'W', C_WHITE}});
    // A heart on the lower body.
    DrawPattern(c, 21, 35, {".XX.XX.", "XXXXXXX", ".XXXXX.", "..XXX..", "...X..."},
                {{'X', Ramp(R_PURPLE, 5)}});
    c.Set(22, 35, Ramp(R_PINK, 11));
    return FinishIcon(c);
}

Canvas IconArsenicMilk() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A squat tin: silver body, cream label with a blue band, a lid on top.
    Lathe(c, AXIS, {{10, 17}, {44, 17}}, Metal(R_TIN, 3, 11));
    Lathe(c, AXIS, {{14, 17}, {40, 17}}, [](int, int py, double light, double) {
        if (py >= 32 && py <= 35) {
            return Shade(R_AZURE, light, 3, 9);
        }
        return Shade(R_BEIGE, light, 5, 11);
    });
    FillEllipse(c, 7, 5, 34, 11, [](int px, int py) {
        return Ramp(R_TIN, StepFor(1.0 - (py - 5) / 14.0 - (px - 7) / 80.0, 5, 11, px, py, false));
    });
    EllipseRing(c, 7, 5, 34, 11, 1, Ramp(R_TIN, 5));
    EllipseRing(c, 11, 7, 26, 7, 1, Ramp(R_TIN, 7));
    FillEllipse(c, 7, 41, 34, 5, [](int px, int) { return OnCylinder(R_TIN, px, AXIS, 17, 2, 8); });
    // Drips of milk on the band.
    for (int i = 0; i < 5; ++i) {
        const int dx = 10 + i * 7;
        FillRect(c, dx, 32, 3, 2 + (i % 2) * 2, Ramp(R_BEIGE, 11));
    }
    DrawSmallText(c, 13, 36, "MILK", Ramp(R_AZURE, 3), 1);
    // Skull mark: the milk is not what it seems.
    DrawPattern(c, 27, 17,
                {"..XXXXX..", ".XXXXXXX.", "XXXXXXXXX", "XX..X..XX", "XX..X..XX", "XXXXXXXXX",
                 ".XXX.XXX.", "..XXXXX..", "..X.X.X.."},
                {{'X', Ramp(R_TIN, 1)}});
    DrawPattern(c, 12, 20, {"XXX", "X.X", "XXX"}, {{'X', Ramp(R_AZURE, 5)}});
    return FinishIcon(c);
}

Canvas IconCyanideCaramel() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // A box in three-quarter view: red front, lighter top, darker side.
    FillPolygon(c, {{3, 13}, {33, 13}, {33, 44}, {3, 44}}, [](int px, int py) {
        return Ramp(R_RED, StepFor(1.0 - (py - 13) / 40.0 - (px - 3) / 90.0, 4, 8, px, py, false));
    });
    FillPolygon(c, {{3, 13}, {12, 5}, {42, 5}, {33, 13}}, Ramp(R_RED, 9));
    FillPolygon(c, {{33, 13}, {42, 5}, {42, 36}, {33, 44}}, Ramp(R_RED, 3));
    Line(c, 12, 5, 42, 5, Ramp(R_RED, 11));
    Line(c, 3, 13, 33, 13, Ramp(R_RED, 11));
    // Gold stripes on the side.
    Line(c, 34, 19, 41, 12, Ramp(R_GOLD, 6));
    Line(c, 34, 37, 41, 30, Ramp(R_GOLD, 6));
    // The front panel: a white field with the runner raising both arms.
    FillRect(c, 7, 17, 23, 23, Ramp(R_BEIGE, 11));
    FrameRect(c, 7, 17, 23, 23, Ramp(R_GOLD, 7));
    DrawPattern(c, 10, 19,
                {
                    "..X...........X..",
                    "..XX...sss...XX..",
                    "...XX.sssss.XX...",
                    "....XXsssssXX....",
                    ".....XXsssXX.....",
                    "......WWWWW......",
                    "......WWRWW......",
                    "......WWWWW......",
                    "......WWWWW......",
                    "......nnnnn......",
                    ".....ss...ss.....",
                    ".....ss....ss....",
                    "....ss......ss...",
                    "....ss.......s...",
                    "...kk.......kk...",
                },
                {{'X', Ramp(R_SKIN, 6)},
                 {'s', Ramp(R_SKIN, 7)},
                 {'W', C_WHITE},
                 {'R', C_RED},
                 {'n', Ramp(R_NAVY, 4)},
                 {'k', Ramp(R_BROWN, 2)}});
    // Shirt shading and a black head of hair.
    Line(c, 16, 24, 20, 24, Ramp(R_STEEL, 9));
    DrawPattern(c, 16, 20, {"XXX", "X.X"}, {{'X', Ramp(R_BROWN, 1)}});
    // Two caramels in front.
    FillRoundRect(c, 29, 38, 9, 8, 1, SphereShader(R_CARAMEL, 31.0, 40.0, 10.0, 3, 10, false));
    FillRoundRect(c, 37, 40, 9, 7, 1, SphereShader(R_CARAMEL, 39.0, 41.0, 10.0, 3, 10, false));
    c.Set(31, 39, C_WHITE);
    c.Set(39, 41, C_WHITE);
    return FinishIcon(c);
}

Canvas IconPesticideCola() {
    Canvas c(ITEM_ICON_SIZE, ITEM_ICON_SIZE, C_TRANSPARENT);
    // The contour bottle: bulge, waist, bulge; dark cola behind green-tinted glass.
    Lathe(
        c, AXIS,
        {{9, 3.5}, {14, 3.5}, {19, 7}, {24, 9}, {28, 7.5}, {32, 7.5}, {37, 9.5}, {43, 9}, {45, 8}},
        Glass(R_COLA, 0, 6));
    Lathe(c, AXIS, {{8, 3.5}, {14, 3.5}}, Glass(R_TEAL, 6, 11));
    Lathe(c, AXIS, {{3, 4.5}, {9, 4.5}}, Cap(R_RED));
    // Vertical flutes on the glass.
    for (int px = 18; px <= 30; px += 3) {
        Line(c, px, 33, px, 42, Ramp(R_COLA, 1));
        Line(c, px, 20, px, 24, Ramp(R_COLA, 1));
    }
    // Red label with a white wave.
    Lathe(c, AXIS, {{26, 8}, {28, 7.5}, {32, 7.5}, {34, 8}}, Plain(R_RED, 3, 9));
    for (int px = 16; px <= 32; ++px) {
        c.Set(px, 30 + ((px / 3) % 2 == 0 ? 0 : -1), C_WHITE);
    }
    // Hazard triangle: yellow with a black exclamation mark.
    FillPolygon(c, {{37, 12}, {46, 28}, {28, 28}}, Ramp(R_GOLD, 9));
    FillPolygon(c, {{37, 15}, {43, 26}, {31, 26}}, C_YELLOW);
    FillRect(c, 36, 18, 2, 5, Grey(0));
    FillRect(c, 36, 24, 2, 1, Grey(0));
    return FinishIcon(c);
}

struct ItemIcon {
    const char* name;
    Canvas (*draw)();
};

constexpr std::array<ItemIcon, ITEM_ICON_COUNT> ICONS = {{
    {"again", IconAgain},
    {"again24", IconAgain24},
    {"drug", IconDrug},
    {"heavy_drug", IconHeavyDrug},
    {"yonkel", IconYonkel},
    {"yankel", IconYankel},
    {"oligomin_c", IconOligominC},
    {"ninja_food", IconNinjaFood},
    {"earth_element", IconEarthElement},
    {"water_element", IconWaterElement},
    {"fire_element", IconFireElement},
    {"wind_element", IconWindElement},
    {"more_slender", IconMoreSlender},
    {"arsenic_milk", IconArsenicMilk},
    {"cyanide_caramel", IconCyanideCaramel},
    {"pesticide_cola", IconPesticideCola},
}};

}  // namespace

Canvas DrawItemIcon(int item) {
    return ICONS.at(static_cast<size_t>(item)).draw();
}

const char* ItemIconName(int item) {
    return ICONS.at(static_cast<size_t>(item)).name;
}
