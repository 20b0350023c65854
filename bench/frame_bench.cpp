// A whole frame: the real start-up and frame loop run headless (compose,
// convert to 32-bit, clear, tick), beside the same frame composed with SDL2
// surface blits from the same prepared images, in the same run. Prints our
// time as a ratio of SDL's.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/program.h"
#include "bench/ratio_reporter.h"
#include "bench/sdl_copy.h"
#include "platform/draw_context.h"
#include "platform/font.h"
#include "platform/headless/headless.h"
#include "platform/text.h"
#include "render/frame_loop.h"
#include "surface/screen_index.h"

namespace {

// The real program on the headless backend.
struct Program {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    RenderLoop loop{};
    platform::HeadlessWindow* window = nullptr;
    Program() {
        const platform::WindowConfig config = ProgramWindowConfig(state.get(), &loop);
        window = platform::HeadlessOpen(&config, 12345);
    }
    ~Program() { platform::HeadlessClose(window); }
};

void OurFrame(benchmark::State& bench) {
    Program program;
    if (program.window == nullptr) {
        bench.SkipWithError("the start-up failed");
        return;
    }
    for (auto _ : bench) {
        benchmark::DoNotOptimize(platform::HeadlessFrame(program.window));
    }
}

// The same frame with SDL: the two star layers' visible pieces, the player's
// sprite and the overlay (colour-keyed, RLE-accelerated), the frames-per-
// second text, the conversion of the 384x256 view to ARGB8888 and the clear.
void SdlFrame(benchmark::State& bench) {
    Program program;
    AppState* state = program.state.get();
    if (program.window == nullptr || SDL_Init(0) != 0) {
        bench.SkipWithError("the start-up failed");
        return;
    }
    platform::HeadlessFrame(program.window);  // the first tick has run, as in our frame
    SDL_Palette* palette = SDL_AllocPalette(256);
    SDL_Color colours[256];
    const uint16_t* order = SurfaceIndexTable(&state->backBuffer);
    for (int v = 0; v < 256; ++v) {
        const platform::PaletteEntry& e = state->hpalette->entries[order[v]];
        colours[v] = SDL_Color{e.peRed, e.peGreen, e.peBlue, 255};
    }
    SDL_SetPaletteColors(palette, colours, 0, 256);
    SDL_Surface* layers[2] = {bench::SdlCopy(state->layers[0], palette, 0, true),
                              bench::SdlCopy(state->layers[1], palette, 0, true)};
    SDL_Surface* sprites = bench::SdlCopy(state->imgSprites, palette, 0, true);
    SDL_Surface* overlay = bench::SdlCopy(state->imgOverlay, palette, 11, true);
    SDL_Surface* back = bench::SdlCopy(&state->backBuffer, palette, -1, false);
    SDL_Surface* shown = SDL_CreateRGBSurfaceWithFormat(0, 384, 256, 32, SDL_PIXELFORMAT_ARGB8888);
    if (shown == nullptr) {
        bench::SdlFailed("SDL_CreateRGBSurfaceWithFormat");
    }
    const platform::TextTarget text{static_cast<uint8_t*>(back->pixels), back->w, back->h,
                                    back->pitch};
    const char fps[] = "9999fps";
    for (auto _ : bench) {
        for (SDL_Surface* layer : layers) {
            SDL_Rect piece{0, 0, 256, 256}, at{0, 0, 256, 256};
            SDL_BlitSurface(layer, &piece, back, &at);
            SDL_Rect strip{0, 0, 128, 256}, right{256, 0, 128, 256};
            SDL_BlitSurface(layer, &strip, back, &right);
        }
        SDL_Rect cell{32, 0, 16, 16}, ship{0, 0, 16, 16};
        SDL_BlitSurface(sprites, &cell, back, &ship);
        SDL_Rect whole{0, 0, 384, 256}, origin{0, 0, 384, 256};
        SDL_BlitSurface(overlay, &whole, back, &origin);
        platform::TextDraw(state->hfont, &text, 260, 7, fps, 7, 7);
        SDL_Rect view{0, 0, 384, 256}, to{0, 0, 384, 256};
        SDL_LowerBlit(back, &view, shown, &to);
        SDL_FillRect(back, nullptr, 0);
        benchmark::DoNotOptimize(shown->pixels);
        benchmark::ClobberMemory();
    }
    for (SDL_Surface* s : {layers[0], layers[1], sprites, overlay, back, shown}) {
        SDL_FreeSurface(s);
    }
    SDL_FreePalette(palette);
    SDL_Quit();
}

BENCHMARK(OurFrame);
BENCHMARK(SdlFrame);

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter reporter;
    if (!bench::RunBenchmarks(argc, argv, &reporter)) {
        return 1;
    }
    double ratio = 0;
    if (reporter.Ratio("OurFrame", "SdlFrame", &ratio)) {
        std::printf("\nour frame / the SDL2-composed frame: %.2f (goal: at most 0.50)\n", ratio);
    }
    return 0;
}
