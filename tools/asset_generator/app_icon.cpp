#include "tools/asset_generator/app_icon.h"

#include "tools/asset_generator/art_parts.h"

std::vector<GeneratedBitmap> AppIconsGenerate() {
    const Canvas sheet = DrawSpriteSheet();
    const int cellX = SHIP_CELL_COLUMN * SPRITE_CELL;
    const int cellY = SHIP_CELL_ROW * SPRITE_CELL;
    std::vector<GeneratedBitmap> icons;
    for (const int size : APP_ICON_SIZES) {
        const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
        GeneratedBitmap icon{"hicolor/" + dimensions + "/apps/karido.png", size, size, {}};
        icon.pixels.reserve(static_cast<size_t>(size) * size);
        // Nearest neighbour: each icon pixel takes the cell pixel it falls in.
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int sx = cellX + x * SPRITE_CELL / size;
                const int sy = cellY + y * SPRITE_CELL / size;
                icon.pixels.push_back(sheet.At(sx, sy));
            }
        }
        icons.push_back(std::move(icon));
    }
    return icons;
}
