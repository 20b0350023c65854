// The path of a WAV image through the program, on any byte block: the WAV
// reader, then, for an image it accepts, the SDL backend's preparation (the
// conversion to the device's 16-bit stereo through SDL's audio stream) and
// its start, as the window does for each menu sound. SDL's dummy audio driver
// stands in for a device, so the whole path runs without sound hardware, and
// the mix copies the started sounds on SDL's audio thread as it would in the
// program.
//
// The reader either refuses the block or finds a PCM format inside its
// limits and samples that lie inside the block in whole frames; a prepared
// image starts, and a prepared image's second preparation agrees.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/sdl/audio.h"
#include "platform/wav.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

void CheckImage(const platform::WavImage& wav, const uint8_t* data, size_t size) {
    fuzz::Check(wav.channels >= 1 && wav.channels <= platform::WAV_MAX_CHANNELS,
                "channels outside the limits");
    fuzz::Check(
        wav.sampleRate >= platform::WAV_MIN_RATE && wav.sampleRate <= platform::WAV_MAX_RATE,
        "rate outside the limits");
    fuzz::Check(wav.bitsPerSample == 8 || wav.bitsPerSample == 16, "bits neither 8 nor 16");
    const auto frame = static_cast<size_t>(wav.channels * wav.bitsPerSample / 8);
    fuzz::Check(wav.sampleBytes % frame == 0, "samples are not whole frames");
    fuzz::Check(wav.samples >= data && wav.sampleBytes <= size &&
                    static_cast<size_t>(wav.samples - data) <= size - wav.sampleBytes,
                "samples outside the block");
}

// One device for many inputs: opening and closing one takes SDL tens of
// milliseconds. The device keeps what it converted by the image's address
// and size, so every image is handed over in a copy of its own that lives as
// long as the device, and the device is replaced after IMAGES_PER_DEVICE
// images, well inside the number it keeps.
constexpr size_t IMAGES_PER_DEVICE = 16;

class Device {
   public:
    ~Device() { Close(); }

    platform::SdlAudio* For(const uint8_t* data, size_t size, const uint8_t** copy) {
        if (audio_ == nullptr || images_.size() == IMAGES_PER_DEVICE) {
            Close();
            audio_ = platform::SdlAudioOpen(0);
            fuzz::Check(platform::SdlAudioHasDevice(audio_), "the dummy audio device did not open");
        }
        // At least one byte, so that every copy has an address of its own.
        images_.push_back(std::make_unique<uint8_t[]>(size > 0 ? size : 1));
        if (size != 0) {
            std::memcpy(images_.back().get(), data, size);
        }
        *copy = images_.back().get();
        return audio_;
    }

   private:
    void Close() {
        platform::SdlAudioClose(audio_);
        audio_ = nullptr;
        images_.clear();
    }

    platform::SdlAudio* audio_ = nullptr;
    std::vector<std::unique_ptr<uint8_t[]>> images_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool dummyDriver = setenv("SDL_AUDIODRIVER", "dummy", 1) == 0;
    fuzz::Check(dummyDriver, "cannot choose SDL's dummy audio driver");
    static Device device;

    platform::WavImage wav{};
    if (!platform::WavRead(data, size, &wav)) {
        return 0;
    }
    CheckImage(wav, data, size);

    const uint8_t* image = nullptr;
    platform::SdlAudio* audio = device.For(data, size, &image);
    const bool prepared = platform::SdlAudioPrepare(audio, image, size);
    fuzz::Check(platform::SdlAudioPrepare(audio, image, size) == prepared,
                "preparing an image again answers otherwise");
    fuzz::Check(platform::SdlAudioPlay(audio, image, size) == prepared,
                "starting the image disagrees with preparing it");
    return 0;
}
