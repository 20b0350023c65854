#include "render/layers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "surface/surface.h"

namespace {

// A state with a 768x512 target, two layers and a sprite sheet whose cell
// (c, r) is filled with the byte 16 * r + c + 1 (never 0) except for a
// transparent top-left pixel.
struct Playfield {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    Playfield() {
        state->target = SurfaceCreate(768, 512, DIB_PAL_COLORS);
        state->layers[0] = SurfaceCreate(1024, 1024, DIB_PAL_COLORS);
        state->layers[1] = SurfaceCreate(1024, 1024, DIB_PAL_COLORS);
        state->imgSprites = SurfaceCreate(256, 256, DIB_PAL_COLORS);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const int cell = (y / 16) * 16 + x / 16;
                const bool corner = x % 16 == 0 && y % 16 == 0;
                state->imgSprites->pixels[y * 256 + x] = corner ? 0 : static_cast<uint8_t>(cell + 1);
            }
        }
        state->viewWidth = 384;
        state->viewHeight = 256;
    }
    ~Playfield() {
        SurfaceDestroy(state->target);
        SurfaceDestroy(state->layers[0]);
        SurfaceDestroy(state->layers[1]);
        SurfaceDestroy(state->imgSprites);
    }
    uint8_t At(int x, int y) const { return state->target->pixels[y * 768 + x]; }
    int Drawn() const {
        int n = 0;
        for (int i = 0; i < 768 * 512; ++i) {
            n += state->target->pixels[i] != 0;
        }
        return n;
    }
    void FillLayer(int index) {
        // Every layer byte non-zero and telling of its position.
        uint8_t* p = state->layers[index]->pixels;
        for (int i = 0; i < 1024 * 1024; ++i) {
            p[i] = static_cast<uint8_t>(1 + (i % 251));
        }
    }
    uint8_t LayerAt(int index, int x, int y) const {
        return state->layers[index]->pixels[y * 1024 + x];
    }
};

LayerWord Layer(uint32_t sx, uint32_t sy, bool visible) {
    return WordSet(WordSet(WordSet(0, LAYER_X, sx), LAYER_Y, sy), LAYER_VISIBLE, visible);
}

TEST(DrawLayer, InvisibleLayerDrawsNothing) {
    Playfield f;
    f.FillLayer(0);
    f.state->layerWords[0] = Layer(10, 0, false);
    DrawLayer(f.state.get(), 0);
    EXPECT_EQ(f.Drawn(), 0);
}

TEST(DrawLayer, TheFieldPieceWrapsOntoTheNextRowPastTheRightEdge) {
    Playfield f;
    f.FillLayer(1);
    f.state->layerWords[1] = Layer(0, 0, true);
    DrawLayer(f.state.get(), 1);
    EXPECT_EQ(f.At(0, 0), f.LayerAt(1, 0, 0));
    EXPECT_EQ(f.At(255, 255), f.LayerAt(1, 255, 255));

    f.state->layerWords[1] = Layer(1000, 0, true);
    DrawLayer(f.state.get(), 1);
    for (int y : {0, 100, 255}) {
        EXPECT_EQ(f.At(0, y), f.LayerAt(1, 1000, y));
        EXPECT_EQ(f.At(23, y), f.LayerAt(1, 1023, y));
        EXPECT_EQ(f.At(24, y), f.LayerAt(1, 0, y + 1));
        EXPECT_EQ(f.At(255, y), f.LayerAt(1, 231, y + 1));
    }
}

TEST(DrawLayer, TheViewSizeDecidesWhichPiecesDraw) {
    struct View {
        int w, h;
        bool right, below;
    };
    for (const View v : {View{256, 256, false, false}, View{384, 256, true, false},
                         View{512, 512, true, true}, View{768, 512, true, true}}) {
        Playfield f;
        f.FillLayer(0);
        f.state->viewWidth = v.w;
        f.state->viewHeight = v.h;
        f.state->layerWords[0] = Layer(300, 5, true);
        DrawLayer(f.state.get(), 0);
        EXPECT_EQ(f.At(0, 0), f.LayerAt(0, 300, 5));
        // Right of x 256 the layer starts again at source x 0; below y 256 at source y 0.
        EXPECT_EQ(f.At(256, 0), v.right ? f.LayerAt(0, 0, 5) : 0) << v.w;
        EXPECT_EQ(f.At(0, 256), v.below ? f.LayerAt(0, 300, 0) : 0) << v.w;
        EXPECT_EQ(f.At(256, 256), v.right && v.below ? f.LayerAt(0, 0, 0) : 0) << v.w;
        EXPECT_EQ(f.At(v.w - 1, 0) != 0, true) << v.w;
        if (v.w < 768) {
            EXPECT_EQ(f.At(v.w, 0), 0) << v.w;  // nothing right of the view
        }
    }
}

