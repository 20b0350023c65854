#include "platform/sdl/audio.h"

#include <SDL.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/beep_tone.h"
#include "platform/sdl/quiet_stderr.h"
#include "platform/sound_slots.h"
#include "platform/wav.h"

namespace platform {

namespace {

constexpr int DEFAULT_RATE = 44100;
constexpr int CHANNELS = 2;
constexpr Uint16 BUFFER_FRAMES = 1024;
// Distinct images the device keeps converted; the program has four.
constexpr int MAX_SOUNDS = 32;

// A sound in the device's format: interleaved 16-bit stereo samples.
struct Clip {
    int16_t* samples;  // null when the image could not be read or converted
    size_t sampleCount;
};

}  // namespace

struct SdlAudio {
    SDL_AudioDeviceID device = 0;
    int sampleRate = 0;
    bool subsystem = false;
    // Requests come from the render thread; the mix takes them.
    SoundSlots<Clip, MAX_SOUNDS> slots;
    // The mix's own state, on SDL's audio thread.
    uint64_t seen = 0;
    const Clip* playing = nullptr;
    size_t position = 0;
};

namespace {

// SDL's audio thread: the sound of the newest request from its start, then
// silence.
void Mix(void* userdata, Uint8* stream, int length) {
    auto* audio = static_cast<SdlAudio*>(userdata);
    const int requested = SoundTakeRequest(&audio->slots, &audio->seen);
    if (requested >= 0) {
        audio->playing = &audio->slots.clips[requested];
        audio->position = 0;
    }
    auto* out = reinterpret_cast<int16_t*>(stream);
    const size_t wanted = static_cast<size_t>(length) / sizeof(int16_t);
    size_t done = 0;
    if (audio->playing != nullptr) {
        const size_t left = audio->playing->sampleCount - audio->position;
        done = left < wanted ? left : wanted;
        std::memcpy(out, audio->playing->samples + audio->position, done * sizeof(int16_t));
        audio->position += done;
        if (audio->position >= audio->playing->sampleCount) {
            audio->playing = nullptr;
        }
    }
    std::memset(out + done, 0, (wanted - done) * sizeof(int16_t));
}

// Converts a read image to the device's format; the samples are malloc'd.
bool Convert(const WavImage& wav, int sampleRate, Clip* clip) {
    const SDL_AudioFormat from = wav.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    SDL_AudioStream* stream = SDL_NewAudioStream(
        from, static_cast<Uint8>(wav.channels), wav.sampleRate, AUDIO_S16SYS, CHANNELS, sampleRate);
    if (stream == nullptr) {
        return false;
    }
    bool converted = false;
    if (wav.sampleBytes <= static_cast<size_t>(INT32_MAX) &&
        SDL_AudioStreamPut(stream, wav.samples, static_cast<int>(wav.sampleBytes)) == 0 &&
        SDL_AudioStreamFlush(stream) == 0) {
        const int bytes = SDL_AudioStreamAvailable(stream);
        auto* samples =
            static_cast<int16_t*>(std::malloc(bytes > 0 ? static_cast<size_t>(bytes) : 1));
        if (samples != nullptr && SDL_AudioStreamGet(stream, samples, bytes) == bytes) {
            clip->samples = samples;
            clip->sampleCount = static_cast<size_t>(bytes) / sizeof(int16_t);
            converted = true;
        } else {
            std::free(samples);
        }
    }
    SDL_FreeAudioStream(stream);
    return converted;
}

// The slot of an image, converted on its first use; -1 when the table is full.
int SlotOf(SdlAudio* audio, const uint8_t* wav, size_t size) {
    return SoundSlotOf(&audio->slots, wav, size,
                       [audio](const uint8_t* image, size_t bytes, Clip* clip) {
                           WavImage read{};
                           if (WavRead(image, bytes, &read)) {
                               Convert(read, audio->sampleRate, clip);
                           }
                       });
}

// The beep's samples at the device's rate.
bool MakeBeep(SdlAudio* audio) {
    const size_t frames = BeepToneFrames(audio->sampleRate);
    auto* samples = static_cast<int16_t*>(std::malloc(frames * CHANNELS * sizeof(int16_t)));
    if (samples == nullptr) {
        return false;
    }
    for (size_t i = 0; i < frames; ++i) {
        const auto value =
            static_cast<int16_t>(std::lround(32767.0 * BeepToneSample(i, audio->sampleRate)));
        samples[i * CHANNELS] = value;
        samples[i * CHANNELS + 1] = value;
    }
    audio->slots.clips[0] = Clip{samples, frames * CHANNELS};
    return true;
}

}  // namespace

SdlAudio* SdlAudioOpen(int sampleRate) {
    auto* audio = new (std::nothrow) SdlAudio{};
    if (audio == nullptr) {
        return nullptr;
    }
    audio->sampleRate = sampleRate > 0 ? sampleRate : DEFAULT_RATE;
    const QuietStderr quiet;
    audio->subsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!audio->subsystem || !MakeBeep(audio)) {
        return audio;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = audio->sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = CHANNELS;
    wanted.samples = BUFFER_FRAMES;
    wanted.callback = Mix;
    wanted.userdata = audio;
    // No changes allowed: SDL converts the mix to what the device takes.
    audio->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (audio->device != 0) {
        SDL_PauseAudioDevice(audio->device, 0);
    }
    return audio;
}

void SdlAudioClose(SdlAudio* audio) {
    if (audio == nullptr) {
        return;
    }
    if (audio->device != 0) {
        SDL_CloseAudioDevice(audio->device);
    }
    for (Clip& clip : audio->slots.clips) {
        std::free(clip.samples);
    }
    if (audio->subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    delete audio;
}

bool SdlAudioHasDevice(const SdlAudio* audio) {
    return audio != nullptr && audio->device != 0;
}

bool SdlAudioPrepare(SdlAudio* audio, const uint8_t* wav, size_t size) {
    if (!SdlAudioHasDevice(audio)) {
        return false;
    }
    const int slot = SlotOf(audio, wav, size);
    return slot >= 0 && audio->slots.clips[slot].samples != nullptr;
}

bool SdlAudioPlay(SdlAudio* audio, const uint8_t* wav, size_t size) {
    if (!SdlAudioHasDevice(audio)) {
        return false;
    }
    const int slot = SlotOf(audio, wav, size);
    if (slot < 0 || audio->slots.clips[slot].samples == nullptr) {
        return false;
    }
    SoundRequest(&audio->slots, slot);
    return true;
}

void SdlAudioBeep(SdlAudio* audio) {
    if (SdlAudioHasDevice(audio) && audio->slots.clips[0].samples != nullptr) {
        SoundRequest(&audio->slots, 0);
        return;
    }
    if (isatty(STDERR_FILENO)) {
        const char bell = '\a';
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, &bell, 1);
    }
}

}  // namespace platform
