#include "render/floaters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/render/render_fixture.h"

namespace {

using testing_render::DrawingState;

uint32_t Click(int x, int y) { return static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 16; }

TEST(FloaterSpawn, FillsTheLowestFreeSlotWithANumberAtTheClick) {
    auto state = std::make_unique<AppState>();
    FloaterSpawn(state.get(), Click(100, 100));
    FloaterSpawn(state.get(), Click(300, 20));  // x is cut to 8 bits: 44
    const FloaterWord first = state->floaters[0].word.load();
    const FloaterWord second = state->floaters[1].word.load();
    EXPECT_EQ(WordGet(first, FLOATER_ACTIVE), 1u);
    EXPECT_EQ(WordGet(first, FLOATER_AGE), 0u);
    EXPECT_EQ(WordGet(first, FLOATER_X), 100u);
    EXPECT_EQ(WordGet(first, FLOATER_Y), 100u);
    EXPECT_EQ(WordGet(second, FLOATER_X), 44u);
    EXPECT_EQ(WordGet(second, FLOATER_Y), 20u);
    for (int slot : {0, 1}) {
        const char* text = state->floaters[slot].text;
        const size_t length = strnlen(text, FLOATER_TEXT_SIZE);
        ASSERT_GE(length, 1u);
        ASSERT_LE(length, 4u);
        for (size_t i = 0; i < length; ++i) {
            ASSERT_TRUE(text[i] >= '0' && text[i] <= '9') << text;
        }
    }
    EXPECT_EQ(state->floaters[2].word.load(), 0u);
}

TEST(FloaterSpawn, TheNumbersComeFromTheStatesGenerator) {
    auto state = std::make_unique<AppState>();
    RandomSeed(&state->random, 20261209);
    Random replay{};
    RandomSeed(&replay, 20261209);
    for (int slot = 0; slot < 40; ++slot) {
        FloaterSpawn(state.get(), Click(slot, 9));
        EXPECT_EQ(std::string(state->floaters[slot].text),
                  std::to_string(RandomNext(&replay) % 10000))
            << slot;
    }
    EXPECT_EQ(state->random.state, replay.state);
}

TEST(FloaterSpawn, WithEverySlotBusyAClickChangesNothing) {
    auto state = std::make_unique<AppState>();
    for (int i = 0; i < FLOATER_COUNT; ++i) {
        FloaterSpawn(state.get(), Click(i, 1));
    }
    std::vector<FloaterWord> before;
    for (const Floater& f : state->floaters) {
        before.push_back(f.word.load());
        ASSERT_EQ(WordGet(before.back(), FLOATER_ACTIVE), 1u);
    }
    const std::string text5 = state->floaters[5].text;
    const uint32_t generator = state->random.state;
    FloaterSpawn(state.get(), Click(7, 7));
    for (int i = 0; i < FLOATER_COUNT; ++i) {
        ASSERT_EQ(state->floaters[i].word.load(), before[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(text5, state->floaters[5].text);
    EXPECT_EQ(state->random.state, generator);  // no number was drawn
    // Once slots 9 and 3 free, the next click takes slot 3.
    state->floaters[9].word.store(0);
    state->floaters[3].word.store(0);
    FloaterSpawn(state.get(), Click(50, 60));
    EXPECT_EQ(WordGet(state->floaters[3].word.load(), FLOATER_X), 50u);
    EXPECT_EQ(state->floaters[9].word.load(), 0u);
}

TEST(FloatersDraw, ANumberRisesAndFallsOverThirtyOneFramesThenFrees) {
    DrawingState d;
    ASSERT_NE(d.state->target, nullptr);
    FloaterSpawn(d.state.get(), Click(100, 100));
    const std::string text = d.state->floaters[0].text;

    // What the same text looks like drawn directly at a given top.
    DrawingState reference;
    auto expectedAt = [&](int y) {
        reference.Clear();
        platform::DrawContextTextOut(reference.state->hdcMem, 100, y, text.c_str(),
                                     static_cast<int>(text.size()));
        return std::vector<uint8_t>(reference.Pixels(), reference.Pixels() + 768 * 512);
    };

    for (int frame = 0; frame < 31; ++frame) {
        d.Clear();
        FloatersDraw(d.state.get());
        const std::vector<uint8_t> drawn(d.Pixels(), d.Pixels() + 768 * 512);
        ASSERT_EQ(drawn, expectedAt(100 + riseTable[frame])) << "frame " << frame;
        const FloaterWord word = d.state->floaters[0].word.load();
        ASSERT_EQ(WordGet(word, FLOATER_AGE), static_cast<uint32_t>(frame + 1));
        ASSERT_EQ(WordGet(word, FLOATER_ACTIVE), frame < 30 ? 1u : 0u) << frame;
    }
    EXPECT_EQ(riseTable[1], -4);
    EXPECT_EQ(riseTable[12], -15);
    EXPECT_EQ(riseTable[30], -4);

    // The 32nd frame draws nothing.
    d.Clear();
    FloatersDraw(d.state.get());
    for (int i = 0; i < 768 * 512; ++i) {
        ASSERT_EQ(d.Pixels()[i], 0);
    }
    // The text is white: the screen index whose colour is white.
    const std::vector<uint8_t> top = expectedAt(85);
    int white = 0;
    for (uint8_t b : top) {
        ASSERT_TRUE(b == 0 || b == 7) << int{b};
        white += b == 7;
    }
    EXPECT_GT(white, 10);
}

TEST(FloatersDraw, TextAboveTheTopEdgeIsClipped) {
    DrawingState d;
    FloaterSpawn(d.state.get(), Click(10, 5));
    for (int frame = 0; frame < 12; ++frame) {
        d.Clear();
        FloatersDraw(d.state.get());  // AddressSanitizer watches the rows above
    }
    int drawn = 0;
    for (int i = 0; i < 768 * 512; ++i) {
        drawn += d.Pixels()[i] != 0;
    }
    EXPECT_GT(drawn, 0);  // y 5 - 14: the lower part of the text still shows
}

}  // namespace
