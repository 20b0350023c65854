#include "platform/web/audio.h"

#include <emscripten.h>

#include <cstdlib>
#include <new>

#include "platform/beep_tone.h"
#include "platform/sound_slots.h"
#include "platform/wav.h"

namespace platform {

namespace {

// Distinct images the page keeps as buffers; the program has four.
constexpr int MAX_SOUNDS = 32;

constexpr int BEEP_RATE = 44100;

// A sound as Web Audio takes it: one run of float samples per channel.
struct Clip {
    float* samples;  // channels runs of frames samples; freed once uploaded
    int frames;
    int channels;
    int sampleRate;
    bool readable;  // the image was read: a buffer can be made of it
    bool uploaded;  // main thread only: the page holds its buffer (or it has none to hold)
    bool playable;  // main thread only: the buffer was made
};

}  // namespace

struct WebAudio {
    bool context = false;
    // Requests come from the render procedure; the main thread takes them.
    // The page's buffer of a slot has the slot's number.
    SoundSlots<Clip, MAX_SOUNDS> slots;
    uint64_t seen = 0;  // main thread
};

namespace {

// clang-format off
EM_JS(int, web_audio_open, (), {
    const Context = globalThis.AudioContext || globalThis.webkitAudioContext;
    if (!Context) return 0;
    try {
        const context = new Context();
        // Everything played goes through an analyser, which lets the page
        // (and its tests) see that sound comes out.
        const analyser = context.createAnalyser();
        analyser.fftSize = 2048;
        analyser.connect(context.destination);
        const audio = { context: context, output: analyser, analyser: analyser,
                        buffers: [], source: null, started: 0, pending: null };
        // Starts a buffer, cutting off what plays.
        audio.play = (slot) => {
            if (audio.source) {
                try { audio.source.stop(); } catch (e) {}
                audio.source = null;
            }
            const buffer = audio.buffers[slot];
            if (!buffer) return;
            const source = context.createBufferSource();
            source.buffer = buffer;
            source.connect(audio.output);
            source.start();
            audio.source = source;
            audio.started += 1;
        };
        // The gesture that resumes the context is often the key that asked
        // for a sound: one asked for just before the context ran still plays.
        context.onstatechange = () => {
            const pending = audio.pending;
            audio.pending = null;
            if (context.state === "running" && pending && performance.now() - pending.at < 500) {
                audio.play(pending.slot);
            }
        };
        Module.karidoAudio = audio;
        return 1;
    } catch (e) {
        return 0;
    }
});

// Makes slot's buffer from channels runs of frames float samples at samples.
EM_JS(int, web_audio_upload, (int slot, const float* samples, int frames, int channels, int rate), {
    const audio = Module.karidoAudio;
    if (!audio) return 0;
    if (frames == 0) { audio.buffers[slot] = null; return 1; }
    try {
        const buffer = audio.context.createBuffer(channels, frames, rate);
        for (let c = 0; c < channels; ++c) {
            const start = (samples >> 2) + c * frames;
            // The heap is shared memory, which Web Audio does not take: copy.
            buffer.getChannelData(c).set(HEAPF32.subarray(start, start + frames));
        }
        audio.buffers[slot] = buffer;
        return 1;
    } catch (e) {
        return 0;
    }
});

// Starts slot's buffer, cutting off what plays. While the context is
// suspended the sound is only kept, and played should the context start
// running within half a second: one asked for long before the first click
// is not heard late.
EM_JS(void, web_audio_start, (int slot), {
    const audio = Module.karidoAudio;
    if (!audio) return;
    if (audio.context.state === "running") {
        audio.play(slot);
    } else {
        audio.pending = { slot: slot, at: performance.now() };
    }
});
// clang-format on

// Reads the image into a clip of planar float samples.
void ReadClip(const uint8_t* wav, size_t size, Clip* clip) {
    *clip = Clip{nullptr, 0, 0, 0, false, false, false};
    WavImage image{};
    if (!WavRead(wav, size, &image)) {
        return;
    }
    const size_t bytesPerSample = image.bitsPerSample == 8 ? 1 : 2;
    const size_t frames =
        image.sampleBytes / (bytesPerSample * static_cast<size_t>(image.channels));
    if (frames > static_cast<size_t>(INT32_MAX / image.channels)) {
        return;
    }
    auto* samples = static_cast<float*>(
        std::malloc(frames * static_cast<size_t>(image.channels) * sizeof(float) + 1));
    if (samples == nullptr) {
        return;
    }
    for (size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < image.channels; ++c) {
            const size_t i = f * static_cast<size_t>(image.channels) + static_cast<size_t>(c);
            float value = 0.0f;
            if (bytesPerSample == 1) {
                value = (static_cast<float>(image.samples[i]) - 128.0f) / 128.0f;
            } else {
                const auto low = static_cast<uint16_t>(image.samples[2 * i]);
                const auto high = static_cast<uint16_t>(image.samples[2 * i + 1]);
                value = static_cast<float>(static_cast<int16_t>(low | high << 8)) / 32768.0f;
            }
            samples[static_cast<size_t>(c) * frames + f] = value;
        }
    }
    clip->samples = samples;
    clip->frames = static_cast<int>(frames);
    clip->channels = image.channels;
    clip->sampleRate = image.sampleRate;
    clip->readable = true;
}

// Main thread: makes the clip's buffer, once, and lets its samples go.
void Upload(Clip* clip, int slot) {
    if (clip->uploaded) {
        return;
    }
    clip->uploaded = true;
    if (clip->readable) {
        clip->playable = web_audio_upload(slot, clip->samples, clip->frames, clip->channels,
                                          clip->sampleRate) != 0;
    }
    std::free(clip->samples);
    clip->samples = nullptr;
}

// The beep's samples, mono.
void MakeBeep(Clip* clip) {
    const size_t frames = BeepToneFrames(BEEP_RATE);
    auto* samples = static_cast<float*>(std::malloc(frames * sizeof(float)));
    if (samples == nullptr) {
        return;
    }
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<float>(BeepToneSample(i, BEEP_RATE));
    }
    *clip = Clip{samples, static_cast<int>(frames), 1, BEEP_RATE, true, false, false};
}

}  // namespace

