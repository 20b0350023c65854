#include "surface/bitmap_load.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tests/surface/dib_builder.h"
#include "tests/surface/surface_ptr.h"

namespace {

using testing_dib::HeaderOf;
using testing_dib::MakeDib;

using testing_surface::SurfacePtr;

SurfacePtr Load(const std::vector<uint8_t>& block) {
    return SurfacePtr(SurfaceLoadDib(block.data(), block.size()));
}

TEST(DibColorCount, UsedCountWinsOtherwiseTheBitDepthDecides) {
    BitmapInfoHeader h{};
    h.biBitCount = 8;
    EXPECT_EQ(DibColorCount(&h), 256);
    h.biClrUsed = 16;
    EXPECT_EQ(DibColorCount(&h), 16);
    h.biClrUsed = 0;
    h.biBitCount = 1;
    EXPECT_EQ(DibColorCount(&h), 2);
    h.biBitCount = 4;
    EXPECT_EQ(DibColorCount(&h), 16);
    h.biBitCount = 24;
    EXPECT_EQ(DibColorCount(&h), 0);
}

TEST(SurfaceLoadDib, BottomUpRowsArriveTopDown) {
    // The stored first row (the image's bottom) is all 5, the stored last row all 9.
    const auto block = MakeDib(12, 12, [](int r, int) -> uint8_t {
        return r == 0 ? 5 : r == 11 ? 9 : static_cast<uint8_t>(r);
    });
    SurfacePtr s = Load(block);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->header->biHeight, -12);
    EXPECT_EQ(s->header->biWidth, 12);
    EXPECT_EQ(s->tableMode, DIB_RGB_COLORS);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(s->pixels[x], 9);
        EXPECT_EQ(s->pixels[11 * 12 + x], 5);
        EXPECT_EQ(s->pixels[5 * 12 + x], 6);
    }
    EXPECT_EQ(std::memcmp(SurfaceRgbTable(s.get()), block.data() + 40, 1024), 0);
}

TEST(SurfaceLoadDib, TopDownBlockGivesTheSameSurfaceAsItsBottomUpTwin) {
    // Rows of 10 pixels (stride 12): padding bytes travel with their rows.
    const auto bottomUp = MakeDib(10, 7, [](int r, int x) -> uint8_t {
        return static_cast<uint8_t>((6 - r) * 16 + x);
    });
    const auto topDown = MakeDib(10, -7, [](int r, int x) -> uint8_t {
        return static_cast<uint8_t>(r * 16 + x);
    });
    SurfacePtr a = Load(bottomUp);
    SurfacePtr b = Load(topDown);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::memcmp(a->header, b->header, 40 + 1024), 0);
    ASSERT_EQ(SurfacePixelBytes(a.get()), 84u);
    EXPECT_EQ(std::memcmp(a->pixels, b->pixels, 84), 0);
    EXPECT_EQ(a->pixels[3 * 12 + 11], 3 * 16 + 11);
}

TEST(SurfaceLoadDib, RefusesBlocksItCannotLoadSafely) {
    const auto good = MakeDib(16, 4);
    ASSERT_NE(Load(good), nullptr);

    struct Case {
        const char* what;
        void (*edit)(std::vector<uint8_t>&);
    };
    const Case cases[] = {
        {"one byte short", [](std::vector<uint8_t>& b) { b.pop_back(); }},
        {"header only", [](std::vector<uint8_t>& b) { b.resize(40); }},
        {"shorter than a header", [](std::vector<uint8_t>& b) { b.resize(39); }},
        {"4 bits per pixel", [](std::vector<uint8_t>& b) { HeaderOf(b)->biBitCount = 4; }},
        {"24 bits per pixel", [](std::vector<uint8_t>& b) { HeaderOf(b)->biBitCount = 24; }},
        {"RLE8", [](std::vector<uint8_t>& b) { HeaderOf(b)->biCompression = 1; }},
        {"16-colour table", [](std::vector<uint8_t>& b) { HeaderOf(b)->biClrUsed = 16; }},
        {"huge colour table", [](std::vector<uint8_t>& b) { HeaderOf(b)->biClrUsed = 65792; }},
        {"V5 header", [](std::vector<uint8_t>& b) { HeaderOf(b)->biSize = 124; }},
        {"two planes", [](std::vector<uint8_t>& b) { HeaderOf(b)->biPlanes = 2; }},
        {"zero width", [](std::vector<uint8_t>& b) { HeaderOf(b)->biWidth = 0; }},
        {"negative width", [](std::vector<uint8_t>& b) { HeaderOf(b)->biWidth = -16; }},
        {"widest width", [](std::vector<uint8_t>& b) { HeaderOf(b)->biWidth = 2147483647; }},
        {"zero height", [](std::vector<uint8_t>& b) { HeaderOf(b)->biHeight = 0; }},
        {"rows wider than 512 bytes",
         [](std::vector<uint8_t>& b) { HeaderOf(b)->biWidth = 513; }},
        {"more rows than stored", [](std::vector<uint8_t>& b) { HeaderOf(b)->biHeight = 5; }},
        {"most negative height",
         [](std::vector<uint8_t>& b) { HeaderOf(b)->biHeight = -2147483647 - 1; }},
        {"huge height", [](std::vector<uint8_t>& b) { HeaderOf(b)->biHeight = 2147483647; }},
    };
    for (const Case& c : cases) {
        auto block = good;
        c.edit(block);
        // An exact-size copy, so that a read past the end is caught by AddressSanitizer.
        std::vector<uint8_t> exact(block.begin(), block.end());
        EXPECT_EQ(Load(exact), nullptr) << c.what;
    }
    EXPECT_EQ(SurfaceLoadDib(nullptr, 2000), nullptr);
    EXPECT_EQ(SurfaceLoadDib(good.data(), 0), nullptr);
}

TEST(SurfaceLoadResource, FindsBitmapsByIdOnly) {
    const auto bitmap = MakeDib(8, 8);
    const platform::ResourceEntry entries[] = {
        {platform::RESOURCE_BITMAP, 101, nullptr, 1041, bitmap.data(), bitmap.size()},
        {platform::RESOURCE_SOUND, 0, "CLICK", 1041, bitmap.data(), bitmap.size()},
        {platform::RESOURCE_SOUND, 102, nullptr, 1041, bitmap.data(), bitmap.size()},
    };
    const platform::Module module{entries, 3};
    SurfacePtr s(SurfaceLoadResource(&module, 101));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->header->biWidth, 8);
    EXPECT_EQ(SurfaceLoadResource(&module, 102), nullptr);  // a sound, not a bitmap
    EXPECT_EQ(SurfaceLoadResource(&module, 999), nullptr);
    EXPECT_EQ(SurfaceLoadResource(nullptr, 101), nullptr);
}

}  // namespace
