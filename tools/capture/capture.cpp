// karido-capture: runs KARIDO's real start-up and frame loop without a
// display and writes chosen frames as PNG files, in the colours a person
// would see in the window, or records them as an animated GIF.
//
//   karido-capture [--frames N] [--seed S] [--step MS] [--script FILE]
//                  [--save LIST] [--out DIR] [--gif FILE [--every N] [--delay MS]]
//                  [--sounds FILE] [--benchmark]
//
// --frames N     frames to run (default 60)
// --seed S       the clock's start in milliseconds (0..4294967295); the program
//                seeds its generator from the clock, so this also chooses the
//                stars (default 1)
// --step MS      how far the clock moves on after each frame (default 16)
// --script FILE  input, one event a line, delivered before the numbered frame:
//                  <frame> key <virtual-key code 1..254> down|up
//                  <frame> click <x> <y>
//                blank lines and lines starting with # are skipped
// --save LIST    frame numbers to write, 1..N, comma-separated (default: the last)
//                (default: the last, unless --gif is given)
// --out DIR      an existing, writable folder for frame-NNNN.png (default: .)
// --gif FILE     records frame 1 and every Nth after it as one animated GIF
//                that loops for ever: the shown view in the program's own 256
//                colours, each pixel the byte the back buffer held
// --every N      records every Nth frame (default 1)
// --delay MS     how long each recorded frame is shown, 20..655350 (default
//                33). The GIF counts in 10 ms: recorded frame k (from 0) ends
//                at (k + 1) * MS rounded to the nearest 10 ms, so the length
//                stays true (33 gives 30, 40, 30, 30, 40, 30... ms).
//                The game moves one step a frame and the clock --step ms, so
//                the recording plays N steps every MS; with MS = N * step it
//                plays at the pace of the program's clock (the blinking wait
//                indicator, the list's key repeat, the counter's second).
// --sounds FILE  writes one line per sound the program asked for,
//                "<frame> <NAME>", NAME one of CLICK, CANSEL, OPEN, INCORRECT
//                (the sound resources) or BEEP
// --benchmark    write no frames; print how many frames per second the loop ran
//
// Errors in the arguments or the script are reported before any frame runs,
// with exit status 2; a frame, recording or sound file that cannot be
// written gives 1, and a recording that fails leaves nothing at its path.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "game/sound.h"
#include "platform/headless/headless.h"
#include "resources/program_resources.h"
#include "tools/gif/gif_io.h"
#include "tools/png/png_io.h"

namespace {

struct Options {
    long frames = 60;
    uint32_t seed = 1;
    uint32_t step = 16;
    std::string script;
    std::set<long> save;
    std::string out = ".";
    std::string sounds;
    bool benchmark = false;
    std::string gif;
    long every = 1;
    uint32_t delay = 33;
};

struct ScriptEvent {
    long frame;
    platform::WindowEvent event;
};

constexpr const char* USAGE =
    "usage: karido-capture [--frames N] [--seed S] [--step MS] [--script FILE]\n"
    "                      [--save LIST] [--out DIR] [--gif FILE [--every N] [--delay MS]]\n"
    "                      [--sounds FILE] [--benchmark]\n"
    "  --frames N     frames to run (default 60)\n"
    "  --seed S       the clock's start in ms; it also seeds the stars (default 1)\n"
    "  --step MS      how far the clock moves after each frame (default 16)\n"
    "  --script FILE  events: '<frame> key <code> down|up' or '<frame> click <x> <y>'\n"
    "  --save LIST    frame numbers to write, 1..N, comma-separated (default: the last,\n"
    "                 unless --gif is given)\n"
    "  --out DIR      an existing, writable folder for frame-NNNN.png (default: .)\n"
    "  --gif FILE     record frame 1 and every Nth after it as a looping animated GIF,\n"
    "                 in the program's own 256 colours\n"
    "  --every N      record every Nth frame (default 1)\n"
    "  --delay MS     show each recorded frame for MS ms, 20..655350 (default 33);\n"
    "                 frame k (from 0) ends at (k + 1) * MS rounded to 10 ms. The game\n"
    "                 moves a step a frame, the clock --step ms: MS = N * step plays\n"
    "                 at the pace of the program's clock\n"
    "  --sounds FILE  one line per sound: '<frame> <NAME>' (CLICK, CANSEL, OPEN,\n"
    "                 INCORRECT or BEEP)\n"
    "  --benchmark    write no frames; print the frame rate of the loop\n";

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "karido-capture: %s\n", message.c_str());
    std::exit(2);
}

// A whole number from lowest to highest written in decimal digits alone;
// anything else (a sign, other characters, a value out of range) fails with
// a message that names what it was for.
long Number(const std::string& text, const std::string& what, long lowest, long highest) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        Fail("not a number for " + what + ": '" + text + "'");
    }
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < static_cast<unsigned long long>(lowest) ||
        value > static_cast<unsigned long long>(highest)) {
        Fail(what + " must be from " + std::to_string(lowest) + " to " + std::to_string(highest) +
             ": '" + text + "'");
    }
    return static_cast<long>(value);
}

