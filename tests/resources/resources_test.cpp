// The resources linked into the program: every bitmap and sound of the
// catalogue is there, in the size and format the program relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/program_resources.h"
#include "surface/bitmap_load.h"

namespace {

struct BitmapSize {
    int id;
    int width;
    int height;
};

constexpr BitmapSize BITMAPS[] = {
    {101, 256, 256}, {102, 384, 256}, {103, 256, 64}, {106, 12, 12},  {107, 12, 12},
    {108, 8, 80},    {110, 256, 192}, {111, 12, 12},  {112, 48, 48},  {113, 48, 48},
    {114, 48, 48},   {115, 48, 48},   {116, 48, 48},  {117, 48, 48},  {118, 48, 48},
    {119, 48, 48},   {120, 48, 48},   {121, 48, 48},  {122, 48, 48},  {123, 48, 48},
    {124, 48, 48},   {125, 48, 48},   {126, 48, 48},  {127, 48, 48},
};

uint32_t Read32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t Read16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

TEST(ProgramResources, EveryBitmapIsLinkedAndLoadsWithTheSharedColourTable) {
    platform::ResourceBlock sheet{};
    ASSERT_TRUE(ResourceFindById(&programResources, platform::RESOURCE_BITMAP, 101, &sheet));
    for (const BitmapSize& b : BITMAPS) {
        platform::ResourceBlock block{};
        ASSERT_TRUE(ResourceFindById(&programResources, platform::RESOURCE_BITMAP, b.id, &block))
            << b.id;
        BitmapInfoHeader h;
        ASSERT_GE(block.size, sizeof h);
        std::memcpy(&h, block.data, sizeof h);
        EXPECT_EQ(h.biSize, 40u) << b.id;
        EXPECT_EQ(h.biWidth, b.width) << b.id;
        EXPECT_EQ(h.biHeight, b.height) << b.id;  // bottom-up
        EXPECT_EQ(h.biBitCount, 8) << b.id;
        EXPECT_EQ(h.biCompression, BI_RGB) << b.id;
        EXPECT_EQ(h.biClrUsed, 0u) << b.id;
        EXPECT_EQ(block.size, 40u + 1024u + static_cast<size_t>(b.width * b.height)) << b.id;
        EXPECT_EQ(std::memcmp(block.data + 40, sheet.data + 40, 1024), 0)
            << b.id << " has another colour table";

        Surface* s = SurfaceLoadResource(&programResources, b.id);
        ASSERT_NE(s, nullptr) << b.id;
        EXPECT_EQ(s->header->biWidth, b.width);
        EXPECT_EQ(s->header->biHeight, -b.height);
        EXPECT_EQ(std::memcmp(SurfaceRgbTable(s), block.data + 40, 1024), 0) << b.id;
        // Row 0 of the surface is the last row stored in the block.
        EXPECT_EQ(std::memcmp(s->pixels, block.data + 1064 + (b.height - 1) * b.width, b.width),
                  0)
            << b.id;
        SurfaceDestroy(s);
    }
    EXPECT_FALSE(ResourceFindById(&programResources, platform::RESOURCE_BITMAP, 104, nullptr));
    EXPECT_FALSE(ResourceFindById(&programResources, platform::RESOURCE_BITMAP, 0, nullptr));
}

TEST(ProgramResources, EverySoundIsACompletePcmWaveFile) {
    const struct {
        const char* name;
        size_t bytes;
        uint16_t channels;
        uint16_t bits;
    } sounds[] = {
        {"CLICK", 54112, 2, 16},
        {"CANSEL", 30156, 2, 16},
        {"OPEN", 97016, 2, 16},
        {"INCORRECT", 9996, 1, 8},
    };
    for (const auto& expected : sounds) {
        platform::ResourceBlock block{};
        ASSERT_TRUE(ResourceFindByName(&programResources, platform::RESOURCE_SOUND,
                                       expected.name, &block))
            << expected.name;
        ASSERT_EQ(block.size, expected.bytes) << expected.name;
        const uint8_t* w = block.data;
        EXPECT_EQ(std::memcmp(w, "RIFF", 4), 0);
        EXPECT_EQ(Read32(w + 4), expected.bytes - 8);
        EXPECT_EQ(std::memcmp(w + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(Read16(w + 20), 1) << "PCM";
        EXPECT_EQ(Read16(w + 22), expected.channels);
        EXPECT_EQ(Read32(w + 24), 22050u);
        EXPECT_EQ(Read16(w + 34), expected.bits);
    }
    // Names are looked up exactly as written, and a null name finds nothing.
    EXPECT_FALSE(
        ResourceFindByName(&programResources, platform::RESOURCE_SOUND, "CANCEL", nullptr));
    EXPECT_FALSE(ResourceFindByName(&programResources, platform::RESOURCE_SOUND, "click", nullptr));
    EXPECT_FALSE(ResourceFindByName(&programResources, platform::RESOURCE_SOUND, nullptr, nullptr));
    EXPECT_FALSE(
        ResourceFindByName(&programResources, platform::RESOURCE_BITMAP, "CLICK", nullptr));
}

}  // namespace
