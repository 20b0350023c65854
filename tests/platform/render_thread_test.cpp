// The render thread a backend runs its render procedure on: the steps run in
// order until one ends the loop or a stop is asked, and an exit() while it
// runs ends the process with the exit's status, never an abort. Run under
// ThreadSanitizer. Everything waits for counts of frames; deadlines only
// guard against a hang.
#include "platform/render_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

struct Counter {
    std::atomic<int> begins{0};
    std::atomic<int> frames{0};
    int beginResult = 1;
    int lastFrame = 0;  // the frame that returns 0; 0: never
};

int Begin(void* context) {
    auto* c = static_cast<Counter*>(context);
    c->begins.fetch_add(1);
    return c->beginResult;
}

int Frame(void* context) {
    auto* c = static_cast<Counter*>(context);
    const int frame = c->frames.fetch_add(1) + 1;
    return frame == c->lastFrame ? 0 : 1;
}

// Waits until at least count frames have run; false after minutes.
bool WaitForFrames(const Counter& c, int count) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (c.frames.load() < count) {
        if (std::chrono::steady_clock::now() > guard) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

TEST(RenderThread, RunsBeginOnceThenFramesUntilStopped) {
    Counter c;
    const platform::RenderProcedure procedure{Begin, Frame, &c};
    platform::RenderThread* thread = platform::RenderThreadStart(&procedure);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(WaitForFrames(c, 100));
    platform::RenderThreadStop(thread);
    const int stoppedAt = c.frames.load();
    EXPECT_EQ(c.begins.load(), 1);
    EXPECT_GE(stoppedAt, 100);
    // After the stop has returned no frame runs any more.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(c.frames.load(), stoppedAt);
}

TEST(RenderThread, AStepThatReturnsZeroEndsTheLoop) {
    Counter ends;
    ends.lastFrame = 7;
    const platform::RenderProcedure framesEnd{Begin, Frame, &ends};
    platform::RenderThread* thread = platform::RenderThreadStart(&framesEnd);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(WaitForFrames(ends, 7));
    platform::RenderThreadStop(thread);  // joins a thread that has already finished
    EXPECT_EQ(ends.frames.load(), 7);

    Counter refuses;
    refuses.beginResult = 0;
    const platform::RenderProcedure beginEnds{Begin, Frame, &refuses};
    thread = platform::RenderThreadStart(&beginEnds);
    ASSERT_NE(thread, nullptr);
    platform::RenderThreadStop(thread);
    EXPECT_EQ(refuses.begins.load(), 1);
    EXPECT_EQ(refuses.frames.load(), 0);

    const platform::RenderProcedure incomplete{Begin, nullptr, &refuses};
    EXPECT_EQ(platform::RenderThreadStart(&incomplete), nullptr);
    EXPECT_EQ(platform::RenderThreadStart(nullptr), nullptr);
    platform::RenderThreadStop(nullptr);
}

// The exit test runs in a child process of its own; where GoogleTest cannot
// start one (the browser build under Node has no death tests), it is left out.
#ifdef GTEST_HAS_DEATH_TEST
// The death test's watch on the exit path: this object is destroyed with the
// process's statics, after the exit handlers registered later (the render
// thread's among them). Should a render frame still run then, it is seen,
// and the process ends with status 7 instead of the exit's own.
std::atomic<bool> watchingExit{false};
std::atomic<bool> staticsGone{false};
std::atomic<bool> drewDuringTeardown{false};

struct TeardownWatch {
    ~TeardownWatch() {
        if (!watchingExit.load()) {
            return;
        }
        staticsGone.store(true);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (!drewDuringTeardown.load() && std::chrono::steady_clock::now() < until) {
            std::this_thread::yield();
        }
        if (drewDuringTeardown.load()) {
            std::_Exit(7);
        }
    }
} teardownWatch;

int WatchedFrame(void* context) {
    if (staticsGone.load()) {
        drewDuringTeardown.store(true);
    }
    return Frame(context);
}

// A library that gives up (as Xlib does when the display goes away) calls
// exit() on the user-interface thread while the render thread draws: the
// thread is stopped before static objects go, and the process ends with the
// exit's status, not with "terminate called" and an abort.
[[noreturn]] void ExitWhileDrawing() {
    static Counter c;
    static const platform::RenderProcedure procedure{Begin, WatchedFrame, &c};
    watchingExit.store(true);
    if (platform::RenderThreadStart(&procedure) == nullptr || !WaitForFrames(c, 50)) {
        std::_Exit(9);
    }
    std::exit(1);
}

TEST(RenderThreadDeathTest, AnExitWhileTheThreadRunsEndsWithItsStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitWhileDrawing(), ::testing::ExitedWithCode(1), "");
}
#endif  // GTEST_HAS_DEATH_TEST

}  // namespace
