#include "tools/asset_generator/bitmap_art.h"

#include <cstdio>

#include "tools/asset_generator/art_parts.h"

namespace {

GeneratedBitmap FromCanvas(std::string fileName, const Canvas& c) {
    return {std::move(fileName), c.Width(), c.Height(), c.Pixels()};
}

}  // namespace

std::vector<GeneratedBitmap> BitmapsGenerate() {
    std::vector<GeneratedBitmap> out;
    out.push_back(FromCanvas("101_sprites.bmp", DrawSpriteSheet()));
    out.push_back(FromCanvas("102_overlay.bmp", DrawOverlay()));
    out.push_back(FromCanvas("103_message_panel.bmp", DrawMessagePanel()));
    out.push_back(FromCanvas("106_wait_a.bmp", DrawWaitIndicator(0)));
    out.push_back(FromCanvas("107_wait_b.bmp", DrawWaitIndicator(2)));
    out.push_back(FromCanvas("108_digits.bmp", DrawDigits()));
    out.push_back(FromCanvas("110_list_panel.bmp", DrawListPanel()));
    out.push_back(FromCanvas("111_list_cursor.bmp", DrawListCursor()));
    for (int item = 0; item < ITEM_ICON_COUNT; ++item) {
        char name[64];
        std::snprintf(name, sizeof name, "%d_%s.bmp", 112 + item, ItemIconName(item));
        out.push_back(FromCanvas(name, DrawItemIcon(item)));
    }
    return out;
}
