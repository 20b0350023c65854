// Conversion of 8-bit pixels to 32-bit colour through a 256-entry table: a
// display's one pass over the frame it shows.
#pragma once

#include <cstdint>

namespace platform {

// Colours as 0xAARRGGBB.
struct ColourTable32 {
    alignas(64) uint32_t argb[256];
};

// dst[y * dstStride + x] = table->argb[src[y * srcStride + x]] for the
// width x height region. Strides: bytes for src, pixels for dst.
// Chooses the fastest kernel the CPU runs.
void FrameConvert(const uint8_t* src, int srcStride, int width, int height,
                  const ColourTable32* table, uint32_t* dst, int dstStride);

// The kernels, for tests and benchmarks.
void FrameConvertScalar(const uint8_t* src, int srcStride, int width, int height,
                        const ColourTable32* table, uint32_t* dst, int dstStride);
#if defined(__x86_64__)
void FrameConvertAvx512Vbmi(const uint8_t* src, int srcStride, int width, int height,
                            const ColourTable32* table, uint32_t* dst, int dstStride);
void FrameConvertAvx2(const uint8_t* src, int srcStride, int width, int height,
                      const ColourTable32* table, uint32_t* dst, int dstStride);
#endif
bool CpuHasAvx512Vbmi();
bool CpuHasAvx2();

}  // namespace platform
