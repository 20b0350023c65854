#include "tools/asset_generator/canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

Canvas::Canvas(int width, int height, uint8_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

uint8_t Canvas::At(int x, int y, uint8_t outside) const {
    return Inside(x, y) ? pixels_[static_cast<size_t>(y) * width_ + x] : outside;
}

void Canvas::Set(int x, int y, uint8_t colour) {
    if (Inside(x, y)) {
        pixels_[static_cast<size_t>(y) * width_ + x] = colour;
    }
}

void FillRect(Canvas& c, int x, int y, int w, int h, const Paint& paint) {
    for (int py = std::max(y, 0); py < std::min(y + h, c.Height()); ++py) {
        for (int px = std::max(x, 0); px < std::min(x + w, c.Width()); ++px) {
            c.Set(px, py, paint(px, py));
        }
    }
}

void FrameRect(Canvas& c, int x, int y, int w, int h, const Paint& paint) {
    if (w <= 0 || h <= 0) {
        return;
    }
    Line(c, x, y, x + w - 1, y, paint);
    Line(c, x, y + h - 1, x + w - 1, y + h - 1, paint);
    Line(c, x, y, x, y + h - 1, paint);
    Line(c, x + w - 1, y, x + w - 1, y + h - 1, paint);
}

void Line(Canvas& c, int x0, int y0, int x1, int y1, const Paint& paint) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        c.Set(x0, y0, paint(x0, y0));
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

bool InEllipse(int px, int py, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) {
        return false;
    }
    // Doubled coordinates keep the centre exact for even and odd sizes.
    const int64_t ex = 2 * px + 1 - 2 * x - w;
    const int64_t ey = 2 * py + 1 - 2 * y - h;
    const int64_t ww = static_cast<int64_t>(w) * w;
    const int64_t hh = static_cast<int64_t>(h) * h;
    return ex * ex * hh + ey * ey * ww <= ww * hh;
}

void FillEllipse(Canvas& c, int x, int y, int w, int h, const Paint& paint) {
    for (int py = y; py < y + h; ++py) {
        for (int px = x; px < x + w; ++px) {
            if (InEllipse(px, py, x, y, w, h)) {
                c.Set(px, py, paint(px, py));
            }
        }
    }
}

void EllipseRing(Canvas& c, int x, int y, int w, int h, int thickness, const Paint& paint) {
    for (int py = y; py < y + h; ++py) {
        for (int px = x; px < x + w; ++px) {
            if (InEllipse(px, py, x, y, w, h) && !InEllipse(px, py, x + thickness, y + thickness,
                                                            w - 2 * thickness, h - 2 * thickness)) {
                c.Set(px, py, paint(px, py));
            }
        }
    }
}

void FillPolygon(Canvas& c, std::initializer_list<Point> points, const Paint& paint) {
    const std::vector<Point> v(points);
    if (v.size() < 3) {
        return;
    }
    int top = v[0].y;
    int bottom = v[0].y;
    for (const Point& p : v) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    std::vector<double> crossings;
    for (int py = top; py < bottom; ++py) {
        const double sy = py + 0.5;
        crossings.clear();
        for (size_t i = 0; i < v.size(); ++i) {
            const Point& a = v[i];
            const Point& b = v[(i + 1) % v.size()];
            if ((a.y <= sy) != (b.y <= sy)) {
                crossings.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels whose centres lie in [left, right).
            const int from = static_cast<int>(std::ceil(crossings[i] - 0.5));
            const int to = static_cast<int>(std::ceil(crossings[i + 1] - 0.5));
            for (int px = from; px < to; ++px) {
                c.Set(px, py, paint(px, py));
            }
        }
    }
}

void FillRoundRect(Canvas& c, int x, int y, int w, int h, int r, const Paint& paint) {
    for (int py = y; py < y + h; ++py) {
        const int fromTop = py - y;
        const int fromBottom = y + h - 1 - py;
        const int edge = std::min(fromTop, fromBottom);
        const int inset = edge < r ? r - edge : 0;
        for (int px = x + inset; px < x + w - inset; ++px) {
            c.Set(px, py, paint(px, py));
        }
    }
}

void Outline(Canvas& c, uint8_t colour, uint8_t empty, bool diagonal) {
    const Canvas before = c;
    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) {
            if (before.At(x, y) != empty) {
                continue;
            }
            bool touches = false;
            for (int dy = -1; dy <= 1 && !touches; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dx == 0 && dy == 0) || (!diagonal && dx != 0 && dy != 0)) {
                        continue;
                    }
                    if (before.At(x + dx, y + dy, empty) != empty) {
                        touches = true;
                        break;
                    }
                }
            }
            if (touches) {
                c.Set(x, y, colour);
            }
        }
    }
}

