// Per-call cost of the text the frame draws: the longest item description
// wrapped into the item window's description rectangle, and the frame
// counter at a point, both into a 768x512 back buffer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/item_table.h"
#include "platform/font.h"
#include "platform/text.h"

namespace {

// The longest item description (106 bytes, three lines).
const char* const LONGEST_DESCRIPTION = itemTable[12].description;

struct Scene {
    platform::Font* font = nullptr;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(768 * 512, 0);
    platform::TextTarget target{pixels.data(), 768, 512, 768};
};

Scene& TheScene() {
    static Scene scene;
    if (scene.font == nullptr) {
        scene.font = platform::FontCreateIndirect(nullptr);
        if (scene.font == nullptr) {
            std::fprintf(stderr, "text_bench: the font could not be created\n");
            std::exit(1);
        }
    }
    return scene;
}

void BM_DescriptionWrapped(benchmark::State& state) {
    Scene& scene = TheScene();
    const platform::TextRect rect{8, 200, 200, 248};
    for (auto _ : state) {
        const int height = platform::TextDrawWrapped(scene.font, &scene.target, &rect,
                                                     LONGEST_DESCRIPTION, -1, 255);
        benchmark::DoNotOptimize(height);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DescriptionWrapped);

void BM_FrameCounter(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        const bool drawn =
            platform::TextDraw(scene.font, &scene.target, 260, 7, "9999fps", -1, 255);
        benchmark::DoNotOptimize(drawn);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameCounter);

void BM_FontCreate(benchmark::State& state) {
    for (auto _ : state) {
        platform::Font* font = platform::FontCreateIndirect(nullptr);
        benchmark::DoNotOptimize(font);
        platform::FontDestroy(font);
    }
}
BENCHMARK(BM_FontCreate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