WebAudio* WebAudioOpen() {
    auto* audio = new (std::nothrow) WebAudio{};
    if (audio == nullptr) {
        return nullptr;
    }
    audio->context = web_audio_open() != 0;
    if (audio->context) {
        MakeBeep(&audio->slots.clips[0]);
        Upload(&audio->slots.clips[0], 0);
    }
    return audio;
}

bool WebAudioHasContext(const WebAudio* audio) {
    return audio != nullptr && audio->context;
}

bool WebAudioPrepare(WebAudio* audio, const uint8_t* wav, size_t size) {
    if (!WebAudioHasContext(audio)) {
        return false;
    }
    const int slot = SoundSlotOf(&audio->slots, wav, size, ReadClip);
    if (slot < 0) {
        return false;
    }
    Upload(&audio->slots.clips[slot], slot);
    return audio->slots.clips[slot].playable;
}

bool WebAudioPlay(WebAudio* audio, const uint8_t* wav, size_t size) {
    if (!WebAudioHasContext(audio)) {
        return false;
    }
    const int slot = SoundSlotOf(&audio->slots, wav, size, ReadClip);
    if (slot < 0 || !audio->slots.clips[slot].readable) {
        return false;
    }
    SoundRequest(&audio->slots, slot);
    return true;
}

void WebAudioBeep(WebAudio* audio) {
    if (WebAudioHasContext(audio)) {
        SoundRequest(&audio->slots, 0);
    }
}

void WebAudioStartRequested(WebAudio* audio) {
    if (!WebAudioHasContext(audio)) {
        return;
    }
    const int slot = SoundTakeRequest(&audio->slots, &audio->seen);
    if (slot < 0) {
        return;
    }
    Upload(&audio->slots.clips[slot], slot);
    web_audio_start(slot);
}

}  // namespace platform
