#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "surface/surface.h"
#include "tests/surface/surface_ptr.h"

namespace {

using testing_surface::SurfacePtr;

SurfacePtr Make(int w, int h) {
    SurfacePtr s(SurfaceCreate(w, h, DIB_PAL_COLORS));
    EXPECT_NE(s, nullptr);
    return s;
}

// Source pixel (x, y) of a pattern surface: distinct enough to tell where a
// byte came from, and 0 on a sparse grid so keyed copies have holes.
uint8_t Pattern(int x, int y) {
    if ((x + y) % 5 == 0) {
        return 0;
    }
    return static_cast<uint8_t>(x * 7 + y * 13 + 1);
}

SurfacePtr MakePattern(int w, int h) {
    SurfacePtr s = Make(w, h);
    const int stride = SurfaceStride(s.get());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < stride; ++x) {
            s->pixels[y * stride + x] = Pattern(x, y);
        }
    }
    return s;
}

uint8_t At(const Surface* s, int x, int y) { return s->pixels[y * SurfaceStride(s) + x]; }

void Fill(Surface* s, uint8_t v) {
    for (size_t i = 0; i < SurfacePixelBytes(s); ++i) {
        s->pixels[i] = v;
    }
}

// Counts destination pixels that differ from the fill value.
int Changed(const Surface* s, uint8_t fill) {
    int n = 0;
    for (size_t i = 0; i < SurfacePixelBytes(s); ++i) {
        n += s->pixels[i] != fill;
    }
    return n;
}

TEST(BlitClipping, LeftEdgeShiftsTheSourceCorner) {
    SurfacePtr dst = Make(384, 256);
    SurfacePtr src = MakePattern(256, 256);
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), -10, 0, 16, 16, src.get(), 32, 48, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 6; ++x) {
            const uint8_t s = Pattern(42 + x, 48 + y);
            ASSERT_EQ(At(dst.get(), x, y), s == 0 ? 200 : s) << x << "," << y;
        }
        ASSERT_EQ(At(dst.get(), 6, y), 200);
    }
}

TEST(BlitClipping, RectanglesThatEndUpEmptyDrawNothing) {
    SurfacePtr dst = Make(384, 256);
    SurfacePtr src = MakePattern(256, 256);
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), 0, -20, 16, 16, src.get(), 0, 0, -1);  // h becomes -4
    SurfaceBlit(dst.get(), 384, 0, 1, 1, src.get(), 1, 1, -1);    // w becomes 0
    SurfaceBlit(dst.get(), 0, 256, 1, 1, src.get(), 1, 1, -1);
    SurfaceBlit(dst.get(), 5, 5, 0, 16, src.get(), 1, 1, -1);
    SurfaceBlit(dst.get(), 5, 5, 16, 0, src.get(), 1, 1, -1);
    SurfaceBlit(dst.get(), 5, 5, -3, 16, src.get(), 1, 1, -1);
    SurfaceBlit(dst.get(), 5, 5, 16, 16, nullptr, 1, 1, -1);
    SurfaceBlit(nullptr, 5, 5, 16, 16, src.get(), 1, 1, -1);
    SurfaceBlit(dst.get(), -2147483647 - 1, 0, 2147483647, 1, src.get(), 0, 0, -1);
    EXPECT_EQ(Changed(dst.get(), 200), 0);

    SurfaceBlit(dst.get(), 383, 0, 1, 1, src.get(), 1, 1, -1);
    EXPECT_EQ(Changed(dst.get(), 200), 1);
    EXPECT_EQ(At(dst.get(), 383, 0), Pattern(1, 1));
}

TEST(BlitClipping, RightAndBottomEdgesCutTheRectangle) {
    SurfacePtr dst = Make(384, 256);
    SurfacePtr src = MakePattern(256, 256);
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), 380, 250, 16, 16, src.get(), 0, 0, -1);
    EXPECT_EQ(Changed(dst.get(), 200), 4 * 6);  // pattern bytes here are never 200
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 4; ++x) {
            ASSERT_EQ(At(dst.get(), 380 + x, 250 + y), Pattern(x, y));
        }
    }
}

