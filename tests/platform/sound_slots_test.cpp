// The table of sounds a backend keeps ready, and the request word between
// the render thread and the thread that starts sounds.
#include "platform/sound_slots.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using platform::SoundRequest;
using platform::SoundSlotOf;
using platform::SoundSlots;
using platform::SoundTakeRequest;

struct Clip {
    int made;  // how many times the slot was made
    size_t size;
};

template <int IMAGES>
int Slot(SoundSlots<Clip, IMAGES>* slots, const uint8_t* wav, size_t size) {
    return SoundSlotOf(slots, wav, size, [](const uint8_t*, size_t bytes, Clip* clip) {
        ++clip->made;
        clip->size = bytes;
    });
}

TEST(SoundSlots, AnImageIsMadeOnceAndKeyedByPlaceAndSize) {
    SoundSlots<Clip, 4> slots;
    const uint8_t images[64] = {};
    const int first = Slot(&slots, images, 64);
    EXPECT_EQ(first, 1) << "slot 0 is the beep's";
    EXPECT_EQ(Slot(&slots, images, 64), first);
    EXPECT_EQ(slots.clips[first].made, 1);
    // A shorter image at the same address (a prefix) is another sound.
    const int prefix = Slot(&slots, images, 32);
    EXPECT_NE(prefix, first);
    EXPECT_EQ(slots.clips[prefix].size, 32u);
}

TEST(SoundSlots, AFullTableRefusesNewImagesAndKeepsTheOldOnes) {
    SoundSlots<Clip, 2> slots;
    const uint8_t images[3] = {};
    ASSERT_EQ(Slot(&slots, &images[0], 1), 1);
    ASSERT_EQ(Slot(&slots, &images[1], 1), 2);
    EXPECT_EQ(Slot(&slots, &images[2], 1), -1);
    EXPECT_EQ(slots.clips[0].made, 0) << "a refused image must not write over the beep";
    EXPECT_EQ(Slot(&slots, &images[0], 1), 1);
    EXPECT_EQ(Slot(&slots, &images[1], 1), 2);
}

TEST(SoundSlots, TheNewestRequestIsTakenOnceAndARepeatStartsAgain) {
    SoundSlots<Clip, 4> slots;
    uint64_t seen = 0;
    EXPECT_EQ(SoundTakeRequest(&slots, &seen), -1);
    SoundRequest(&slots, 2);
    SoundRequest(&slots, 3);
    EXPECT_EQ(SoundTakeRequest(&slots, &seen), 3);
    EXPECT_EQ(SoundTakeRequest(&slots, &seen), -1);
    SoundRequest(&slots, 3);
    EXPECT_EQ(SoundTakeRequest(&slots, &seen), 3);
    SoundRequest(&slots, 0);
    EXPECT_EQ(SoundTakeRequest(&slots, &seen), 0) << "the beep's request is not 'nothing asked'";
}

// The starting thread reads a slot made just before its request; the thread
// sanitizer sees any read that the request word does not order.
TEST(SoundSlots, ASlotMadeBeforeItsRequestIsSeenWhole) {
    static const uint8_t images[200] = {};
    SoundSlots<Clip, 200> slots;
    constexpr int REQUESTS = 200;
    std::thread starter([&slots] {
        uint64_t seen = 0;
        int last = 0;
        while (last != REQUESTS) {
            const int slot = SoundTakeRequest(&slots, &seen);
            if (slot < 0) {
                std::this_thread::yield();
                continue;
            }
            ASSERT_GT(slot, last) << "an older request came after a newer one";
            ASSERT_EQ(slots.clips[slot].made, 1);
            ASSERT_EQ(slots.clips[slot].size, static_cast<size_t>(slot));
            last = slot;
        }
    });
    for (int i = 1; i <= REQUESTS; ++i) {
        const int slot = Slot(&slots, &images[i - 1], static_cast<size_t>(i));
        ASSERT_EQ(slot, i);
        SoundRequest(&slots, slot);
    }
    starter.join();
}

}  // namespace
