// A frame allocates nothing: the count of every heap allocation made by our
// code (see tests/app/allocation_counter.h) over hundreds of headless frames, once each item's icon has been
// shown, is zero: the field, the message window and the item list.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/message.h"
#include "tests/app/allocation_counter.h"
#include "tests/app/headless_program.h"

namespace {

TEST(FrameAllocation, FramesAfterTheFirstAllocateNothing) {
    // The counter itself works: a new, a calloc and an aligned_alloc are all
    // seen. (Through a volatile pointer, so the compiler cannot drop them.)
    static void* volatile sink;
    testing_app::AllocationCountingStart();
    sink = new int(5);
    delete static_cast<int*>(sink);
    sink = std::calloc(1, 16);
    std::free(sink);
    sink = std::aligned_alloc(64, 64);
    std::free(sink);
    EXPECT_EQ(testing_app::AllocationCountingStop(), 3);

    {
        testing_app::HeadlessProgram p(4242);
        ASSERT_TRUE(p.Opened());
        p.Frame();
        p.ShowEveryIcon();
        AppState* state = p.state.get();
        testing_app::AllocationCountingStart();
        for (int frame = 0; frame < 400; ++frame) {
            if (frame % 50 == 0) {
                p.Click(frame % 300, 100);  // floating numbers on the way
            }
            p.Frame();
            p.Advance(16);  // the frames-per-second text is rewritten too
        }
        // The message window typing, pausing and waiting with its indicator.
        MessageStart(state, "\x82\xA0\x81\x41\x82\xA2");
        for (int frame = 0; frame < 60; ++frame) {
            p.Frame();
            p.Advance(16);
        }
        const bool waited = state->messageState == MESSAGE_WAITING;
        state->messageState = MESSAGE_CLOSED;
        // The item list, its cursor running over every item.
        state->listActive = 1;
        for (int frame = 0; frame < 64; ++frame) {
            state->listSelection = frame % state->listCount;
            p.Frame();
        }
        EXPECT_EQ(testing_app::AllocationCountingStop(), 0);
        EXPECT_TRUE(waited);
    }
    EXPECT_STRNE(fpsText, "");
}

}  // namespace