constexpr long MAX_FRAMES = std::numeric_limits<int32_t>::max();
constexpr long MAX_U32 = std::numeric_limits<uint32_t>::max();

// Fails unless folder exists and a file can be made in it; what names the
// argument that chose it.
void CheckWritableFolder(const std::string& folder, const std::string& what) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        Fail(what + " " + folder + " is not an existing folder");
    }
    std::string probe = folder + "/.karido-capture-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        Fail(what + " " + folder + " cannot be written: " + std::strerror(errno));
    }
    close(fd);
    std::remove(probe.c_str());
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    std::vector<std::string> saves;
    std::string recordingOption;  // --every or --delay, which need --gif
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                Fail(arg + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--frames") {
            options.frames = Number(value(), "--frames", 1, MAX_FRAMES);
        } else if (arg == "--seed") {
            options.seed = static_cast<uint32_t>(Number(value(), "--seed", 0, MAX_U32));
        } else if (arg == "--step") {
            options.step = static_cast<uint32_t>(Number(value(), "--step", 0, MAX_U32));
        } else if (arg == "--script") {
            options.script = value();
        } else if (arg == "--save") {
            std::stringstream list(value());
            std::string item;
            while (std::getline(list, item, ',')) {
                saves.push_back(item);
            }
        } else if (arg == "--out") {
            options.out = value();
        } else if (arg == "--sounds") {
            options.sounds = value();
        } else if (arg == "--benchmark") {
            options.benchmark = true;
        } else if (arg == "--gif") {
            options.gif = value();
        } else if (arg == "--every") {
            options.every = Number(value(), "--every", 1, MAX_FRAMES);
            recordingOption = arg;
        } else if (arg == "--delay") {
            options.delay =
                static_cast<uint32_t>(Number(value(), "--delay", 20, gif_io::GIF_MAX_DELAY_MS));
            recordingOption = arg;
        } else if (arg == "--help") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        } else {
            Fail("unknown argument '" + arg + "'\n" + USAGE);
        }
    }
    // Frames are numbered from 1; a number past the last would write nothing.
    for (const std::string& item : saves) {
        options.save.insert(Number(item, "--save", 1, options.frames));
    }
    if (options.save.empty() && options.gif.empty()) {
        options.save.insert(options.frames);
    }
    if (!options.benchmark && !options.save.empty()) {
        CheckWritableFolder(options.out, "--out");
    }
    if (options.gif.empty()) {
        if (!recordingOption.empty()) {
            Fail(recordingOption + " needs --gif");
        }
    } else {
        if (options.benchmark) {
            Fail("--gif cannot go with --benchmark, which writes no frames");
        }
        std::error_code error;
        if (std::filesystem::is_directory(options.gif, error)) {
            Fail("--gif " + options.gif + " is a folder");
        }
        const std::filesystem::path folder = std::filesystem::path(options.gif).parent_path();
        CheckWritableFolder(folder.empty() ? "." : folder.string(), "--gif " + options.gif + ":");
    }
    return options;
}

std::vector<ScriptEvent> ReadScript(const std::string& path, long frames) {
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
        const std::string where = "script line " + std::to_string(number);
        words >> kind;
        ScriptEvent e{Number(frame, where + ": the frame", 1, frames), {}};
        std::string first, second, extra;
        words >> first >> second;
        if (kind == "key") {
            if (second != "down" && second != "up") {
                Fail(where + ": expected '<frame> key <code> down|up'");
            }
            e.event = {second == "down" ? platform::WindowEventType::KeyDown
                                        : platform::WindowEventType::KeyUp,
                       static_cast<int>(Number(first, where + ": the key code", 1, 254)), 0, 0};
        } else if (kind == "click") {
            e.event = {platform::WindowEventType::LeftButtonDown, 0,
                       static_cast<int>(Number(first, where + ": click x", 0, 65535)),
                       static_cast<int>(Number(second, where + ": click y", 0, 65535))};
        } else {
            Fail(where + ": expected 'key' or 'click', not '" + kind + "'");
        }
        if (words >> extra) {
            Fail(where + ": unexpected '" + extra + "' at the end");
        }
        events.push_back(e);
    }
    return events;
}

// The name of a recorded sound: the sound resource whose bytes it played,
// or BEEP.
const char* SoundName(const platform::HeadlessSound& sound) {
    if (sound.image == nullptr) {
        return "BEEP";
    }
    const char* name = SoundResourceNameOf(&programResources, sound.image);
    return name != nullptr ? name : "UNKNOWN";
}

