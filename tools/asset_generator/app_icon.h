// The program's icon for desktops and software centres: the ship's cell of
// the sprite sheet, enlarged by repeating pixels to the sizes of the hicolor
// icon theme, so that the icon is the ship a player flies.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tools/asset_generator/bitmap_art.h"

// The sizes desktops look for, in pixels.
constexpr std::array<int, 6> APP_ICON_SIZES = {16, 32, 48, 64, 128, 256};

// One icon per size of APP_ICON_SIZES, smallest first; fileName is its path
// in the icon theme tree, e.g. "hicolor/16x16/apps/karido.png". Pixels are
// colour indices; C_TRANSPARENT is the see-through background.
std::vector<GeneratedBitmap> AppIconsGenerate();
