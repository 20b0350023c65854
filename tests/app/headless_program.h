// The real program on the headless backend: its window procedure, start-up
// and render loop, on a fresh state, with a clock the test drives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "game/sound.h"
#include "platform/headless/headless.h"
#include "platform/resource.h"
#include "resources/program_resources.h"

namespace testing_app {

// Colours of a presented frame.
constexpr uint32_t BLUE = 0xFF0000FF;
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t BLACK = 0xFF000000;

inline uint32_t At(const platform::Picture* f, int x, int y) { return f->pixels[y * f->stride + x]; }

// Pixels of colour in the region x0..x1, y0..y1 (right and bottom excluded).
inline int Count(const platform::Picture* f, int x0, int y0, int x1, int y1, uint32_t colour) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            n += At(f, x, y) == colour;
        }
    }
    return n;
}

inline int CountNot(const platform::Picture* f, int x0, int y0, int x1, int y1, uint32_t colour) {
    return (x1 - x0) * (y1 - y0) - Count(f, x0, y0, x1, y1, colour);
}

inline std::vector<uint32_t> Region(const platform::Picture* f, int x0, int y0, int x1, int y1) {
    std::vector<uint32_t> pixels;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            pixels.push_back(At(f, x, y));
        }
    }
    return pixels;
}

// The name of the sound resource whose bytes image is, "BEEP" for none.
inline std::string SoundNameOf(const uint8_t* image) {
    if (image == nullptr) {
        return "BEEP";
    }
    const char* name = SoundResourceNameOf(&programResources, image);
    return name != nullptr ? name : "?";
}

struct HeadlessProgram {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    RenderLoop loop{};
    platform::HeadlessWindow* window = nullptr;

    // clockStart also seeds the stars.
    explicit HeadlessProgram(uint32_t clockStart = 5000) {
        const platform::WindowConfig config = ProgramWindowConfig(state.get(), &loop);
        window = platform::HeadlessOpen(&config, clockStart);
    }
    ~HeadlessProgram() { platform::HeadlessClose(window); }
    HeadlessProgram(const HeadlessProgram&) = delete;
    HeadlessProgram& operator=(const HeadlessProgram&) = delete;

    bool Opened() const { return window != nullptr; }
    // Runs one frame and returns it in colour, as a display shows it.
    const platform::Picture* Frame() {
        return platform::HeadlessPicture(window, platform::HeadlessFrame(window));
    }
    // Runs one frame that no display asks for.
    void Step() { platform::HeadlessStep(window); }
    void Key(int virtualKey, bool down) { platform::HeadlessKey(window, virtualKey, down); }
    void Click(int x, int y) { platform::HeadlessClick(window, x, y); }
    void Advance(uint32_t milliseconds) { platform::HeadlessClockAdvance(window, milliseconds); }

    // Shows every item of the list once, which loads its icon, then closes
    // the list with its cursor back on the first item: frames after this
    // load nothing.
    void ShowEveryIcon() {
        state->listActive = 1;
        for (int item = 0; item < state->listCount; ++item) {
            state->listSelection = item;
            Frame();
        }
        state->listActive = 0;
        state->listSelection = 0;
        state->listTop = 0;
    }

    // The sounds asked for so far, by the name of the resource they played,
    // or "BEEP"; and forgetting them, so that a check sees only new ones.
    std::vector<std::string> Sounds() const {
        std::vector<std::string> names;
        const platform::HeadlessSound* sounds = platform::HeadlessSounds(window);
        for (size_t i = soundsSeen; i < platform::HeadlessSoundCount(window); ++i) {
            names.push_back(SoundNameOf(sounds[i].image));
        }
        return names;
    }
    std::vector<std::string> TakeSounds() {
        std::vector<std::string> names = Sounds();
        soundsSeen = platform::HeadlessSoundCount(window);
        return names;
    }
    size_t soundsSeen = 0;
};

}  // namespace testing_app
