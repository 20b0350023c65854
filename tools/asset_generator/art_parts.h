// The drawing functions of the individual bitmaps, shared between the art
// source files and collected by BitmapsGenerate().
#pragma once

#include "base/words.h"
#include "tools/asset_generator/canvas.h"

constexpr int ITEM_ICON_SIZE = 48;
constexpr int ITEM_ICON_COUNT = 16;

// The player's ship in the sprite sheet (the cell the game draws it from);
// the program's icon is made from it too.
constexpr int SHIP_CELL_COLUMN = 2;
constexpr int SHIP_CELL_ROW = 0;

// sprites.cpp
Canvas DrawSpriteSheet();

// panels.cpp
Canvas DrawOverlay();
Canvas DrawMessagePanel();
Canvas DrawListPanel();
Canvas DrawListCursor();
// The wait indicator with its arrow `drop` pixels below the resting position.
Canvas DrawWaitIndicator(int drop);
Canvas DrawDigits();

// icons.cpp: item 0..ITEM_ICON_COUNT-1, in the order of the item list.
Canvas DrawItemIcon(int item);
// The file-name stem of an item's icon, e.g. "again" for item 0.
const char* ItemIconName(int item);
