// karido-fps-reader: prints the number KARIDO's frames-per-second counter
// shows on a screenshot of its window (a PNG of the 384x256 client area, as
// `import -window` takes it under X), read with the program's own font; see
// counter_reader.h.
//
//   karido-fps-reader SCREENSHOT.png
//
// Prints the number and a line feed. Exit status 0 when the counter was read;
// 1, after one line on stderr, when the file cannot be read as a PNG or
// shows no readable counter (the counter is blank during the program's first
// second); 2 for bad arguments.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/fps_reader/counter_reader.h"
#include "tools/png/png_io.h"

namespace {

constexpr const char* USAGE =
    "usage: karido-fps-reader SCREENSHOT.png\n"
    "  prints the number the window's frames-per-second counter shows\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "karido-fps-reader: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fputs(USAGE, stderr);
        return 2;
    }
    const std::string path = argv[1];
    fps_reader::CounterGlyphs glyphs;
    std::string error;
    if (!fps_reader::LoadCounterGlyphs(&glyphs, &error)) {
        return Fail(error);
    }
    png_io::RgbImage image;
    if (!png_io::ReadRgbPng(path, &image, &error)) {
        return Fail("cannot read " + error);
    }
    uint64_t number = 0;
    if (!fps_reader::ReadCounter(glyphs, image, &number, &error)) {
        return Fail(path + ": " + error);
    }
    std::printf("%" PRIu64 "\n", number);
    return 0;
}
