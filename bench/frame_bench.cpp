// Whole frames of the real start-up and frame loop, run headless (compose,
// hand over when asked, clear, tick), in three scenes: the field with 16
// shots and 20 floating numbers, the field with the message window typing,
// and the item list open with its icon. Each is measured as the loop runs
// behind a window (no frame asked for: a window asks for one of a thousand
// or so) and, for the shots, with every frame asked for and copied into the
// mailbox (the other way the loop could hand frames over). Beside them, in
// the same run:
// - the same frame composed with SDL2's own surface calls (colour-keyed
//   INDEX8 blits with RLE, opaque blits, SDL_FillRect for the clear; the text
//   drawn by our text code in both), then the 8-bit view handed over (copied
//   out) as a display would be given it;
// - the floor: the bytes a frame handed over to a display writes at the
//   least, written with memset and memcpy alone (the clear of the 384x256
//   drawn area and the 384x256 bytes of the view); a frame no display asks
//   for writes only the first half of that.
// Before measuring, each SDL-composed frame is compared with ours byte for
// byte, so that both sides draw the same thing.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/program.h"
#include "base/view_mode.h"
#include "bench/ratio_reporter.h"
#include "bench/sdl_copy.h"
#include "game/field_tick.h"
#include "game/item_list.h"
#include "game/message.h"
#include "platform/draw_context.h"
#include "platform/cp932.h"
#include "platform/font.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "platform/text.h"
#include "render/floaters.h"
#include "render/frame_loop.h"
#include "render/startup.h"
#include "surface/screen_index.h"

namespace {

enum class Scene { Shots, Message, List };

// The game state a frame changes, put back before every measured frame so
// that each one draws the same scene.
struct Snapshot {
    SpriteWord sprites[SPRITE_COUNT];
    int shotState[SHOT_SLOT_COUNT];
    FloaterWord floaters[FLOATER_COUNT];
    int messageShown;
    int messageState;
    int messagePause;
};

Snapshot Take(const AppState* state) {
    Snapshot s{};
    std::memcpy(s.sprites, state->sprites, sizeof s.sprites);
    std::memcpy(s.shotState, state->shotState, sizeof s.shotState);
    for (int i = 0; i < FLOATER_COUNT; ++i) {
        s.floaters[i] = state->floaters[i].word.load(std::memory_order_relaxed);
    }
    s.messageShown = state->messageShown;
    s.messageState = state->messageState;
    s.messagePause = messagePause;
    return s;
}

void Restore(AppState* state, const Snapshot& s) {
    std::memcpy(state->sprites, s.sprites, sizeof s.sprites);
    std::memcpy(state->shotState, s.shotState, sizeof s.shotState);
    for (int i = 0; i < FLOATER_COUNT; ++i) {
        state->floaters[i].word.store(s.floaters[i], std::memory_order_relaxed);
    }
    state->messageShown = s.messageShown;
    state->messageState = s.messageState;
    messagePause = s.messagePause;
}

// The real program on the headless backend, brought into one of the scenes
// through its own input.
struct Program {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    RenderLoop loop{};
    platform::HeadlessWindow* window = nullptr;
    Snapshot scene{};

    explicit Program(Scene kind) {
        const platform::WindowConfig config = ProgramWindowConfig(state.get(), &loop);
        window = platform::HeadlessOpen(&config, 12345);
        if (window == nullptr) {
            return;
        }
        // A second passes: the counter shows a figure from then on. The clock
        // stands still afterwards, so nothing depends on time.
        platform::HeadlessFrame(window);
        platform::HeadlessClockAdvance(window, 1100);
        platform::HeadlessFrame(window);
        switch (kind) {
            case Scene::Shots:
                // Fire held for sixteen ticks: every shot in flight, spread
                // over the field, and no out-of-ammo message yet.
                platform::HeadlessKey(window, platform::VK_SPACE, true);
                for (int i = 0; i < 16; ++i) {
                    platform::HeadlessFrame(window);
                }
                platform::HeadlessKey(window, platform::VK_SPACE, false);
                for (int i = 0; i < 20; ++i) {
                    platform::HeadlessClick(window, 20 + 11 * i, 60 + 7 * i);
                }
                break;
            case Scene::Message:
                MessageStart(state.get(), OUT_OF_AMMO_TEXT);
                for (int i = 0; i < 6; ++i) {
                    platform::HeadlessFrame(window);
                }
                break;
            case Scene::List:
                platform::HeadlessKey(window, platform::VK_ESCAPE, true);
                platform::HeadlessFrame(window);
                platform::HeadlessKey(window, platform::VK_ESCAPE, false);
                platform::HeadlessKey(window, platform::VK_DOWN, true);
                platform::HeadlessFrame(window);
                platform::HeadlessKey(window, platform::VK_DOWN, false);
                platform::HeadlessFrame(window);  // the selected item's icon is loaded
                break;
        }
        scene = Take(state.get());
    }
    ~Program() { platform::HeadlessClose(window); }

