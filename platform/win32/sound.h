// Sound on Win32: the system's own calls, on WAV images held in memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Whether the image of size bytes at wav reads as RIFF/WAVE PCM within its
// block: nothing is converted ahead, the system reads the image as it plays.
bool Win32SoundPlayable(const uint8_t* wav, size_t size);

// Starts the image asynchronously with sndPlaySoundA, cutting off what still
// plays, and says whether the system started it. The system is given only a
// pointer and reads as far as the image's own sizes say, so an image that
// is not playable is refused before it gets there.
bool Win32SoundPlay(const uint8_t* wav, size_t size);

// The simple beep: stops the sound still playing, then MessageBeep(0xFFFFFFFF).
void Win32SoundBeep();

}  // namespace platform
