// The clear after a frame sets only what was drawn back to 0, yet leaves the
// whole back buffer zero, as a fill of all of it would: random opaque and
// keyed blits (inside, across every edge, far outside) and random text, at a
// point and wrapped into rectangles that reach past the buffer.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/draw_context.h"
#include "surface/back_buffer.h"
#include "surface/surface.h"
#include "tests/render/render_fixture.h"

namespace {

TEST(BackBufferClear, LeavesTheWholeBufferZeroAfterAnyDrawing) {
    testing_render::DrawingState drawing;
    AppState* state = drawing.state.get();
    ASSERT_NE(state->target, nullptr);
    Surface* source = SurfaceCreate(64, 64, DIB_PAL_COLORS);
    ASSERT_NE(source, nullptr);
    for (int i = 0; i < 64 * 64; ++i) {
        source->pixels[i] = static_cast<uint8_t>(i % 3 == 0 ? 0 : 1 + i % 200);
    }
    const std::vector<uint8_t> zeros(SurfacePixelBytes(state->target), 0);
    // Full-width double-byte text and half-width digits.
    const char text[] = "\x82\xA0\x81\x41\x82\xA2 12345 \x83\x41\x83\x43\x83\x45\n67";
    std::mt19937 random(3);
    for (int round = 0; round < 300; ++round) {
        const int drawings = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < drawings; ++i) {
            const int x = static_cast<int>(random() % 900) - 100;
            const int y = static_cast<int>(random() % 640) - 60;
            switch (random() % 3) {
                case 0:
                    SurfaceBlit(state->target, x, y, 1 + static_cast<int>(random() % 64),
                                1 + static_cast<int>(random() % 64), source,
                                static_cast<int>(random() % 64), 0, random() % 2 ? 0 : -1);
                    break;
                case 1:
                    platform::DrawContextTextOut(state->hdcMem, x, y, text,
                                                 static_cast<int>(random() % sizeof text));
                    break;
                case 2: {
                    const platform::Rect rect{x, y, x + static_cast<int>(random() % 300),
                                              y + static_cast<int>(random() % 100)};
                    platform::DrawContextDrawText(state->hdcMem, text, -1, &rect);
                    break;
                }
            }
        }
        BackBufferClear(state);
        ASSERT_EQ(std::memcmp(state->target->pixels, zeros.data(), zeros.size()), 0)
            << "round " << round;
    }
    SurfaceDestroy(source);
}

}  // namespace
