#include "surface/back_buffer.h"

#include <cstdlib>
#include <cstring>

#include "platform/draw_context.h"
#include "surface/screen_index.h"

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

void BackBufferCreate(AppState* state, int width, int height) {
    const int rows = height < 0 ? -height : height;
    auto* header = static_cast<BitmapInfoHeader*>(
        std::calloc(1, SURFACE_HEADER_SIZE + SURFACE_TABLE_ENTRIES * sizeof(uint16_t)));
    if (header == nullptr) {
        return;
    }
    header->biSize = SURFACE_HEADER_SIZE;
    header->biWidth = width;
    header->biHeight = -rows;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biCompression = BI_RGB;
    Surface view{header, nullptr, 0, DIB_PAL_COLORS};
    uint16_t* table = SurfaceIndexTable(&view);
    std::memcpy(table, SCREEN_PALETTE_ORDER, sizeof SCREEN_PALETTE_ORDER);

    platform::DrawContext* context = platform::DrawContextCreate();
    platform::Bitmap* bitmap =
        context != nullptr ? platform::BitmapCreateDib(width, rows, table) : nullptr;
    if (bitmap == nullptr || bitmap->stride != SurfaceStrideFor(width)) {
        platform::BitmapDelete(bitmap);
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
    state->backBuffer.header = header;
    state->backBuffer.pixels = bitmap->pixels;
    state->backBuffer.ownsPixels = 0;
    state->backBuffer.tableMode = DIB_PAL_COLORS;
    state->target = &state->backBuffer;
}

void BackBufferReleaseContext(AppState* state) {
    platform::DrawContextDelete(state->hdcMem);
    state->hdcMem = nullptr;
}