bool WriteSounds(const std::string& path, const platform::HeadlessWindow* window) {
    std::ofstream file(path);
    const platform::HeadlessSound* sounds = platform::HeadlessSounds(window);
    for (size_t i = 0; i < platform::HeadlessSoundCount(window); ++i) {
        file << sounds[i].frame << ' ' << SoundName(sounds[i]) << '\n';
    }
    file.close();
    if (!file) {
        std::fprintf(stderr, "karido-capture: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// The frame's bytes as the window shows them, stretched over the client
// size (outWidth bytes a row), and the colours they show in: an empty view
// shows black.
struct ShownFrame {
    int width;
    int height;
    std::vector<uint8_t> bytes;
    const uint32_t* argb;
};

ShownFrame Shown(const platform::Frame* frame) {
    static const uint32_t BLACK[256] = {};
    ShownFrame shown{frame->outWidth, frame->outHeight, {}, BLACK};
    shown.bytes.assign(static_cast<size_t>(shown.width) * shown.height, 0);
    if (frame->width <= 0 || frame->height <= 0) {
        return shown;
    }
    shown.argb = frame->colours->argb.argb;
    for (int y = 0; y < shown.height; ++y) {
        const int sy = y * frame->height / shown.height;
        for (int x = 0; x < shown.width; ++x) {
            const int sx = x * frame->width / shown.width;
            shown.bytes[static_cast<size_t>(y) * shown.width + x] =
                frame->pixels[sy * frame->stride + sx];
        }
    }
    return shown;
}

// The shown frame in colour, as the window shows it.
png_io::RgbImage Picture(const ShownFrame& shown) {
    png_io::RgbImage image;
    image.width = shown.width;
    image.height = shown.height;
    image.rgb.resize(shown.bytes.size() * 3);
    for (size_t i = 0; i < shown.bytes.size(); ++i) {
        const uint32_t argb = shown.argb[shown.bytes[i]];
        image.rgb[i * 3] = static_cast<uint8_t>(argb >> 16);
        image.rgb[i * 3 + 1] = static_cast<uint8_t>(argb >> 8);
        image.rgb[i * 3 + 2] = static_cast<uint8_t>(argb);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const std::vector<ScriptEvent> script = ReadScript(options.script, options.frames);
    if (!options.sounds.empty() && !std::ofstream(options.sounds)) {
        Fail("--sounds " + options.sounds + " cannot be written");
    }

    gif_io::GifRecording* recording = nullptr;
    if (!options.gif.empty()) {
        std::string error;
        recording = gif_io::GifRecordingOpen(options.gif, options.delay, &error);
        if (recording == nullptr) {
            Fail("--gif " + error);
        }
    }

    auto state = std::make_unique<AppState>();
    RenderLoop loop{};
    const platform::WindowConfig config = ProgramWindowConfig(state.get(), &loop);
    platform::HeadlessWindow* window = platform::HeadlessOpen(&config, options.seed);
    if (window == nullptr) {
        gif_io::GifRecordingDiscard(recording);
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
        // Only the frames to be saved or recorded are asked for: the others
        // cost what they cost behind a window that shows none of them.
        const bool save = !options.benchmark && options.save.count(frame) != 0;
        const bool record = recording != nullptr && (frame - 1) % options.every == 0;
        const platform::Frame* presented = nullptr;
        if (save || record) {
            presented = platform::HeadlessFrame(window);
        } else {
            platform::HeadlessStep(window);
        }
        platform::HeadlessClockAdvance(window, options.step);
        if (presented == nullptr) {
            continue;
        }
        const ShownFrame shown = Shown(presented);
        std::string error;
        if (record && !gif_io::GifRecordingAdd(recording, shown.bytes.data(), shown.width,
                                               shown.width, shown.height, shown.argb, &error)) {
            std::fprintf(stderr, "karido-capture: %s\n", error.c_str());
            status = 1;
            break;
        }
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04ld.png", frame);
        if (save && !png_io::WriteRgbPng(options.out + name, Picture(shown), &error)) {
            std::fprintf(stderr, "karido-capture: %s\n", error.c_str());
            status = 1;
            break;
        }
    }
    if (recording != nullptr) {
        std::string error;
        if (status != 0) {
            gif_io::GifRecordingDiscard(recording);
        } else if (!gif_io::GifRecordingFinish(recording, &error)) {
            std::fprintf(stderr, "karido-capture: %s\n", error.c_str());
            status = 1;
        }
    }
    if (options.benchmark) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("headless: %ld frames in %.3f s, %.0f frames per second (%.2f us a frame)\n",
                    options.frames, seconds, static_cast<double>(options.frames) / seconds,
                    seconds * 1e6 / static_cast<double>(options.frames));
    }
    if (!options.sounds.empty() && !WriteSounds(options.sounds, window)) {
        status = 1;
    }
    platform::HeadlessClose(window);
    return status;
}
