// The real start-up, frame loop and window procedure, run headless frame by
// frame with a clock the test drives.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/window_proc.h"
#include "base/view_mode.h"
#include "game/item_list.h"
#include "platform/keys.h"
#include "render/floaters.h"
#include "tests/app/headless_program.h"

namespace {

using Program = testing_app::HeadlessProgram;

using namespace testing_app;

TEST(Program, TheFirstFrameShowsThePanelTheStarsAndTheShip) {
    Program p;
    ASSERT_TRUE(p.Opened());
    EXPECT_EQ(p.state->viewWidth, 384);
    EXPECT_EQ(p.state->viewHeight, 256);
    EXPECT_EQ(p.state->listCount, 16);
    EXPECT_EQ(p.state->listEntries[15].value, 15);
    const platform::Picture* f = p.Frame();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->width, 384);
    EXPECT_EQ(f->height, 256);
    EXPECT_EQ(f->outWidth, 384);
    EXPECT_EQ(f->outHeight, 256);
    // The side panel: mostly blue, with light and dark grey and white.
    EXPECT_GT(Count(f, 256, 0, 384, 256, BLUE), 128 * 256 / 3);
    EXPECT_GT(Count(f, 256, 0, 384, 256, 0xFFC0C0C0) + Count(f, 256, 0, 384, 256, 0xFF808080), 100);
    // The field: black sky with stars (about 7 in 8 of 1024 per layer over
    // 1024x1024, so dozens in the 256x256 view), and the ship at (0, 0).
    const int field = CountNot(f, 16, 16, 256, 256, BLACK);
    EXPECT_GT(field, 20);
    EXPECT_LT(field, 400);
    EXPECT_GT(CountNot(f, 0, 0, 16, 16, BLACK), 30);
}

TEST(Program, NothingIsShownWhileTheViewIsEmpty) {
    Program p;
    ASSERT_TRUE(p.Opened());
    p.state->viewWidth = 0;
    p.state->viewHeight = 0;
    const platform::Picture* f = p.Frame();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->width, 0);
    EXPECT_EQ(f->height, 0);
}

TEST(Program, TheFrameRateAppearsOnceMoreThanASecondHasPassed) {
    for (uint32_t start : {5000u, 0xFFFFFE00u}) {  // the second run crosses the clock's wrap
        Program p(start);
        ASSERT_TRUE(p.Opened());
        const platform::Picture* f = nullptr;
        for (int frame = 0; frame < 10; ++frame) {
            f = p.Frame();
            p.Advance(100);  // 1000 ms after the start when frame 10 runs
        }
        EXPECT_EQ(Count(f, 260, 7, 320, 19, WHITE), 0) << start;
        EXPECT_STREQ(fpsText, "");
        f = p.Frame();  // exactly 1000 ms: not yet
        EXPECT_STREQ(fpsText, "");
        p.Advance(1);
        f = p.Frame();  // 1001 ms: the 11 earlier frames are counted
        EXPECT_STREQ(fpsText, "11fps") << start;
        EXPECT_GT(Count(f, 260, 7, 320, 19, WHITE), 15) << start;
        // The text stays on the following frames until the next period ends.
        f = p.Frame();
        EXPECT_GT(Count(f, 260, 7, 320, 19, WHITE), 15) << start;
    }
}

TEST(Program, AClickedNumberRisesAndVanishesOnSchedule) {
    Program p;
    ASSERT_TRUE(p.Opened());
    // The stars scroll; hidden, they leave the number alone on black.
    for (LayerWord& layer : p.state->layerWords) {
        layer = WordSet(layer, LAYER_VISIBLE, 0);
    }
    const std::vector<uint32_t> before = Region(p.Frame(), 90, 90, 150, 140);
    p.Click(100, 120);
    const std::string number = p.state->floaters[0].text;
    ASSERT_FALSE(number.empty());
    const int width = 6 * static_cast<int>(number.size());
    for (int frame = 0; frame < 31; ++frame) {
        const platform::Picture* f = p.Frame();
        const int top = 120 + riseTable[frame];
        EXPECT_GT(Count(f, 100, top, 100 + width, top + 12, WHITE), 5) << frame;
        // Nothing white just above or below the text's cell.
        EXPECT_EQ(Count(f, 100, top - 4, 100 + width, top, WHITE), 0) << frame;
        EXPECT_EQ(Count(f, 100, top + 12, 100 + width, top + 16, WHITE), 0) << frame;
    }
    // On the 32nd frame the number is gone: the place looks as before the click.
    EXPECT_EQ(Region(p.Frame(), 90, 90, 150, 140), before);
}

