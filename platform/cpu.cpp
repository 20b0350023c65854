#include "platform/cpu.h"

#include <cstdlib>
#include <cstring>

namespace platform {

#if defined(__x86_64__) || defined(__i386__)

namespace {

enum class Level { Sse2, Avx2, Avx512 };

Level Allowed() {
    static const Level allowed = [] {
        const char* limit = std::getenv("KARIDO_CPU");
        if (limit != nullptr && std::strcmp(limit, "sse2") == 0) {
            return Level::Sse2;
        }
        if (limit != nullptr && std::strcmp(limit, "avx2") == 0) {
            return Level::Avx2;
        }
        return Level::Avx512;
    }();
    return allowed;
}

}  // namespace

bool CpuMayUseAvx512() {
    __builtin_cpu_init();
    return Allowed() >= Level::Avx512 && __builtin_cpu_supports("avx512f") != 0 &&
           __builtin_cpu_supports("avx512bw") != 0;
}

bool CpuMayUseAvx2() {
    __builtin_cpu_init();
    return Allowed() >= Level::Avx2 && __builtin_cpu_supports("avx2") != 0;
}

#else

// Other processors (WebAssembly) have none of these extensions.
bool CpuMayUseAvx512() { return false; }
bool CpuMayUseAvx2() { return false; }

#endif

}  // namespace platform
