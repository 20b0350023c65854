// A state with a real back buffer, memory context and font, for tests that
// draw text or whole frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/state.h"
#include "platform/draw_context.h"
#include "platform/font.h"
#include "render/startup.h"
#include "surface/back_buffer.h"

namespace testing_render {

struct DrawingState {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    platform::Palette* palette = nullptr;

    DrawingState() {
        // A palette whose entry i is grey i, except white at 255 (the colour
        // of screen index 7 through the back buffer's colour table).
        platform::LogPalette description{0x300, 256, {}};
        for (int i = 0; i < 256; ++i) {
            const auto grey = static_cast<uint8_t>(i / 2);
            description.palPalEntry[i] = {grey, grey, grey, 0};
        }
        description.palPalEntry[255] = {255, 255, 255, 0};
        palette = platform::PaletteCreate(&description);
        state->hpalette = palette;
        FontCreate(state.get());
        BackBufferCreate(state.get(), 768, 512);
    }
    ~DrawingState() { AppRelease(state.get()); }  // the palette included
    uint8_t* Pixels() { return state->backBuffer.pixels; }
    void Clear() { std::memset(Pixels(), 0, 768 * 512); }
};

}  // namespace testing_render
