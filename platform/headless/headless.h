// The headless backend: the program's window without a display. The caller's
// thread is the user-interface thread; it delivers events, drives the
// window's clock by hand, and either steps the render procedure frame by
// frame (HeadlessFrame) or lets it run on a render thread of its own
// (HeadlessStartRenderThread) and takes the newest frames as a window would.
// Tests and the capture tool use it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/mailbox.h"
#include "platform/window.h"

namespace platform {

struct HeadlessWindow;

// Opens the window of config: makes its mailbox, sets its clock to
// clockStart and sends Create. Returns null when memory runs out or Create
// fails (the procedure has then said why, through ReportFailure).
HeadlessWindow* HeadlessOpen(const WindowConfig* config, uint32_t clockStart);

// Delivers one event to the window procedure, as a window would.
void HeadlessSend(HeadlessWindow* window, const WindowEvent& event);
void HeadlessKey(HeadlessWindow* window, int virtualKey, bool down);
void HeadlessClick(HeadlessWindow* window, int x, int y);

// The window's clock, moved on by hand; any thread.
void HeadlessClockAdvance(HeadlessWindow* window, uint32_t milliseconds);

// Runs one step of the render procedure on the calling thread (the first
// call runs begin, then frame) and returns the frame it presented, valid
// until the next call; null once the procedure has ended or when it
// presented nothing. Not while a render thread runs.
const Frame* HeadlessFrame(HeadlessWindow* window);

// Starts the render procedure on a thread of its own; false when no thread
// can be started. HeadlessClose stops it.
bool HeadlessStartRenderThread(HeadlessWindow* window);

// The newest frame the render thread published since the last take, or
// null; valid until the next take.
const Frame* HeadlessTakeFrame(HeadlessWindow* window);

// A sound the program asked for. Nothing is played: the window records it.
// An image that cannot be read as RIFF/WAVE PCM is refused as a device would
// refuse it (the program then beeps).
struct HeadlessSound {
    uint64_t frame;        // the HeadlessFrame call (from 1) that asked; 0 before any
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
