// The user-interface bitmaps: the overlay frame with its side panel, the
// message and list windows, the list cursor, the wait indicator and the digits.
//
// All windows share one look: a blue field inside a four-pixel silver frame
// (dark edge, raised grey bevel lit from the upper left, a white inner line).
// The program writes text and pictures into the fields, so they stay plain.
#include <array>
#include <string_view>

#include "tools/asset_generator/art_parts.h"

namespace {

constexpr int FRAME = 4;  // thickness of the window frame

// Four rings from the outside in: dark edge; white (top, left) or silver
// (bottom, right); silver or grey; the white inner line.
void DrawWindowFrame(Canvas& c, int x, int y, int w, int h) {
    FillRect(c, x, y, w, h, C_BLUE);
    FrameRect(c, x, y, w, h, C_GREY);
    FrameRect(c, x + 1, y + 1, w - 2, h - 2, C_SILVER);
    Line(c, x + 1, y + 1, x + w - 3, y + 1, C_WHITE);
    Line(c, x + 1, y + 1, x + 1, y + h - 3, C_WHITE);
    FrameRect(c, x + 2, y + 2, w - 4, h - 4, C_GREY);
    Line(c, x + 2, y + 2, x + w - 4, y + 2, C_SILVER);
    Line(c, x + 2, y + 2, x + 2, y + h - 4, C_SILVER);
    FrameRect(c, x + 3, y + 3, w - 6, h - 6, C_WHITE);
    // Rounded outer corners.
    for (const auto& [cx, cy] : std::array<std::pair<int, int>, 4>{
             {{x, y}, {x + w - 1, y}, {x, y + h - 1}, {x + w - 1, y + h - 1}}}) {
        c.Set(cx, cy, C_NAVY);
    }
}

// A sunken rectangle: grey top and left edges, white bottom and right edges.
void DrawSunkenBox(Canvas& c, int x, int y, int w, int h, uint8_t fill) {
    FillRect(c, x, y, w, h, fill);
    Line(c, x, y, x + w - 1, y, C_GREY);
    Line(c, x, y, x, y + h - 1, C_GREY);
    Line(c, x + 1, y + h - 1, x + w - 1, y + h - 1, C_WHITE);
    Line(c, x + w - 1, y + 1, x + w - 1, y + h - 1, C_WHITE);
}

// A raised rectangle: white top and left edges, grey bottom and right edges.
void DrawRaisedBox(Canvas& c, int x, int y, int w, int h, const Paint& fill) {
    FillRect(c, x, y, w, h, fill);
    Line(c, x, y, x + w - 1, y, C_WHITE);
    Line(c, x, y, x, y + h - 1, C_WHITE);
    Line(c, x + 1, y + h - 1, x + w - 1, y + h - 1, C_GREY);
    Line(c, x + w - 1, y + 1, x + w - 1, y + h - 1, C_GREY);
}

void DrawRivet(Canvas& c, int x, int y) {
    DrawPattern(c, x, y, {".ab.", "abbc", "bbcd", ".cd."},
                {{'a', C_WHITE}, {'b', C_SILVER}, {'c', C_MEDIUM_GREY}, {'d', C_GREY}});
}

// 5x7 capitals of the title, drawn at twice their size.
void DrawTitle(Canvas& c, int x, int y) {
    static constexpr std::array<std::array<std::string_view, 7>, 6> LETTERS = {{
        {"X   X", "X  X ", "X X  ", "XX   ", "X X  ", "X  X ", "X   X"},  // K
        {" XXX ", "X   X", "X   X", "XXXXX", "X   X", "X   X", "X   X"},  // A
        {"XXXX ", "X   X", "X   X", "XXXX ", "X X  ", "X  X ", "X   X"},  // R
        {"XXX", " X ", " X ", " X ", " X ", " X ", "XXX"},                // I
        {"XXXX ", "X   X", "X   X", "X   X", "X   X", "X   X", "XXXX "},  // D
        {" XXX ", "X   X", "X   X", "X   X", "X   X", "X   X", " XXX "},  // O
    }};
    // Shadow first, then the letters shaded from white at the top to pale azure below.
    for (int pass = 0; pass < 2; ++pass) {
        int lx = x;
        for (const auto& letter : LETTERS) {
            for (int row = 0; row < 7; ++row) {
                for (size_t col = 0; col < letter[static_cast<size_t>(row)].size(); ++col) {
                    if (letter[static_cast<size_t>(row)][col] != 'X') {
                        continue;
                    }
                    const int px = lx + static_cast<int>(col) * 2;
                    const int py = y + row * 2;
                    if (pass == 0) {
                        FillRect(c, px + 1, py + 1, 2, 2, Ramp(R_NAVY, 1));
                    } else {
                        const uint8_t top = row < 3 ? C_WHITE : Ramp(R_AZURE, 11 - (row - 3));
                        const uint8_t bottom = row < 3 ? C_WHITE : Ramp(R_AZURE, 10 - (row - 3));
                        FillRect(c, px, py, 2, 1, top);
                        FillRect(c, px, py + 1, 2, 1, bottom);
                    }
                }
            }
            lx += static_cast<int>(letter[0].size()) * 2 + 2;
        }
    }
}

// A round scope: navy disc, range rings, cross hairs, a sweep and a few contacts.
void DrawScope(Canvas& c, int x, int y, int size) {
    FillEllipse(c, x - 2, y - 2, size + 4, size + 4, C_GREY);
    FillEllipse(c, x - 1, y - 1, size + 2, size + 2, C_SILVER);
    FillEllipse(c, x - 1, y - 1, size + 1, size + 1, C_WHITE);
    FillEllipse(c, x, y, size, size, [&](int px, int py) {
        // Darker towards the rim, like a curved glass screen.
        const int dx2 = 2 * px + 1 - 2 * x - size;
        const int dy2 = 2 * py + 1 - 2 * y - size;
        const int d = (dx2 * dx2 + dy2 * dy2) * 16 / (size * size);
        return Ramp(R_NAVY, d < 3 ? 3 : (d < 9 ? 2 : 1));
    });
    const int mid = x + size / 2;
    const int midY = y + size / 2;
    for (int r = size / 3; r < size; r += size / 3) {
        EllipseRing(c, mid - r / 2, midY - r / 2, r, r, 1, Ramp(R_AZURE, 4));
    }
    EllipseRing(c, x, y, size, size, 1, Ramp(R_AZURE, 5));
    for (int i = x + 2; i < x + size - 2; i += 2) {
        c.Set(i, midY, Ramp(R_AZURE, 4));
    }
    for (int i = y + 2; i < y + size - 2; i += 2) {
        c.Set(mid, i, Ramp(R_AZURE, 4));
    }
    // The sweep: a bright line with a fading trail behind it, all inside the disc.
    const int reach = size / 2 - 4;
    Line(c, mid, midY, mid + reach * 5 / 6, midY - reach / 3, Ramp(R_TEAL, 4));
    Line(c, mid, midY, mid + reach * 4 / 5, midY - reach / 2, Ramp(R_TEAL, 7));
    Line(c, mid, midY, mid + reach * 3 / 4, midY - reach * 2 / 3, Ramp(R_TEAL, 10));
    Line(c, mid, midY - 1, mid + reach * 2 / 3 - 1, midY - reach * 3 / 4, C_WHITE);
    // Contacts.
    for (const auto& [bx, by, big] : std::array<std::array<int, 3>, 4>{{{mid + 10, midY - 13, 1},
                                                                        {mid - 17, midY + 6, 0},
                                                                        {mid + 6, midY + 15, 0},
                                                                        {mid - 8, midY - 18, 0}}}) {
        FillRect(c, bx, by, 2, 2, C_LIME);
        if (big != 0) {
            FillRect(c, bx - 1, by - 1, 4, 4, Ramp(R_GREEN, 5));
            FillRect(c, bx, by, 2, 2, C_LIME);
            c.Set(bx, by, C_WHITE);
        }
    }
}

// A horizontal gauge: sunken trough, `filled` of `segments` lit segments.
void DrawGauge(Canvas& c, int x, int y, int segments, int filled, HueRamp ramp) {
    const int w = segments * 5 + 3;
    DrawSunkenBox(c, x, y, w, 9, Ramp(R_NAVY, 1));
    for (int s = 0; s < segments; ++s) {
        const int sx = x + 2 + s * 5;
        if (s < filled) {
            FillRect(c, sx, y + 2, 4, 5, VerticalGradient(ramp, y + 2, 5, 10, 5, false));
            c.Set(sx, y + 2, C_WHITE);
        } else {
            FillRect(c, sx, y + 2, 4, 5, Ramp(R_NAVY, 3));
        }
    }
}

// Small status lamps: lit, with a highlight.
void DrawLamp(Canvas& c, int x, int y, HueRamp ramp) {
    FillEllipse(c, x - 1, y - 1, 9, 9, C_GREY);
    FillEllipse(c, x, y, 7, 7, SphereShader(ramp, x + 3.5, y + 3.5, 3.5, 3, 10, false));
    c.Set(x + 2, y + 1, C_WHITE);
}

}  // namespace

