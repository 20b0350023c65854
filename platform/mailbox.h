// A latest-wins triple buffer of 32-bit frames between one producer thread
// (the render thread) and one consumer thread (the user-interface thread).
// The producer never waits; the consumer always gets a complete frame, never
// a torn one, and skips frames it was too slow to show.
#pragma once

#include <cstdint>

namespace platform {

struct Frame {
    uint32_t* pixels;  // 0xAARRGGBB, stride pixels per row
    int stride;        // in pixels: the mailbox's maximum width
    int width;         // the region that holds the picture
    int height;
    int outWidth;      // the client-area size the picture is stretched to
    int outHeight;
    uint64_t sequence;  // 1 for the first frame published, then counting up
};

struct FrameMailbox;

// A mailbox for frames of up to maxWidth x maxHeight pixels; null when memory
// runs out or the size is not positive.
FrameMailbox* MailboxCreate(int maxWidth, int maxHeight);
void MailboxDestroy(FrameMailbox* mailbox);

// Producer: the frame to draw the next picture into (its pixels hold an older
// picture); its width and height are set to the maximum, the room it has.
// Stays the producer's until MailboxPublish. Null for a null mailbox.
Frame* MailboxBackFrame(FrameMailbox* mailbox);

// Producer: makes the back frame, with the given sizes (clamped to the
// maximum), the newest one.
void MailboxPublish(FrameMailbox* mailbox, int width, int height, int outWidth, int outHeight);

// Consumer: the newest frame if one was published since the last take,
// otherwise null. The frame stays valid and unchanged until the next take.
const Frame* MailboxTakeNewest(FrameMailbox* mailbox);

}  // namespace platform
