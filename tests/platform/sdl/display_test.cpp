// SDL's video on a real X server (the test runs under a virtual one): what
// the server refuses while SDL shuts its video down is counted like any
// other refusal, and the process ends as the program means it to.
#include <SDL.h>
#include <gtest/gtest.h>
// After GoogleTest: Xlib's headers define macros (Bool, Status) that clash
// with its names.
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sdl/display.h"

namespace {

[[noreturn]] void Quit(const char* why) {
    std::fprintf(stderr, "%s\n", why);
    std::_Exit(1);
}

// SDL puts back the X error handler it found when it started and then closes
// its connections; a refusal still on its way is read there. A request for
// a window SDL has just destroyed is such a refusal (SDL makes one itself
// now and then: a wake-up sent to a window already gone).
TEST(SdlDisplayTest, ARefusalReadWhileSdlShutsDownIsCountedAndTheProcessGoesOn) {
    EXPECT_EXIT(
        {
            if (!platform::DisplayOpen()) {
                Quit("no display");
            }
            SDL_Window* window = SDL_CreateWindow("KARIDO", 0, 0, 16, 16, SDL_WINDOW_HIDDEN);
            SDL_SysWMinfo info;
            SDL_VERSION(&info.version);
            if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
                info.subsystem != SDL_SYSWM_X11) {
                Quit("no X11 window");
            }
            void* x11 = SDL_LoadObject("libX11.so.6");
            auto* mapWindow =
                reinterpret_cast<int (*)(Display*, Window)>(SDL_LoadFunction(x11, "XMapWindow"));
            auto* flush = reinterpret_cast<int (*)(Display*)>(SDL_LoadFunction(x11, "XFlush"));
            if (mapWindow == nullptr || flush == nullptr) {
                Quit("no Xlib");
            }
            const unsigned long before = platform::DisplayErrorCount(nullptr);
            const Window gone = info.info.x11.window;
            SDL_DestroyWindow(window);
            mapWindow(info.info.x11.display, gone);
            flush(info.info.x11.display);
            SDL_Quit();
            if (platform::DisplayErrorCount(nullptr) != before + 1) {
                Quit("the refusal was not counted");
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
