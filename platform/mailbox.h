// A latest-wins triple buffer of 8-bit frames between one producer thread
// (the render thread) and one consumer thread (the user-interface thread).
// The producer never waits; the consumer always gets a complete frame, never
// a torn one. The consumer asks for frames: the producer fills and publishes
// one only when asked, so the frames no display shows cost it nothing.
#pragma once

#include <cstdint>

#include "platform/frame_convert.h"
#include "platform/palette.h"

namespace platform {

// The colours a display gives the bytes of a frame: byte v shows palette
// entry paletteIndex[v] of palette, whose colour is argb.argb[v].
struct FrameColours {
    ColourTable32 argb;
    uint16_t paletteIndex[256];
    const Palette* palette;  // may be null: the colours are all there is
    // Tells tables apart: a table is rebuilt under a new serial, and the
    // mailbox copies a table only when its serial is not the one it has.
    // 0 for none.
    uint64_t serial;
};

// Fills colours for bytes that show entry colourIndices[v] of palette (or
// entry v without colourIndices); an entry the palette does not have, or no
// palette at all, shows opaque black. Gives the table a new serial.
void FrameColoursBuild(FrameColours* colours, const uint16_t colourIndices[256],
                       const Palette* palette);

struct Frame {
    uint8_t* pixels;   // one byte a pixel, stride bytes per row
    int stride;        // the mailbox's maximum width, rounded up to a multiple of 64
    int width;         // the region that holds the picture
    int height;
    int outWidth;      // the client-area size the picture is stretched to
    int outHeight;
    const FrameColours* colours;  // the frame's own copy
    uint64_t sequence;  // 1 for the first frame published, then counting up
};

struct FrameMailbox;

// A mailbox for frames of up to maxWidth x maxHeight pixels; null when memory
// runs out or the size is not positive. No frame is asked for yet.
FrameMailbox* MailboxCreate(int maxWidth, int maxHeight);
void MailboxDestroy(FrameMailbox* mailbox);

// Consumer: asks for the next frame the producer composes. The next publish
// answers it; a request made while a publish is under way may be answered
// by the one after, so a consumer asks once for each frame it wants, after
// taking the one before. The producer may ask too, on the display's behalf,
// for the frame it is about to compose (the browser page asks so for the
// first frame after an input).
void MailboxRequest(FrameMailbox* mailbox);

// Producer: whether a frame has been asked for since the last publish. One
// relaxed load: cheap enough to ask every frame. False for a null mailbox.
bool MailboxWanted(const FrameMailbox* mailbox);

// Producer: the frame to draw the next picture into (its pixels hold an older
// picture); its width and height are set to the maximum, the room it has.
// Stays the producer's until MailboxPublish. Null for a null mailbox.
Frame* MailboxBackFrame(FrameMailbox* mailbox);

// Producer: makes the back frame, with the given sizes (clamped to the
// maximum) and colours (copied unless the frame holds that table already;
// null: all black), the newest one, and takes back the request.
void MailboxPublish(FrameMailbox* mailbox, int width, int height, int outWidth, int outHeight,
                    const FrameColours* colours);

// Consumer: the newest frame if one was published since the last take,
// otherwise null. The frame stays valid and unchanged until the next take.
const Frame* MailboxTakeNewest(FrameMailbox* mailbox);

}  // namespace platform