Canvas DrawOverlay() {
    constexpr int PANEL_X = 256;
    constexpr int PANEL_W = 128;
    Canvas c(384, 256, C_SEE_THROUGH);
    DrawWindowFrame(c, PANEL_X, 0, PANEL_W, 256);

    // Status strip along the top: the frame rate is printed on its left part.
    const int stripX = PANEL_X + FRAME;
    FillRect(c, stripX, FRAME, PANEL_W - 2 * FRAME, 19, C_NAVY);
    Line(c, stripX, FRAME + 19, PANEL_X + PANEL_W - FRAME - 1, FRAME + 19, C_GREY);
    Line(c, stripX, FRAME + 20, PANEL_X + PANEL_W - FRAME - 1, FRAME + 20, C_WHITE);
    Line(c, PANEL_X + 62, FRAME, PANEL_X + 62, FRAME + 18, C_GREY);
    Line(c, PANEL_X + 63, FRAME, PANEL_X + 63, FRAME + 18, Ramp(R_NAVY, 4));
    DrawLamp(c, PANEL_X + 72, FRAME + 6, R_GREEN);
    DrawLamp(c, PANEL_X + 86, FRAME + 6, R_GOLD);
    DrawLamp(c, PANEL_X + 100, FRAME + 6, R_RED);
    Line(c, PANEL_X + 112, FRAME + 4, PANEL_X + 119, FRAME + 4, Ramp(R_AZURE, 6));
    Line(c, PANEL_X + 112, FRAME + 7, PANEL_X + 117, FRAME + 7, Ramp(R_AZURE, 6));
    Line(c, PANEL_X + 112, FRAME + 10, PANEL_X + 119, FRAME + 10, Ramp(R_AZURE, 6));
    Line(c, PANEL_X + 112, FRAME + 13, PANEL_X + 115, FRAME + 13, Ramp(R_AZURE, 6));

    // Title plate.
    const int plateY = 32;
    DrawRaisedBox(c, stripX + 4, plateY, PANEL_W - 2 * FRAME - 8, 28, C_SILVER);
    DrawSunkenBox(c, stripX + 7, plateY + 3, PANEL_W - 2 * FRAME - 14, 22, C_NAVY);
    FillRect(c, stripX + 8, plateY + 4, PANEL_W - 2 * FRAME - 16, 20,
             VerticalGradient(R_NAVY, plateY + 4, 20, 5, 1, true));
    DrawTitle(c, stripX + 20, plateY + 7);
    DrawRivet(c, stripX + 4 + 2, plateY + 12);
    DrawRivet(c, PANEL_X + PANEL_W - FRAME - 4 - 6, plateY + 12);

    // Decorative double rule.
    Line(c, stripX + 4, 68, PANEL_X + PANEL_W - FRAME - 5, 68, C_WHITE);
    Line(c, stripX + 4, 70, PANEL_X + PANEL_W - FRAME - 5, 70, C_SILVER);
    for (int i = stripX + 4; i < PANEL_X + PANEL_W - FRAME - 4; i += 8) {
        c.Set(i, 69, C_WHITE);
    }

    DrawScope(c, PANEL_X + 24, 80, 80);

    // Gauges with small scale ticks.
    const int gaugesY = 178;
    for (int g = 0; g < 3; ++g) {
        const int gy = gaugesY + g * 16;
        static constexpr std::array<HueRamp, 3> RAMPS = {R_AZURE, R_GREEN, R_GOLD};
        static constexpr std::array<int, 3> LEVELS = {17, 13, 8};
        DrawRaisedBox(c, stripX + 4, gy, 8, 9, C_SILVER);
        c.Set(stripX + 7, gy + 4,
              RAMPS[static_cast<size_t>(g)] == R_GOLD ? Ramp(R_GOLD, 7) : C_WHITE);
        DrawGauge(c, stripX + 15, gy, 19, LEVELS[static_cast<size_t>(g)],
                  RAMPS[static_cast<size_t>(g)]);
    }

    // Vent grille near the bottom.
    for (int i = 0; i < 8; ++i) {
        const int vx = stripX + 10 + i * 13;
        DrawSunkenBox(c, vx, 230, 8, 16, Ramp(R_NAVY, 1));
        Line(c, vx + 1, 231, vx + 1, 244, Ramp(R_NAVY, 3));
    }
    DrawRivet(c, stripX + 2, 224);
    DrawRivet(c, PANEL_X + PANEL_W - FRAME - 6, 224);
    DrawRivet(c, stripX + 2, 246);
    DrawRivet(c, PANEL_X + PANEL_W - FRAME - 6, 246);
    return c;
}

