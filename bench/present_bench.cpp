// A display's conversion of the shown 384x256 region to 32-bit colour
// against SDL2's own INDEX8 to ARGB8888 blit of the same size, measured in
// one run, beside the render loop's present step (a copy of the bytes, when
// asked) and the SDL backend's showing of a frame. After the runs it prints
// each of ours as a ratio of SDL's time (below 1.00 is faster; the goal for
// the dispatched conversion is 0.50 or less).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bench/ratio_reporter.h"
#include "platform/frame_convert.h"
#include "platform/mailbox.h"
#include "platform/window.h"

namespace {

constexpr int BACK_WIDTH = 768;  // the 8-bit back buffer
constexpr int BACK_HEIGHT = 512;
constexpr int SHOWN_WIDTH = 384;  // the region the present step converts
constexpr int SHOWN_HEIGHT = 256;

struct Scene {
    std::vector<uint8_t> backBuffer;  // BACK_WIDTH x BACK_HEIGHT random indices
    std::vector<uint32_t> frame;      // SHOWN_WIDTH x SHOWN_HEIGHT
    platform::ColourTable32 table;
    platform::Palette palette;
    uint16_t colourIndices[256];
    platform::FrameColours colours;  // table's colours, as the render loop presents them
    platform::FrameMailbox* mailbox = nullptr;
    platform::Window window{};
    SDL_Surface* output = nullptr;  // what SdlShowFrame's renderer draws on
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    SDL_Surface* sdlIndexed = nullptr;  // SHOWN_WIDTH x SHOWN_HEIGHT INDEX8, same indices
    SDL_Surface* sdlArgb = nullptr;     // SHOWN_WIDTH x SHOWN_HEIGHT ARGB8888
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "present_bench: %s failed: %s\n", what, SDL_GetError());
    std::exit(1);
}

Scene& TheScene() {
    static Scene scene = [] {
        Scene s;
        std::mt19937 rng(1);
        s.backBuffer.resize(static_cast<size_t>(BACK_WIDTH) * BACK_HEIGHT);
        for (uint8_t& b : s.backBuffer) {
            b = static_cast<uint8_t>(rng());
        }
        s.frame.assign(static_cast<size_t>(SHOWN_WIDTH) * SHOWN_HEIGHT, 0);
        s.palette.count = 256;
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = static_cast<uint32_t>(rng());
            s.palette.entries[i] = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                                    static_cast<uint8_t>(c >> 16), 0};
            s.table.argb[i] = 0xFF000000u | (c & 0xFFFFFFu);
            s.colourIndices[i] = static_cast<uint16_t>(255 - i);
        }
        s.mailbox = platform::MailboxCreate(BACK_WIDTH, BACK_HEIGHT);
        if (s.mailbox == nullptr) {
            std::fprintf(stderr, "present_bench: MailboxCreate failed\n");
            std::exit(1);
        }
        s.window.mailbox = s.mailbox;
        platform::FrameColoursBuild(&s.colours, s.colourIndices, &s.palette);

        if (SDL_Init(0) != 0) {
            Fail("SDL_Init");
        }
        s.sdlIndexed =
            SDL_CreateRGBSurfaceWithFormat(0, SHOWN_WIDTH, SHOWN_HEIGHT, 8, SDL_PIXELFORMAT_INDEX8);
        s.sdlArgb = SDL_CreateRGBSurfaceWithFormat(0, SHOWN_WIDTH, SHOWN_HEIGHT, 32,
                                                   SDL_PIXELFORMAT_ARGB8888);
        if (s.sdlIndexed == nullptr || s.sdlArgb == nullptr) {
            Fail("SDL_CreateRGBSurfaceWithFormat");
        }
        SDL_Color colours[256];
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = s.table.argb[i];
            colours[i] = {static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8),
                          static_cast<Uint8>(c), 0xFF};
        }
        if (SDL_SetPaletteColors(s.sdlIndexed->format->palette, colours, 0, 256) != 0) {
            Fail("SDL_SetPaletteColors");
        }
        for (int y = 0; y < SHOWN_HEIGHT; ++y) {
            std::memcpy(static_cast<uint8_t*>(s.sdlIndexed->pixels) + y * s.sdlIndexed->pitch,
                        s.backBuffer.data() + static_cast<size_t>(y) * BACK_WIDTH, SHOWN_WIDTH);
        }
        // A plain copy through the palette: no blending, no colour key.
        SDL_SetSurfaceBlendMode(s.sdlIndexed, SDL_BLENDMODE_NONE);

        s.output = SDL_CreateRGBSurfaceWithFormat(0, SHOWN_WIDTH, SHOWN_HEIGHT, 32,
                                                  SDL_PIXELFORMAT_ARGB8888);
        s.renderer = s.output != nullptr ? SDL_CreateSoftwareRenderer(s.output) : nullptr;
        s.texture = s.renderer != nullptr
                        ? SDL_CreateTexture(s.renderer, SDL_PIXELFORMAT_ARGB8888,
                                            SDL_TEXTUREACCESS_STREAMING, SHOWN_WIDTH, SHOWN_HEIGHT)
                        : nullptr;
        if (s.texture == nullptr) {
            Fail("SDL's software renderer");
        }
        SDL_SetTextureBlendMode(s.texture, SDL_BLENDMODE_NONE);
        return s;
    }();
    return scene;
}

