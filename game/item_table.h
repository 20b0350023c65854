// The fixed table of items the item list shows.
#pragma once

#include "base/state.h"

constexpr int ITEM_TABLE_ROWS = 16;

// 16 rows, then a terminating row whose iconId is 0. Each row's icon is
// loaded the first time the row is shown selected and cached in the row.
extern ItemRecord itemTable[ITEM_TABLE_ROWS + 1];
