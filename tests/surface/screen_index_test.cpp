#include "surface/screen_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "platform/palette.h"

namespace {

TEST(ScreenIndex, TheTableIsTheInverseOfThePermutation) {
    ScreenIndexTableBuild();
    std::set<int> seenP, seenTable;
    for (int v = 0; v < 256; ++v) {
        ASSERT_EQ(screenIndexTable[SCREEN_PALETTE_ORDER[v]], v);
        seenP.insert(SCREEN_PALETTE_ORDER[v]);
        seenTable.insert(screenIndexTable[v]);
    }
    EXPECT_EQ(seenP.size(), 256u);
    EXPECT_EQ(seenTable.size(), 256u);
    const int spots[][2] = {{0, 0},    {1, 10},    {9, 253},   {10, 16}, {245, 251},
                            {246, 254}, {247, 255}, {248, 8}, {255, 7}};
    for (const auto& spot : spots) {
        EXPECT_EQ(screenIndexTable[spot[0]], spot[1]) << spot[0];
    }
    EXPECT_EQ(SCREEN_PALETTE_ORDER[16], 10);
    EXPECT_EQ(SCREEN_PALETTE_ORDER[251], 245);
    EXPECT_EQ(SCREEN_PALETTE_ORDER[252], 8);
}

TEST(ScreenIndex, LowIndicesShowTheFullAndDarkColoursInBitOrder) {
    // Screen index bits: 1 blue, 2 red, 4 green; 0-7 full intensity, 8-15 dark
    // (with 8 dark grey and 15 light grey standing in for dark black and dark white).
    const platform::PaletteEntry* statics = platform::STATIC_COLOURS;
    auto colourOf = [statics](int v) {
        const int p = SCREEN_PALETTE_ORDER[v];
        return statics[p < 10 ? p : p - 236];
    };
    for (int v = 1; v < 7; ++v) {
        const platform::PaletteEntry full = colourOf(v);
        const platform::PaletteEntry dark = colourOf(8 + v);
        EXPECT_EQ(full.peBlue, (v & 1) ? 255 : 0) << v;
        EXPECT_EQ(full.peRed, (v & 2) ? 255 : 0) << v;
        EXPECT_EQ(full.peGreen, (v & 4) ? 255 : 0) << v;
        EXPECT_EQ(dark.peBlue, (v & 1) ? 128 : 0) << v;
        EXPECT_EQ(dark.peRed, (v & 2) ? 128 : 0) << v;
        EXPECT_EQ(dark.peGreen, (v & 4) ? 128 : 0) << v;
    }
    EXPECT_EQ(colourOf(0).peRed + colourOf(0).peGreen + colourOf(0).peBlue, 0);
    EXPECT_EQ(colourOf(7).peRed & colourOf(7).peGreen & colourOf(7).peBlue, 255);
    EXPECT_EQ(colourOf(11).peRed, 128);  // dark magenta: the overlay's key
    EXPECT_EQ(colourOf(11).peBlue, 128);
}

TEST(ScreenIndex, ConversionRewritesEveryByteIncludingPadding) {
    Surface* s = SurfaceCreate(6, 1, DIB_PAL_COLORS);  // stride 8
    ASSERT_NE(s, nullptr);
    const uint8_t before[8] = {0, 1, 9, 10, 246, 255, 248, 245};
    const uint8_t after[8] = {0, 10, 253, 16, 254, 7, 8, 251};
    for (int i = 0; i < 8; ++i) {
        s->pixels[i] = before[i];
    }
    SurfaceToScreenIndices(s);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(s->pixels[i], after[i]) << i;
    }
    // The table is built once: a later call does not rebuild it.
    screenIndexTable[0] = 99;
    SurfaceToScreenIndices(s);
    EXPECT_EQ(s->pixels[0], 99);
    screenIndexTable[0] = 0;
    SurfaceDestroy(s);
}

}  // namespace
