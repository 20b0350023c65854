// The real program with its real render thread: the user-interface thread
// sends keys and clicks and takes frames while the render thread runs
// thousands of frames. Run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "app/window_proc.h"
#include "platform/keys.h"
#include "platform/mailbox.h"

namespace {

TEST(ProgramThreads, TheRenderThreadRunsWhileEventsArrive) {
    auto state = std::make_unique<AppState>();
    platform::Window window{platform::MailboxCreate(768, 512), 384, 256, nullptr};
    ASSERT_NE(window.mailbox, nullptr);
    const platform::WindowEvent create{platform::WindowEventType::Create, 0, 0, 0};
    ASSERT_EQ(MainWndProc(&window, &create, state.get()), 0);

    const int keys[] = {platform::VK_LEFT, platform::VK_Z, platform::VK_UP, platform::VK_X};
    uint64_t lastSequence = 0;
    int framesTaken = 0;
    int events = 0;
    bool badFrame = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (lastSequence < 3000 && std::chrono::steady_clock::now() < deadline) {
        const int key = keys[events % 4];
        const platform::WindowEvent down{platform::WindowEventType::KeyDown, key, 0, 0};
        const platform::WindowEvent up{platform::WindowEventType::KeyUp, key, 0, 0};
        const platform::WindowEvent click{platform::WindowEventType::LeftButtonDown, 0,
                                          events % 384, events % 256};
        MainWndProc(&window, &down, state.get());
        MainWndProc(&window, &click, state.get());
        MainWndProc(&window, &up, state.get());
        ++events;
        if (const platform::Frame* frame = platform::MailboxTakeNewest(window.mailbox)) {
            // Every frame is whole: newer than the last, the view's size, and
            // the side panel mostly blue.
            int blue = 0;
            for (int y = 0; y < 256; ++y) {
                for (int x = 256; x < 384; ++x) {
                    blue += frame->pixels[y * frame->stride + x] == 0xFF0000FFu;
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
    const platform::WindowEvent destroy{platform::WindowEventType::Destroy, 0, 0, 0};
    MainWndProc(&window, &destroy, state.get());
    platform::MailboxDestroy(window.mailbox);
    // The render thread is stopped before anything is checked.
    EXPECT_FALSE(badFrame);
    EXPECT_GE(lastSequence, 3000u);
    EXPECT_GT(framesTaken, 10);
    EXPECT_GT(events, 100);
    EXPECT_EQ(state->target, nullptr);  // everything was released after the thread stopped
}

}  // namespace
