// Every bitmap of the program, drawn in code from the one colour table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GeneratedBitmap {
    std::string fileName;  // e.g. "101_sprites.bmp"
    int width;
    int height;
    std::vector<uint8_t> pixels;  // width * height colour indices, top row first
};

// All bitmaps in file-name order. Deterministic: the same pixels on every call.
std::vector<GeneratedBitmap> BitmapsGenerate();
