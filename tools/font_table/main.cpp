// karido-font-table: writes the glyph table the program links in
// (platform/font_glyphs.bin, format in platform/font_table.h) from the two
// Shinonome 12-pixel font files, read with FreeType.
//
//   karido-font-table HALF_WIDTH.pcf.gz FULL_WIDTH.pcf.gz OUTPUT
//
// HALF_WIDTH is shnm6x12r.pcf.gz (JIS X 0201), FULL_WIDTH shnmk12.pcf.gz
// (JIS X 0208); Debian's xfonts-shinonome installs both in
// /usr/share/fonts/X11/misc/. The table is written to a scratch file beside
// OUTPUT and renamed onto it once complete, so a failure leaves OUTPUT as it
// was. The output depends on nothing but the two files, so the committed
// table is checked by regenerating it (tests/platform/font_files_test.cpp).
//
// Exit status 0 when the table was written; 1, after one line on stderr,
// when a file cannot be read or written; 2 for bad arguments.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "platform/font.h"
#include "platform/font_files.h"
#include "platform/font_table.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* USAGE =
    "usage: karido-font-table HALF_WIDTH.pcf.gz FULL_WIDTH.pcf.gz OUTPUT\n"
    "  writes the glyph table of the two Shinonome 12-pixel font files\n"
    "  (shnm6x12r.pcf.gz, shnmk12.pcf.gz) to OUTPUT, platform/font_glyphs.bin\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "karido-font-table: %s\n", message.c_str());
    return 1;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

struct FontHolder {
    explicit FontHolder(platform::Font* f) : font(f) {}
    FontHolder(const FontHolder&) = delete;
    FontHolder& operator=(const FontHolder&) = delete;
    ~FontHolder() { platform::FontDestroy(font); }
    platform::Font* font;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc != 4) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '\0' || argv[i][0] == '-') {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    const std::string halfPath = argv[1];
    const std::string fullPath = argv[2];
    const fs::path output = argv[3];

    std::vector<uint8_t> half;
    std::vector<uint8_t> full;
    if (!ReadFile(halfPath, &half)) {
        return Fail("cannot read " + halfPath);
    }
    if (!ReadFile(fullPath, &full)) {
        return Fail("cannot read " + fullPath);
    }
    // The font reader reports its own failures, one line naming the file.
    const FontHolder font(platform::FontCreateFromFiles(
        platform::FontFile{halfPath.c_str(), half.data(), half.size()},
        platform::FontFile{fullPath.c_str(), full.data(), full.size()}));
    if (font.font == nullptr) {
        return 1;
    }
    std::vector<uint8_t> table;
    if (!platform::FontWriteTable(*font.font, &table)) {
        return 1;
    }
    // The table must read back into the same glyphs before it is written.
    const FontHolder check(
        platform::FontCreateFromTable(table.data(), table.size(), "the table just written"));
    if (check.font == nullptr ||
        std::memcmp(check.font->rows, font.font->rows, sizeof font.font->rows) != 0 ||
        std::memcmp(check.font->present, font.font->present, sizeof font.font->present) != 0) {
        return Fail("the table does not read back into the font's glyphs");
    }

    fs::path scratch = output;
    scratch += ".tmp";
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(table.data()),
                  static_cast<std::streamsize>(table.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(scratch, ignored);
            return Fail("cannot write " + scratch.string());
        }
    }
    std::error_code error;
    fs::rename(scratch, output, error);
    if (error) {
        std::error_code ignored;
        fs::remove(scratch, ignored);
        return Fail("cannot rename " + scratch.string() + " to " + output.string() + ": " +
                    error.message());
    }
    return 0;
}
