#include "surface/blit_kernels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct NamedKernel {
    std::string name;
    blit::KeyedKernel kernel;
};

std::vector<NamedKernel> VectorKernels() {
    std::vector<NamedKernel> kernels;
#if defined(__x86_64__) || defined(__i386__)
    kernels.push_back({"sse2", blit::KeyedSse2});
    if (blit::CpuHasAvx2()) {
        kernels.push_back({"avx2", blit::KeyedAvx2});
    }
    if (blit::CpuHasAvx512()) {
        kernels.push_back({"avx512", blit::KeyedAvx512});
    }
#endif
    kernels.push_back({"best", blit::KeyedBest()});
    return kernels;
}

// Every vector kernel must leave exactly the bytes the plain loop leaves,
// including those between and around the drawn rows.
TEST(BlitKernels, VectorKernelsMatchThePlainLoop) {
    std::mt19937 rng(7);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int widths[] = {0, 1, 2, 15, 16, 17, 31, 32, 33, 47, 48, 63, 64, 65, 100, 255, 256, 384};
    for (const NamedKernel& k : VectorKernels()) {
        for (int w : widths) {
            for (int trial = 0; trial < 40; ++trial) {
                const int h = uniform(1, 6);
                const int srcStride = w + uniform(0, 40);
                const int dstStride = w + uniform(0, 40);
                const auto key = static_cast<uint8_t>(uniform(0, 255));
                // The mix decides how often whole groups are transparent or opaque.
                const int keyShare = uniform(0, 10);
                std::vector<uint8_t> src(static_cast<size_t>(srcStride * h) + 1);
                for (auto& b : src) {
                    b = uniform(0, 9) < keyShare ? key : static_cast<uint8_t>(uniform(0, 255));
                }
                std::vector<uint8_t> expected(static_cast<size_t>(dstStride * h) + 64);
                for (auto& b : expected) {
                    b = static_cast<uint8_t>(uniform(0, 255));
                }
                std::vector<uint8_t> actual = expected;
                blit::KeyedScalar(expected.data(), dstStride, src.data(), srcStride, w, h, key);
                k.kernel(actual.data(), dstStride, src.data(), srcStride, w, h, key);
                ASSERT_EQ(expected, actual)
                    << k.name << " width " << w << " height " << h << " key " << int{key};
            }
        }
    }
}

}  // namespace
