// KARIDO: one fixed 384x256 window; everything else happens in the window
// procedure and on the render thread.
#include "app/state.h"
#include "app/view_mode.h"
#include "app/window_proc.h"
#include "platform/window.h"

int main() {
    const platform::WindowConfig config{"KARIDO", WindowWidth(&appState), WindowHeight(&appState),
                                        MainWndProc, &appState};
    return platform::WindowRun(&config);
}
