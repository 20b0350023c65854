// The program's texts in CP932, the font the text tests share, and small
// helpers for comparing pixel buffers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/item_table.h"
#include "platform/font.h"
#include "platform/text.h"

namespace text_fixtures {

// The item table's names (space-padded to 14 bytes) and descriptions, as the
// program holds them.
inline const std::vector<const char*> ITEM_NAMES = [] {
    std::vector<const char*> names;
    for (const ItemRecord* row = itemTable; row->iconId != 0; ++row) {
        names.push_back(row->name);
    }
    return names;
}();
inline const std::vector<const char*> DESCRIPTIONS = [] {
    std::vector<const char*> texts;
    for (const ItemRecord* row = itemTable; row->iconId != 0; ++row) {
        texts.push_back(row->description);
    }
    return texts;
}();

// The longest description: 106 bytes over three lines.
inline const char* const LONGEST_DESCRIPTION = itemTable[12].description;

inline const char* const OUT_OF_AMMO =
    "\x92"
    "e\x90\xD8\x82\xEA\x82\xC1\x82\xB7\x82\xA3\x81"
    "B";
// "%s：%02d" as the item list formats it: a name, a full-width colon, a number.
inline const char* const LIST_ROW =
    "\x83"
    "A\x83Q\x83"
    "C\x83\x93      \x81"
    "F00";
inline const char* const FPS = "9999fps";
// ＭＳ ゴシック
inline const char FACE_NAME[] =
    "\x82l\x82r \x83S\x83V\x83"
    "b\x83N";

// One font for every test: building the glyph table renders ~7000 glyphs.
inline const platform::Font* SharedFont() {
    struct Deleter {
        void operator()(platform::Font* font) const { platform::FontDestroy(font); }
    };
    static const std::unique_ptr<platform::Font, Deleter> font(
        platform::FontCreateIndirect(nullptr));
    return font.get();
}

// A pixel buffer filled with one byte, with a view of it as a target.
struct Buffer {
    Buffer(int w, int h, uint8_t fill = 0, int pad = 0)
        : width(w),
          height(h),
          stride(w + pad),
          pixels(static_cast<size_t>(stride) * static_cast<size_t>(h), fill) {}
    platform::TextTarget Target() {
        return platform::TextTarget{pixels.data(), width, height, stride};
    }
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * stride + x)]; }
    int width;
    int height;
    int stride;
    std::vector<uint8_t> pixels;
};

// The pixels that differ from fill, as "x,y" lines, for readable failures.
inline std::string ChangedPixels(const Buffer& buffer, uint8_t fill) {
    std::string out;
    for (int y = 0; y < buffer.height; ++y) {
        for (int x = 0; x < buffer.stride; ++x) {
            if (buffer.At(x, y) != fill) {
                out += std::to_string(x) + "," + std::to_string(y) + "\n";
            }
        }
    }
    return out;
}

}  // namespace text_fixtures
