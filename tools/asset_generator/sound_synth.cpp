// Additive synthesis of the menu sounds. Each sound is a few tones; a tone is
// a set of sine partials over one fundamental (which may glide), shaped by an
// attack/decay/release envelope and panned between the two channels. The mix
// is faded in and out so it starts and ends at silence, scaled to a fixed peak
// below full scale, quantised and wrapped in a 44-byte WAVE header.
//
// Only arithmetic and std::sin/std::exp/std::cos on doubles are used, and no
// clock or random source, so the bytes are identical on every run.
#include "tools/asset_generator/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kSampleRate = 22050;
constexpr double kForever = std::numeric_limits<double>::infinity();

// Every sound peaks at -3 dBFS: loud enough next to each other, with headroom.
constexpr double kPeak = 0.70794578438413791;  // 10^(-3/20)

// One sine component of a tone, relative to its fundamental.
struct Partial {
    double ratio;       // frequency multiple of the fundamental
    double gain;        // amplitude relative to the fundamental
    double decayScale;  // multiplies the tone's decay time: upper partials fade sooner
};

struct Tone {
    double start = 0.0;  // seconds from the start of the sound
    double freq = 440.0;
    double glideTo = 0.0;    // frequency the pitch slides towards; 0 keeps it steady
    double glideTime = 0.0;  // time constant of the slide, seconds
    double gain = 1.0;
    double attack = 0.002;     // raised-cosine rise, seconds
    double decay = kForever;   // exponential time constant, seconds
    double hold = kForever;    // the release begins this long after the start
    double release = 0.0;      // raised-cosine fall, seconds
    double pan = 0.0;          // -1 left, 0 centre, +1 right (ignored in mono)
    std::vector<Partial> partials = {{1.0, 1.0, 1.0}};
};

// Samples in the range -1..1, one vector per channel.
struct Mix {
    std::vector<std::vector<double>> channels;

    Mix(unsigned channelCount, size_t frames)
        : channels(channelCount, std::vector<double>(frames, 0.0)) {}
    size_t Frames() const { return channels.front().size(); }
};

double RaisedCosine(double x) {  // 0 at x <= 0, 1 at x >= 1, smooth in between
    if (x <= 0.0) {
        return 0.0;
    }
    if (x >= 1.0) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(kPi * x);
}

// Envelope of a partial whose decay time constant is `decay`, at time t of the tone.
double Envelope(const Tone& tone, double decay, double t) {
    if (t < 0.0) {
        return 0.0;
    }
    double level = tone.attack > 0.0 ? RaisedCosine(t / tone.attack) : 1.0;
    if (decay != kForever) {
        level *= std::exp(-t / decay);
    }
    if (t > tone.hold) {
        level *= tone.release > 0.0 ? 1.0 - RaisedCosine((t - tone.hold) / tone.release) : 0.0;
    }
    return level;
}

void AddTone(Mix& mix, const Tone& tone) {
    const size_t first = static_cast<size_t>(std::lround(tone.start * kSampleRate));
    const double end = tone.hold + tone.release;

    // Equal-power pan, scaled so the centre gives unity in both channels.
    const double angle = (tone.pan + 1.0) * kPi / 4.0;
    const double channelGain[2] = {std::sqrt(2.0) * std::cos(angle),
                                   std::sqrt(2.0) * std::sin(angle)};
    const bool stereo = mix.channels.size() == 2;

    // The phase is accumulated in cycles and never wrapped, so non-integer
    // partial ratios stay continuous while the fundamental glides.
    double cycles = 0.0;
    for (size_t frame = first; frame < mix.Frames(); ++frame) {
        const double t = static_cast<double>(frame - first) / kSampleRate;
        if (t > end) {
            break;
        }
        double value = 0.0;
        for (const Partial& p : tone.partials) {
            const double level = Envelope(tone, tone.decay * p.decayScale, t);
            value += p.gain * level * std::sin(2.0 * kPi * p.ratio * cycles);
        }
        value *= tone.gain;
        if (stereo) {
            mix.channels[0][frame] += value * channelGain[0];
            mix.channels[1][frame] += value * channelGain[1];
        } else {
            mix.channels[0][frame] += value;
        }

        double freq = tone.freq;
        if (tone.glideTo > 0.0 && tone.glideTime > 0.0) {
            freq = tone.glideTo + (tone.freq - tone.glideTo) * std::exp(-t / tone.glideTime);
        }
        cycles += freq / kSampleRate;
    }
}

// Fades both ends to exact silence (the first and last frames get gain 0),
// then scales the whole mix so its largest sample is kPeak.
void Finish(Mix& mix, double fadeInSeconds, double fadeOutSeconds) {
    const size_t frames = mix.Frames();
    const double fadeIn = fadeInSeconds * kSampleRate;
    const double fadeOut = fadeOutSeconds * kSampleRate;
    double peak = 0.0;
    for (std::vector<double>& channel : mix.channels) {
        for (size_t i = 0; i < frames; ++i) {
            const double fromEnd = static_cast<double>(frames - 1 - i);
            channel[i] *= RaisedCosine(static_cast<double>(i) / fadeIn) *
                          RaisedCosine(fromEnd / fadeOut);
            peak = std::max(peak, std::fabs(channel[i]));
        }
    }
    if (peak > 0.0) {
        for (std::vector<double>& channel : mix.channels) {
            for (double& v : channel) {
                v *= kPeak / peak;
            }
        }
    }
}

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(tag[i]));
    }
}

