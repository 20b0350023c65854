// libFuzzer entry: any byte block handed to the WAV reader is either refused
// or read into samples that lie inside it, never read past its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::WavImage wav{};
    if (platform::WavRead(data, size, &wav)) {
        const size_t frame = static_cast<size_t>(wav.channels * wav.bitsPerSample / 8);
        if (wav.samples < data || wav.samples + wav.sampleBytes > data + size || frame == 0 ||
            wav.sampleBytes % frame != 0) {
            std::abort();
        }
    }
    return 0;
}
