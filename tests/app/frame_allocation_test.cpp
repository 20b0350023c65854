// A frame allocates nothing: the count of every heap allocation made by our
// code (operator new, and malloc, calloc and realloc through the linker's
// --wrap) over hundreds of headless frames, once each item's icon has been
// shown, is zero: the field, the message window and the item list.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "game/message.h"
#include "tests/app/headless_program.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void Count() {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __wrap_malloc(size_t size);
void* __wrap_calloc(size_t count, size_t size);
void* __wrap_realloc(void* block, size_t size);

void* __wrap_malloc(size_t size) {
    Count();
    return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
    Count();
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size) {
    Count();
    return __real_realloc(block, size);
}
}

void* operator new(size_t size) {
    Count();
    if (void* block = __real_malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    Count();
    return __real_malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

TEST(FrameAllocation, FramesAfterTheFirstAllocateNothing) {
    // The counter itself works: a new and a calloc are both seen.
    // (Through a volatile pointer, so the compiler cannot drop the pair.)
    static void* volatile sink;
    counting = true;
    sink = new int(5);
    delete static_cast<int*>(sink);
    sink = std::calloc(1, 16);
    std::free(sink);
    counting = false;
    EXPECT_EQ(allocations.exchange(0), 2);

    {
        testing_app::HeadlessProgram p(4242);
        ASSERT_TRUE(p.Opened());
        p.Frame();
        // Every item shown once: its icon is loaded on that first display.
        AppState* state = p.state.get();
        state->listActive = 1;
        for (int item = 0; item < state->listCount; ++item) {
            state->listSelection = item;
            p.Frame();
        }
        state->listActive = 0;
        counting = true;
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
        counting = false;
        EXPECT_TRUE(waited);
    }
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_STRNE(fpsText, "");
}

}  // namespace
