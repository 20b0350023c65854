// Opaque spans and drawn bounds: a keyed blit through a source's spans draws
// exactly what the byte-by-byte compare draws, for every kind of rectangle
// (clipped, running on from row to row, reading padding bytes); spans never
// outlive a change of the pixels; and the back buffer's clear of what was
// drawn leaves it all zero.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "surface/back_buffer.h"
#include "surface/palette.h"
#include "surface/screen_index.h"
#include "surface/surface.h"
#include "surface/surface_runs.h"
#include "tests/surface/surface_ptr.h"

namespace {

using testing_surface::SurfacePtr;

// A source of the given density of key bytes, the padding bytes included.
SurfacePtr MakeSparse(int w, int h, uint8_t key, int opaqueOneIn, std::mt19937* random) {
    SurfacePtr s(SurfaceCreate(w, h, DIB_PAL_COLORS));
    const size_t bytes = SurfacePixelBytes(s.get());
    for (size_t i = 0; i < bytes; ++i) {
        s->pixels[i] = (*random)() % opaqueOneIn == 0 ? static_cast<uint8_t>((*random)()) : key;
    }
    return s;
}

SurfacePtr CopyOf(const Surface* s) {
    SurfacePtr copy(SurfaceCreate(s->header->biWidth, SurfaceRows(s), DIB_PAL_COLORS));
    std::memcpy(copy->pixels, s->pixels, SurfacePixelBytes(s));
    return copy;
}

std::vector<uint8_t> Pixels(const Surface* s) {
    return std::vector<uint8_t>(s->pixels, s->pixels + SurfacePixelBytes(s));
}

TEST(SurfaceRuns, BlitsThroughSpansDrawWhatTheCompareDraws) {
    std::mt19937 random(7);
    struct Shape {
        int w, h, opaqueOneIn;
    } shapes[] = {{1024, 64, 200}, {384, 40, 2}, {37, 23, 3}, {5, 9, 1}, {130, 17, 40}};
    for (const Shape& shape : shapes) {
        for (int keyPick = 0; keyPick < 2; ++keyPick) {
            const uint8_t key = keyPick == 0 ? 0 : 11;
            SurfacePtr source = MakeSparse(shape.w, shape.h, key, shape.opaqueOneIn, &random);
            SurfacePtr compared = CopyOf(source.get());
            ASSERT_TRUE(SurfacePrepareRuns(source.get(), key));
            ASSERT_NE(source->runs, nullptr);
            SurfacePtr withSpans(SurfaceCreate(300, 200, DIB_PAL_COLORS));
            SurfacePtr withCompare(SurfaceCreate(300, 200, DIB_PAL_COLORS));
            for (int trial = 0; trial < 400; ++trial) {
                // Rectangles inside the source, past its right edge (running
                // on into the next rows and reading the padding), past its
                // last row, and clipped by every edge of the target.
                const int dx = static_cast<int>(random() % 360) - 30;
                const int dy = static_cast<int>(random() % 240) - 20;
                const int w = 1 + static_cast<int>(random() % (shape.w + 40));
                const int h = 1 + static_cast<int>(random() % (shape.h + 4));
                const int sx = static_cast<int>(random() % (shape.w + 20)) - 10;
                const int sy = static_cast<int>(random() % (shape.h + 2)) - 1;
                const int blitKey = trial % 10 == 0 ? key + 1 : key;  // another key: no spans
                if (trial % 4 == 0) {
                    // Whole source rows, as the overlay is drawn: the runs
                    // are copied in one pass.
                    const int whole = SurfaceStride(source.get());
                    SurfaceBlit(withSpans.get(), dx, dy, whole, h, source.get(), 0, sy, blitKey);
                    SurfaceBlit(withCompare.get(), dx, dy, whole, h, compared.get(), 0, sy,
                                blitKey);
                }
                SurfaceBlit(withSpans.get(), dx, dy, w, h, source.get(), sx, sy, blitKey);
                SurfaceBlit(withCompare.get(), dx, dy, w, h, compared.get(), sx, sy, blitKey);
                ASSERT_EQ(Pixels(withSpans.get()), Pixels(withCompare.get()))
                    << shape.w << "x" << shape.h << " key " << int{key} << ": " << w << "x" << h
                    << " from (" << sx << ", " << sy << ") to (" << dx << ", " << dy << ")";
            }
        }
    }
}

TEST(SurfaceRuns, SpansFollowThePixelsAndAreDroppedWhenTheyChange) {
    SurfacePtr source(SurfaceCreate(8, 2, DIB_PAL_COLORS));
    source->pixels[2] = 5;
    source->pixels[3] = 6;
    source->pixels[8 + 7] = 9;
    ASSERT_TRUE(SurfacePrepareRuns(source.get(), 0));
    const SurfaceRuns* runs = source->runs;
    ASSERT_EQ(runs->rowStart[2], 2u);
    EXPECT_EQ(runs->spans[0].begin, 2);
    EXPECT_EQ(runs->spans[0].end, 4);
    EXPECT_EQ(runs->spans[1].begin, 7);
    EXPECT_EQ(runs->packed[runs->spans[1].packed], 9);

    // Each writing call drops the spans, and the next blit sees the new
    // pixel.
    SurfacePtr target(SurfaceCreate(8, 2, DIB_PAL_COLORS));
    SurfacePutPixel(source.get(), 0, 0, 4);
    EXPECT_EQ(source->runs, nullptr);
    SurfaceBlit(target.get(), 0, 0, 8, 2, source.get(), 0, 0, 0);
    EXPECT_EQ(target->pixels[0], 4);

    ASSERT_TRUE(SurfacePrepareRuns(source.get(), 0));
    SurfacePtr other(SurfaceCreate(8, 2, DIB_PAL_COLORS));
    other->pixels[1] = 3;
    SurfaceBlit(source.get(), 0, 0, 8, 2, other.get(), 0, 0, 0);
    EXPECT_EQ(source->runs, nullptr);

    ASSERT_TRUE(SurfacePrepareRuns(source.get(), 0));
    SurfaceFlipRows(source.get());
    EXPECT_EQ(source->runs, nullptr);

    ASSERT_TRUE(SurfacePrepareRuns(source.get(), 0));
    SurfaceToScreenIndices(source.get());
    EXPECT_EQ(source->runs, nullptr);

    EXPECT_FALSE(SurfacePrepareRuns(source.get(), -1));
    EXPECT_EQ(source->runs, nullptr);
}

TEST(DrawnBounds, BlitsAndPixelsRecordWhereTheyWrote) {
    SurfacePtr target(SurfaceCreate(100, 50, DIB_PAL_COLORS));
    SurfacePtr source(SurfaceCreate(20, 20, DIB_PAL_COLORS));
    EXPECT_GE(target->drawn.left, target->drawn.right);  // nothing drawn yet

    SurfaceBlit(target.get(), -5, 40, 20, 20, source.get(), 0, 0, -1);  // clipped to 15x10
    EXPECT_EQ(target->drawn.left, 0);
    EXPECT_EQ(target->drawn.top, 40);
    EXPECT_EQ(target->drawn.right, 15);
    EXPECT_EQ(target->drawn.bottom, 50);

    SurfaceBlit(target.get(), 200, 0, 20, 20, source.get(), 0, 0, -1);  // wholly outside
    SurfacePutPixel(target.get(), 103, 2, 1);  // the linear offset lands on row 3
    EXPECT_EQ(target->drawn.left, 0);
    EXPECT_EQ(target->drawn.top, 3);
    EXPECT_EQ(target->drawn.right, 15);
    EXPECT_EQ(target->drawn.bottom, 50);
    EXPECT_EQ(target->pixels[3 * SurfaceStride(target.get()) + 3], 1);
}

}  // namespace
