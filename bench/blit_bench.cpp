// Our blitter against SDL2's 8-bit blits on the same surfaces and the same
// colour keys, measured in one run. After the runs it prints, for each pair,
// our time as a ratio of SDL's (below 1.0 means we are faster).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "bench/sdl_copy.h"
#include "surface/surface.h"
#include "surface/surface_runs.h"

namespace {

using bench::SdlCopy;

// Screen indices the frame uses: 0 empty/transparent, 11 the overlay's key.
constexpr int OVERLAY_KEY = 11;

struct Scene {
    Surface* backBuffer = nullptr;  // 768x512, the frame's target
    Surface* layer = nullptr;       // 1024x1024 with 1024 random stars, with spans
    Surface* overlay = nullptr;     // 384x256: see-through square, opaque side panel; spans
    Surface* layerCompared = nullptr;    // the same pixels without spans
    Surface* overlayCompared = nullptr;
    Surface* panel = nullptr;       // 256x64, drawn opaquely
    SDL_Palette* palette = nullptr;
    SDL_Surface* sdlBackBuffer = nullptr;
    SDL_Surface* sdlLayer = nullptr;
    SDL_Surface* sdlLayerRle = nullptr;
    SDL_Surface* sdlOverlay = nullptr;
    SDL_Surface* sdlOverlayRle = nullptr;
    SDL_Surface* sdlPanel = nullptr;
};

Scene& TheScene() {
    static Scene scene = [] {
        Scene s;
        s.backBuffer = SurfaceCreate(768, 512, DIB_PAL_COLORS);
        s.layer = SurfaceCreate(1024, 1024, DIB_PAL_COLORS);
        s.overlay = SurfaceCreate(384, 256, DIB_PAL_COLORS);
        s.panel = SurfaceCreate(256, 64, DIB_PAL_COLORS);
        if (!s.backBuffer || !s.layer || !s.overlay || !s.panel) {
            std::fprintf(stderr, "blit_bench: out of memory\n");
            std::exit(1);
        }
        std::mt19937 rng(1);
        for (int i = 0; i < 1024; ++i) {
            const int value = static_cast<int>(rng() & 7);
            const int y = static_cast<int>(rng() & 1023);
            const int x = static_cast<int>(rng() & 1023);
            SurfacePutPixel(s.layer, x, y, value);
        }
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 384; ++x) {
                // The side panel: mostly blue with grey and white details.
                const int panel = (x % 16 == 0 || y % 32 == 0) ? 15 : ((x + y) % 7 == 0 ? 7 : 1);
                SurfacePutPixel(s.overlay, x, y, x < 256 ? OVERLAY_KEY : panel);
            }
        }
        for (int i = 0; i < 256 * 64; ++i) {
            s.panel->pixels[i] = static_cast<uint8_t>(1 + i % 3);
        }
        // As the program prepares its fixed keyed images; the copies keep
        // the byte-by-byte compare.
        s.layerCompared = SurfaceCreate(1024, 1024, DIB_PAL_COLORS);
        s.overlayCompared = SurfaceCreate(384, 256, DIB_PAL_COLORS);
        if (!s.layerCompared || !s.overlayCompared) {
            std::fprintf(stderr, "blit_bench: out of memory\n");
            std::exit(1);
        }
        std::memcpy(s.layerCompared->pixels, s.layer->pixels, SurfacePixelBytes(s.layer));
        std::memcpy(s.overlayCompared->pixels, s.overlay->pixels, SurfacePixelBytes(s.overlay));
        if (!SurfacePrepareRuns(s.layer, 0) || !SurfacePrepareRuns(s.overlay, OVERLAY_KEY)) {
            std::fprintf(stderr, "blit_bench: out of memory\n");
            std::exit(1);
        }

        if (SDL_Init(0) != 0) {
            std::fprintf(stderr, "blit_bench: SDL_Init failed: %s\n", SDL_GetError());
            std::exit(1);
        }
        s.palette = SDL_AllocPalette(256);
        s.sdlBackBuffer = SdlCopy(s.backBuffer, s.palette, -1, false);
        s.sdlLayer = SdlCopy(s.layer, s.palette, 0, false);
        s.sdlLayerRle = SdlCopy(s.layer, s.palette, 0, true);
        s.sdlOverlay = SdlCopy(s.overlay, s.palette, OVERLAY_KEY, false);
        s.sdlOverlayRle = SdlCopy(s.overlay, s.palette, OVERLAY_KEY, true);
        s.sdlPanel = SdlCopy(s.panel, s.palette, -1, false);
        return s;
    }();
    return scene;
}

