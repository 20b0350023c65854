#include "platform/draw_context.h"

#include <cstdlib>
#include <new>

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

}  // namespace

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
    bitmap->pixels = static_cast<uint8_t*>(
        std::calloc(static_cast<size_t>(bitmap->stride) * static_cast<size_t>(height), 1));
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

void BitmapDelete(Bitmap* bitmap) {
    if (bitmap != nullptr) {
        std::free(bitmap->pixels);
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
    TextDraw(context->font, &target, x, y, text, length, context->textByte);
}

void DrawContextDrawText(DrawContext* context, const char* text, int length, const Rect* rect) {
    if (context == nullptr || context->bitmap == nullptr || context->font == nullptr ||
        rect == nullptr) {
        return;
    }
    const TextTarget target = TargetOf(context->bitmap);
    const TextRect area{rect->left, rect->top, rect->right, rect->bottom};
    TextDrawWrapped(context->font, &target, &area, text, length, context->textByte);
}

}  // namespace platform