Canvas DrawMessagePanel() {
    Canvas c(256, 64, C_BLUE);
    DrawWindowFrame(c, 0, 0, 256, 64);
    return c;
}

Canvas DrawListPanel() {
    Canvas c(256, 192, C_BLUE);
    DrawWindowFrame(c, 0, 0, 256, 192);
    return c;
}

Canvas DrawListCursor() {
    Canvas c(12, 12, C_BLUE);
    // White arrow with a navy shadow to the lower right.
    for (const auto& [offset, colour] : {std::pair{1, C_NAVY}, std::pair{0, C_WHITE}}) {
        DrawPattern(
            c, 3 + offset, 1 + offset,
            {"X    ", "XX   ", "XXX  ", "XXXX ", "XXXXX", "XXXX ", "XXX  ", "XX   ", "X    "},
            {{'X', colour}});
    }
    return c;
}

Canvas DrawWaitIndicator(int drop) {
    Canvas c(12, 12, C_TRANSPARENT);
    DrawPattern(c, 1, 1 + drop,
                {"XXXXXXXXXX", " XXXXXXXX ", "  XXXXXX  ", "   XXXX   ", "    XX    "},
                {{'X', C_WHITE}});
    FillRect(c, 1, 10, 10, 2, C_WHITE);
    return c;
}

