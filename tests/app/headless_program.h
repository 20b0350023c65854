// The real program on the headless backend: its window procedure, start-up
// and render loop, on a fresh state, with a clock the test drives.
#pragma once

#include <cstdint>
#include <memory>

#include "app/program.h"
#include "platform/headless/headless.h"

namespace testing_app {

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
    const platform::Frame* Frame() { return platform::HeadlessFrame(window); }
    void Key(int virtualKey, bool down) { platform::HeadlessKey(window, virtualKey, down); }
    void Click(int x, int y) { platform::HeadlessClick(window, x, y); }
    void Advance(uint32_t milliseconds) { platform::HeadlessClockAdvance(window, milliseconds); }
};

}  // namespace testing_app
