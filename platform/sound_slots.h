// The sounds a backend keeps ready to play, and which one to start next.
// Slot 0 is the beep; images take the slots after it in the order they are
// first used, told apart by where they live and their size. One thread at a
// time finds slots and makes requests (the user-interface thread before the
// render thread starts, then the render thread); the thread that starts the
// sounds takes the newest request. What the finding thread writes into a
// slot it writes once, before the slot's first request, so the starting
// thread may read it once it has seen that request.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace platform {

template <typename Clip, int IMAGES>
struct SoundSlots {
    static_assert(IMAGES > 0 && IMAGES < 256, "a request holds its slot in 8 bits");

    Clip clips[1 + IMAGES] = {};
    const uint8_t* images[1 + IMAGES] = {};
    size_t imageSizes[1 + IMAGES] = {};
    int used = 1;
    // The newest request: a count of requests in the high bits, the slot in
    // the low 8, so a request for the sound that plays starts it again.
    std::atomic<uint64_t> request{0};
};

// The slot of an image; its first use fills a new slot with
// make(wav, size, &clip). -1 when every slot is taken.
template <typename Clip, int IMAGES, typename Make>
int SoundSlotOf(SoundSlots<Clip, IMAGES>* slots, const uint8_t* wav, size_t size, Make make) {
    for (int i = 1; i < slots->used; ++i) {
        if (slots->images[i] == wav && slots->imageSizes[i] == size) {
            return i;
        }
    }
    if (slots->used == 1 + IMAGES) {
        return -1;
    }
    const int slot = slots->used++;
    slots->images[slot] = wav;
    slots->imageSizes[slot] = size;
    make(wav, size, &slots->clips[slot]);
    return slot;
}

// Asks for the sound in slot. The request count is read and written
// without a read-modify-write: there is only ever one requesting thread.
template <typename Clip, int IMAGES>
void SoundRequest(SoundSlots<Clip, IMAGES>* slots, int slot) {
    const uint64_t count = (slots->request.load(std::memory_order_relaxed) >> 8) + 1;
    slots->request.store(count << 8 | static_cast<uint64_t>(slot), std::memory_order_release);
}

// The slot of the newest request, which *seen then holds; -1 when no request
// came since *seen.
template <typename Clip, int IMAGES>
int SoundTakeRequest(SoundSlots<Clip, IMAGES>* slots, uint64_t* seen) {
    const uint64_t request = slots->request.load(std::memory_order_acquire);
    if (request == *seen) {
        return -1;
    }
    *seen = request;
    return static_cast<int>(request & 0xFF);
}

}  // namespace platform
