// Reads and writes 8-bit RGB PNG files: the pictures the tools and tests
// leave for people to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace png_io {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes, top row first
};

// Writes image to path; on failure returns false and sets *error.
bool WriteRgbPng(const std::string& path, const RgbImage& image, std::string* error);

// Reads any PNG at path as RGB; on failure returns false and sets *error.
bool ReadRgbPng(const std::string& path, RgbImage* image, std::string* error);

}  // namespace png_io
