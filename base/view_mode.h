// The view mode: which region of the back buffer the window shows, and the
// window's client size.
#pragma once

#include "base/state.h"

// The back buffer: the largest view (768x512, mode 11) and so the largest
// region the program ever presents.
constexpr int BACK_BUFFER_WIDTH = 768;
constexpr int BACK_BUFFER_HEIGHT = 512;

// Stores zoom and sets the shown region from mode: 1 → 384x256,
// 10 → 512x512, 11 → 768x512, anything else → 256x256.
inline void SetViewMode(AppState* state, int zoom, int mode) {
    state->zoom = zoom;
    switch (mode) {
        case 1:
            state->viewWidth = 384;
            state->viewHeight = 256;
            break;
        case 10:
            state->viewWidth = 512;
            state->viewHeight = 512;
            break;
        case 11:
            state->viewWidth = 768;
            state->viewHeight = 512;
            break;
        default:
            state->viewWidth = 256;
            state->viewHeight = 256;
            break;
    }
}

// The client size: 768x512 when zoomed, else 384x256.
inline int WindowWidth(const AppState* state) { return state->zoom ? 768 : 384; }
inline int WindowHeight(const AppState* state) { return state->zoom ? 512 : 256; }