TEST(BlitClipping, AllFourEdgesAtOnce) {
    SurfacePtr dst = Make(384, 256);
    SurfacePtr big = MakePattern(400, 300);
    SurfaceBlit(dst.get(), -5, -5, 400, 300, big.get(), 0, 0, -1);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 384; ++x) {
            ASSERT_EQ(At(dst.get(), x, y), Pattern(x + 5, y + 5)) << x << "," << y;
        }
    }
}

TEST(BlitKeys, NegativeKeyIsOpaqueOtherwiseLowByteIsTransparent) {
    SurfacePtr src = Make(8, 1);
    const uint8_t row[8] = {0, 11, 5, 11, 0, 7, 255, 11};
    for (int i = 0; i < 8; ++i) {
        src->pixels[i] = row[i];
    }
    for (int key : {-1, 0, 11, 267, -2147483647 - 1}) {
        SurfacePtr dst = Make(8, 1);
        Fill(dst.get(), 99);
        SurfaceBlit(dst.get(), 0, 0, 8, 1, src.get(), 0, 0, key);
        for (int i = 0; i < 8; ++i) {
            const bool skipped = key >= 0 && row[i] == (key & 0xFF);
            ASSERT_EQ(dst->pixels[i], skipped ? 99 : row[i]) << "key " << key << " i " << i;
        }
    }
}

TEST(BlitSource, RowsAreSteppedByTheSourceStride) {
    SurfacePtr src = MakePattern(10, 4);  // stride 12
    SurfacePtr dst = Make(16, 4);
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), 0, 0, 10, 4, src.get(), 0, 0, -1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(At(dst.get(), x, y), Pattern(x, y));
        }
        ASSERT_EQ(At(dst.get(), 10, y), 200);  // only 10 bytes per row
    }
}

TEST(BlitSource, ARectanglePastTheRightEdgeContinuesOnTheNextRow) {
    SurfacePtr src = MakePattern(1024, 1024);
    SurfacePtr dst = Make(768, 512);
    SurfaceBlit(dst.get(), 0, 0, 256, 1, src.get(), 900, 0, -1);
    for (int x = 0; x < 124; ++x) {
        ASSERT_EQ(At(dst.get(), x, 0), Pattern(900 + x, 0));
    }
    for (int x = 124; x < 256; ++x) {
        ASSERT_EQ(At(dst.get(), x, 0), Pattern(x - 124, 1));
    }
}

TEST(BlitSource, TheGuardKeepsEveryRowInsideTheBlock) {
    // A star-layer piece at source (1000, 768) that is 24 wide ends exactly
    // at the block's end, so all 256 rows are drawn.
    SurfacePtr src = MakePattern(1024, 1024);
    SurfacePtr dst = Make(768, 512);
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), 0, 0, 24, 256, src.get(), 1000, 768, -1);
    for (int y = 0; y < 256; ++y) {
        ASSERT_EQ(At(dst.get(), 0, y), Pattern(1000, 768 + y)) << y;
        ASSERT_EQ(At(dst.get(), 23, y), Pattern(1023, 768 + y)) << y;
    }
    // One more column would make the last row cross the end: that row, and
    // only that row, is left out.
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), 0, 0, 256, 256, src.get(), 1000, 768, -1);
    for (int y = 0; y < 255; ++y) {
        ASSERT_EQ(At(dst.get(), 0, y), Pattern(1000, 768 + y)) << y;
        ASSERT_EQ(At(dst.get(), 24, y), Pattern(0, 769 + y)) << y;
    }
    for (int x = 0; x < 256; ++x) {
        ASSERT_EQ(At(dst.get(), x, 255), 200) << x;
    }
    // Rows before the block's start (a negative source corner) are left out too.
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), 0, 0, 4, 3, src.get(), 0, -1, -1);
    EXPECT_EQ(At(dst.get(), 0, 0), 200);
    EXPECT_EQ(At(dst.get(), 0, 1), Pattern(0, 0));
    EXPECT_EQ(At(dst.get(), 0, 2), Pattern(0, 1));
    // A source rectangle wholly outside draws nothing.
    Fill(dst.get(), 200);
    SurfaceBlit(dst.get(), 0, 0, 16, 16, src.get(), 0, 5000, 0);
    SurfaceBlit(dst.get(), 0, 0, 16, 16, src.get(), -50000, 0, 0);
    EXPECT_EQ(Changed(dst.get(), 200), 0);
}