// The kernel chosen for this CPU, as the present step calls it.
void OurConvert(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        platform::FrameConvert(s.backBuffer.data(), BACK_WIDTH, SHOWN_WIDTH, SHOWN_HEIGHT, &s.table,
                               s.frame.data(), SHOWN_WIDTH);
        benchmark::ClobberMemory();
    }
}

void ScalarConvert(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        platform::FrameConvertScalar(s.backBuffer.data(), BACK_WIDTH, SHOWN_WIDTH, SHOWN_HEIGHT,
                                     &s.table, s.frame.data(), SHOWN_WIDTH);
        benchmark::ClobberMemory();
    }
}

// The AVX2 kernel, which CPUs without AVX-512 VBMI take, run directly so
// that its time is measured on machines that would dispatch elsewhere.
void Avx2Convert(benchmark::State& state) {
    if (!platform::CpuHasAvx2()) {
        state.SkipWithError("the CPU has no AVX2");
        return;
    }
    Scene& s = TheScene();
    for (auto _ : state) {
        platform::FrameConvertAvx2(s.backBuffer.data(), BACK_WIDTH, SHOWN_WIDTH, SHOWN_HEIGHT,
                                   &s.table, s.frame.data(), SHOWN_WIDTH);
        benchmark::ClobberMemory();
    }
}

// The render loop's present step when the window has asked for a frame:
// the shown region's bytes copied into the mailbox's back frame (stride 768)
// and published with their colours. Asked for every time here, as a display
// would at each refresh.
void OurPresent(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        platform::MailboxRequest(s.mailbox);
        platform::WindowPresent(&s.window, s.backBuffer.data(), BACK_WIDTH, SHOWN_WIDTH,
                                SHOWN_HEIGHT, &s.colours, 768, 512);
        benchmark::ClobberMemory();
    }
}

// What a display does with a frame it shows on SDL: the bytes coloured
// straight into the locked streaming texture, copied to the output and
// presented (SDL's software renderer on a surface: no window needed).
void SdlShowFrame(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        void* pixels = nullptr;
        int pitch = 0;
        const SDL_Rect region{0, 0, SHOWN_WIDTH, SHOWN_HEIGHT};
        if (SDL_LockTexture(s.texture, &region, &pixels, &pitch) != 0) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        platform::FrameConvert(s.backBuffer.data(), BACK_WIDTH, SHOWN_WIDTH, SHOWN_HEIGHT,
                               &s.colours.argb, static_cast<uint32_t*>(pixels),
                               pitch / static_cast<int>(sizeof(uint32_t)));
        SDL_UnlockTexture(s.texture);
        SDL_RenderCopy(s.renderer, s.texture, &region, &region);
        SDL_RenderPresent(s.renderer);
        benchmark::ClobberMemory();
    }
}

void SdlLowerBlit(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SDL_Rect from = {0, 0, SHOWN_WIDTH, SHOWN_HEIGHT};
        SDL_Rect to = from;
        if (SDL_LowerBlit(s.sdlIndexed, &from, s.sdlArgb, &to) != 0) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        benchmark::ClobberMemory();
    }
}

// Checks once, outside the timing, that SDL's blit and ours produce the same
// pixels, so the two benchmarks do the same work.
bool SameResult() {
    Scene& s = TheScene();
    SDL_Rect from = {0, 0, SHOWN_WIDTH, SHOWN_HEIGHT};
    SDL_Rect to = from;
    if (SDL_LowerBlit(s.sdlIndexed, &from, s.sdlArgb, &to) != 0) {
        Fail("SDL_LowerBlit");
    }
    platform::FrameConvert(s.backBuffer.data(), BACK_WIDTH, SHOWN_WIDTH, SHOWN_HEIGHT, &s.table,
                           s.frame.data(), SHOWN_WIDTH);
    for (int y = 0; y < SHOWN_HEIGHT; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(s.sdlArgb->pixels) + y * s.sdlArgb->pitch;
        if (std::memcmp(row, s.frame.data() + static_cast<size_t>(y) * SHOWN_WIDTH,
                        SHOWN_WIDTH * sizeof(uint32_t)) != 0) {
            return false;
        }
    }
    return true;
}

BENCHMARK(OurConvert);
BENCHMARK(ScalarConvert);
BENCHMARK(Avx2Convert);
BENCHMARK(OurPresent);
BENCHMARK(SdlShowFrame);
BENCHMARK(SdlLowerBlit);

}  // namespace

int main(int argc, char** argv) {
    if (!SameResult()) {
        std::fprintf(stderr, "present_bench: our conversion and SDL's blit differ\n");
        return 1;
    }
    std::printf("conversion kernel: %s\n", platform::CpuHasAvx512Vbmi() ? "AVX-512 VBMI"
                                           : platform::CpuHasAvx2()     ? "AVX2"
                                                                        : "scalar");
    bench::RatioReporter reporter;
    if (!bench::RunBenchmarks(argc, argv, &reporter)) {
        return 1;
    }

    const char* const ours[] = {"OurConvert", "ScalarConvert", "Avx2Convert", "OurPresent",
                                "SdlShowFrame"};
    std::printf(
        "\nour time / SDL_LowerBlit's time, 384x256 INDEX8 to ARGB8888 "
        "(below 1.00 is faster; goal for OurConvert and Avx2Convert: 0.50 or less):\n");
    for (const char* name : ours) {
        double ratio = 0.0;
        if (reporter.Ratio(name, "SdlLowerBlit", &ratio)) {
            std::printf("  %-14s / SdlLowerBlit %6.2f\n", name, ratio);
        }
    }
    SDL_Quit();
    return 0;
}
