// CP932 text of any bytes drawn through a drawing context into a DIB section
// of any size: with DrawContextTextOut at any position, or word-wrapped with
// DrawContextDrawText into any rectangle (negative, inverted and huge ones
// included). Lengths are exact byte counts (the text in a block of exactly
// that size, no terminator), -1 (the bytes zero-terminated in a block of
// exactly that size; a zero byte inside ends the text sooner), any value
// below -1, or a null text. Whatever the input, nothing is read or written
// outside the text and the pixel block, the row padding stays untouched, only
// the text colour's byte is written, and only where the call may draw: the
// cells the text can reach for TextOut, the rectangle for DrawText, nothing
// at all for an unusable length or a null text; every written pixel lies in
// the bitmap's drawn bounds. The same call is drawn a second time with the
// glyph rows written a few bytes at a time, which must give the same pixels
// as the CPU's own choice of writes.
//
// Input: an operation byte (bit 0: DrawText; bits 1-2: the length's kind),
// the width and height (2 bytes each), the text grey level (1 byte), the
// position (2 x 4 bytes) or rectangle (4 x 4 bytes), a length (4 bytes), then
// the text: the rest.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/draw_context.h"
#include "platform/font.h"
#include "platform/palette.h"
#include "platform/text.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using platform::Bitmap;
using platform::DrawContext;
using platform::Rect;

constexpr int MAX_WIDTH = 600;
constexpr int MAX_HEIGHT = 300;

enum class LengthKind { Exact, Terminated, BelowMinusOne, NullText };

platform::Font* TheFont() {
    static platform::Font* const font = platform::FontCreateIndirect(nullptr);
    fuzz::Check(font != nullptr, "the embedded font cannot be created");
    return font;
}

// 256 greys, entry i = (i, i, i): the grey g is the byte g.
platform::Palette* Greys() {
    static platform::Palette* const palette = [] {
        auto description = std::make_unique<platform::LogPalette>();
        description->palVersion = 0x300;
        description->palNumEntries = 256;
        for (int i = 0; i < 256; ++i) {
            const auto g = static_cast<uint8_t>(i);
            description->palPalEntry[i] = platform::PaletteEntry{g, g, g, 0};
        }
        return platform::PaletteCreate(description.get());
    }();
    fuzz::Check(palette != nullptr, "the palette cannot be created");
    return palette;
}

// The rectangle (exclusive right and bottom, 64-bit so that no edge
// overflows) where the call may set pixels.
struct Area {
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
};

void CheckPixels(const Bitmap& bitmap, uint8_t colour, const Area& area) {
    const Rect drawn = platform::BitmapDrawnBounds(&bitmap);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row =
            bitmap.pixels + static_cast<size_t>(y) * static_cast<size_t>(bitmap.stride);
        for (int x = 0; x < bitmap.stride; ++x) {
            if (row[x] == 0) {
                continue;
            }
            fuzz::Check(row[x] == colour, "a pixel of another colour was written");
            fuzz::Check(x < bitmap.width, "the row padding was written");
            fuzz::Check(x >= area.left && x < area.right && y >= area.top && y < area.bottom,
                        "a pixel outside where the text may go was written");
            fuzz::Check(x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom,
                        "a written pixel lies outside the drawn bounds");
        }
    }
}

struct Call {
    bool wrapped;
    int32_t x;
    int32_t y;
    Rect rect;
    const char* text;
    int length;
};

