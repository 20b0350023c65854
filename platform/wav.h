// Reading a RIFF/WAVE image held in memory: its PCM format and where its
// samples are. Nothing is copied and nothing is read outside the block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Limits of what is accepted: anything outside them is taken for a damaged
// or hostile image rather than played.
inline constexpr int WAV_MAX_CHANNELS = 8;
inline constexpr int WAV_MIN_RATE = 1000;
inline constexpr int WAV_MAX_RATE = 384000;

struct WavImage {
    int channels;       // 1..WAV_MAX_CHANNELS
    int sampleRate;     // WAV_MIN_RATE..WAV_MAX_RATE frames per second
    int bitsPerSample;  // 8 (unsigned) or 16 (signed, little-endian)
    const uint8_t* samples;  // inside the block
    size_t sampleBytes;      // a whole number of frames, possibly 0
};

// Reads the image of size bytes at data: "RIFF", its size, "WAVE", then
// chunks, of which a "fmt " chunk (PCM, format tag 1, with a block align and
// byte rate that agree with its channels, rate and bits) must come before the
// "data" chunk; other chunks are skipped. Returns false, leaving *image
// unchanged, for a null block, a block too short for what it declares (the
// RIFF size or any chunk running past the block), a missing chunk, a format
// that is not PCM, or values outside the limits above. A data chunk whose
// length is not a whole number of frames is cut to whole frames.
bool WavRead(const uint8_t* data, size_t size, WavImage* image);

}  // namespace platform