    // Whether the state shows what the scene is meant to show.
    bool Shows(Scene kind) const {
        const AppState* s = state.get();
        int shots = 0;
        for (int i = 0; i < SHOT_SLOT_COUNT; ++i) {
            shots += s->shotState[i] != SHOT_FREE;
        }
        int floaters = 0;
        for (const Floater& f : s->floaters) {
            floaters += WordGet(f.word.load(), FLOATER_ACTIVE) != 0;
        }
        switch (kind) {
            case Scene::Shots:
                return shots == 16 && floaters == 20 && s->messageState == MESSAGE_CLOSED &&
                       !s->listActive;
            case Scene::Message:
                return s->messageState == MESSAGE_TYPING && !s->listActive;
            case Scene::List:
                return s->listActive && s->listSelection == 2 &&
                       s->listEntries[2].item->icon != nullptr;
        }
        return false;
    }

    // One frame of the scene, asked for: handed over in the mailbox.
    const platform::Frame* Frame() {
        Restore(state.get(), scene);
        return platform::HeadlessFrame(window);
    }
    // One frame of the scene that no display asks for.
    void Step() {
        Restore(state.get(), scene);
        platform::HeadlessStep(window);
    }
};

// SDL copies of the program's images, drawing into an SDL copy of the back
// buffer, whose 384x256 view is handed over into an 8-bit buffer.
struct SdlScene {
    SDL_Palette* palette = nullptr;
    SDL_Surface* layers[LAYER_COUNT] = {};
    SDL_Surface* sprites = nullptr;
    SDL_Surface* overlay = nullptr;
    SDL_Surface* listPanel = nullptr;
    SDL_Surface* messagePanel = nullptr;
    SDL_Surface* cursor = nullptr;
    SDL_Surface* moreA = nullptr;
    SDL_Surface* moreB = nullptr;
    SDL_Surface* icon = nullptr;
    SDL_Surface* back = nullptr;
    std::vector<uint8_t> shown = std::vector<uint8_t>(size_t{384} * 256);

    explicit SdlScene(const AppState* state) {
        palette = SDL_AllocPalette(256);
        SDL_Color colours[256];
        const uint16_t* order = SurfaceIndexTable(&state->backBuffer);
        for (int v = 0; v < 256; ++v) {
            const platform::PaletteEntry& e = state->hpalette->entries[order[v]];
            colours[v] = SDL_Color{e.peRed, e.peGreen, e.peBlue, 255};
        }
        SDL_SetPaletteColors(palette, colours, 0, 256);
        for (int i = 0; i < LAYER_COUNT; ++i) {
            layers[i] = bench::SdlCopy(state->layers[i], palette, STAR_KEY, true);
        }
        sprites = bench::SdlCopy(state->imgSprites, palette, SPRITE_KEY, true);
        overlay = bench::SdlCopy(state->imgOverlay, palette, OVERLAY_KEY, true);
        listPanel = bench::SdlCopy(state->imgListPanel, palette, -1, false);
        messagePanel = bench::SdlCopy(state->imgMessagePanel, palette, -1, false);
        cursor = bench::SdlCopy(state->imgCursor, palette, -1, false);
        moreA = bench::SdlCopy(state->imgMoreA, palette, 0, true);
        moreB = bench::SdlCopy(state->imgMoreB, palette, 0, true);
        if (const Surface* image = state->listEntries[state->listSelection].item->icon) {
            icon = bench::SdlCopy(image, palette, -1, false);
        }
        back = bench::SdlCopy(&state->backBuffer, palette, -1, false);
    }
    ~SdlScene() {
        for (SDL_Surface* s : {layers[0], layers[1], sprites, overlay, listPanel, messagePanel,
                               cursor, moreA, moreB, icon, back}) {
            SDL_FreeSurface(s);
        }
        SDL_FreePalette(palette);
    }

