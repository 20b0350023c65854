#include "tools/asset_generator/png_writer.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace {

// CRC-32 of the PNG chunks (reflected polynomial 0xEDB88320), bit by bit:
// the images are small, so no table is needed.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// The zlib stream's checksum of the uncompressed bytes.
uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1;
    uint32_t b = 0;
    for (const uint8_t byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    return b << 16 | a;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// Appends one chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, Crc32(&out[typeAt], out.size() - typeAt));
}

// A zlib stream of stored deflate blocks holding `raw`.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    constexpr size_t BLOCK_MAX = 65535;
    std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    size_t at = 0;
    do {
        const size_t length = std::min(BLOCK_MAX, raw.size() - at);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(length >> 8));
        out.push_back(static_cast<uint8_t>(~length));
        out.push_back(static_cast<uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    PutBigEndian32(out, Adler32(raw));
    return out;
}

}  // namespace

std::vector<uint8_t> PngEncodeIndexed(int width, int height, const std::vector<uint8_t>& pixels,
                                      const std::array<Rgb, 256>& table) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        throw std::invalid_argument("PngEncodeIndexed: pixel count does not match the size");
    }
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(width));
    PutBigEndian32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit palette indices, no interlace
    PutChunk(out, "IHDR", header);

    std::vector<uint8_t> palette;
    for (const Rgb& c : table) {
        palette.insert(palette.end(), {c.r, c.g, c.b});
    }
    PutChunk(out, "PLTE", palette);
    // Alpha of the indices up to the transparent one; the rest are opaque.
    std::vector<uint8_t> alpha(C_TRANSPARENT + 1, 255);
    alpha[C_TRANSPARENT] = 0;
    PutChunk(out, "tRNS", alpha);

    // Each row: filter type 0 (none), then the row's indices.
    std::vector<uint8_t> rows;
    rows.reserve(static_cast<size_t>(width + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);
        const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
        rows.insert(rows.end(), row, row + width);
    }
    PutChunk(out, "IDAT", ZlibStored(rows));
    PutChunk(out, "IEND", {});
    return out;
}
