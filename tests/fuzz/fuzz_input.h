// Helpers of the fuzz targets: their entry point, the fields of a structured
// input taken from the front of the byte block, and a check that ends the run
// on a broken promise, so that libFuzzer saves the input and the replay fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The entry point each target defines, for libFuzzer or the replay main.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

inline void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// Fixed-size fields read little-endian from the front of the input; a field
// the input no longer covers reads as 0 (as far as it runs out).
class Input {
   public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    template <typename T>
    T Take() {
        uint8_t bytes[sizeof(T)] = {};
        const size_t n = size_ < sizeof(T) ? size_ : sizeof(T);
        if (n != 0) {
            std::memcpy(bytes, data_, n);
        }
        data_ += n;
        size_ -= n;
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    // Up to count bytes from the front.
    const uint8_t* TakeBytes(size_t count, size_t* taken) {
        *taken = count < size_ ? count : size_;
        const uint8_t* bytes = data_;
        data_ += *taken;
        size_ -= *taken;
        return bytes;
    }

    const uint8_t* rest() const { return data_; }
    size_t restSize() const { return size_; }

   private:
    const uint8_t* data_;
    size_t size_;
};

}  // namespace fuzz