// A canonical PCM WAVE file: RIFF header, 16-byte "fmt " chunk, "data" chunk.
// 16-bit samples are signed; 8-bit samples are unsigned with silence at 128.
std::vector<uint8_t> EncodeWave(const Mix& mix, unsigned bitsPerSample) {
    const uint32_t channels = static_cast<uint32_t>(mix.channels.size());
    const uint32_t blockAlign = channels * bitsPerSample / 8;
    const uint32_t dataBytes = static_cast<uint32_t>(mix.Frames()) * blockAlign;

    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);  // integer PCM
    PutU16(out, channels);
    PutU32(out, kSampleRate);
    PutU32(out, kSampleRate * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, bitsPerSample);
    PutTag(out, "data");
    PutU32(out, dataBytes);

    for (size_t frame = 0; frame < mix.Frames(); ++frame) {
        for (const std::vector<double>& channel : mix.channels) {
            const double v = std::clamp(channel[frame], -1.0, 1.0);
            if (bitsPerSample == 8) {
                out.push_back(static_cast<uint8_t>(128 + std::lround(v * 127.0)));
            } else {
                const long s = std::lround(v * 32767.0);
                PutU16(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(s))));
            }
        }
    }
    return out;
}

// A bright blip that drops quickly in pitch, over a soft tone an octave below
// that rings out.
std::vector<uint8_t> Click() {
    Mix mix(2, 13517);
    Tone blip;
    blip.freq = 2000.0;
    blip.glideTo = 1400.0;
    blip.glideTime = 0.012;
    blip.attack = 0.0015;
    blip.decay = 0.03;
    blip.partials = {{1.0, 1.0, 1.0}, {2.0, 0.25, 0.5}};
    AddTone(mix, blip);

    Tone tail;
    tail.freq = 700.0;
    tail.gain = 0.3;
    tail.attack = 0.004;
    tail.decay = 0.11;
    tail.partials = {{1.0, 1.0, 1.0}, {2.0, 0.15, 0.6}};
    AddTone(mix, tail);

    Finish(mix, 0.003, 0.04);
    return EncodeWave(mix, 16);
}

// Two short notes falling a fourth (A5 to E5), panned slightly apart.
std::vector<uint8_t> Cancel() {
    Mix mix(2, 7528);
    const std::vector<Partial> timbre = {{1.0, 1.0, 1.0}, {2.0, 0.3, 0.6}, {3.0, 0.12, 0.4}};

    Tone high;
    high.freq = 880.0;
    high.attack = 0.003;
    high.decay = 0.08;
    high.hold = 0.085;
    high.release = 0.03;
    high.pan = 0.12;
    high.partials = timbre;
    AddTone(mix, high);

    Tone low = high;
    low.start = 0.09;
    low.freq = 659.26;
    low.attack = 0.004;
    low.decay = 0.09;
    low.hold = kForever;
    low.pan = -0.12;
    AddTone(mix, low);

    Finish(mix, 0.003, 0.03);
    return EncodeWave(mix, 16);
}

// A rising C major arpeggio (C6 E6 G6 C7) of bell-like notes that sweep from
// left to right and ring out together.
std::vector<uint8_t> Open() {
    Mix mix(2, 24243);
    const double notes[4] = {1046.50, 1318.51, 1567.98, 2093.00};
    const double pans[4] = {-0.3, -0.1, 0.1, 0.3};
    const double gains[4] = {0.9, 0.85, 0.8, 0.8};
    for (int i = 0; i < 4; ++i) {
        Tone bell;
        bell.start = 0.055 * i;
        bell.freq = notes[i];
        bell.gain = gains[i];
        bell.attack = 0.003;
        bell.decay = i == 3 ? 0.34 : 0.26;
        bell.pan = pans[i];
        // A faint inharmonic partial gives the shimmer of a struck bar.
        bell.partials = {{1.0, 1.0, 1.0}, {2.0, 0.3, 0.5}, {3.0, 0.1, 0.35}, {4.2, 0.04, 0.2}};
        AddTone(mix, bell);
    }
    Finish(mix, 0.003, 0.15);
    return EncodeWave(mix, 16);
}

// Two low buzzing pulses, the second a little lower, with rounded edges.
std::vector<uint8_t> Incorrect() {
    Mix mix(1, 9952);
    const std::vector<Partial> buzz = {
        {1.0, 1.0, 1.0}, {2.0, 0.45, 1.0}, {3.0, 0.3, 1.0}, {4.0, 0.15, 1.0}, {5.0, 0.08, 1.0}};
    const double starts[2] = {0.0, 0.2};
    const double freqs[2] = {155.0, 146.0};
    for (int i = 0; i < 2; ++i) {
        Tone pulse;
        pulse.start = starts[i];
        pulse.freq = freqs[i];
        pulse.attack = 0.008;
        pulse.decay = 0.25;
        pulse.hold = 0.12;
        pulse.release = 0.03;
        pulse.partials = buzz;
        AddTone(mix, pulse);
    }
    Finish(mix, 0.003, 0.02);
    return EncodeWave(mix, 8);
}

}  // namespace

std::vector<GeneratedSound> SoundsGenerate() {
    std::vector<GeneratedSound> sounds;
    sounds.push_back({"click.wav", Click()});
    sounds.push_back({"cansel.wav", Cancel()});
    sounds.push_back({"open.wav", Open()});
    sounds.push_back({"incorrect.wav", Incorrect()});
    return sounds;
}
