// Per-call cost of the text the frame draws, into a 768x512 back buffer: the
// longest item description wrapped into the item window's description
// rectangle (goal: under 1 us), a page of the item list (30 rows formatted
// and drawn as the list draws them; goal: under 10 us), and the frame
// counter. Each is measured with glyph rows written the way this CPU
// chooses and with the word-wise writes, and printed against its goal and
// as a ratio of the fill of the 393,216-byte back buffer measured in the
// same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"

#include "game/item_list.h"
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

// The benchmark's argument: 1 for the word-wise glyph writes.
void UseWordWrites(const benchmark::State& state) { platform::TextUseWordWrites(state.range(0) != 0); }

void BM_DescriptionWrapped(benchmark::State& state) {
    Scene& scene = TheScene();
    UseWordWrites(state);
    const platform::TextRect rect{8, 200, 200, 248};
    for (auto _ : state) {
        const int height = platform::TextDrawWrapped(scene.font, &scene.target, &rect,
                                                     LONGEST_DESCRIPTION, -1, 255);
        benchmark::DoNotOptimize(height);
        benchmark::ClobberMemory();
    }
    platform::TextUseWordWrites(false);
}
BENCHMARK(BM_DescriptionWrapped)->Arg(0)->Arg(1);

// A full page of the list: 15 lines of two entries, each "<name>：<value>".
void BM_ListPage(benchmark::State& state) {
    Scene& scene = TheScene();
    UseWordWrites(state);
    char line[32];
    for (auto _ : state) {
        for (int i = 0; i < 30; ++i) {
            const ItemRecord& item = itemTable[i % 16];
            const int length = ListLineFormat(line, sizeof line, item.name, i);
            const bool drawn = platform::TextDraw(scene.font, &scene.target, 16 + 124 * (i % 2),
                                                  6 + 12 * (i / 2), line, length, 255);
            benchmark::DoNotOptimize(drawn);
        }
        benchmark::ClobberMemory();
    }
    platform::TextUseWordWrites(false);
}
BENCHMARK(BM_ListPage)->Arg(0)->Arg(1);

void BM_FrameCounter(benchmark::State& state) {
    Scene& scene = TheScene();
    UseWordWrites(state);
    for (auto _ : state) {
        const bool drawn =
            platform::TextDraw(scene.font, &scene.target, 260, 7, "9999fps", -1, 255);
        benchmark::DoNotOptimize(drawn);
        benchmark::ClobberMemory();
    }
    platform::TextUseWordWrites(false);
}
BENCHMARK(BM_FrameCounter)->Arg(0)->Arg(1);

// The reference: the whole back buffer filled once.
void BM_BackBufferFill(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        std::memset(scene.pixels.data(), 0, scene.pixels.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BackBufferFill);

void BM_FontCreate(benchmark::State& state) {
    for (auto _ : state) {
        platform::Font* font = platform::FontCreateIndirect(nullptr);
        benchmark::DoNotOptimize(font);
        platform::FontDestroy(font);
    }
}
BENCHMARK(BM_FontCreate)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter reporter;
    if (!bench::RunBenchmarks(argc, argv, &reporter)) {
        return 1;
    }
    const struct {
        const char* name;
        double goalNs;
    } runs[] = {{"BM_DescriptionWrapped", 1000}, {"BM_ListPage", 10000}, {"BM_FrameCounter", 0}};
    std::printf("\n%-40s %10s %8s %14s\n", "", "time", "goal", "/ buffer fill");
    for (const auto& run : runs) {
        for (const char* writes : {"/0", "/1"}) {
            const std::string name = std::string(run.name) + writes;
            double ratio = 0.0;
            if (!reporter.Ratio(name, "BM_BackBufferFill", &ratio)) {
                continue;  // filtered out on the command line
            }
            const double ns = reporter.nanoseconds.at(name);
            char goal[16] = "";
            if (run.goalNs > 0) {
                std::snprintf(goal, sizeof goal, "%.0f ns", run.goalNs);
            }
            std::printf("%-40s %7.0f ns %8s %14.2f%s\n", name.c_str(), ns, goal, ratio,
                        writes[1] == '1' ? "  (word-wise writes)" : "");
        }
    }
    return 0;
}
