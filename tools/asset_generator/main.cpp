// karido-assets <resources-dir> [--contact-sheet <png-path>] [--icons <icons-dir>]
//
// Writes every bitmap to <resources-dir>/bitmaps/ and every sound to
// <resources-dir>/sounds/, optionally a PNG contact sheet that shows all
// bitmaps enlarged, for people to look at, and optionally the program's icon
// at every size as an icon theme tree under <icons-dir> (hicolor/NxN/apps/).
// The output depends on nothing but this program, so the committed resources
// and icons can be checked by regenerating them.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/asset_generator/app_icon.h"
#include "tools/asset_generator/bitmap_art.h"
#include "tools/asset_generator/bmp_writer.h"
#include "tools/asset_generator/colour_table.h"
#include "tools/asset_generator/png_writer.h"
#include "tools/asset_generator/sound_synth.h"
#include "tools/png/png_io.h"

namespace fs = std::filesystem;

namespace {

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "karido-assets: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

using png_io::RgbImage;

// Enlargement for the contact sheet: small pictures get more.
int SheetScale(const GeneratedBitmap& b) {
    if (b.width >= 128) {
        return 2;
    }
    return b.width >= 32 ? 3 : 4;
}

// Shelf layout: bitmaps left to right in file order, a new row when the next
// one does not fit.
RgbImage BuildContactSheet(const std::vector<GeneratedBitmap>& bitmaps) {
    constexpr int SHEET_WIDTH = 1328;
    constexpr int GAP = 16;
    constexpr uint8_t BACKGROUND = 104;  // neutral mid grey

    struct Placement {
        const GeneratedBitmap* bitmap;
        int x;
        int y;
        int scale;
    };
    std::vector<Placement> placements;
    int x = GAP;
    int y = GAP;
    int rowHeight = 0;
    for (const GeneratedBitmap& b : bitmaps) {
        const int scale = SheetScale(b);
        if (x + b.width * scale + GAP > SHEET_WIDTH && x > GAP) {
            x = GAP;
            y += rowHeight + GAP;
            rowHeight = 0;
        }
        placements.push_back({&b, x, y, scale});
        x += b.width * scale + GAP;
        rowHeight = std::max(rowHeight, b.height * scale);
    }

    RgbImage sheet{SHEET_WIDTH, y + rowHeight + GAP, {}};
    sheet.rgb.assign(static_cast<size_t>(sheet.width) * sheet.height * 3, BACKGROUND);
    const auto& table = ColourTable();
    for (const Placement& p : placements) {
        const GeneratedBitmap& b = *p.bitmap;
        for (int sy = 0; sy < b.height * p.scale; ++sy) {
            for (int sx = 0; sx < b.width * p.scale; ++sx) {
                const Rgb& c = table[b.pixels[static_cast<size_t>(sy / p.scale) * b.width +
                                              static_cast<size_t>(sx / p.scale)]];
                uint8_t* out =
                    &sheet.rgb[(static_cast<size_t>(p.y + sy) * sheet.width + p.x + sx) * 3];
                out[0] = c.r;
                out[1] = c.g;
                out[2] = c.b;
            }
        }
    }
    return sheet;
}

bool WritePng(const fs::path& path, const png_io::RgbImage& image) {
    std::string error;
    if (!png_io::WriteRgbPng(path.string(), image, &error)) {
        std::cerr << "karido-assets: " << error << "\n";
        return false;
    }
    return true;
}

int Usage() {
    std::cerr << "usage: karido-assets <resources-dir> [--contact-sheet <png-path>]"
                 " [--icons <icons-dir>]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path resources;
    fs::path contactSheet;
    fs::path icons;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc) {
            contactSheet = argv[++i];
        } else if (arg == "--icons" && i + 1 < argc) {
            icons = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && resources.empty()) {
            resources = arg;
        } else {
            return Usage();
        }
    }
    if (resources.empty()) {
        return Usage();
    }

    std::error_code error;
    fs::create_directories(resources / "bitmaps", error);
    fs::create_directories(resources / "sounds", error);
    if (error) {
        std::cerr << "karido-assets: cannot create folders in " << resources.string() << ": "
                  << error.message() << "\n";
        return 1;
    }

    const std::vector<GeneratedBitmap> bitmaps = BitmapsGenerate();
    const auto& table = ColourTable();
    for (const GeneratedBitmap& b : bitmaps) {
        if (!WriteFile(resources / "bitmaps" / b.fileName,
                       BmpEncode(b.width, b.height, b.pixels, table))) {
            return 1;
        }
    }
    for (const GeneratedSound& s : SoundsGenerate()) {
        if (!WriteFile(resources / "sounds" / s.fileName, s.bytes)) {
            return 1;
        }
    }
    if (!contactSheet.empty()) {
        if (contactSheet.has_parent_path()) {
            fs::create_directories(contactSheet.parent_path(), error);
        }
        if (!WritePng(contactSheet, BuildContactSheet(bitmaps))) {
            return 1;
        }
    }
    if (!icons.empty()) {
        for (const GeneratedBitmap& icon : AppIconsGenerate()) {
            const fs::path path = icons / icon.fileName;
            fs::create_directories(path.parent_path(), error);
            if (error) {
                std::cerr << "karido-assets: cannot create " << path.parent_path().string() << ": "
                          << error.message() << "\n";
                return 1;
            }
            if (!WriteFile(path, PngEncodeIndexed(icon.width, icon.height, icon.pixels, table))) {
                return 1;
            }
        }
    }
    return 0;
}
