// The real program on the headless backend: its window procedure, start-up
// and render loop, on a fresh state, with a clock the test drives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/headless/headless.h"
#include "platform/resource.h"
#include "resources/program_resources.h"

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

    // The sounds asked for so far, by the name of the resource they played,
    // or "BEEP"; and forgetting them, so that a check sees only new ones.
    std::vector<std::string> Sounds() const {
        std::vector<std::string> names;
        const platform::HeadlessSound* sounds = platform::HeadlessSounds(window);
        for (size_t i = soundsSeen; i < platform::HeadlessSoundCount(window); ++i) {
            std::string name = sounds[i].image == nullptr ? "BEEP" : "?";
            for (const char* candidate : {"CLICK", "CANSEL", "OPEN", "INCORRECT"}) {
                platform::ResourceBlock block{};
                if (platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND,
                                                 candidate, &block) &&
                    block.data == sounds[i].image) {
                    name = candidate;
                }
            }
            names.push_back(name);
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