void Stamp(Canvas& dst, const Canvas& src, int dx, int dy, uint8_t empty) {
    for (int y = 0; y < src.Height(); ++y) {
        for (int x = 0; x < src.Width(); ++x) {
            const uint8_t p = src.At(x, y);
            if (p != empty) {
                dst.Set(x + dx, y + dy, p);
            }
        }
    }
}

void Shadow(Canvas& dst, const Canvas& src, int dx, int dy, uint8_t colour, uint8_t onlyOver) {
    for (int y = 0; y < src.Height(); ++y) {
        for (int x = 0; x < src.Width(); ++x) {
            if (src.At(x, y) != C_TRANSPARENT && dst.At(x + dx, y + dy, colour) == onlyOver) {
                dst.Set(x + dx, y + dy, colour);
            }
        }
    }
}

void Recolour(Canvas& c, int x, int y, int w, int h, uint8_t from, uint8_t to) {
    for (int py = y; py < y + h; ++py) {
        for (int px = x; px < x + w; ++px) {
            if (c.Inside(px, py) && c.At(px, py) == from) {
                c.Set(px, py, to);
            }
        }
    }
}

void DrawPattern(Canvas& c, int x, int y, std::initializer_list<std::string_view> rows,
                 std::initializer_list<std::pair<char, uint8_t>> key) {
    int py = y;
    for (std::string_view row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            for (const auto& [ch, colour] : key) {
                if (row[i] == ch) {
                    c.Set(x + static_cast<int>(i), py, colour);
                    break;
                }
            }
        }
        ++py;
    }
}

int Bayer4(int x, int y) {
    static constexpr std::array<int, 16> MATRIX = {0, 8,  2, 10, 12, 4, 14, 6,
                                                   3, 11, 1, 9,  15, 7, 13, 5};
    return MATRIX[static_cast<size_t>((y & 3) * 4 + (x & 3))];
}

int StepFor(double level, int lo, int hi, int x, int y, bool dither) {
    level = std::clamp(level, 0.0, 1.0);
    const double exact = lo + level * (hi - lo);
    const double bias = dither ? (Bayer4(x, y) + 0.5) / 16.0 : 0.5;
    return std::clamp(static_cast<int>(std::floor(exact + bias)), std::min(lo, hi),
                      std::max(lo, hi));
}

double SphereLight(int x, int y, double cx, double cy, double r) {
    const double nx = (x + 0.5 - cx) / r;
    const double ny = (y + 0.5 - cy) / r;
    const double d = nx * nx + ny * ny;
    if (d > 1.0) {
        return -1.0;
    }
    const double nz = std::sqrt(1.0 - d);
    // Unit vector towards the light: up, left and in front.
    constexpr double LX = -0.5;
    constexpr double LY = -0.55;
    constexpr double LZ = 0.67;
    const double diffuse = std::max(0.0, nx * LX + ny * LY + nz * LZ);
    return 0.12 + 0.88 * diffuse;
}

double CylinderLight(int x, int x0, int w) {
    return CylinderLightAt((x + 0.5 - x0) / w);
}

double CylinderLightAt(double u) {
    const double nx = std::clamp(2.0 * u - 1.0, -1.0, 1.0);
    const double nz = std::sqrt(1.0 - nx * nx);
    const double diffuse = std::max(0.0, -0.6 * nx + 0.8 * nz);
    return 0.1 + 0.9 * diffuse;
}

Paint SphereShader(HueRamp ramp, double cx, double cy, double r, int lo, int hi, bool dither) {
    return Paint([=](int x, int y) {
        const double light = std::max(0.0, SphereLight(x, y, cx, cy, r));
        return Ramp(ramp, StepFor(light, lo, hi, x, y, dither));
    });
}

Paint CylinderShader(HueRamp ramp, int x0, int w, int lo, int hi, bool dither) {
    return Paint([=](int x, int y) {
        return Ramp(ramp, StepFor(CylinderLight(x, x0, w), lo, hi, x, y, dither));
    });
}

Paint VerticalGradient(HueRamp ramp, int y0, int h, int topStep, int bottomStep, bool dither) {
    return Paint([=](int x, int y) {
        const double t = h > 1 ? static_cast<double>(y - y0) / (h - 1) : 0.0;
        return Ramp(ramp, StepFor(t, topStep, bottomStep, x, y, dither));
    });
}
