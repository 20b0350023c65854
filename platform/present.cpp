// The render thread's present step: the shown region of the 8-bit back
// buffer, with its colours, handed to the window when the window has asked
// for a frame. The bytes are copied as they are; the display colours them.
#include <algorithm>
#include <cstring>

#include "platform/mailbox.h"
#include "platform/window.h"

namespace platform {

void WindowPresent(Window* window, const uint8_t* pixels, int stride, int width, int height,
                   const FrameColours* colours, int outWidth, int outHeight) {
    if (window == nullptr || !MailboxWanted(window->mailbox)) {
        return;
    }
    Frame* frame = MailboxBackFrame(window->mailbox);
    // The back frame's sizes are the mailbox's maximum until it is published.
    width = std::clamp(width, 0, frame->width);
    height = std::clamp(height, 0, frame->height);
    if (pixels == nullptr) {
        width = 0;
        height = 0;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(frame->pixels + static_cast<ptrdiff_t>(y) * frame->stride,
                    pixels + static_cast<ptrdiff_t>(y) * stride, static_cast<size_t>(width));
    }
    MailboxPublish(window->mailbox, width, height, outWidth, outHeight, colours);
}

}  // namespace platform
