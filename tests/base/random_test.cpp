#include "base/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

// The generator's numbers are fixed by its definition, not by a C library:
// from seed 1, the sequence of the C standard's example rand.
TEST(Random, FromSeedOneGivesTheStandardsExampleSequence) {
    Random random{};
    RandomSeed(&random, 1);
    const int expected[] = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086};
    for (int value : expected) {
        EXPECT_EQ(RandomNext(&random), value);
    }
}

TEST(Random, TheSameSeedGivesTheSameNumbersAndEverySeedIsItsOwn) {
    Random a{};
    Random b{};
    Random c{};
    RandomSeed(&a, 20261209);
    RandomSeed(&b, 20261209);
    RandomSeed(&c, 20261210);
    int same = 0;
    for (int i = 0; i < 1000; ++i) {
        const int next = RandomNext(&a);
        EXPECT_EQ(next, RandomNext(&b)) << i;
        same += next == RandomNext(&c);
    }
    EXPECT_LT(same, 10);
    // Seeding again starts over.
    RandomSeed(&a, 20261209);
    RandomSeed(&b, 20261209);
    EXPECT_EQ(RandomNext(&a), RandomNext(&b));
}

// Every value lies in 0..32767, and the low bits the program takes (& 7,
// & 1023, % 10000) each reach every value they can.
TEST(Random, ValuesCoverZeroTo32767AndTheirLowBits) {
    Random random{};
    RandomSeed(&random, 0);
    int lowest = RANDOM_MAX;
    int highest = 0;
    std::set<int> low3;
    std::set<int> low10;
    std::set<int> below10000;
    for (int i = 0; i < 200000; ++i) {
        const int next = RandomNext(&random);
        ASSERT_GE(next, 0);
        ASSERT_LE(next, RANDOM_MAX);
        lowest = next < lowest ? next : lowest;
        highest = next > highest ? next : highest;
        low3.insert(next & 7);
        low10.insert(next & 1023);
        below10000.insert(next % 10000);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, RANDOM_MAX);
    EXPECT_EQ(low3.size(), 8u);
    EXPECT_EQ(low10.size(), 1024u);
    EXPECT_EQ(below10000.size(), 10000u);
}

// It works at compile time too: nothing in it depends on the machine.
constexpr int SecondFromSeed(uint32_t seed) {
    Random random{};
    RandomSeed(&random, seed);
    RandomNext(&random);
    return RandomNext(&random);
}
static_assert(SecondFromSeed(1) == 5758);

}  // namespace
