// Row kernels of the colour-keyed blit. Each draws h rows of w bytes: a
// source byte equal to key leaves the destination byte unchanged, any other
// byte is stored. All kernels draw exactly the same result; the vector ones
// exist for speed and are chosen at run time by what the CPU supports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace blit {

using KeyedKernel = void (*)(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src,
                             ptrdiff_t srcStride, int w, int h, uint8_t key);

void KeyedScalar(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride,
                 int w, int h, uint8_t key);

#if defined(__x86_64__) || defined(__i386__)
void KeyedSse2(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride, int w,
               int h, uint8_t key);
void KeyedAvx2(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride, int w,
               int h, uint8_t key);
void KeyedAvx512(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride,
                 int w, int h, uint8_t key);
#endif

// True when the running CPU can execute KeyedAvx2 / KeyedAvx512.
bool CpuHasAvx2();
bool CpuHasAvx512();

// The fastest kernel this CPU runs; decided once.
KeyedKernel KeyedBest();

}  // namespace blit
