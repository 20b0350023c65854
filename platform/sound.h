// Sound: short WAV images played from memory through the window's backend,
// and the simple beep. Images are readied on the user-interface thread while
// the window is created; playing and beeping happen only in the render
// procedure (the game tick), never wait for the sound, and allocate nothing
// for an image that was readied or has been played once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/window.h"

namespace platform {

// Readies the RIFF/WAVE PCM image of size bytes at wav (which stays valid
// for the life of the window) for playing: on the user-interface thread,
// while the window is being created, so that the render procedure later
// starts it without converting anything. Returns whether it can be played;
// false for a null window or one without sound.
bool SoundPrepare(const Window* window, const uint8_t* wav, size_t size);

// Starts the RIFF/WAVE PCM image of size bytes at wav, asynchronously,
// stopping whatever still plays. The bytes must stay valid while they play
// (resource data lives as long as the process). Returns whether the sound
// started: false without an audio device, for an image that cannot be read
// or converted (nothing outside the block is read), and for a null window or
// one without sound.
bool SoundPlay(const Window* window, const uint8_t* wav, size_t size);

// The simple beep: a short tone through the audio device, cutting off what
// plays; without a device, the terminal bell on stderr when it is a terminal,
// else nothing. Nothing for a null window or one without sound.
void SoundBeep(const Window* window);

}  // namespace platform
