// The vector extensions the program's kernels may use: those the CPU has,
// unless the environment variable KARIDO_CPU holds them back, so that the
// paths of a machine without AVX-512 (KARIDO_CPU=avx2) or without AVX2 as
// well (KARIDO_CPU=sse2) can be measured and tested on one that has them.
// Read once, when a kernel is first chosen; any other value holds nothing
// back.
#pragma once

namespace platform {

// AVX-512 F and BW (a kernel that needs more asks the CPU for that too).
bool CpuMayUseAvx512();
bool CpuMayUseAvx2();

}  // namespace platform
