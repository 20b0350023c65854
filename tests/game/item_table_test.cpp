// The item table as the list shows it: 16 rows in icon order, names padded
// to 14 bytes so the colons line up, descriptions in CP932.
#include "game/item_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ItemTable, SixteenRowsOfPaddedNamesAndTheirDescriptions) {
    const size_t descriptionBytes[ITEM_TABLE_ROWS] = {17, 37, 34, 47, 22, 22, 32, 51,
                                                      16, 16, 16, 16, 106, 55, 75, 30};
    for (int row = 0; row < ITEM_TABLE_ROWS; ++row) {
        const ItemRecord& item = itemTable[row];
        EXPECT_EQ(item.iconId, 112 + row);
        ASSERT_NE(item.name, nullptr);
        EXPECT_EQ(std::strlen(item.name), 14u) << row;
        EXPECT_EQ(std::strlen(item.description), descriptionBytes[row]) << row;
        EXPECT_GT(std::strlen(item.reading), 0u) << row;
        EXPECT_EQ(item.icon, nullptr);
    }
    EXPECT_EQ(itemTable[ITEM_TABLE_ROWS].iconId, 0);
    // "アゲイン" (4 double-byte characters) then 6 spaces; "Ｃ" is double-byte.
    EXPECT_EQ(std::memcmp(itemTable[0].name, "\x83\x41\x83\x51\x83\x43\x83\x93      ", 14), 0);
    EXPECT_EQ(std::memcmp(itemTable[6].name + 10, "\x82\x62  ", 4), 0);
    // "～" is 0x81 0x60 and the line feeds are single bytes.
    EXPECT_NE(std::strstr(itemTable[4].description, "\x81\x60"), nullptr);
    EXPECT_EQ(std::strchr(itemTable[12].description, '\n') - itemTable[12].description, 22);
}

}  // namespace
