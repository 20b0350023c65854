#include "surface/back_buffer.h"

#include <cstdlib>
#include <cstring>

#include "platform/draw_context.h"
#include "surface/screen_index.h"
#include "surface/surface.h"

platform::LogFontA FontRequest() {
    platform::LogFontA font{};
    font.lfHeight = -12;
    font.lfWeight = platform::FW_NORMAL;
    font.lfCharSet = platform::SHIFTJIS_CHARSET;
    font.lfOutPrecision = 1;   // string precision
    font.lfClipPrecision = 2;  // stroke precision
    font.lfQuality = 1;        // draft quality
    font.lfPitchAndFamily = platform::FIXED_PITCH;
    static const char face[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
    static_assert(sizeof face <= platform::LF_FACESIZE);
    std::memcpy(font.lfFaceName, face, sizeof face);
    return font;
}

void FontCreate(AppState* state) {
    const platform::LogFontA request = FontRequest();
    state->hfont = platform::FontCreateIndirect(&request);
}

void FontRelease(AppState* state) {
    platform::FontDestroy(state->hfont);
    state->hfont = nullptr;
}

void BackBufferCreate(AppState* state, int width, int height) {
    auto* header = static_cast<BitmapInfoHeader*>(
        std::calloc(1, SURFACE_HEADER_SIZE + SURFACE_TABLE_ENTRIES * sizeof(uint16_t)));
    if (header == nullptr) {
        return;
    }
    SurfaceHeaderInit(header, width, height, 0);
    Surface view{header, nullptr, 0, DIB_PAL_COLORS};
    uint16_t* table = SurfaceIndexTable(&view);
    std::memcpy(table, SCREEN_PALETTE_ORDER, sizeof SCREEN_PALETTE_ORDER);

    platform::DrawContext* context = platform::DrawContextCreate();
    uint8_t* bits = nullptr;
    platform::Bitmap* bitmap =
        context != nullptr ? platform::BitmapCreateDib(width, SurfaceRows(&view), table, &bits)
                           : nullptr;
    if (bitmap == nullptr) {
        platform::DrawContextDelete(context);
        std::free(header);
        return;
    }
    platform::DrawContextSelectPalette(context, state->hpalette);
    platform::DrawContextSelectBitmap(context, bitmap);
    platform::DrawContextSelectFont(context, state->hfont);
    platform::DrawContextSetBkColor(context, platform::Rgb(0, 0, 0));
    platform::DrawContextSetTextColor(context, platform::Rgb(255, 255, 255));

    state->hdcMem = context;
    state->hbitmap = bitmap;
    state->backBuffer = Surface{header, bits, 0, DIB_PAL_COLORS};
    state->target = &state->backBuffer;
}

void BackBufferClear(AppState* state) {
    Surface* buffer = &state->backBuffer;
    SurfaceBounds area = buffer->drawn;
    const platform::Rect text = platform::BitmapDrawnBounds(state->hbitmap);
    SurfaceBoundsAdd(&area, text.left, text.top, text.right, text.bottom);
    buffer->drawn = SurfaceBounds{};
    platform::BitmapForgetDrawn(state->hbitmap);
    if (area.right <= area.left || area.bottom <= area.top) {
        return;
    }
    const size_t stride = static_cast<size_t>(SurfaceStride(buffer));
    const auto width = static_cast<size_t>(area.right - area.left);
    if (width == stride) {
        std::memset(buffer->pixels + static_cast<size_t>(area.top) * stride, 0,
                    stride * static_cast<size_t>(area.bottom - area.top));
        return;
    }
    uint8_t* row = buffer->pixels + static_cast<size_t>(area.top) * stride + area.left;
    for (int y = area.top; y < area.bottom; ++y, row += stride) {
        std::memset(row, 0, width);
    }
}

void BackBufferDestroy(AppState* state) {
    platform::DrawContextDelete(state->hdcMem);
    state->hdcMem = nullptr;
    platform::BitmapDelete(state->hbitmap);
    state->hbitmap = nullptr;
    std::free(state->backBuffer.header);
    state->backBuffer = Surface{};
    state->target = nullptr;
}
