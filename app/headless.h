// The program without a display: the real window procedure, start-up and
// frame loop, run frame by frame on the caller's thread with a clock the
// caller drives. Tests and the capture tool use it.
#pragma once

#include <cstdint>

#include "app/state.h"
#include "platform/mailbox.h"
#include "platform/window.h"
#include "render/frame_loop.h"

struct HeadlessSession {
    AppState* state;
    platform::Window window;
    RenderLoop loop;
    bool begun;  // the loop's start (the first tick) has run
};

// Opens a session on a fresh (all-zero) state: the clock is set by hand to
// clockStart (the program seeds its generator from the clock, so this also
// chooses the stars), no render thread is started, and the window procedure
// runs the creation sequence. Returns false, after the procedure's line on
// stderr, when the start-up fails; the session is then closed.
bool HeadlessOpen(HeadlessSession* session, AppState* state, uint32_t clockStart);

// Delivers one event to the window procedure, as the window would.
void HeadlessSend(HeadlessSession* session, const platform::WindowEvent& event);
void HeadlessKey(HeadlessSession* session, int virtualKey, bool down);
void HeadlessClick(HeadlessSession* session, int x, int y);

// Runs one frame (the first call runs the loop's start first) and returns
// the frame it presented; it stays valid until the next call.
const platform::Frame* HeadlessFrame(HeadlessSession* session);

// Destroys the window (the procedure releases everything) and restores the
// real clock.
void HeadlessClose(HeadlessSession* session);
