#include "tools/asset_generator/bmp_writer.h"

#include <stdexcept>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFFu);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> BmpEncode(int width, int height, const std::vector<uint8_t>& pixels,
                               const std::array<Rgb, 256>& table) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        throw std::invalid_argument("BmpEncode: pixel count does not match the size");
    }
    const uint32_t stride = (static_cast<uint32_t>(width) + 3u) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out;
    out.reserve(BMP_PIXEL_OFFSET + imageSize);

    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    Put32(out, BMP_PIXEL_OFFSET + imageSize);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, BMP_PIXEL_OFFSET);

    // BITMAPINFOHEADER; a positive height means bottom-up rows.
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);  // planes
    Put16(out, 8);  // bits per pixel
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 0);  // x pixels per metre
    Put32(out, 0);  // y pixels per metre
    Put32(out, 0);  // colours used: 0 means all 256
    Put32(out, 0);  // important colours: 0 means all

    for (const Rgb& c : table) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }

    for (int y = height - 1; y >= 0; --y) {
        const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
        out.insert(out.end(), row, row + width);
        out.insert(out.end(), stride - static_cast<uint32_t>(width), uint8_t{0});
    }
    return out;
}
