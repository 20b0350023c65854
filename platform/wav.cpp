#include "platform/wav.h"

#include <cstring>

namespace platform {

namespace {

constexpr size_t CHUNK_HEADER = 8;
constexpr size_t PCM_FORMAT_BYTES = 16;
constexpr uint16_t FORMAT_PCM = 1;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool IsTag(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

// Checks a "fmt " chunk's body of length bytes and fills the format fields.
bool ReadFormat(const uint8_t* body, size_t length, WavImage* image) {
    if (length < PCM_FORMAT_BYTES || Read16(body) != FORMAT_PCM) {
        return false;
    }
    const int channels = Read16(body + 2);
    const uint32_t rate = Read32(body + 4);
    const uint32_t byteRate = Read32(body + 8);
    const int blockAlign = Read16(body + 12);
    const int bits = Read16(body + 14);
    if (channels < 1 || channels > WAV_MAX_CHANNELS || rate < WAV_MIN_RATE ||
        rate > WAV_MAX_RATE || (bits != 8 && bits != 16)) {
        return false;
    }
    if (blockAlign != channels * bits / 8 || byteRate != rate * static_cast<uint32_t>(blockAlign)) {
        return false;
    }
    image->channels = channels;
    image->sampleRate = static_cast<int>(rate);
    image->bitsPerSample = bits;
    return true;
}

}  // namespace

bool WavRead(const uint8_t* data, size_t size, WavImage* image) {
    if (data == nullptr || size < 12 || !IsTag(data, "RIFF") || !IsTag(data + 8, "WAVE")) {
        return false;
    }
    // The RIFF chunk covers everything after its 8-byte header; what it
    // declares must be there.
    const uint32_t riffSize = Read32(data + 4);
    if (riffSize < 4 || riffSize > size - CHUNK_HEADER) {
        return false;
    }
    const size_t end = CHUNK_HEADER + riffSize;
    WavImage found{};
    bool haveFormat = false;
    size_t at = 12;
    while (end - at >= CHUNK_HEADER) {
        const uint8_t* chunk = data + at;
        const uint32_t length = Read32(chunk + 4);
        const size_t room = end - at - CHUNK_HEADER;
        if (length > room) {
            return false;
        }
        const uint8_t* body = chunk + CHUNK_HEADER;
        if (IsTag(chunk, "fmt ")) {
            if (haveFormat || !ReadFormat(body, length, &found)) {
                return false;
            }
            haveFormat = true;
        } else if (IsTag(chunk, "data")) {
            if (!haveFormat) {
                return false;
            }
            const size_t frame = static_cast<size_t>(found.channels * found.bitsPerSample / 8);
            found.samples = body;
            found.sampleBytes = length / frame * frame;
            *image = found;
            return true;
        }
        // Chunks are padded to an even length.
        at += CHUNK_HEADER + length + (length & 1);
        if (at > end) {
            return false;  // the pad of the last chunk is missing, and no data came
        }
    }
    return false;
}

}  // namespace platform
