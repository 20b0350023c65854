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
    FrameColours colours[3];  // each frame's own
    uint8_t* storage;  // the three frames' pixels, one after another
    int maxWidth;
    int maxHeight;
    int back;                      // the producer's frame; only it reads or writes this
    int front;                     // the consumer's frame; likewise only the consumer's
    uint64_t published;            // producer only: frames published so far
    std::atomic<uint32_t> newest;  // shared
    std::atomic<bool> wanted;      // shared: the consumer has asked for a frame
};

namespace {

constexpr uint32_t OPAQUE_BLACK = 0xFF000000u;
constexpr size_t ROW_ALIGNMENT = 64;

// Every byte black: the colours of a frame published without any.
void SetBlack(FrameColours* colours) {
    for (uint32_t& c : colours->argb.argb) {
        c = OPAQUE_BLACK;
    }
    for (uint16_t& i : colours->paletteIndex) {
        i = 0;
    }
    colours->palette = nullptr;
    colours->serial = 0;
}

std::atomic<uint64_t> nextColoursSerial{1};

}  // namespace

void FrameColoursBuild(FrameColours* colours, const uint16_t colourIndices[256],
                       const Palette* palette) {
    for (int v = 0; v < 256; ++v) {
        const unsigned entry =
            colourIndices != nullptr ? colourIndices[v] : static_cast<unsigned>(v);
        colours->paletteIndex[v] = static_cast<uint16_t>(entry);
        if (palette == nullptr || entry >= palette->count) {
            colours->argb.argb[v] = OPAQUE_BLACK;
            continue;
        }
        const PaletteEntry& e = palette->entries[entry];
        colours->argb.argb[v] =
            OPAQUE_BLACK | uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | uint32_t{e.peBlue};
    }
    colours->palette = palette;
    colours->serial = nextColoursSerial.fetch_add(1, std::memory_order_relaxed);
}

FrameMailbox* MailboxCreate(int maxWidth, int maxHeight) {
    if (maxWidth <= 0 || maxHeight <= 0) {
        return nullptr;
    }
    // Rows start on a cache line, which also makes them the whole number of
    // 32-bit words that a device-independent bitmap's rows must be.
    const size_t stride =
        (static_cast<size_t>(maxWidth) + ROW_ALIGNMENT - 1) & ~(ROW_ALIGNMENT - 1);
    const size_t perFrame = stride * static_cast<size_t>(maxHeight);
    // No object may be larger than the largest pointer difference.
    if (stride > static_cast<size_t>(std::numeric_limits<int>::max()) ||
        perFrame > static_cast<size_t>(std::numeric_limits<ptrdiff_t>::max()) / 3) {
        return nullptr;
    }
    auto* storage = PixelBlockAllocate(3 * perFrame);
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
        frame.stride = static_cast<int>(stride);
        SetBlack(&mailbox->colours[i]);
        frame.colours = &mailbox->colours[i];
    }
    mailbox->back = 0;
    mailbox->newest.store(1, std::memory_order_relaxed);
    mailbox->front = 2;
    mailbox->published = 0;
    mailbox->wanted.store(false, std::memory_order_relaxed);
    return mailbox;
}

void MailboxDestroy(FrameMailbox* mailbox) {
    if (mailbox == nullptr) {
        return;
    }
    PixelBlockFree(mailbox->storage);
    delete mailbox;
}

void MailboxRequest(FrameMailbox* mailbox) {
    if (mailbox != nullptr) {
        mailbox->wanted.store(true, std::memory_order_relaxed);
    }
}

bool MailboxWanted(const FrameMailbox* mailbox) {
    return mailbox != nullptr && mailbox->wanted.load(std::memory_order_relaxed);
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

void MailboxPublish(FrameMailbox* mailbox, int width, int height, int outWidth, int outHeight,
                    const FrameColours* colours) {
    if (mailbox == nullptr) {
        return;
    }
    Frame& frame = mailbox->frames[mailbox->back];
    FrameColours& own = mailbox->colours[mailbox->back];
    if (colours == nullptr || colours->serial == 0) {
        if (own.serial != 0) {
            SetBlack(&own);
        }
    } else if (own.serial != colours->serial) {
        own = *colours;
    }
    frame.width = std::clamp(width, 0, mailbox->maxWidth);
    frame.height = std::clamp(height, 0, mailbox->maxHeight);
    frame.outWidth = outWidth;
    frame.outHeight = outHeight;
    frame.sequence = ++mailbox->published;
    // The request is answered. It is taken back before the frame is out, so
    // that a request the consumer makes after taking this frame is never
    // lost; the release below keeps the two in that order.
    mailbox->wanted.store(false, std::memory_order_relaxed);
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
