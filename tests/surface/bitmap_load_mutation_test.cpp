// Damaged copies of the shipped bitmaps: truncated, bit-flipped and with
// header fields replaced. The loader must refuse or load each one without
// reading past the block (AddressSanitizer watches the exact-size copies),
// and whatever it loads must agree with the header it was given.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "surface/bitmap_load.h"
#include "tests/resources/resource_table.h"

namespace {

std::vector<std::vector<uint8_t>> ShippedBitmaps() {
    std::vector<std::vector<uint8_t>> blocks;
    for (const platform::ResourceEntry& e : testing_resources::ProgramResourceTable()) {
        if (std::strcmp(e.type, platform::RESOURCE_BITMAP) == 0) {
            blocks.emplace_back(e.data, e.data + e.size);
        }
    }
    return blocks;
}

void Mutate(std::vector<uint8_t>& block, std::mt19937& rng) {
    auto pick = [&rng](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); };
    switch (pick(3)) {
        case 0:  // truncate
            block.resize(pick(static_cast<uint32_t>(block.size())));
            break;
        case 1: {  // flip bits, mostly in the header
            const uint32_t flips = 1 + pick(8);
            for (uint32_t f = 0; f < flips; ++f) {
                const uint32_t limit = pick(2) == 0 ? 40 : static_cast<uint32_t>(block.size());
                block[pick(limit)] ^= static_cast<uint8_t>(1u << pick(8));
            }
            break;
        }
        default: {  // replace a header field with an awkward value
            const int32_t values[] = {0, 1, -1, 2, 4, 8, 24, 40, 255, 256, 257, 511, 512, 513,
                                      1024, 65535, 65536, 65792, -2147483647 - 1, 2147483647};
            const int32_t value =
                pick(4) == 0 ? static_cast<int32_t>(rng()) : values[pick(std::size(values))];
            const size_t offsets[] = {0, 4, 8, 12, 14, 16, 20, 32};
            const size_t offset = offsets[pick(std::size(offsets))];
            if (offset == 12 || offset == 14) {
                const auto half = static_cast<uint16_t>(value);
                std::memcpy(block.data() + offset, &half, 2);
            } else {
                std::memcpy(block.data() + offset, &value, 4);
            }
            break;
        }
    }
}

TEST(BitmapLoadMutations, DamagedBlocksAreRefusedOrLoadedConsistently) {
    const auto shipped = ShippedBitmaps();
    ASSERT_FALSE(shipped.empty());
    std::mt19937 rng(1041);
    int loaded = 0;
    int refused = 0;
    for (int round = 0; round < 6000; ++round) {
        std::vector<uint8_t> block = shipped[static_cast<size_t>(round) % shipped.size()];
        Mutate(block, rng);
        const std::vector<uint8_t> exact(block.begin(), block.end());
        Surface* s = SurfaceLoadDib(exact.data(), exact.size());
        if (s == nullptr) {
            ++refused;
            continue;
        }
        ++loaded;
        BitmapInfoHeader h;
        std::memcpy(&h, exact.data(), sizeof h);
        const int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
        const int stride = SurfaceStrideFor(h.biWidth);
        ASSERT_EQ(s->header->biWidth, h.biWidth) << round;
        ASSERT_EQ(s->header->biHeight, -rows) << round;
        ASSERT_LE(stride, 512) << round;
        ASSERT_EQ(std::memcmp(SurfaceRgbTable(s), exact.data() + 40, 1024), 0) << round;
        // The image's top row is the block's last stored row when bottom-up.
        const size_t topRow = h.biHeight > 0 ? static_cast<size_t>(rows - 1) : 0;
        ASSERT_EQ(std::memcmp(s->pixels, exact.data() + 1064 + topRow * stride, stride), 0)
            << round;
        SurfaceDestroy(s);
    }
    // Both outcomes must really occur, or the mutations test nothing.
    EXPECT_GT(loaded, 500);
    EXPECT_GT(refused, 500);
}

}  // namespace
