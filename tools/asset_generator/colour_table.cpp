#include "tools/asset_generator/colour_table.h"

#include "platform/palette.h"

namespace {

// A hue ramp is given by three anchors: its darkest shade, the pure colour at
// step 6 and its lightest shade. The shades in between are interpolated with
// integer arithmetic so the table is the same on every build. The dark ends
// lean towards cool tones and the light ends towards warm ones, the usual
// hue shift of hand-made pixel-art ramps.
struct RampAnchors {
    Rgb dark;
    Rgb mid;
    Rgb light;
};

constexpr std::array<RampAnchors, HUE_RAMP_COUNT> RAMP_ANCHORS = {{
    {{52, 24, 30}, {206, 136, 98}, {255, 232, 206}},   // skin
    {{30, 16, 14}, {134, 78, 38}, {232, 196, 146}},    // brown
    {{48, 30, 8}, {214, 164, 22}, {255, 248, 186}},    // gold
    {{58, 16, 8}, {242, 124, 22}, {255, 226, 168}},    // orange
    {{38, 4, 14}, {212, 32, 34}, {255, 194, 182}},     // red
    {{46, 6, 36}, {222, 62, 150}, {255, 214, 236}},    // pink
    {{26, 10, 50}, {132, 62, 182}, {232, 212, 254}},   // purple
    {{4, 6, 30}, {30, 52, 152}, {172, 192, 254}},      // navy
    {{6, 24, 58}, {42, 132, 222}, {212, 242, 254}},    // azure
    {{4, 34, 40}, {22, 162, 160}, {202, 254, 244}},    // teal
    {{6, 30, 12}, {42, 162, 52}, {212, 254, 190}},     // green
    {{26, 36, 6}, {142, 172, 32}, {242, 254, 182}},    // olive
    {{8, 20, 18}, {42, 92, 62}, {172, 212, 182}},      // forest
    {{16, 20, 32}, {102, 116, 142}, {226, 236, 246}},  // steel
    {{26, 22, 22}, {132, 122, 112}, {242, 236, 226}},  // tin
    {{82, 60, 42}, {212, 190, 152}, {254, 250, 234}},  // beige
    {{46, 20, 6}, {192, 112, 42}, {254, 216, 152}},    // caramel
    {{16, 4, 6}, {92, 30, 22}, {202, 142, 122}},       // cola
}};

constexpr int MID_STEP = 6;

uint8_t Mix(uint8_t from, uint8_t to, int t, int n) {
    return static_cast<uint8_t>((from * (n - t) + to * t + n / 2) / n);
}

Rgb MixRgb(const Rgb& from, const Rgb& to, int t, int n) {
    return {Mix(from.r, to.r, t, n), Mix(from.g, to.g, t, n), Mix(from.b, to.b, t, n)};
}

std::array<Rgb, 256> BuildTable() {
    std::array<Rgb, 256> table{};
    // The static colours where a 256-colour display reserves them.
    for (int i = 0; i < platform::STATIC_COLOUR_COUNT; ++i) {
        const platform::PaletteEntry& e = platform::STATIC_COLOURS[i];
        table[i < 10 ? i : 236 + i] = {e.peRed, e.peGreen, e.peBlue};
    }
    // Greys evenly spaced strictly between black and white; none of them
    // lands on the static greys 128 and 192.
    for (int i = 0; i < GREY_STEPS; ++i) {
        const auto v =
            static_cast<uint8_t>(((i + 1) * 255 + (GREY_STEPS + 1) / 2) / (GREY_STEPS + 1));
        table[GREY_RAMP + i] = {v, v, v};
    }
    for (int r = 0; r < HUE_RAMP_COUNT; ++r) {
        const RampAnchors& a = RAMP_ANCHORS[r];
        for (int s = 0; s < RAMP_STEPS; ++s) {
            const Rgb c = s <= MID_STEP
                              ? MixRgb(a.dark, a.mid, s, MID_STEP)
                              : MixRgb(a.mid, a.light, s - MID_STEP, RAMP_STEPS - 1 - MID_STEP);
            table[Ramp(static_cast<HueRamp>(r), s)] = c;
        }
    }
    return table;
}

}  // namespace

const std::array<Rgb, 256>& ColourTable() {
    static const std::array<Rgb, 256> table = BuildTable();
    return table;
}
