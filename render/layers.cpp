#include "render/layers.h"

#include "render/startup.h"
#include "surface/surface.h"
#include "surface/surface_runs.h"

void StarsScatter(AppState* state) {
    Random* random = &state->random;
    for (int pass = 0; pass < 1024; ++pass) {
        for (int layer = 0; layer < LAYER_COUNT; ++layer) {
            const int value = RandomNext(random) & 7;
            const int y = RandomNext(random) & 1023;
            const int x = RandomNext(random) & 1023;
            if (state->layers[layer] != nullptr) {
                SurfacePutPixel(state->layers[layer], x, y, value);
            }
        }
    }
    // The layers are fixed from here on: their spans let the blits skip the
    // empty sky.
    for (Surface* layer : state->layers) {
        SurfacePrepareRuns(layer, STAR_KEY);
    }
}

void PlayfieldInitWords(AppState* state) {
    for (int layer = 0; layer < LAYER_COUNT; ++layer) {
        state->layerWords[layer] = WordSet(state->layerWords[layer], LAYER_VISIBLE, 1);
    }
    SpriteWord player = state->sprites[0];
    player = WordSet(player, SPRITE_VISIBLE, 1);
    player = WordSet(player, SPRITE_COLUMN, 2);
    player = WordSet(player, SPRITE_ROW, 0);
    state->sprites[0] = player;
}

void DrawLayer(AppState* state, int index) {
    const LayerWord word = state->layerWords[index];
    if (!WordGet(word, LAYER_VISIBLE)) {
        return;
    }
    Surface* layer = state->layers[index];
    const int sx = static_cast<int>(WordGet(word, LAYER_X));
    const int sy = static_cast<int>(WordGet(word, LAYER_Y));
    const int w = state->viewWidth;
    const int h = state->viewHeight;
    SurfaceBlit(state->target, 0, 0, 256, 256, layer, sx, sy, STAR_KEY);
    if (w > 256) {
        SurfaceBlit(state->target, 256, 0, w - 256, 256, layer, 0, sy, STAR_KEY);
    }
    if (h > 256) {
        SurfaceBlit(state->target, 0, 256, 256, h - 256, layer, sx, 0, STAR_KEY);
    }
    if (w > 256 && h > 256) {
        SurfaceBlit(state->target, 256, 256, w - 256, h - 256, layer, 0, 0, STAR_KEY);
    }
}

void DrawSprites(AppState* state) {
    for (int i = SPRITE_COUNT - 1; i >= 0; --i) {
        const SpriteWord word = state->sprites[i];
        if (!WordGet(word, SPRITE_VISIBLE)) {
            continue;
        }
        SurfaceBlit(state->target, static_cast<int>(WordGet(word, SPRITE_X)),
                    static_cast<int>(WordGet(word, SPRITE_Y)), SPRITE_CELL, SPRITE_CELL,
                    state->imgSprites, static_cast<int>(WordGet(word, SPRITE_COLUMN)) * SPRITE_CELL,
                    static_cast<int>(WordGet(word, SPRITE_ROW)) * SPRITE_CELL, SPRITE_KEY);
    }
}
