// Per-call cost of the text the frame draws: the longest item description
// wrapped into the item window's description rectangle, and the frame
// counter at a point, both into a 768x512 back buffer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/font.h"
#include "platform/text.h"

namespace {

// 美しいボディになれる。\n“刺激的な味がしますが、一気に飲み干してください”と書いてある。
// \nデア・ド・サロン製 (106 bytes)
const char LONGEST_DESCRIPTION[] =
    "\x94\xFC\x82\xB5\x82\xA2\x83{\x83"
    "f\x83"
    "B\x82\xC9\x82\xC8\x82\xEA\x82\xE9\x81"
    "B\n"
    "\x81g\x8Eh\x8C\x83\x93I\x82\xC8\x96\xA1\x82\xAA\x82\xB5\x82\xDC\x82\xB7\x82\xAA\x81"
    "A"
    "\x88\xEA\x8B"
    "C\x82\xC9\x88\xF9\x82\xDD\x8A\xB1\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3"
    "\x82\xA2\x81h\x82\xC6\x8F\x91\x82\xA2\x82\xC4\x82\xA0\x82\xE9\x81"
    "B\n"
    "\x83"
    "f\x83"
    "A\x81"
    "E\x83h\x81"
    "E\x83T\x83\x8D\x83\x93\x90\xBB";
static_assert(sizeof LONGEST_DESCRIPTION - 1 == 106);

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
