// The render thread's procedure and its frame loop: compose a frame into the
// back buffer, present it, clear, run one game tick; as fast as the machine
// allows. The platform runs it, on a thread of its own or frame by frame.
#pragma once

#include <cstdint>

#include "base/state.h"
#include "platform/mailbox.h"
#include "platform/window.h"

// The last frames-per-second text ("123fps"); empty until the first second
// has passed. It is drawn with its top-left corner at (FPS_TEXT_X,
// FPS_TEXT_Y), on the side panel.
extern char fpsText[16];
constexpr int FPS_TEXT_X = 260;
constexpr int FPS_TEXT_Y = 7;

// The loop: the state it runs on, its own bookkeeping for the
// frames-per-second figure, and the colours its frames are presented with.
struct RenderLoop {
    AppState* state;
    int framesInPeriod;
    uint32_t periodStart;
    // The colours of the back buffer's screen indices through the palette
    // they were built from; built again only when the state holds another
    // palette (a palette is never changed in place).
    platform::FrameColours colours;
    const platform::Palette* colouredPalette;
};

// The thread's start: resets the period and runs the first tick, so the
// first frame shows the state after one tick. Returns the tick's result
// (zero: the loop is not to run).
int RenderLoopBegin(RenderLoop* loop);

// One iteration: the field (unless the item list is open), the overlay, the
// frames-per-second text, the floating numbers, the item list window (while
// open), the message window (while open), the present of the shown region,
// the clear of what the frame drew (the whole back buffer is 0 again) and one
// tick. Returns the tick's result.
int RenderLoopFrame(RenderLoop* loop);

// The render thread's procedure as the platform runs it: the two steps above
// on loop.
platform::RenderProcedure RenderThreadProc(RenderLoop* loop);
