#include "base/state.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(AppState, TheProgramInstanceStartsIdle) {
    // Every state machine's idle value is 0, so the zeroed record starts idle.
    EXPECT_EQ(appState.messageState, MESSAGE_CLOSED);
    EXPECT_EQ(appState.listActive, 0);
    EXPECT_EQ(appState.viewWidth, 0);
    EXPECT_EQ(appState.target, nullptr);
    EXPECT_EQ(appState.tick, nullptr);
    EXPECT_EQ(InputRead(&appState), 0);
    for (int i = 0; i < SHOT_SLOT_COUNT; ++i) {
        ASSERT_EQ(appState.shotState[i], SHOT_FREE);
    }
    for (int i = 0; i < FLOATER_COUNT; ++i) {
        ASSERT_EQ(appState.floaters[i].word.load(), 0u);
    }
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        ASSERT_EQ(appState.sprites[i], 0u);
    }
}

TEST(AppState, KeysSharingABitAreNotToldApart) {
    auto state = std::make_unique<AppState>();
    InputPress(state.get(), INPUT_SHOT);  // Z down
    InputPress(state.get(), INPUT_SHOT);  // Space down
    InputPress(state.get(), INPUT_LEFT);
    InputPress(state.get(), INPUT_RIGHT);
    EXPECT_EQ(InputRead(state.get()), INPUT_SHOT | INPUT_LEFT | INPUT_RIGHT);
    InputRelease(state.get(), INPUT_SHOT);  // Z up, Space still held
    EXPECT_EQ(InputRead(state.get()), INPUT_LEFT | INPUT_RIGHT);
    InputRelease(state.get(), INPUT_LEFT);
    EXPECT_EQ(InputRead(state.get()), INPUT_RIGHT);
}

}  // namespace
