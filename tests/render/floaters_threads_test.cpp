// Floating numbers cross threads: the user-interface thread fills free slots
// while the render thread ages and draws them. Run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "render/floaters.h"
#include "tests/render/render_fixture.h"

namespace {

using testing_render::DrawingState;

bool IsNumberText(const char* text) {
    const size_t length = strnlen(text, FLOATER_TEXT_SIZE);
    if (length == 0 || length > 4) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

TEST(FloatersThreads, SpawnsAndDrawsNeverLoseOrTearANumber) {
    DrawingState d;
    ASSERT_NE(d.state->target, nullptr);
    AppState* state = d.state.get();
    std::atomic<bool> spawning{true};
    // Enough numbers to reuse every slot several times; the user-interface
    // thread goes on until it has spawned them all (the deadline only guards
    // against a hang).
    constexpr int SPAWNS = 2000;
    int spawned = 0;

    std::thread ui([&] {
        const auto hangGuard = std::chrono::steady_clock::now() + std::chrono::minutes(10);
        int click = 0;
        while (spawned < SPAWNS && std::chrono::steady_clock::now() < hangGuard) {
            // Only this thread makes slots active, so a free slot seen here
            // is still free when the spawn looks for it.
            bool anyFree = false;
            for (const Floater& f : state->floaters) {
                if (!WordGet(f.word.load(std::memory_order_acquire), FLOATER_ACTIVE)) {
                    anyFree = true;
                    break;
                }
            }
            // A slot the render thread frees after the look is taken next time.
            if (anyFree) {
                FloaterSpawn(state, static_cast<uint32_t>(click % 200) | (50u << 16));
                ++spawned;
            }
            ++click;
            if (click % 64 == 0) {
                std::this_thread::yield();
            }
        }
        spawning.store(false, std::memory_order_release);
    });

    // The render side: every active slot must hold a whole number, every
    // number is drawn at ages 0 to 30 and then freed.
    int firstDraws = 0;
    int frames = 0;
    int idleFramesAfter = 0;
    uint32_t lastAge[FLOATER_COUNT] = {};
    bool wasActive[FLOATER_COUNT] = {};
    while (idleFramesAfter < 40) {
        for (int i = 0; i < FLOATER_COUNT; ++i) {
            const FloaterWord w = state->floaters[i].word.load(std::memory_order_acquire);
            if (WordGet(w, FLOATER_ACTIVE)) {
                ASSERT_TRUE(IsNumberText(state->floaters[i].text)) << "slot " << i;
            }
        }
        FloatersDraw(state);
        ++frames;
        for (int i = 0; i < FLOATER_COUNT; ++i) {
            const FloaterWord w = state->floaters[i].word.load(std::memory_order_acquire);
            const uint32_t age = WordGet(w, FLOATER_AGE);
            const bool active = WordGet(w, FLOATER_ACTIVE) != 0;
            if (active && age == 0) {
                // Spawned after this frame's draw; its first draw comes next frame.
                wasActive[i] = false;
                lastAge[i] = 0;
                continue;
            }
            if (active && age == 1) {
                ++firstDraws;
            } else if (active) {
                ASSERT_TRUE(wasActive[i]) << "slot " << i << " jumped to age " << age;
                ASSERT_EQ(age, lastAge[i] + 1) << "slot " << i;
            } else if (wasActive[i]) {
                ASSERT_EQ(age, 31u) << "slot " << i << " freed early";
            }
            wasActive[i] = active;
            lastAge[i] = age;
        }
        if (!spawning.load(std::memory_order_acquire)) {
            ++idleFramesAfter;
        }
    }
    ui.join();
    EXPECT_EQ(spawned, SPAWNS);
    EXPECT_EQ(firstDraws, spawned);
    EXPECT_GT(frames, 100);
    for (const Floater& f : state->floaters) {
        EXPECT_EQ(WordGet(f.word.load(), FLOATER_ACTIVE), 0u);
    }
}

}  // namespace
