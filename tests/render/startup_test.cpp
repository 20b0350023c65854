// The graphics start-up: everything prepared in order, and a missing or bad
// resource reported by name with nothing left half-made.
#include "render/startup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "game/game_tick.h"
#include "platform/palette.h"
#include "platform/window.h"
#include "resources/program_resources.h"
#include "surface/screen_index.h"
#include "tests/resources/resource_table.h"

namespace {

// The program's resources with one bitmap left out, or replaced by bytes.
struct EditedModule {
    std::vector<platform::ResourceEntry> entries;
    platform::Module module{};
    EditedModule(int id, const std::vector<uint8_t>* replacement) {
        for (platform::ResourceEntry e : testing_resources::ProgramResourceTable()) {
            if (e.name == nullptr && e.id == id) {
                if (replacement == nullptr) {
                    continue;
                }
                e.data = replacement->data();
                e.size = replacement->size();
            }
            entries.push_back(e);
        }
        module = platform::Module{entries.data(), entries.size()};
    }
};

class StartupTest : public ::testing::Test {
protected:
    void TearDown() override { AppRelease(state.get()); }
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

TEST_F(StartupTest, PreparesEveryImageTheBackBufferAndTheLayers) {
    platform::Window window{};
    ASSERT_EQ(AppStartup(state.get(), &window, &programResources, GameTick), nullptr);
    EXPECT_EQ(state->hwnd, &window);
    EXPECT_EQ(state->tick, &GameTick);
    EXPECT_EQ(state->target, &state->backBuffer);
    EXPECT_EQ(state->backBuffer.ownsPixels, 0);
    EXPECT_EQ(SurfaceRows(state->imgScratch), 4096);
    for (Surface* image : {state->imgSprites, state->imgCursor, state->imgMoreA, state->imgMoreB,
                           state->imgListPanel, state->imgOverlay, state->imgMessagePanel}) {
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->tableMode, DIB_PAL_COLORS);  // matched to the identity palette
    }
    // Screen indices: the overlay's see-through square is 11 everywhere, and
    // the list cursor is white (7) on blue (1).
    EXPECT_EQ(state->imgOverlay->pixels[0], 11);
    EXPECT_EQ(state->imgOverlay->pixels[255 * 384 + 255], 11);
    EXPECT_EQ(state->imgCursor->pixels[0], 1);
    int white = 0;
    for (int i = 0; i < 144; ++i) {
        white += state->imgCursor->pixels[i] == 7;
    }
    EXPECT_GT(white, 5);
    // The identity palette holds the sprite sheet's colours.
    EXPECT_EQ(state->hpalette->entries[252].peBlue, 255);
    EXPECT_EQ(state->hpalette->entries[252].peRed, 0);
    // The star layers start empty; the view is not chosen yet.
    for (Surface* layer : state->layers) {
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->pixels[12345], 0);
    }
    EXPECT_EQ(state->viewWidth, 0);
    EXPECT_EQ(state->viewHeight, 0);
}

TEST_F(StartupTest, AMissingBitmapIsNamedAndStopsTheStartUp) {
    EditedModule noPanel(110, nullptr);
    platform::Window window{};
    const char* failure = AppStartup(state.get(), &window, &noPanel.module, GameTick);
    ASSERT_NE(failure, nullptr);
    EXPECT_STREQ(failure, "cannot load bitmap 110");
    EXPECT_EQ(state->imgListPanel, nullptr);
    EXPECT_EQ(state->imgOverlay, nullptr);  // loaded after 110
    EXPECT_EQ(state->target, nullptr);
    EXPECT_EQ(state->tick, nullptr);
}

TEST_F(StartupTest, ABadSpriteSheetIsNamedBeforeAnythingUsesIt) {
    std::vector<uint8_t> truncated(100, 0);
    EditedModule badSheet(101, &truncated);
    platform::Window window{};
    EXPECT_STREQ(AppStartup(state.get(), &window, &badSheet.module, GameTick),
                 "cannot load bitmap 101");
    EXPECT_EQ(state->hpalette, nullptr);
    EXPECT_EQ(state->imgCursor, nullptr);
}

}  // namespace
