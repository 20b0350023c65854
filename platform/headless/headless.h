// The headless backend: the program's window without a display. The caller's
// thread is the user-interface thread; it delivers events, drives the
// window's clock by hand, and either steps the render procedure frame by
// frame (HeadlessFrame) or lets it run on a render thread of its own
// (HeadlessStartRenderThread) and takes the newest frames as a window would.
// Frames come as the 8-bit bytes the program presented; only those the
// caller turns into a Picture are coloured. Tests and the capture tool use
// it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/mailbox.h"
#include "platform/window.h"

namespace platform {

struct HeadlessWindow;

// Opens the window of config: makes its mailbox, sets its clock to
// clockStart and sends Create. Returns null, after one line says why
// (ReportFailure), when memory runs out or Create fails.
HeadlessWindow* HeadlessOpen(const WindowConfig* config, uint32_t clockStart);

// Delivers one event to the window procedure, as a window would.
void HeadlessSend(HeadlessWindow* window, const WindowEvent& event);
void HeadlessKey(HeadlessWindow* window, int virtualKey, bool down);
void HeadlessClick(HeadlessWindow* window, int x, int y);

// The window's clock, moved on by hand; any thread.
void HeadlessClockAdvance(HeadlessWindow* window, uint32_t milliseconds);

// Runs one step of the render procedure on the calling thread (the first
// call runs begin, then frame), asking for its frame, and returns the frame
// it presented, valid until the next call that runs or takes a frame; null
// once the procedure has ended or when it presented nothing. Not while a
// render thread runs.
const Frame* HeadlessFrame(HeadlessWindow* window);

// HeadlessFrame without asking for the frame, as a display that shows none
// of them: the program presents nothing. False once the procedure has ended.
bool HeadlessStep(HeadlessWindow* window);

// Starts the render procedure on a thread of its own; false when no thread
// can be started. HeadlessClose stops it.
bool HeadlessStartRenderThread(HeadlessWindow* window);

// The newest frame the render thread published since the last take, or
// null; valid until the next take. Each take asks for the next frame (the
// first is asked for when the thread starts).
const Frame* HeadlessTakeFrame(HeadlessWindow* window);

// A frame in colour, as a display shows it: 0xAARRGGBB, stride pixels a row.
struct Picture {
    const uint32_t* pixels;
    int stride;
    int width;  // the region that holds the picture
    int height;
    int outWidth;  // the client-area size the picture is stretched to
    int outHeight;
    uint64_t sequence;  // the frame's
};

// Colours frame (one of this window's) through its colours into the
// window's picture, valid until the next call; null for a null frame.
const Picture* HeadlessPicture(HeadlessWindow* window, const Frame* frame);

// A sound the program asked for. Nothing is played: the window records it.
// An image that cannot be read as RIFF/WAVE PCM is refused as a device would
// refuse it (the program then beeps).
struct HeadlessSound {
    uint64_t frame;        // the frame run on the caller's thread (from 1) that asked; 0 before any
    const uint8_t* image;  // the WAV image started, or null for the beep
    size_t size;
};

// The sounds recorded so far, oldest first; valid until the next frame or
// event. Not while a render thread runs.
size_t HeadlessSoundCount(const HeadlessWindow* window);
const HeadlessSound* HeadlessSounds(const HeadlessWindow* window);

// Empties the record, keeping its memory: a long run that forgets its sounds
// as it goes records the next ones without allocating.
void HeadlessForgetSounds(HeadlessWindow* window);

// Stops the render thread if one runs, sends Destroy and frees the window.
// Null is allowed.
void HeadlessClose(HeadlessWindow* window);

}  // namespace platform
