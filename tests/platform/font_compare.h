// Comparing two fonts field for field, and reading test files, for the font
// and glyph table tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/font.h"

namespace font_compare {

// Every field of every slot: present, rows, inkTop, inkBottom, leftFirst.
// Names the first slot that differs and counts the slots that do.
inline testing::AssertionResult SameFont(const platform::Font& a, const platform::Font& b) {
    using namespace platform;
    int differing = 0;
    std::string first;
    for (int slot = 0; slot < FONT_GLYPH_SLOTS; ++slot) {
        std::string field;
        if (a.present[slot] != b.present[slot]) {
            field = "present";
        } else if (a.inkTop[slot] != b.inkTop[slot]) {
            field = "inkTop";
        } else if (a.inkBottom[slot] != b.inkBottom[slot]) {
            field = "inkBottom";
        }
        for (int r = 0; r < FONT_CELL_HEIGHT && field.empty(); ++r) {
            if (a.rows[slot][r] != b.rows[slot][r]) {
                field = "rows[" + std::to_string(r) + "]";
            } else if (a.leftFirst[slot][r] != b.leftFirst[slot][r]) {
                field = "leftFirst[" + std::to_string(r) + "]";
            }
        }
        if (!field.empty()) {
            if (differing == 0) {
                first = "slot " + std::to_string(slot) + " " + field;
            }
            ++differing;
        }
    }
    if (differing == 0) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << differing << " slots differ; the first is " << first;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace font_compare
