// The render thread and its frame loop: compose a frame into the back
// buffer, present it, clear, run one game tick; as fast as the machine allows.
#pragma once

#include <cstdint>

#include "app/state.h"

// The last frames-per-second text ("123fps"); empty until the first second
// has passed.
extern char fpsText[16];

// The loop's own bookkeeping for the frames-per-second figure.
struct RenderLoop {
    int framesInPeriod;
    uint32_t periodStart;
};

// The thread's start: resets the period and runs the first tick, so the
// first frame shows the state after one tick. Returns the tick's result
// (zero: the loop is not to run).
int RenderLoopBegin(AppState* state, RenderLoop* loop);

// One iteration: the field (unless the item list is open), the overlay, the
// frames-per-second text, the floating numbers, the present of the shown
// region, the clear of the whole back buffer and one tick. Returns the
// tick's result.
int RenderLoopFrame(AppState* state, RenderLoop* loop);

// The thread's procedure: waits at the start gate, then loops until the tick
// returns 0 or a stop is requested. Returns 0.
int RenderThreadProc(AppState* state);

// Starts the render thread with its start gate closed; false when no thread
// can be started. In manual mode no thread is started (the caller runs the
// loop itself) and the result is true.
bool RenderThreadStart(AppState* state);

// Lets the render thread begin: the creation sequence has finished.
void RenderThreadOpenGate();

// Asks the render thread to stop after its current frame and waits for it.
// Does nothing when no thread runs.
void RenderThreadStop();

// Manual mode, for the headless backend: frames are run by the caller.
void RenderThreadSetManual(bool manual);
