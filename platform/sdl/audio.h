// The SDL backend's sound: one audio device, opened once at start-up, that
// plays one sound at a time straight from memory, and the beep.
//
// Threads: open and close on the user-interface thread; play and beep on the
// render thread. A sound is handed to SDL's audio thread through one atomic
// word, so starting one never waits for the device and never races the mix.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct SdlAudio;

// Opens SDL's audio on its own (so that video never depends on it) and one
// output device of 16-bit stereo at sampleRate frames per second (0: 44100),
// which SDL converts to whatever the hardware takes. Without a usable device
// the result still serves: nothing plays, and the beep is the terminal bell.
// Null only when memory runs out.
SdlAudio* SdlAudioOpen(int sampleRate);

// Stops the device, releases every converted sound and SDL's audio. Null is
// allowed.
void SdlAudioClose(SdlAudio* audio);

// True when a device was opened.
bool SdlAudioHasDevice(const SdlAudio* audio);

// User-interface thread, before the render thread starts: reads the
// RIFF/WAVE PCM image of size bytes at wav and converts it to the device's
// format, once, keeping it for as long as the device is open. False without
// a device or for an image that cannot be read or converted.
bool SdlAudioPrepare(SdlAudio* audio, const uint8_t* wav, size_t size);

// Starts the image, cutting off what plays. A prepared image starts without
// any conversion or allocation; one that was not is prepared first, on the
// calling thread. False, with nothing started, without a device or for an
// image that cannot be read or converted.
bool SdlAudioPlay(SdlAudio* audio, const uint8_t* wav, size_t size);

// The beep: a 100 ms tone of 880 Hz with short fades, cutting off what
// plays; without a device, the terminal bell on stderr when stderr is a
// terminal, else nothing.
void SdlAudioBeep(SdlAudio* audio);

}  // namespace platform