SpriteWord Sprite(uint32_t x, uint32_t y, uint32_t column, uint32_t row) {
    SpriteWord w = WordSet(0, SPRITE_VISIBLE, 1);
    w = WordSet(w, SPRITE_X, x);
    w = WordSet(w, SPRITE_Y, y);
    w = WordSet(w, SPRITE_COLUMN, column);
    return WordSet(w, SPRITE_ROW, row);
}

TEST(DrawSprites, CellsComeFromTheSheetAndLowerIndicesLieOnTop) {
    Playfield f;
    f.state->sprites[5] = Sprite(40, 40, 3, 0);   // cell byte 4
    f.state->sprites[9] = Sprite(48, 48, 0, 1);   // cell byte 17, overlapped by sprite 5
    f.state->sprites[7] = WordSet(Sprite(100, 100, 1, 1), SPRITE_VISIBLE, 0);
    DrawSprites(f.state.get());
    EXPECT_EQ(f.At(41, 41), 4);
    EXPECT_EQ(f.At(50, 50), 4);   // sprite 5 covers sprite 9
    EXPECT_EQ(f.At(60, 60), 17);  // only sprite 9 reaches here
    EXPECT_EQ(f.At(40, 40), 0);   // the cell's transparent corner
    EXPECT_EQ(f.At(101, 101), 0); // invisible sprite
    EXPECT_EQ(f.Drawn(), 2 * 256 - 8 * 8 - 1);  // sprite 5 hides sprite 9's corner
}

TEST(DrawSprites, SpritesAreClippedAtTheTargetEdges) {
    Playfield f;
    f.state->sprites[1] = Sprite(760, 0, 2, 0);
    f.state->sprites[2] = Sprite(768, 100, 2, 0);
    f.state->sprites[3] = Sprite(100, 512, 2, 0);
    f.state->sprites[4] = Sprite(1020, 1020, 2, 0);
    DrawSprites(f.state.get());
    EXPECT_EQ(f.At(760 + 1, 1), 3);
    EXPECT_EQ(f.At(767, 15), 3);
    EXPECT_EQ(f.Drawn(), 8 * 16 - 1);  // only the left 8 columns of sprite 1
}

TEST(Playfield, StarsAndFirstWords) {
    Playfield f;
    RandomSeed(&f.state->random, 1234);
    StarsScatter(f.state.get());
    // Replay the generator: the same calls in the same order.
    Random replay{};
    RandomSeed(&replay, 1234);
    std::vector<uint8_t> expected[2] = {std::vector<uint8_t>(1024 * 1024),
                                        std::vector<uint8_t>(1024 * 1024)};
    for (int pass = 0; pass < 1024; ++pass) {
        for (int layer = 0; layer < 2; ++layer) {
            const int value = RandomNext(&replay) & 7;
            const int y = RandomNext(&replay) & 1023;
            const int x = RandomNext(&replay) & 1023;
            expected[layer][static_cast<size_t>(y * 1024 + x)] = static_cast<uint8_t>(value);
        }
    }
    for (int layer = 0; layer < 2; ++layer) {
        EXPECT_EQ(0, std::memcmp(expected[layer].data(), f.state->layers[layer]->pixels,
                                 1024 * 1024));
        int stars = 0;
        for (uint8_t b : expected[layer]) {
            stars += b != 0;
            ASSERT_LE(b, 7);
        }
        EXPECT_GT(stars, 800);  // about seven in eight of 1024 are visible
        EXPECT_LE(stars, 1024);
    }
    // The scatter drew 6 * 1024 numbers: the state's generator is where the
    // replay's is.
    EXPECT_EQ(f.state->random.state, replay.state);

    f.state->sprites[0] = WordSet(WordSet(0, SPRITE_EXTRA, 5), SPRITE_X, 7);
    PlayfieldInitWords(f.state.get());
    EXPECT_EQ(f.state->layerWords[0], 1u);
    EXPECT_EQ(f.state->layerWords[1], 1u);
    EXPECT_EQ(WordGet(f.state->sprites[0], SPRITE_VISIBLE), 1u);
    EXPECT_EQ(WordGet(f.state->sprites[0], SPRITE_COLUMN), 2u);
    EXPECT_EQ(WordGet(f.state->sprites[0], SPRITE_ROW), 0u);
    EXPECT_EQ(WordGet(f.state->sprites[0], SPRITE_EXTRA), 5u);
    EXPECT_EQ(WordGet(f.state->sprites[0], SPRITE_X), 7u);
}

}  // namespace
