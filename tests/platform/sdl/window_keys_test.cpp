// Keys as SDL delivers them, through the SDL backend's window and the
// program's real window procedure: SDL key events are pushed on the main
// thread while the window runs (SDL's offscreen video driver: no display
// needed), and after each the held-key bits are read.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/program.h"
#include "app/window_proc.h"

namespace {

struct Press {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    bool down;
    bool repeat;
};

struct Run {
    AppState* state;
    std::vector<Press> presses;
    std::vector<InputBits> bits;  // the held-key bits after each key event the procedure saw
    std::vector<int> keys;        // the virtual-key code of each
};

Run* running = nullptr;

// The program's own procedure; once the window exists, the presses are
// queued as SDL events, then a quit.
int Procedure(platform::Window* window, const platform::WindowEvent* event, void* context) {
    const int result = MainWndProc(window, event, context);
    switch (event->type) {
        case platform::WindowEventType::Create:
            for (const Press& p : running->presses) {
                SDL_Event e{};
                e.type = p.down ? SDL_KEYDOWN : SDL_KEYUP;
                e.key.state = p.down ? SDL_PRESSED : SDL_RELEASED;
                e.key.repeat = p.repeat ? 1 : 0;
                e.key.keysym.scancode = p.scancode;
                e.key.keysym.sym = p.keycode;
                SDL_PushEvent(&e);
            }
            {
                SDL_Event quit{};
                quit.type = SDL_QUIT;
                SDL_PushEvent(&quit);
            }
            break;
        case platform::WindowEventType::KeyDown:
        case platform::WindowEventType::KeyUp:
            running->bits.push_back(InputRead(running->state));
            running->keys.push_back(event->virtualKey);
            break;
        default:
            break;
    }
    return result;
}

// Runs the program in an offscreen window with the presses; the bits after
// each press, or fails.
std::vector<InputBits> BitsAfter(const std::vector<Press>& presses, std::vector<int>* keys) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto state = std::make_unique<AppState>();
    RenderLoop loop{};
    Run run{state.get(), presses, {}, {}};
    running = &run;
    platform::WindowConfig config = ProgramWindowConfig(state.get(), &loop);
    config.procedure = Procedure;
    EXPECT_EQ(platform::WindowRun(&config), 0);
    running = nullptr;
    if (keys != nullptr) {
        *keys = run.keys;
    }
    return run.bits;
}

TEST(SdlWindowKeys, EachKeyOfTheTableSetsItsBitUntilReleased) {
    struct Key {
        SDL_Scancode scancode;
        SDL_Keycode keycode;
        InputBits bit;
    };
    const Key keys[] = {
        {SDL_SCANCODE_UP, SDLK_UP, INPUT_UP},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, INPUT_DOWN},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, INPUT_LEFT},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, INPUT_RIGHT},
        // The keypad with Num Lock on (digits) and off (arrows): the same bits.
        {SDL_SCANCODE_KP_8, SDLK_KP_8, INPUT_UP},
        {SDL_SCANCODE_KP_8, SDLK_UP, INPUT_UP},
        {SDL_SCANCODE_KP_2, SDLK_KP_2, INPUT_DOWN},
        {SDL_SCANCODE_KP_2, SDLK_DOWN, INPUT_DOWN},
        {SDL_SCANCODE_KP_4, SDLK_KP_4, INPUT_LEFT},
        {SDL_SCANCODE_KP_4, SDLK_LEFT, INPUT_LEFT},
        {SDL_SCANCODE_KP_6, SDLK_KP_6, INPUT_RIGHT},
        {SDL_SCANCODE_KP_6, SDLK_RIGHT, INPUT_RIGHT},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, INPUT_SHOT},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, INPUT_SHOT},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, INPUT_SHOT},
        {SDL_SCANCODE_Z, SDLK_z, INPUT_SHOT},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, INPUT_MENU},
        {SDL_SCANCODE_X, SDLK_x, INPUT_MENU},
    };
    std::vector<Press> presses;
    for (const Key& k : keys) {
        presses.push_back({k.scancode, k.keycode, true, false});
        presses.push_back({k.scancode, k.keycode, false, false});
    }
    const std::vector<InputBits> bits = BitsAfter(presses, nullptr);
    ASSERT_EQ(bits.size(), presses.size());
    for (size_t i = 0; i < std::size(keys); ++i) {
        EXPECT_EQ(bits[2 * i], keys[i].bit) << "key " << i << " down";
        EXPECT_EQ(bits[2 * i + 1], 0) << "key " << i << " up";
    }
}

TEST(SdlWindowKeys, RepeatsSharedBitsAndKeysOutsideTheTable) {
    const std::vector<Press> presses = {
        {SDL_SCANCODE_LEFT, SDLK_LEFT, true, false},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, true, false},  // both arrows held
        {SDL_SCANCODE_LEFT, SDLK_LEFT, true, true},     // auto-repeat sets the bit again
        {SDL_SCANCODE_LEFT, SDLK_LEFT, false, false},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, false, false},
        {SDL_SCANCODE_Z, SDLK_z, true, false},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, true, false},
        {SDL_SCANCODE_Z, SDLK_z, false, false},  // Space still held, yet the bit clears
        {SDL_SCANCODE_SPACE, SDLK_SPACE, false, false},
        {SDL_SCANCODE_X, SDLK_x, true, false},
        {SDL_SCANCODE_F1, SDLK_F1, true, false},  // keys outside the table change nothing
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, true, false},
        {SDL_SCANCODE_A, SDLK_a, true, false},
        {SDL_SCANCODE_A, SDLK_a, false, false},
        {SDL_SCANCODE_F1, SDLK_F1, false, false},
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, false, false},
        {SDL_SCANCODE_X, SDLK_x, false, false},
    };
    std::vector<int> keys;
    const std::vector<InputBits> bits = BitsAfter(presses, &keys);
    const std::vector<InputBits> expected = {
        INPUT_LEFT, INPUT_LEFT | INPUT_RIGHT, INPUT_LEFT | INPUT_RIGHT, INPUT_RIGHT, 0,
        INPUT_SHOT, INPUT_SHOT, 0, 0,
        INPUT_MENU, INPUT_MENU, INPUT_MENU, INPUT_MENU, INPUT_MENU, INPUT_MENU, INPUT_MENU, 0};
    EXPECT_EQ(bits, expected);
    // The keys outside the table arrive with their own codes: F1, Shift, A.
    ASSERT_EQ(keys.size(), presses.size());
    EXPECT_EQ(keys[10], 0x70);
    EXPECT_EQ(keys[11], 0x10);
    EXPECT_EQ(keys[12], 'A');
}

}  // namespace
