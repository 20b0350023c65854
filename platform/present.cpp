// The render thread's present step: the shown region of the 8-bit back
// buffer goes through the palette into the window's next 32-bit frame.
#include <algorithm>

#include "platform/frame_convert.h"
#include "platform/mailbox.h"
#include "platform/window.h"

namespace platform {

namespace {

constexpr uint32_t OPAQUE_BLACK = 0xFF000000u;

// Byte v shows palette entry colourIndices[v]; an entry the palette does not
// have, or no palette at all, shows black. Without colourIndices byte v shows
// entry v.
void BuildColourTable(const uint16_t colourIndices[256], const Palette* palette,
                      ColourTable32* table) {
    for (int v = 0; v < 256; ++v) {
        const unsigned entry =
            colourIndices != nullptr ? colourIndices[v] : static_cast<unsigned>(v);
        if (palette == nullptr || entry >= palette->count) {
            table->argb[v] = OPAQUE_BLACK;
            continue;
        }
        const PaletteEntry& e = palette->entries[entry];
        table->argb[v] =
            OPAQUE_BLACK | uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | uint32_t{e.peBlue};
    }
}

}  // namespace

void WindowPresent(Window* window, const uint8_t* pixels, int stride, int width, int height,
                   const uint16_t colourIndices[256], const Palette* palette, int outWidth,
                   int outHeight) {
    if (window == nullptr || window->mailbox == nullptr) {
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
    if (width > 0 && height > 0) {
        ColourTable32 table;
        BuildColourTable(colourIndices, palette, &table);
        FrameConvert(pixels, stride, width, height, &table, frame->pixels, frame->stride);
    }
    MailboxPublish(window->mailbox, width, height, outWidth, outHeight);
}

}  // namespace platform