    void Blit(SDL_Surface* from, int sx, int sy, int w, int h, int dx, int dy) const {
        SDL_Rect source{sx, sy, w, h};
        SDL_Rect target{dx, dy, w, h};
        SDL_BlitSurface(from, &source, back, &target);
    }
};

// The frame the program draws for state, composed with SDL: the same calls in
// the same order as the frame loop and the game's windows, with SDL's blits.
void SdlCompose(SdlScene& sdl, const AppState* state) {
    const platform::TextTarget text{static_cast<uint8_t*>(sdl.back->pixels), sdl.back->w,
                                    sdl.back->h, sdl.back->pitch};
    const uint8_t white = state->hdcMem->textByte;
    if (!state->listActive) {
        for (int i = 0; i < LAYER_COUNT; ++i) {
            const int sx = static_cast<int>(WordGet(state->layerWords[i], LAYER_X));
            const int sy = static_cast<int>(WordGet(state->layerWords[i], LAYER_Y));
            sdl.Blit(sdl.layers[i], sx, sy, 256, 256, 0, 0);
            sdl.Blit(sdl.layers[i], 0, sy, 128, 256, 256, 0);
        }
        for (int i = SPRITE_COUNT - 1; i >= 0; --i) {
            const SpriteWord word = state->sprites[i];
            if (WordGet(word, SPRITE_VISIBLE)) {
                sdl.Blit(sdl.sprites, static_cast<int>(WordGet(word, SPRITE_COLUMN)) * SPRITE_CELL,
                         static_cast<int>(WordGet(word, SPRITE_ROW)) * SPRITE_CELL, SPRITE_CELL,
                         SPRITE_CELL, static_cast<int>(WordGet(word, SPRITE_X)),
                         static_cast<int>(WordGet(word, SPRITE_Y)));
            }
        }
    }
    sdl.Blit(sdl.overlay, 0, 0, 384, 256, 0, 0);
    platform::TextDraw(state->hfont, &text, FPS_TEXT_X, FPS_TEXT_Y, fpsText, -1, white);
    for (const Floater& slot : state->floaters) {
        const FloaterWord word = slot.word.load(std::memory_order_relaxed);
        if (WordGet(word, FLOATER_ACTIVE)) {
            platform::TextDraw(state->hfont, &text, static_cast<int>(WordGet(word, FLOATER_X)),
                               static_cast<int>(WordGet(word, FLOATER_Y)) +
                                   riseTable[WordGet(word, FLOATER_AGE)],
                               slot.text, static_cast<int>(strnlen(slot.text, sizeof slot.text)),
                               white);
        }
    }
    if (state->listActive) {
        sdl.Blit(sdl.listPanel, 0, 0, 256, 192, 0, 0);
        sdl.Blit(sdl.messagePanel, 0, 0, 256, 64, 0, 192);
        const int selection = state->listSelection;
        sdl.Blit(sdl.cursor, 0, 0, 12, 12, 4 + 124 * (selection % 2),
                 6 + 12 * ((selection - state->listTop) / 2));
        char line[32];
        for (int i = 0; i < LIST_VISIBLE_ENTRIES && state->listTop + i < state->listCount; ++i) {
            const ListEntry& entry = state->listEntries[state->listTop + i];
            std::snprintf(line, sizeof line, "%s\x81\x46%02d", entry.item->name, entry.value);
            const int length = static_cast<int>(strnlen(line, sizeof line));
            const int x = 16 + 124 * (i % 2);
            const int y = 6 + 12 * (i / 2);
            platform::TextDraw(state->hfont, &text, x, y, line, length, white);
            if (state->listTop + i == selection) {
                platform::TextDraw(state->hfont, &text, x + 1, y, line, length, white);
                const platform::TextRect description{8, 200, 200, 248};
                platform::TextDrawWrapped(state->hfont, &text, &description,
                                          entry.item->description, -1, white);
                if (sdl.icon != nullptr) {
                    sdl.Blit(sdl.icon, 0, 0, 48, 48, 202, 200);
                }
            }
        }
    }
    if (state->messageState != MESSAGE_CLOSED) {
        sdl.Blit(sdl.messagePanel, 0, 0, 256, 64, 0, 192);
        // The frame loop reveals a character before it draws the text.
        int shown = state->messageShown;
        if (state->messageState == MESSAGE_TYPING && messagePause == 0 &&
            shown < state->messageLength) {
            const bool pair =
                platform::Cp932IsLeadByte(static_cast<uint8_t>(state->messageText[shown])) &&
                shown + 1 < state->messageLength;
            shown += pair ? 2 : 1;
        }
        const platform::TextRect messageArea{8, 200, 248, 236};
        if (shown > 0) {
            platform::TextDrawWrapped(state->hfont, &text, &messageArea, state->messageText, shown,
                                      white);
        }
    }
    for (int y = 0; y < 256; ++y) {
        std::memcpy(sdl.shown.data() + static_cast<size_t>(y) * 384,
                    static_cast<const uint8_t*>(sdl.back->pixels) + y * sdl.back->pitch, 384);
    }
}

void SdlClear(const SdlScene& sdl) { SDL_FillRect(sdl.back, nullptr, 0); }

// Pixels in which the SDL-composed frame differs from ours.
long Differences(const SdlScene& sdl, const platform::Frame* ours) {
    if (ours == nullptr || ours->width != 384 || ours->height != 256) {
        return 384 * 256;
    }
    long differ = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 384; ++x) {
            differ += sdl.shown[static_cast<size_t>(y) * 384 + x] !=
                      ours->pixels[y * ours->stride + x];
        }
    }
    return differ;
}

