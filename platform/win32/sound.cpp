#include "platform/win32/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/wav.h"

namespace platform {

bool Win32SoundPlayable(const uint8_t* wav, size_t size) {
    WavImage image{};
    return WavRead(wav, size, &image);
}

bool Win32SoundPlay(const uint8_t* wav, size_t size) {
    if (!Win32SoundPlayable(wav, size)) {
        return false;
    }
    return sndPlaySoundA(reinterpret_cast<LPCSTR>(wav), SND_ASYNC | SND_NODEFAULT | SND_MEMORY) !=
           FALSE;
}

void Win32SoundBeep() {
    // A sound still playing stops first, as when another sound starts: the
    // system's beep alone would sound over it.
    sndPlaySoundA(nullptr, 0);
    MessageBeep(0xFFFFFFFF);
}

}  // namespace platform
