// The real program with its real render thread: the user-interface thread
// sends keys and clicks and takes frames while the render thread runs
// hundreds of frames. Run under ThreadSanitizer. It waits for counts of
// frames and events, never for a time: the deadline only guards against a
// hang.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/keys.h"
#include "tests/app/headless_program.h"

namespace {

TEST(ProgramThreads, TheRenderThreadRunsWhileEventsArrive) {
    testing_app::HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    ASSERT_TRUE(platform::HeadlessStartRenderThread(p.window));

    // Frames asked for and taken: each is a frame the render thread drew
    // after the one before was taken.
    constexpr uint64_t FRAMES = 600;
    constexpr int EVENTS = 200;
    const int keys[] = {platform::VK_LEFT, platform::VK_Z, platform::VK_UP, platform::VK_X};
    uint64_t lastSequence = 0;
    uint64_t framesTaken = 0;
    int events = 0;
    bool badFrame = false;
    bool hung = false;
    const auto hangGuard = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (lastSequence < FRAMES || events < EVENTS) {
        if (std::chrono::steady_clock::now() > hangGuard) {
            hung = true;
            break;
        }
        const int key = keys[events % 4];
        p.Key(key, true);
        p.Click(events % 384, events % 256);
        p.Key(key, false);
        ++events;
        if (const platform::Frame* frame = platform::HeadlessTakeFrame(p.window)) {
            // Every frame is whole: newer than the last, the view's size, and
            // the side panel mostly blue.
            int blue = 0;
            for (int y = 0; y < 256; ++y) {
                for (int x = 256; x < 384; ++x) {
                    const uint8_t index = frame->pixels[y * frame->stride + x];
                    blue += frame->colours->argb.argb[index] == 0xFF0000FFu;
                }
            }
            if (frame->sequence <= lastSequence || frame->width != 384 || frame->height != 256 ||
                blue < 128 * 256 / 3) {
                badFrame = true;
                break;
            }
            lastSequence = frame->sequence;
            ++framesTaken;
        }
    }
    AppState* state = p.state.get();
    platform::HeadlessClose(p.window);  // stops the render thread, then releases
    p.window = nullptr;
    EXPECT_FALSE(hung);
    EXPECT_FALSE(badFrame);
    EXPECT_GE(lastSequence, FRAMES);
    // Only the frames asked for were handed over, one a request.
    EXPECT_EQ(framesTaken, lastSequence);
    EXPECT_GE(static_cast<uint64_t>(state->frameCount), FRAMES);
    EXPECT_EQ(state->target, nullptr);  // everything was released after the thread stopped
}

}  // namespace
