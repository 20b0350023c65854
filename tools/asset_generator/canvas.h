// An 8-bit indexed drawing surface and the small set of primitives the art is
// drawn with. Everything is integer arithmetic or correctly rounded floating
// point (+, -, *, /, sqrt), so every build draws the same pixels.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/asset_generator/colour_table.h"

class Canvas {
   public:
    Canvas(int width, int height, uint8_t fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Pixel at (x, y); `outside` for points off the canvas.
    uint8_t At(int x, int y, uint8_t outside = C_TRANSPARENT) const;
    // Writes one pixel; points off the canvas are ignored.
    void Set(int x, int y, uint8_t colour);
    // Rows top first, Width() bytes per row.
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

   private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

// The colour source of a primitive: one colour, or a shader that picks the
// colour of each covered pixel from its position.
class Paint {
   public:
    Paint(uint8_t colour) : shader_([colour](int, int) { return colour; }) {}  // NOLINT
    template <typename F>
    requires std::invocable<const F&, int, int> &&(!std::convertible_to<F, uint8_t>)Paint(F shader)
        : shader_(std::move(shader)) {}  // NOLINT
    uint8_t operator()(int x, int y) const { return shader_(x, y); }

   private:
    std::function<uint8_t(int, int)> shader_;
};

struct Point {
    int x;
    int y;
};

void FillRect(Canvas& c, int x, int y, int w, int h, const Paint& paint);
// One-pixel rectangle border inside the box.
void FrameRect(Canvas& c, int x, int y, int w, int h, const Paint& paint);
// Bresenham line including both end points.
void Line(Canvas& c, int x0, int y0, int x1, int y1, const Paint& paint);
// Ellipse inscribed in the box (x, y, w, h): symmetric for odd and even sizes.
void FillEllipse(Canvas& c, int x, int y, int w, int h, const Paint& paint);
// Ring between the ellipse inscribed in the box and the one `thickness` pixels inside it.
void EllipseRing(Canvas& c, int x, int y, int w, int h, int thickness, const Paint& paint);
bool InEllipse(int px, int py, int x, int y, int w, int h);
// Polygon with vertices at pixel corners; a pixel is filled when its centre is inside
// (even-odd rule).
void FillPolygon(Canvas& c, std::initializer_list<Point> points, const Paint& paint);
// Rectangle with the four corners cut off by `r` pixels (a rounded look at small sizes).
void FillRoundRect(Canvas& c, int x, int y, int w, int h, int r, const Paint& paint);

// Sets every empty (`empty`) pixel that touches a drawn pixel on one of its four sides
// (or eight sides with `diagonal`) to `colour`.
void Outline(Canvas& c, uint8_t colour, uint8_t empty = C_TRANSPARENT, bool diagonal = false);
// Copies the drawn (non-`empty`) pixels of `src` onto `dst` at (dx, dy).
void Stamp(Canvas& dst, const Canvas& src, int dx, int dy, uint8_t empty = C_TRANSPARENT);
// Paints `colour` on `dst` under the drawn pixels of `src` placed at (dx, dy), but only where
// `dst` shows `onlyOver` (a cast shadow on a flat background).
void Shadow(Canvas& dst, const Canvas& src, int dx, int dy, uint8_t colour, uint8_t onlyOver);
// Replaces every pixel of colour `from` with `to` inside the box.
void Recolour(Canvas& c, int x, int y, int w, int h, uint8_t from, uint8_t to);

// Draws a small picture given as text rows; `key` maps characters to colours and
// characters not in the key are left alone.
void DrawPattern(Canvas& c, int x, int y, std::initializer_list<std::string_view> rows,
                 std::initializer_list<std::pair<char, uint8_t>> key);

// 4x4 ordered-dither threshold of (x, y), 0..15.
int Bayer4(int x, int y);
// The ramp step for light `level` (0 darkest .. 1 lightest) spread over steps lo..hi,
// ordered-dithered between neighbouring steps when `dither` is set.
int StepFor(double level, int lo, int hi, int x, int y, bool dither);

// Light falls from the upper left, towards the viewer's right and down.
// Brightness 0..1 of a sphere (centre cx, cy, radius r; pixel centres) at pixel (x, y);
// negative outside.
double SphereLight(int x, int y, double cx, double cy, double r);
// Brightness 0..1 across a vertical cylinder, at u = 0 (left edge) .. 1 (right edge).
double CylinderLightAt(double u);
// Brightness 0..1 across a vertical cylinder spanning columns x0 .. x0+w-1.
double CylinderLight(int x, int x0, int w);

// Shaders for the common cases.
Paint SphereShader(HueRamp ramp, double cx, double cy, double r, int lo, int hi, bool dither);
Paint CylinderShader(HueRamp ramp, int x0, int w, int lo, int hi, bool dither);
Paint VerticalGradient(HueRamp ramp, int y0, int h, int topStep, int bottomStep, bool dither);