// Byte-by-byte model of the blit: the clip, the linear source addressing,
// the guard that leaves out rows reaching outside the source block, and the
// key rule, written as plainly as possible.
void ModelBlit(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy,
               int key) {
    if (w == 0 || h == 0) {
        return;
    }
    int64_t x = dx, y = dy, cw = w, ch = h, srcX = sx, srcY = sy;
    if (x < 0) {
        cw += x;
        srcX -= x;
        x = 0;
    }
    if (y < 0) {
        ch += y;
        srcY -= y;
        y = 0;
    }
    if (x + cw >= dst->header->biWidth) {
        cw = dst->header->biWidth - x;
    }
    if (y + ch >= SurfaceRows(dst)) {
        ch = SurfaceRows(dst) - y;
    }
    if (cw <= 0 || ch <= 0) {
        return;
    }
    const int64_t ss = SurfaceStride(src);
    const int64_t ds = SurfaceStride(dst);
    const int64_t size = static_cast<int64_t>(SurfacePixelBytes(src));
    for (int64_t r = 0; r < ch; ++r) {
        const int64_t start = (srcY + r) * ss + srcX;
        if (start < 0 || start + cw > size) {
            continue;
        }
        for (int64_t i = 0; i < cw; ++i) {
            const uint8_t v = src->pixels[start + i];
            if (key < 0 || v != (key & 0xFF)) {
                dst->pixels[(y + r) * ds + x + i] = v;
            }
        }
    }
}

TEST(BlitRandomised, MatchesTheByteByByteModel) {
    std::mt19937 rng(20261209);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 3000; ++round) {
        const int dw = uniform(1, 90), dh = uniform(1, 50);
        const int sw = uniform(0, 130), sh = uniform(0, 40);
        SurfacePtr dst = Make(dw, dh);
        SurfacePtr expected = Make(dw, dh);
        SurfacePtr src = Make(sw, sh);
        const int key = uniform(0, 3) == 0 ? -uniform(1, 5) : uniform(0, 600);
        for (size_t i = 0; i < SurfacePixelBytes(src.get()); ++i) {
            // Mostly the key, some runs of opaque bytes, some random bytes.
            const int pick = uniform(0, 9);
            src->pixels[i] = static_cast<uint8_t>(pick < 5 ? key & 0xFF : uniform(0, 255));
        }
        for (size_t i = 0; i < SurfacePixelBytes(dst.get()); ++i) {
            dst->pixels[i] = expected->pixels[i] = static_cast<uint8_t>(uniform(0, 255));
        }
        const int dx = uniform(-40, dw + 5), dy = uniform(-20, dh + 5);
        const int w = uniform(-3, 120), h = uniform(-3, 60);
        const int sx = uniform(-10, sw + 10), sy = uniform(-5, sh + 5);
        SurfaceBlit(dst.get(), dx, dy, w, h, src.get(), sx, sy, key);
        ModelBlit(expected.get(), dx, dy, w, h, src.get(), sx, sy, key);
        ASSERT_EQ(0, std::memcmp(dst->pixels, expected->pixels, SurfacePixelBytes(dst.get())))
            << "round " << round << ": dst " << dw << "x" << dh << " src " << sw << "x" << sh
            << " at " << dx << "," << dy << " size " << w << "x" << h << " from " << sx << ","
            << sy << " key " << key;
    }
}

}  // namespace
