// karido-capture: runs KARIDO's real start-up and frame loop without a
// display and writes chosen frames as PNG files, in the colours a person
// would see in the window.
//
//   karido-capture [--frames N] [--seed S] [--step MS] [--script FILE]
//                  [--save LIST] [--out DIR] [--benchmark]
//
// --frames N     frames to run (default 60)
// --seed S       the clock's start in milliseconds; the program seeds its
//                generator from the clock, so this also chooses the stars (default 1)
// --step MS      how far the clock moves on after each frame (default 16)
// --script FILE  input, one event a line, delivered before the numbered frame:
//                  <frame> key <virtual-key code> down|up
//                  <frame> click <x> <y>
//                blank lines and lines starting with # are skipped
// --save LIST    1-based frame numbers to write, comma-separated (default: the last)
// --out DIR      folder for frame-NNNN.png (default: the current folder)
// --benchmark    write nothing; print how many frames per second the loop ran
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/headless/headless.h"
#include "tools/png/png_io.h"

namespace {

struct Options {
    long frames = 60;
    unsigned long seed = 1;
    unsigned long step = 16;
    std::string script;
    std::set<long> save;
    std::string out = ".";
    bool benchmark = false;
};

struct ScriptEvent {
    long frame;
    platform::WindowEvent event;
};

constexpr const char* USAGE =
    "usage: karido-capture [--frames N] [--seed S] [--step MS] [--script FILE]\n"
    "                      [--save LIST] [--out DIR] [--benchmark]\n"
    "  --frames N     frames to run (default 60)\n"
    "  --seed S       the clock's start in ms; it also seeds the stars (default 1)\n"
    "  --step MS      how far the clock moves after each frame (default 16)\n"
    "  --script FILE  events: '<frame> key <code> down|up' or '<frame> click <x> <y>'\n"
    "  --save LIST    1-based frame numbers to write, comma-separated (default: the last)\n"
    "  --out DIR      folder for frame-NNNN.png (default: .)\n"
    "  --benchmark    write nothing; print the frame rate of the loop\n";

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "karido-capture: %s\n", message.c_str());
    std::exit(2);
}

unsigned long Number(const std::string& text, const char* what) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || text[0] == '-') {
        Fail(std::string("not a number for ") + what + ": '" + text + "'");
    }
    return value;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                Fail(arg + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--frames") {
            options.frames = static_cast<long>(Number(value(), "--frames"));
        } else if (arg == "--seed") {
            options.seed = Number(value(), "--seed");
        } else if (arg == "--step") {
            options.step = Number(value(), "--step");
        } else if (arg == "--script") {
            options.script = value();
        } else if (arg == "--save") {
            std::stringstream list(value());
            std::string item;
            while (std::getline(list, item, ',')) {
                options.save.insert(static_cast<long>(Number(item, "--save")));
            }
        } else if (arg == "--out") {
            options.out = value();
        } else if (arg == "--benchmark") {
            options.benchmark = true;
        } else if (arg == "--help") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        } else {
            Fail("unknown argument '" + arg + "'\n" + USAGE);
        }
    }
    if (options.frames < 1) {
        Fail("--frames must be at least 1");
    }
    if (options.save.empty()) {
        options.save.insert(options.frames);
    }
    return options;
}

std::vector<ScriptEvent> ReadScript(const std::string& path) {
    std::vector<ScriptEvent> events;
    if (path.empty()) {
        return events;
    }
    std::ifstream file(path);
    if (!file) {
        Fail("cannot read the script " + path);
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::istringstream words(line);
        std::string frame, kind;
        if (!(words >> frame) || frame[0] == '#') {
            continue;
        }
        const std::string where = path + ":" + std::to_string(number);
        words >> kind;
        ScriptEvent e{static_cast<long>(Number(frame, "a script frame")), {}};
        if (kind == "key") {
            std::string code, direction;
            words >> code >> direction;
            if (direction != "down" && direction != "up") {
                Fail(where + ": expected 'down' or 'up'");
            }
            e.event = {direction == "down" ? platform::WindowEventType::KeyDown
                                           : platform::WindowEventType::KeyUp,
                       static_cast<int>(Number(code, "a key code")), 0, 0};
        } else if (kind == "click") {
            std::string x, y;
            words >> x >> y;
            e.event = {platform::WindowEventType::LeftButtonDown, 0,
                       static_cast<int>(Number(x, "click x")), static_cast<int>(Number(y, "click y"))};
        } else {
            Fail(where + ": expected 'key' or 'click'");
        }
        events.push_back(e);
    }
    return events;
}

// The frame as the window shows it: stretched over the client size.
png_io::RgbImage Picture(const platform::Frame* frame) {
    png_io::RgbImage image;
    image.width = frame->outWidth;
    image.height = frame->outHeight;
    image.rgb.assign(static_cast<size_t>(image.width) * image.height * 3, 0);
    if (frame->width <= 0 || frame->height <= 0) {
        return image;  // an empty view shows black
    }
    for (int y = 0; y < image.height; ++y) {
        const int sy = y * frame->height / image.height;
        for (int x = 0; x < image.width; ++x) {
            const int sx = x * frame->width / image.width;
            const uint32_t argb = frame->pixels[sy * frame->stride + sx];
            uint8_t* rgb = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
            rgb[0] = static_cast<uint8_t>(argb >> 16);
            rgb[1] = static_cast<uint8_t>(argb >> 8);
            rgb[2] = static_cast<uint8_t>(argb);
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const std::vector<ScriptEvent> script = ReadScript(options.script);

    auto state = std::make_unique<AppState>();
    RenderLoop loop{};
    const platform::WindowConfig config = ProgramWindowConfig(state.get(), &loop);
    platform::HeadlessWindow* window =
        platform::HeadlessOpen(&config, static_cast<uint32_t>(options.seed));
    if (window == nullptr) {
        return 1;  // the start-up has said what failed
    }
    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    for (long frame = 1; frame <= options.frames; ++frame) {
        for (const ScriptEvent& e : script) {
            if (e.frame == frame) {
                platform::HeadlessSend(window, e.event);
            }
        }
        const platform::Frame* shown = platform::HeadlessFrame(window);
        platform::HeadlessClockAdvance(window, static_cast<uint32_t>(options.step));
        if (options.benchmark || shown == nullptr || options.save.count(frame) == 0) {
            continue;
        }
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04ld.png", frame);
        std::string error;
        if (!png_io::WriteRgbPng(options.out + name, Picture(shown), &error)) {
            std::fprintf(stderr, "karido-capture: %s\n", error.c_str());
            status = 1;
            break;
        }
    }
    if (options.benchmark) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("headless: %ld frames in %.3f s, %.0f frames per second (%.2f us a frame)\n",
                    options.frames, seconds, static_cast<double>(options.frames) / seconds,
                    seconds * 1e6 / static_cast<double>(options.frames));
    }
    platform::HeadlessClose(window);
    return status;
}
