// The frame mailbox between a producer and a consumer thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/mailbox.h"

namespace {

using platform::Frame;
using platform::FrameMailbox;

constexpr int MAX_WIDTH = 48;
constexpr int MAX_HEIGHT = 20;

struct ConsumerResult {
    uint64_t taken = 0;
    uint64_t torn = 0;        // frames whose pixels were not all one value
    uint64_t outOfOrder = 0;  // sequences that did not increase
    uint64_t wrongSizes = 0;  // sizes that do not belong to the sequence
    uint64_t lastSequence = 0;
    bool timedOut = false;
};

// Every published frame is filled, over all of its pixels, with the low byte
// of its own sequence number, and its sizes are derived from it.
int WidthFor(uint64_t sequence) {
    return 1 + static_cast<int>(sequence % MAX_WIDTH);
}
int HeightFor(uint64_t sequence) {
    return 1 + static_cast<int>(sequence % MAX_HEIGHT);
}

void Check(const Frame* frame, ConsumerResult* r) {
    ++r->taken;
    const auto expected = static_cast<uint8_t>(frame->sequence);
    for (int i = 0; i < frame->stride * MAX_HEIGHT; ++i) {
        if (frame->pixels[i] != expected) {
            ++r->torn;
            break;
        }
    }
    if (frame->sequence <= r->lastSequence) {
        ++r->outOfOrder;
    }
    if (frame->width != WidthFor(frame->sequence) || frame->height != HeightFor(frame->sequence) ||
        frame->outWidth != 2 * frame->width) {
        ++r->wrongSizes;
    }
    r->lastSequence = frame->sequence;
}

void RunProducerAndConsumer(uint64_t frames, bool slowConsumer) {
    FrameMailbox* mailbox = platform::MailboxCreate(MAX_WIDTH, MAX_HEIGHT);
    ASSERT_NE(mailbox, nullptr);
    std::atomic<bool> producerDone{false};

    std::thread producer([&] {
        for (uint64_t sequence = 1; sequence <= frames; ++sequence) {
            Frame* back = platform::MailboxBackFrame(mailbox);
            for (int i = 0; i < back->stride * MAX_HEIGHT; ++i) {
                back->pixels[i] = static_cast<uint8_t>(sequence);
            }
            const int width = WidthFor(sequence);
            platform::MailboxPublish(mailbox, width, HeightFor(sequence), 2 * width, 0, nullptr);
        }
        producerDone.store(true, std::memory_order_release);
    });

    ConsumerResult result;
    // Only a guard against a hang: the consumer runs until the producer is done.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (!producerDone.load(std::memory_order_acquire)) {
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            break;
        }
        if (const Frame* frame = platform::MailboxTakeNewest(mailbox)) {
            Check(frame, &result);
            if (slowConsumer) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
    // The producer has stopped: the newest frame, if not taken yet, is the
    // last one published.
    if (const Frame* frame = platform::MailboxTakeNewest(mailbox)) {
        Check(frame, &result);
    }
    EXPECT_EQ(platform::MailboxTakeNewest(mailbox), nullptr);

    EXPECT_FALSE(result.timedOut);
    EXPECT_GT(result.taken, 0u);
    EXPECT_LE(result.taken, frames);
    EXPECT_EQ(result.torn, 0u);
    EXPECT_EQ(result.outOfOrder, 0u);
    EXPECT_EQ(result.wrongSizes, 0u);
    EXPECT_EQ(result.lastSequence, frames);
    platform::MailboxDestroy(mailbox);
}

TEST(MailboxThreads, ConsumerSeesWholeFramesInOrderEndingWithTheLast) {
    RunProducerAndConsumer(20000, false);
}

// A consumer much slower than the producer skips frames but still never
// sees one torn, and still ends with the last.
TEST(MailboxThreads, SlowConsumerSkipsFramesWithoutTearing) {
    RunProducerAndConsumer(20000, true);
}

// A display that asks for each frame: the producer publishes only frames
// asked for, with colours that change from frame to frame. No request is
// lost (the consumer would wait for ever), and every frame comes whole with
// the colours it was published with.
TEST(MailboxThreads, EveryRequestIsAnsweredWithAWholeFrameAndItsOwnColours) {
    constexpr uint64_t REQUESTS = 3000;
    FrameMailbox* mailbox = platform::MailboxCreate(MAX_WIDTH, MAX_HEIGHT);
    ASSERT_NE(mailbox, nullptr);
    // Two tables told apart by their serials and by their first colour.
    platform::FrameColours tables[2]{};
    for (int t = 0; t < 2; ++t) {
        platform::FrameColoursBuild(&tables[t], nullptr, nullptr);
        tables[t].argb.argb[0] = static_cast<uint32_t>(t);
    }
    std::atomic<bool> stop{false};
    std::thread producer([&] {
        uint64_t sequence = 0;
        while (!stop.load(std::memory_order_acquire)) {
            if (!platform::MailboxWanted(mailbox)) {
                std::this_thread::yield();
                continue;
            }
            ++sequence;
            Frame* back = platform::MailboxBackFrame(mailbox);
            for (int i = 0; i < back->stride * MAX_HEIGHT; ++i) {
                back->pixels[i] = static_cast<uint8_t>(sequence);
            }
            const int width = WidthFor(sequence);
            platform::MailboxPublish(mailbox, width, HeightFor(sequence), 2 * width, 0,
                                     &tables[sequence % 2]);
        }
    });

    ConsumerResult result;
    uint64_t wrongColours = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    platform::MailboxRequest(mailbox);
    while (result.taken < REQUESTS) {
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            break;
        }
        const Frame* frame = platform::MailboxTakeNewest(mailbox);
        if (frame == nullptr) {
            std::this_thread::yield();
            continue;
        }
        Check(frame, &result);
        const platform::FrameColours& want = tables[frame->sequence % 2];
        wrongColours += frame->colours->serial != want.serial ||
                        frame->colours->argb.argb[0] != want.argb.argb[0];
        platform::MailboxRequest(mailbox);
    }
    stop.store(true, std::memory_order_release);
    producer.join();

    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.taken, REQUESTS);
    // One frame a request: none published that was not asked for.
    EXPECT_EQ(result.lastSequence, REQUESTS);
    EXPECT_EQ(result.torn, 0u);
    EXPECT_EQ(result.outOfOrder, 0u);
    EXPECT_EQ(result.wrongSizes, 0u);
    EXPECT_EQ(wrongColours, 0u);
    platform::MailboxDestroy(mailbox);
}

}  // namespace
