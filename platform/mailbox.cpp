#include "platform/mailbox.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

#include "platform/draw_context.h"

namespace platform {

namespace {

// The "newest" word holds the index (0-2) of the frame in the newest slot
// and, in FRESH, whether that frame was published since the last take.
constexpr uint32_t FRESH = 4;
constexpr uint32_t SLOT = 3;

}  // namespace

struct FrameMailbox {
    Frame frames[3];
    uint32_t* storage;  // the three frames' pixels, one after another
    int maxWidth;
    int maxHeight;
    int back;                      // the producer's frame; only it reads or writes this
    int front;                     // the consumer's frame; likewise only the consumer's
    uint64_t published;            // producer only: frames published so far
    std::atomic<uint32_t> newest;  // shared
};

FrameMailbox* MailboxCreate(int maxWidth, int maxHeight) {
    if (maxWidth <= 0 || maxHeight <= 0) {
        return nullptr;
    }
    const size_t perFrame = static_cast<size_t>(maxWidth) * static_cast<size_t>(maxHeight);
    if (perFrame > std::numeric_limits<size_t>::max() / (3 * sizeof(uint32_t))) {
        return nullptr;
    }
    // Frames start on a cache line, so the converter's 64-byte stores never
    // split over two.
    auto* storage = reinterpret_cast<uint32_t*>(
        PixelBlockAllocate(3 * perFrame * sizeof(uint32_t)));
    if (storage == nullptr) {
        return nullptr;
    }
    FrameMailbox* mailbox = new (std::nothrow) FrameMailbox{};
    if (mailbox == nullptr) {
        PixelBlockFree(storage);
        return nullptr;
    }
    mailbox->storage = storage;
    mailbox->maxWidth = maxWidth;
    mailbox->maxHeight = maxHeight;
    for (int i = 0; i < 3; ++i) {
        Frame& frame = mailbox->frames[i];
        frame.pixels = storage + static_cast<size_t>(i) * perFrame;
        frame.stride = maxWidth;
    }
    mailbox->back = 0;
    mailbox->newest.store(1, std::memory_order_relaxed);
    mailbox->front = 2;
    mailbox->published = 0;
    return mailbox;
}

void MailboxDestroy(FrameMailbox* mailbox) {
    if (mailbox == nullptr) {
        return;
    }
    PixelBlockFree(mailbox->storage);
    delete mailbox;
}

Frame* MailboxBackFrame(FrameMailbox* mailbox) {
    if (mailbox == nullptr) {
        return nullptr;
    }
    // Until it is published the back frame's sizes tell the room it has.
    Frame* frame = &mailbox->frames[mailbox->back];
    frame->width = mailbox->maxWidth;
    frame->height = mailbox->maxHeight;
    return frame;
}

void MailboxPublish(FrameMailbox* mailbox, int width, int height, int outWidth, int outHeight) {
    if (mailbox == nullptr) {
        return;
    }
    Frame& frame = mailbox->frames[mailbox->back];
    frame.width = std::clamp(width, 0, mailbox->maxWidth);
    frame.height = std::clamp(height, 0, mailbox->maxHeight);
    frame.outWidth = outWidth;
    frame.outHeight = outHeight;
    frame.sequence = ++mailbox->published;
    // Release: the consumer that takes this frame sees all of its pixels and
    // sizes. Acquire: the frame handed back may be one the consumer has just
    // let go of, and its reads of it must be over before we draw into it.
    const uint32_t previous = mailbox->newest.exchange(static_cast<uint32_t>(mailbox->back) | FRESH,
                                                       std::memory_order_acq_rel);
    mailbox->back = static_cast<int>(previous & SLOT);
}

const Frame* MailboxTakeNewest(FrameMailbox* mailbox) {
    if (mailbox == nullptr) {
        return nullptr;
    }
    // Only the consumer clears FRESH, so once it is seen set it stays set
    // until the exchange below, whatever the producer publishes meanwhile.
    if ((mailbox->newest.load(std::memory_order_relaxed) & FRESH) == 0) {
        return nullptr;
    }
    // Acquire pairs with the publish's release; release hands our reads of
    // the old front frame over to the producer that will reuse it.
    const uint32_t previous =
        mailbox->newest.exchange(static_cast<uint32_t>(mailbox->front), std::memory_order_acq_rel);
    mailbox->front = static_cast<int>(previous & SLOT);
    return &mailbox->frames[mailbox->front];
}

}  // namespace platform
