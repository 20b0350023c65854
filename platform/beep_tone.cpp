#include "platform/beep_tone.h"

#include <cmath>
#include <numbers>

namespace platform {

namespace {

constexpr double BEEP_HZ = 880.0;
constexpr double BEEP_SECONDS = 0.1;
constexpr double BEEP_FADE_SECONDS = 0.01;
constexpr double BEEP_AMPLITUDE = 0.3;

}  // namespace

size_t BeepToneFrames(int sampleRate) {
    return sampleRate > 0 ? static_cast<size_t>(BEEP_SECONDS * sampleRate) : 0;
}

double BeepToneSample(size_t frame, int sampleRate) {
    const size_t frames = BeepToneFrames(sampleRate);
    if (frame >= frames) {
        return 0.0;
    }
    const auto fade = static_cast<size_t>(BEEP_FADE_SECONDS * sampleRate);
    double gain = 1.0;
    if (frame < fade) {
        gain = static_cast<double>(frame) / static_cast<double>(fade);
    } else if (frames - frame < fade) {
        gain = static_cast<double>(frames - frame) / static_cast<double>(fade);
    }
    const double phase = 2.0 * std::numbers::pi * BEEP_HZ * static_cast<double>(frame) / sampleRate;
    return BEEP_AMPLITUDE * gain * std::sin(phase);
}

}  // namespace platform
