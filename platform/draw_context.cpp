#include "platform/draw_context.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#if defined(_WIN32)
#include <malloc.h>
#endif

#include "platform/text.h"

namespace platform {

namespace {

// The byte whose colour is nearest to the text colour: each candidate byte v
// shows palette entry colourIndices[v]. The lowest byte wins a tie.
void UpdateTextByte(DrawContext* context) {
    context->textByte = 0;
    if (context->bitmap == nullptr || context->palette == nullptr) {
        return;
    }
    const Palette* palette = context->palette;
    const uint16_t* indices = context->bitmap->colourIndices;
    const int nearest = NearestColourIndex(context->textColor, 256, [&](int v) {
        return indices[v] < palette->count ? &palette->entries[indices[v]] : nullptr;
    });
    context->textByte = nearest < 0 ? 0 : static_cast<uint8_t>(nearest);
}

TextTarget TargetOf(const Bitmap* bitmap) {
    return TextTarget{bitmap->pixels, bitmap->width, bitmap->height, bitmap->stride};
}

// Grows the bitmap's drawn bounds by [left, right) x [top, bottom), clipped
// to the bitmap.
void NoteDrawn(Bitmap* bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, bitmap->width);
    bottom = std::min<int64_t>(bottom, bitmap->height);
    if (right <= left || bottom <= top) {
        return;
    }
    Rect& drawn = bitmap->drawn;
    if (drawn.right <= drawn.left || drawn.bottom <= drawn.top) {
        drawn = Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                     static_cast<int>(bottom)};
        return;
    }
    drawn.left = std::min(drawn.left, static_cast<int>(left));
    drawn.top = std::min(drawn.top, static_cast<int>(top));
    drawn.right = std::max(drawn.right, static_cast<int>(right));
    drawn.bottom = std::max(drawn.bottom, static_cast<int>(bottom));
}

}  // namespace

uint8_t* PixelBlockAllocate(size_t bytes) {
    constexpr size_t ALIGNMENT = 64;
    const size_t rounded = (std::max<size_t>(bytes, 1) + ALIGNMENT - 1) / ALIGNMENT * ALIGNMENT;
    if (rounded < bytes) {
        return nullptr;  // the size wrapped
    }
    // The C runtime of Windows has no aligned_alloc; its aligned blocks have
    // a release function of their own.
#if defined(_WIN32)
    auto* block = static_cast<uint8_t*>(_aligned_malloc(rounded, ALIGNMENT));
#else
    auto* block = static_cast<uint8_t*>(std::aligned_alloc(ALIGNMENT, rounded));
#endif
    if (block != nullptr) {
        std::memset(block, 0, rounded);
    }
    return block;
}

void PixelBlockFree(void* block) {
#if defined(_WIN32)
    _aligned_free(block);
#else
    std::free(block);
#endif
}

Bitmap* BitmapCreateDib(int width, int height, const uint16_t colourIndices[256], uint8_t** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0 || width > (1 << 16) || height > (1 << 16)) {
        return nullptr;
    }
    auto* bitmap = new (std::nothrow) Bitmap{};
    if (bitmap == nullptr) {
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    bitmap->stride = static_cast<int>(DibStride(width));
    bitmap->pixels =
        PixelBlockAllocate(static_cast<size_t>(bitmap->stride) * static_cast<size_t>(height));
    if (bitmap->pixels == nullptr) {
        delete bitmap;
        return nullptr;
    }
    for (int i = 0; i < 256; ++i) {
        bitmap->colourIndices[i] = colourIndices != nullptr ? colourIndices[i] : uint16_t(i);
    }
    *bits = bitmap->pixels;
    return bitmap;
}

Rect BitmapDrawnBounds(const Bitmap* bitmap) { return bitmap->drawn; }

void BitmapForgetDrawn(Bitmap* bitmap) { bitmap->drawn = Rect{}; }

void BitmapDelete(Bitmap* bitmap) {
    if (bitmap != nullptr) {
        PixelBlockFree(bitmap->pixels);
        delete bitmap;
    }
}

DrawContext* DrawContextCreate() {
    auto* context = new (std::nothrow) DrawContext{};
    if (context != nullptr) {
        context->bkMode = BK_TRANSPARENT;
    }
    return context;
}

void DrawContextDelete(DrawContext* context) { delete context; }

Palette* DrawContextSelectPalette(DrawContext* context, Palette* palette) {
    Palette* previous = context->palette;
    context->palette = palette;
    UpdateTextByte(context);
    return previous;
}

Bitmap* DrawContextSelectBitmap(DrawContext* context, Bitmap* bitmap) {
    Bitmap* previous = context->bitmap;
    context->bitmap = bitmap;
    UpdateTextByte(context);
    return previous;
}

Font* DrawContextSelectFont(DrawContext* context, Font* font) {
    Font* previous = context->font;
    context->font = font;
    return previous;
}

ColorRef DrawContextSetTextColor(DrawContext* context, ColorRef colour) {
    const ColorRef previous = context->textColor;
    context->textColor = colour;
    UpdateTextByte(context);
    return previous;
}

ColorRef DrawContextSetBkColor(DrawContext* context, ColorRef colour) {
    const ColorRef previous = context->bkColor;
    context->bkColor = colour;
    return previous;
}

void DrawContextTextOut(DrawContext* context, int x, int y, const char* text, int length) {
    if (context == nullptr || context->bitmap == nullptr || context->font == nullptr) {
        return;
    }
    const TextTarget target = TargetOf(context->bitmap);
    if (TextDraw(context->font, &target, x, y, text, length, context->textByte) && length != 0) {
        // No character is wider than 6 pixels a byte, none taller than a cell.
        const int64_t bytes = length > 0 ? length : static_cast<int64_t>(std::strlen(text));
        NoteDrawn(context->bitmap, x, y, int64_t{x} + 6 * bytes, int64_t{y} + FONT_CELL_HEIGHT);
    }
}

void DrawContextDrawText(DrawContext* context, const char* text, int length, const Rect* rect) {
    if (context == nullptr || context->bitmap == nullptr || context->font == nullptr ||
        rect == nullptr) {
        return;
    }
    const TextTarget target = TargetOf(context->bitmap);
    const TextRect area{rect->left, rect->top, rect->right, rect->bottom};
    if (TextDrawWrapped(context->font, &target, &area, text, length, context->textByte) >= 0) {
        // Everything is clipped to the rectangle.
        NoteDrawn(context->bitmap, rect->left, rect->top, rect->right, rect->bottom);
    }
}

}  // namespace platform
