#include "app/program.h"

#include "app/window_proc.h"
#include "base/view_mode.h"

platform::WindowConfig ProgramWindowConfig(AppState* state, RenderLoop* loop) {
    *loop = RenderLoop{};
    loop->state = state;
    return platform::WindowConfig{"KARIDO",          WindowWidth(state), WindowHeight(state),
                                  BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, MainWndProc,
                                  state,             RenderThreadProc(loop)};
}
