// The program's own pseudo-random generator, used in place of the C
// library's srand and rand, whose generators differ from one C library to
// the next (glibc's and Windows' scatter different stars from one seed): a
// 32-bit linear congruential generator, with the multiplier and increment of
// the C standard's example rand, returning bits 16-30 of its state. The same
// seed gives the same numbers with every compiler and C library.
#pragma once

#include <cstdint>

// Every value RandomNext returns lies in 0..RANDOM_MAX.
constexpr int RANDOM_MAX = 32767;

// The generator's state. A plain record, not atomic: a generator is used by
// one thread only.
struct Random {
    uint32_t state;
};

constexpr void RandomSeed(Random* random, uint32_t seed) { random->state = seed; }

// Moves the state on one step and returns its bits 16-30: 0..RANDOM_MAX.
constexpr int RandomNext(Random* random) {
    random->state = random->state * 1103515245u + 12345u;
    return static_cast<int>((random->state >> 16) & static_cast<uint32_t>(RANDOM_MAX));
}