void OurScene(benchmark::State& bench, Scene kind, bool everyFrameAsked) {
    Program program(kind);
    if (program.window == nullptr || !program.Shows(kind)) {
        bench.SkipWithError("the scene could not be set up");
        return;
    }
    if (everyFrameAsked) {
        for (auto _ : bench) {
            benchmark::DoNotOptimize(program.Frame());
        }
    } else {
        for (auto _ : bench) {
            program.Step();
            benchmark::ClobberMemory();
        }
    }
}

void SdlSceneFrames(benchmark::State& bench, Scene kind) {
    Program program(kind);
    if (program.window == nullptr || !program.Shows(kind) || SDL_Init(0) != 0) {
        bench.SkipWithError("the scene could not be set up");
        return;
    }
    {
        SdlScene sdl(program.state.get());
        // Compose from the scene's state, then let the program draw the same.
        Restore(program.state.get(), program.scene);
        SdlCompose(sdl, program.state.get());
        SdlClear(sdl);
        const long differ = Differences(sdl, program.Frame());
        if (differ != 0) {
            std::fprintf(stderr, "the SDL-composed frame differs from ours in %ld pixels\n",
                         differ);
            bench.SkipWithError("the reference does not draw the same frame");
            SDL_Quit();
            return;
        }
        Restore(program.state.get(), program.scene);
        for (auto _ : bench) {
            SdlCompose(sdl, program.state.get());
            SdlClear(sdl);
            benchmark::DoNotOptimize(sdl.shown.data());
            benchmark::ClobberMemory();
        }
    }
    SDL_Quit();
}

// The least a frame writes: the 384x256 area it drew cleared and its view
// handed over, with the C library's own fill and copy.
void Floor(benchmark::State& bench) {
    std::vector<uint8_t> backBuffer(size_t{BACK_BUFFER_WIDTH} * BACK_BUFFER_HEIGHT, 1);
    std::vector<uint8_t> view(size_t{384} * 256, 0);
    for (auto _ : bench) {
        for (int y = 0; y < 256; ++y) {
            uint8_t* row = backBuffer.data() + static_cast<size_t>(y) * BACK_BUFFER_WIDTH;
            std::memcpy(view.data() + static_cast<size_t>(y) * 384, row, 384);
            std::memset(row, 0, 384);
        }
        benchmark::ClobberMemory();
    }
}

void OurShots(benchmark::State& bench) { OurScene(bench, Scene::Shots, false); }
void OurShotsEveryFrameCopied(benchmark::State& bench) { OurScene(bench, Scene::Shots, true); }
void SdlShots(benchmark::State& bench) { SdlSceneFrames(bench, Scene::Shots); }
void OurMessage(benchmark::State& bench) { OurScene(bench, Scene::Message, false); }
void SdlMessage(benchmark::State& bench) { SdlSceneFrames(bench, Scene::Message); }
void OurList(benchmark::State& bench) { OurScene(bench, Scene::List, false); }
void SdlList(benchmark::State& bench) { SdlSceneFrames(bench, Scene::List); }

BENCHMARK(Floor);
BENCHMARK(OurShots);
BENCHMARK(OurShotsEveryFrameCopied);
BENCHMARK(SdlShots);
BENCHMARK(OurMessage);
BENCHMARK(SdlMessage);
BENCHMARK(OurList);
BENCHMARK(SdlList);

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter reporter;
    if (!bench::RunBenchmarks(argc, argv, &reporter)) {
        return 1;
    }
    const struct {
        const char* ours;
        const char* reference;
        const char* what;
    } scenes[] = {
        {"OurShots", "SdlShots", "field, 16 shots, 20 numbers"},
        {"OurShotsEveryFrameCopied", "SdlShots", "  the same, every frame copied"},
        {"OurMessage", "SdlMessage", "field, message typing"},
        {"OurList", "SdlList", "item list with its icon"},
    };
    std::printf("\n%-28s %12s %12s\n", "scene", "/ SDL frame", "/ floor");
    std::printf("%-28s %12s %12s\n", "(goal)", "<= 0.10", "<= 2.00");
    for (const auto& scene : scenes) {
        double sdl = 0.0;
        double floor = 0.0;
        const bool haveSdl = reporter.Ratio(scene.ours, scene.reference, &sdl);
        const bool haveFloor = reporter.Ratio(scene.ours, "Floor", &floor);
        if (!haveSdl && !haveFloor) {
            continue;  // filtered out on the command line
        }
        std::printf("%-28s %12.3f %12.2f\n", scene.what, haveSdl ? sdl : 0.0,
                    haveFloor ? floor : 0.0);
    }
    return 0;
}