Canvas DrawDigits() {
    static constexpr std::array<std::array<std::string_view, 7>, 10> GLYPHS = {{
        {" XXXX ", "XX  XX", "XX  XX", "XX  XX", "XX  XX", "XX  XX", " XXXX "},
        {"  XX  ", " XXX  ", "  XX  ", "  XX  ", "  XX  ", "  XX  ", " XXXX "},
        {" XXXX ", "XX  XX", "    XX", "  XXX ", " XX   ", "XX    ", "XXXXXX"},
        {" XXXX ", "XX  XX", "    XX", "  XXX ", "    XX", "XX  XX", " XXXX "},
        {"   XX ", "  XXX ", " X XX ", "XX XX ", "XXXXXX", "   XX ", "   XX "},
        {"XXXXXX", "XX    ", "XXXXX ", "    XX", "    XX", "XX  XX", " XXXX "},
        {"  XXX ", " XX   ", "XX    ", "XXXXX ", "XX  XX", "XX  XX", " XXXX "},
        {"XXXXXX", "    XX", "   XX ", "  XX  ", "  XX  ", "  XX  ", "  XX  "},
        {" XXXX ", "XX  XX", "XX  XX", " XXXX ", "XX  XX", "XX  XX", " XXXX "},
        {" XXXX ", "XX  XX", "XX  XX", " XXXXX", "    XX", "   XX ", " XXX  "},
    }};
    Canvas c(8, 80, C_BLACK);
    for (int digit = 0; digit < 10; ++digit) {
        const auto& g = GLYPHS[static_cast<size_t>(digit)];
        for (int row = 0; row < 7; ++row) {
            const std::string_view line = g[static_cast<size_t>(row)];
            for (size_t col = 0; col < line.size(); ++col) {
                if (line[col] == 'X') {
                    c.Set(1 + static_cast<int>(col), digit * 8 + row, C_WHITE);
                }
            }
        }
    }
    return c;
}
