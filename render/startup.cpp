#include "render/startup.h"

#include <cstdio>
#include <cstdlib>

#include "base/view_mode.h"
#include "game/item_list.h"
#include "platform/window.h"
#include "surface/back_buffer.h"
#include "surface/bitmap_load.h"
#include "surface/palette.h"
#include "surface/screen_index.h"
#include "surface/surface_runs.h"

namespace {

// The images drawn every frame or by the windows, in loading order after the
// sprite sheet.
struct ImageSlot {
    int id;
    Surface* AppState::*field;
};
constexpr ImageSlot IMAGES[] = {
    {111, &AppState::imgCursor},   {106, &AppState::imgMoreA},
    {107, &AppState::imgMoreB},    {110, &AppState::imgListPanel},
    {102, &AppState::imgOverlay},  {103, &AppState::imgMessagePanel},
};

// Load, match to the identity palette, convert to screen indices.
Surface* LoadPrepared(const platform::Module* module, int id, const platform::Palette* palette) {
    Surface* image = SurfaceLoadResource(module, id);
    if (image != nullptr) {
        SurfaceMatchPalette(image, palette);
        SurfaceToScreenIndices(image);
    }
    return image;
}

}  // namespace

const char* AppStartup(AppState* state, platform::Window* window, const platform::Module* module,
                       TickFunction tick) {
    state->hwnd = window;
    state->hinstance = module;

    state->imgScratch = SurfaceCreate(8, 4096, DIB_PAL_COLORS);
    if (state->imgScratch == nullptr) {
        return "out of memory";
    }
    state->imgSprites = SurfaceLoadResource(module, 101);
    if (state->imgSprites == nullptr) {
        return "cannot load bitmap 101";
    }
    // The sprite sheet's RGB colours become the identity palette before its
    // colour table is replaced by matching.
    state->hpalette = PaletteCreateIdentity(state->imgSprites, platform::WindowScreen(window));
    if (state->hpalette == nullptr) {
        return "cannot create the identity palette";
    }
    SurfaceMatchPalette(state->imgSprites, state->hpalette);
    SurfaceToScreenIndices(state->imgSprites);

    static char failure[48];
    for (const ImageSlot& slot : IMAGES) {
        state->*slot.field = LoadPrepared(module, slot.id, state->hpalette);
        if (state->*slot.field == nullptr) {
            std::snprintf(failure, sizeof failure, "cannot load bitmap %d", slot.id);
            return failure;
        }
    }
    // The images drawn with a key every frame never change after this: their
    // spans let each blit skip the see-through parts. Without memory for them
    // the blits compare byte by byte.
    SurfacePrepareRuns(state->imgSprites, SPRITE_KEY);
    SurfacePrepareRuns(state->imgOverlay, OVERLAY_KEY);

    FontCreate(state);
    if (state->hfont == nullptr) {
        return "cannot create the font";
    }
    BackBufferCreate(state, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
    if (state->target == nullptr) {
        return "cannot create the back buffer";
    }
    for (Surface*& layer : state->layers) {
        layer = SurfaceCreate(1024, 1024, DIB_PAL_COLORS);
        if (layer == nullptr) {
            return "out of memory";
        }
    }
    state->tick = tick;
    return nullptr;
}

void AppRelease(AppState* state) {
    ItemListRelease(state);
    BackBufferDestroy(state);
    FontRelease(state);
    platform::PaletteDelete(state->hpalette);
    state->hpalette = nullptr;
    Surface** images[] = {&state->imgScratch, &state->imgSprites, &state->layers[0],
                          &state->layers[1]};
    for (Surface** image : images) {
        SurfaceDestroy(*image);
        *image = nullptr;
    }
    for (const ImageSlot& slot : IMAGES) {
        SurfaceDestroy(state->*slot.field);
        state->*slot.field = nullptr;
    }
}
