#include "platform/sdl/audio.h"

#include <SDL.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/beep_tone.h"
#include "platform/sdl/quiet_stderr.h"
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
    const uint8_t* image;  // the image it was made from, and its size
    size_t imageSize;
    int16_t* samples;  // null when the image could not be read or converted
    size_t sampleCount;
};

}  // namespace

struct SdlAudio {
    SDL_AudioDeviceID device = 0;
    int sampleRate = 0;
    bool subsystem = false;
    // Slot 0 is the beep; images take the slots after it in the order they
    // are first played. A slot is written once, before its first request.
    Clip slots[1 + MAX_SOUNDS] = {};
    int used = 1;
    // The newest request: a count of requests in the high bits, the slot in
    // the low 8. Written by the render thread, read by the mix.
    std::atomic<uint64_t> request{0};
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
    const uint64_t request = audio->request.load(std::memory_order_acquire);
    if (request != audio->seen) {
        audio->seen = request;
        audio->playing = &audio->slots[request & 0xFF];
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
    SDL_AudioStream* stream =
        SDL_NewAudioStream(from, static_cast<Uint8>(wav.channels), wav.sampleRate, AUDIO_S16SYS,
                           CHANNELS, sampleRate);
    if (stream == nullptr) {
        return false;
    }
    bool converted = false;
    if (wav.sampleBytes <= static_cast<size_t>(INT32_MAX) &&
        SDL_AudioStreamPut(stream, wav.samples, static_cast<int>(wav.sampleBytes)) == 0 &&
        SDL_AudioStreamFlush(stream) == 0) {
        const int bytes = SDL_AudioStreamAvailable(stream);
        auto* samples = static_cast<int16_t*>(std::malloc(bytes > 0 ? static_cast<size_t>(bytes) : 1));
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

// The slot of an image, made on its first play; -1 when the table is full.
int SlotOf(SdlAudio* audio, const uint8_t* wav, size_t size) {
    for (int i = 1; i < audio->used; ++i) {
        if (audio->slots[i].image == wav && audio->slots[i].imageSize == size) {
            return i;
        }
    }
    if (audio->used == 1 + MAX_SOUNDS) {
        return -1;
    }
    Clip& clip = audio->slots[audio->used];
    clip = Clip{wav, size, nullptr, 0};
    WavImage image{};
    if (WavRead(wav, size, &image)) {
        Convert(image, audio->sampleRate, &clip);
    }
    return audio->used++;
}

void Request(SdlAudio* audio, int slot) {
    const uint64_t count = (audio->request.load(std::memory_order_relaxed) >> 8) + 1;
    audio->request.store(count << 8 | static_cast<uint64_t>(slot), std::memory_order_release);
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
    audio->slots[0] = Clip{nullptr, 0, samples, frames * CHANNELS};
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
    for (Clip& clip : audio->slots) {
        std::free(clip.samples);
    }
    if (audio->subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    delete audio;
}

bool SdlAudioHasDevice(const SdlAudio* audio) { return audio != nullptr && audio->device != 0; }

bool SdlAudioPrepare(SdlAudio* audio, const uint8_t* wav, size_t size) {
    if (!SdlAudioHasDevice(audio)) {
        return false;
    }
    const int slot = SlotOf(audio, wav, size);
    return slot >= 0 && audio->slots[slot].samples != nullptr;
}

bool SdlAudioPlay(SdlAudio* audio, const uint8_t* wav, size_t size) {
    if (!SdlAudioHasDevice(audio)) {
        return false;
    }
    const int slot = SlotOf(audio, wav, size);
    if (slot < 0 || audio->slots[slot].samples == nullptr) {
        return false;
    }
    Request(audio, slot);
    return true;
}

void SdlAudioBeep(SdlAudio* audio) {
    if (SdlAudioHasDevice(audio) && audio->slots[0].samples != nullptr) {
        Request(audio, 0);
        return;
    }
    if (isatty(STDERR_FILENO)) {
        const char bell = '\a';
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, &bell, 1);
    }
}

}  // namespace platform