TEST(Program, WithTheListOpenTheFieldIsFrozenAndCoveredByTheList) {
    Program p;
    ASSERT_TRUE(p.Opened());
    p.Frame();
    const SpriteWord ship = p.state->sprites[0];
    const LayerWord layer = p.state->layerWords[1];
    p.state->listActive = 1;
    p.Key(platform::VK_Z, true);  // neither moves nor fires while the list is open
    p.Click(40, 40);
    const platform::Picture* f = p.Frame();
    p.Frame();
    EXPECT_EQ(p.state->sprites[0], ship);
    EXPECT_EQ(p.state->layerWords[1], layer);
    EXPECT_EQ(p.state->shotState[0], SHOT_FREE);
    // The list panel over the whole field, the floating number on it, the
    // side panel beside it.
    EXPECT_GT(Count(f, 0, 0, 256, 192, BLUE), 256 * 192 / 2);
    EXPECT_GT(Count(f, 40, 40, 70, 52, WHITE), 5);
    EXPECT_GT(Count(f, 256, 0, 384, 256, BLUE), 128 * 256 / 3);
}

TEST(Program, KeysSetAndClearTheirHeldBits) {
    Program p;
    ASSERT_TRUE(p.Opened());
    p.Key(platform::VK_Z, true);
    p.Key(platform::VK_SPACE, true);
    p.Key(platform::VK_NUMPAD4, true);
    p.Key(platform::VK_RIGHT, true);
    p.Key(platform::VK_F1, true);  // ignored
    EXPECT_EQ(InputRead(p.state.get()), INPUT_SHOT | INPUT_LEFT | INPUT_RIGHT);
    p.Key(platform::VK_Z, false);  // Space still held, yet the bit clears
    p.Key(platform::VK_ESCAPE, true);
    EXPECT_EQ(InputRead(p.state.get()), INPUT_LEFT | INPUT_RIGHT | INPUT_MENU);
    p.Key(platform::VK_ESCAPE, true);  // an auto-repeat sets it again
    p.Key(platform::VK_ESCAPE, false);
    EXPECT_EQ(InputRead(p.state.get()), INPUT_LEFT | INPUT_RIGHT);
}

// Every virtual-key code through the real window procedure: exactly the 13
// codes of the table set a bit, each its own, never 0x40 or 0x80; releasing
// any other key changes nothing.
TEST(Program, OnlyTheKeysOfTheTableHaveBits) {
    Program p;
    ASSERT_TRUE(p.Opened());
    const struct {
        int key;
        InputBits bit;
    } table[] = {{platform::VK_UP, INPUT_UP},         {platform::VK_NUMPAD8, INPUT_UP},
                 {platform::VK_DOWN, INPUT_DOWN},     {platform::VK_NUMPAD2, INPUT_DOWN},
                 {platform::VK_LEFT, INPUT_LEFT},     {platform::VK_NUMPAD4, INPUT_LEFT},
                 {platform::VK_RIGHT, INPUT_RIGHT},   {platform::VK_NUMPAD6, INPUT_RIGHT},
                 {platform::VK_RETURN, INPUT_SHOT},   {platform::VK_SPACE, INPUT_SHOT},
                 {platform::VK_Z, INPUT_SHOT},        {platform::VK_ESCAPE, INPUT_MENU},
                 {platform::VK_X, INPUT_MENU}};
    int withBits = 0;
    for (int key = 0; key < 256; ++key) {
        p.Key(key, true);
        const InputBits bits = InputRead(p.state.get());
        InputBits expected = 0;
        for (const auto& row : table) {
            expected = row.key == key ? row.bit : expected;
        }
        EXPECT_EQ(bits, expected) << key;
        EXPECT_EQ(KeyInputBit(key), expected) << key;
        withBits += bits != 0;
        p.Key(key, false);
        EXPECT_EQ(InputRead(p.state.get()), 0) << key;
    }
    EXPECT_EQ(withBits, 13);
    // A key outside the table released while others are held leaves them held.
    p.Key(platform::VK_UP, true);
    p.Key(platform::VK_F1, false);
    p.Key(0x10, false);  // Shift
    p.Key('A', false);
    EXPECT_EQ(InputRead(p.state.get()), INPUT_UP);
}

TEST(Program, ViewModesAndTheItemList) {
    auto state = std::make_unique<AppState>();
    SetViewMode(state.get(), 0, 1);
    EXPECT_EQ(state->viewWidth * 1000 + state->viewHeight, 384256);
    SetViewMode(state.get(), 1, 10);
    EXPECT_EQ(state->viewWidth * 1000 + state->viewHeight, 512512);
    EXPECT_EQ(WindowWidth(state.get()), 768);
    EXPECT_EQ(WindowHeight(state.get()), 512);
    SetViewMode(state.get(), 0, 11);
    EXPECT_EQ(state->viewWidth * 1000 + state->viewHeight, 768512);
    SetViewMode(state.get(), 0, 7);
    EXPECT_EQ(state->viewWidth * 1000 + state->viewHeight, 256256);
    EXPECT_EQ(WindowWidth(state.get()), 384);

    ItemRecord empty[1] = {{0, nullptr, nullptr, nullptr, nullptr}};
    state->listCount = 5;
    ItemListBuild(state.get(), empty);
    EXPECT_EQ(state->listCount, 0);
}

}  // namespace
