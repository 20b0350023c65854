// The browser backend's sound: one Web Audio context for the page, the
// program's WAV images as audio buffers, one sound at a time, and the beep.
//
// Threads: everything that touches Web Audio runs on the browser's main
// thread (the user-interface thread). The render procedure asks for a sound
// through one atomic word, as on the desktop; the main thread starts it at
// its next animation frame, cutting off the one before.
//
// Browsers keep a page's audio suspended until the person using it clicks or
// presses a key; the page resumes the context then (shell.html). A sound
// asked for while it is suspended plays only if the context runs within half
// a second (the key that resumed it asked for it), never late.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct WebAudio;

// Main thread: makes the page's audio context (suspended until a gesture)
// and the beep. Without Web Audio the result still serves and nothing
// plays. Null only when memory runs out.
WebAudio* WebAudioOpen();

// True when the page has an audio context.
bool WebAudioHasContext(const WebAudio* audio);

// Main thread, before the render procedure starts: reads the RIFF/WAVE PCM
// image of size bytes at wav with the program's own reader and makes its
// audio buffer, once. False without a context or for an image that cannot be
// read or that Web Audio refuses (a rate it does not take).
bool WebAudioPrepare(WebAudio* audio, const uint8_t* wav, size_t size);

// Render procedure: asks for the image to be started, cutting off what
// plays. A prepared image is asked for without any conversion or
// allocation; one that was not is read and converted first, on the calling
// thread, and its buffer made by the main thread before it starts. False,
// with nothing asked, without a context or for an image that cannot be read.
bool WebAudioPlay(WebAudio* audio, const uint8_t* wav, size_t size);

// Render procedure: asks for the beep, a 100 ms tone of 880 Hz with short
// fades, cutting off what plays. Nothing without a context.
void WebAudioBeep(WebAudio* audio);

// Main thread, at each animation frame: starts the sound asked for last, if
// it is new.
void WebAudioStartRequested(WebAudio* audio);

}  // namespace platform