void SdlBlit(benchmark::State& state, SDL_Surface* src, SDL_Rect from, SDL_Rect to) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SDL_Rect srcRect = from;
        SDL_Rect dstRect = to;
        SDL_BlitSurface(src, &srcRect, s.sdlBackBuffer, &dstRect);
        benchmark::ClobberMemory();
    }
}

// A 256x256 piece of a star layer, as the field draws it every frame.
void OurStarPiece(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SurfaceBlit(s.backBuffer, 0, 0, 256, 256, s.layer, 100, 300, 0);
        benchmark::ClobberMemory();
    }
}
void OurStarPieceCompared(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SurfaceBlit(s.backBuffer, 0, 0, 256, 256, s.layerCompared, 100, 300, 0);
        benchmark::ClobberMemory();
    }
}
void SdlStarPiece(benchmark::State& state) {
    SdlBlit(state, TheScene().sdlLayer, {100, 300, 256, 256}, {0, 0, 256, 256});
}
void SdlRleStarPiece(benchmark::State& state) {
    SdlBlit(state, TheScene().sdlLayerRle, {100, 300, 256, 256}, {0, 0, 256, 256});
}

// The 384x256 overlay with key 11.
void OurOverlay(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SurfaceBlit(s.backBuffer, 0, 0, 384, 256, s.overlay, 0, 0, OVERLAY_KEY);
        benchmark::ClobberMemory();
    }
}
void OurOverlayCompared(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SurfaceBlit(s.backBuffer, 0, 0, 384, 256, s.overlayCompared, 0, 0, OVERLAY_KEY);
        benchmark::ClobberMemory();
    }
}
void SdlOverlay(benchmark::State& state) {
    SdlBlit(state, TheScene().sdlOverlay, {0, 0, 384, 256}, {0, 0, 384, 256});
}
void SdlRleOverlay(benchmark::State& state) {
    SdlBlit(state, TheScene().sdlOverlayRle, {0, 0, 384, 256}, {0, 0, 384, 256});
}

// A 256x64 panel copied opaquely.
void OurOpaquePanel(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SurfaceBlit(s.backBuffer, 0, 192, 256, 64, s.panel, 0, 0, -1);
        benchmark::ClobberMemory();
    }
}
void SdlOpaquePanel(benchmark::State& state) {
    SdlBlit(state, TheScene().sdlPanel, {0, 0, 256, 64}, {0, 192, 256, 64});
}

// The clear of the whole 768x512 back buffer.
void OurClear(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        std::memset(s.backBuffer->pixels, 0, SurfacePixelBytes(s.backBuffer));
        benchmark::ClobberMemory();
    }
}
void SdlClear(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        SDL_FillRect(s.sdlBackBuffer, nullptr, 0);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(OurStarPiece);
BENCHMARK(OurStarPieceCompared);
BENCHMARK(SdlStarPiece);
BENCHMARK(SdlRleStarPiece);
BENCHMARK(OurOverlay);
BENCHMARK(OurOverlayCompared);
BENCHMARK(SdlOverlay);
BENCHMARK(SdlRleOverlay);
BENCHMARK(OurOpaquePanel);
BENCHMARK(SdlOpaquePanel);
BENCHMARK(OurClear);
BENCHMARK(SdlClear);

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter reporter;
    if (!bench::RunBenchmarks(argc, argv, &reporter)) {
        return 1;
    }

    const struct {
        const char* ours;
        const char* reference;
        const char* goal;
    } pairs[] = {
        {"OurStarPiece", "SdlStarPiece", ""},
        {"OurStarPiece", "SdlRleStarPiece", "at most 0.30"},
        {"OurStarPieceCompared", "SdlRleStarPiece", ""},
        {"OurOverlay", "SdlOverlay", ""},
        {"OurOverlay", "SdlRleOverlay", "at most 0.70"},
        {"OurOverlayCompared", "SdlRleOverlay", ""},
        {"OurOpaquePanel", "SdlOpaquePanel", ""},
        {"OurClear", "SdlClear", ""},
    };
    std::printf("\nour time / SDL2's time (below 1.00 is faster; Compared: without spans):\n");
    for (const auto& pair : pairs) {
        double ratio = 0.0;
        if (!reporter.Ratio(pair.ours, pair.reference, &ratio)) {
            continue;  // filtered out on the command line
        }
        std::printf("  %-20s / %-16s %6.2f   %s\n", pair.ours, pair.reference, ratio, pair.goal);
    }
    SDL_Quit();
    return 0;
}