// A new DIB section of the size with the call drawn into it; null, after
// checking that it had to be refused, for a size that is not positive.
Bitmap* Draw(int width, int height, uint8_t grey, const Call& call) {
    uint8_t* bits = nullptr;
    Bitmap* bitmap = platform::BitmapCreateDib(width, height, nullptr, &bits);
    fuzz::Check((bitmap == nullptr) == (width <= 0 || height <= 0),
                "a DIB section was refused or made against its size");
    if (bitmap == nullptr) {
        fuzz::Check(bits == nullptr, "a refused DIB section left its bits");
        return nullptr;
    }
    fuzz::Check(bits == bitmap->pixels, "the bits are not the DIB section's pixels");

    DrawContext* context = platform::DrawContextCreate();
    fuzz::Check(context != nullptr, "no drawing context");
    platform::DrawContextSelectBitmap(context, bitmap);
    platform::DrawContextSelectPalette(context, Greys());
    platform::DrawContextSelectFont(context, TheFont());
    platform::DrawContextSetTextColor(context, platform::Rgb(grey, grey, grey));
    // Only a written byte other than 0 shows where the text went.
    fuzz::Check(context->textByte == grey, "the text colour's byte is not its grey");
    if (call.wrapped) {
        platform::DrawContextDrawText(context, call.text, call.length, &call.rect);
    } else {
        platform::DrawContextTextOut(context, call.x, call.y, call.text, call.length);
    }
    platform::DrawContextDelete(context);
    return bitmap;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input input(data, size);
    const auto operation = input.Take<uint8_t>();
    const bool wrapped = (operation & 1) != 0;
    const auto kind = static_cast<LengthKind>((operation >> 1) & 3);
    const int width = input.Take<int16_t>() % (MAX_WIDTH + 1);
    const int height = input.Take<int16_t>() % (MAX_HEIGHT + 1);
    const auto grey = static_cast<uint8_t>(1 + input.Take<uint8_t>() % 255);
    int32_t x = 0, y = 0;
    Rect rect{};
    if (wrapped) {
        rect = Rect{input.Take<int32_t>(), input.Take<int32_t>(), input.Take<int32_t>(),
                    input.Take<int32_t>()};
    } else {
        x = input.Take<int32_t>();
        y = input.Take<int32_t>();
    }
    const auto lengthValue = input.Take<int32_t>();
    const size_t bytes = input.restSize();

    // The text in a block of exactly its size.
    std::unique_ptr<char[]> text;
    int length = 0;
    size_t reach = 0;  // bytes the call may draw
    switch (kind) {
        case LengthKind::Exact:
            text = std::make_unique<char[]>(bytes);
            length = static_cast<int>(bytes);
            reach = bytes;
            break;
        case LengthKind::Terminated:
            text = std::make_unique<char[]>(bytes + 1);
            text[bytes] = '\0';
            length = -1;
            break;
        case LengthKind::BelowMinusOne:
            text = std::make_unique<char[]>(bytes);
            length = lengthValue < -1 ? lengthValue : -2 - (lengthValue & INT32_MAX) % 1000;
            break;
        case LengthKind::NullText:
            length = lengthValue == 0 ? -1 : lengthValue;
            break;
    }
    if (text != nullptr && bytes != 0) {
        std::memcpy(text.get(), input.rest(), bytes);
    }
    if (kind == LengthKind::Terminated) {
        reach = std::strlen(text.get());
    }

    Area area{0, 0, 0, 0};
    if (reach != 0 && wrapped) {
        area = Area{rect.left, rect.top, rect.right, rect.bottom};
    } else if (reach != 0) {
        // Each byte moves the pen at most 6 pixels: a single-byte character
        // is 6 wide, a double-byte one 12.
        area = Area{x, y, x + 6 * static_cast<int64_t>(reach),
                    int64_t{y} + platform::FONT_CELL_HEIGHT};
    }
    const Call call{wrapped, x, y, rect, text.get(), length};

    Bitmap* chosen = Draw(width, height, grey, call);
    if (chosen == nullptr) {
        return 0;
    }
    CheckPixels(*chosen, grey, area);
    platform::TextUseWordWrites(true);
    Bitmap* words = Draw(width, height, grey, call);
    platform::TextUseWordWrites(false);
    fuzz::Check(std::memcmp(chosen->pixels, words->pixels,
                            static_cast<size_t>(chosen->stride) * static_cast<size_t>(height)) == 0,
                "writing glyph rows a few bytes at a time gives other pixels");
    platform::BitmapDelete(words);
    platform::BitmapDelete(chosen);
    return 0;
}
