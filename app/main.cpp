// KARIDO: one fixed 384x256 window; everything else happens in the window
// procedure and on the render thread. The build links the backend that
// provides the real window.
#include "app/program.h"

int main() {
    static RenderLoop renderLoop;
    const platform::WindowConfig config = ProgramWindowConfig(&appState, &renderLoop);
    return platform::WindowRun(&config);
}
