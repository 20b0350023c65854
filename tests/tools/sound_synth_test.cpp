#include "tools/asset_generator/sound_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace {

// A PCM WAVE file read back independently of the writer. Samples are scaled
// to -1..1 with silence at 0, whatever the sample format.
struct Wave {
    uint32_t rate = 0;
    uint16_t bits = 0;
    double lsb = 0.0;  // one quantisation step on the -1..1 scale
    std::vector<std::vector<double>> channels;
};

uint32_t ReadLE(const std::vector<uint8_t>& b, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) {
        v = (v << 8) | b[at + static_cast<size_t>(i)];
    }
    return v;
}

std::string ReadTag(const std::vector<uint8_t>& b, size_t at) {
    return std::string(reinterpret_cast<const char*>(&b[at]), 4);
}

void ParseWave(const std::vector<uint8_t>& b, Wave* w) {
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(ReadTag(b, 0) + ReadTag(b, 8) + ReadTag(b, 12) + ReadTag(b, 36), "RIFFWAVEfmt data");
    EXPECT_EQ(ReadLE(b, 4, 4), b.size() - 8);
    EXPECT_EQ(ReadLE(b, 16, 4), 16u);  // fmt chunk size
    EXPECT_EQ(ReadLE(b, 20, 2), 1u);   // integer PCM
    const uint32_t channelCount = ReadLE(b, 22, 2);
    w->rate = ReadLE(b, 24, 4);
    const uint32_t byteRate = ReadLE(b, 28, 4);
    const uint32_t blockAlign = ReadLE(b, 32, 2);
    w->bits = static_cast<uint16_t>(ReadLE(b, 34, 2));
    const uint32_t dataBytes = ReadLE(b, 40, 4);
    ASSERT_EQ(dataBytes, b.size() - 44);
    ASSERT_TRUE(w->bits == 8 || w->bits == 16) << w->bits;
    ASSERT_GT(channelCount, 0u);
    ASSERT_EQ(blockAlign, channelCount * w->bits / 8);
    EXPECT_EQ(byteRate, w->rate * blockAlign);
    ASSERT_EQ(dataBytes % blockAlign, 0u);

    const size_t frames = dataBytes / blockAlign;
    w->channels.assign(channelCount, std::vector<double>(frames));
    w->lsb = w->bits == 8 ? 1.0 / 128.0 : 1.0 / 32768.0;
    size_t at = 44;
    for (size_t f = 0; f < frames; ++f) {
        for (auto& channel : w->channels) {
            if (w->bits == 8) {
                channel[f] = (static_cast<int>(b[at++]) - 128) / 128.0;
            } else {
                channel[f] = static_cast<int16_t>(ReadLE(b, at, 2)) / 32768.0;
                at += 2;
            }
        }
    }
}

std::vector<Wave> ParseAll(const std::vector<GeneratedSound>& sounds) {
    std::vector<Wave> waves(sounds.size());
    for (size_t i = 0; i < sounds.size(); ++i) {
        SCOPED_TRACE(sounds[i].fileName);
        ParseWave(sounds[i].bytes, &waves[i]);
    }
    return waves;
}

std::vector<double> MonoMix(const Wave& w) {
    std::vector<double> mono(w.channels.front().size(), 0.0);
    for (const auto& channel : w.channels) {
        for (size_t i = 0; i < mono.size(); ++i) {
            mono[i] += channel[i] / static_cast<double>(w.channels.size());
        }
    }
    return mono;
}

// Frame index of a time in seconds, clamped to the sound.
size_t At(const Wave& w, double seconds) {
    const size_t f = static_cast<size_t>(seconds * w.rate);
    return std::min(f, w.channels.front().size());
}

double Rms(const std::vector<double>& s, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) {
        sum += s[i] * s[i];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

// Zero crossings per second over [from, to): for these tonal sounds, a rough
// measure of the pitch that dominates that stretch.
double CrossingRate(const Wave& w, const std::vector<double>& s, size_t from, size_t to) {
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if ((s[i - 1] < 0.0) != (s[i] < 0.0)) {
            ++crossings;
        }
    }
    return crossings * static_cast<double>(w.rate) / static_cast<double>(to - from);
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = std::min(a.size(), b.size());
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < n; ++i) {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return ab / std::sqrt(aa * bb);
}

TEST(SoundSynth, FourFilesInOrderWithExactSizesAndFormats) {
    struct Expected {
        const char* name;
        uint16_t channels;
        uint16_t bits;
        size_t bytes;
    };
    const Expected expected[] = {{"click.wav", 2, 16, 54112},
                                 {"cansel.wav", 2, 16, 30156},
                                 {"open.wav", 2, 16, 97016},
                                 {"incorrect.wav", 1, 8, 9996}};
    const std::vector<GeneratedSound> sounds = SoundsGenerate();
    ASSERT_EQ(sounds.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(sounds[i].fileName, expected[i].name);
        EXPECT_EQ(sounds[i].bytes.size(), expected[i].bytes);
        Wave w;
        ASSERT_NO_FATAL_FAILURE(ParseWave(sounds[i].bytes, &w));
        EXPECT_EQ(w.rate, 22050u);
        EXPECT_EQ(w.channels.size(), expected[i].channels);
        EXPECT_EQ(w.bits, expected[i].bits);
    }
}

TEST(SoundSynth, LevelsAreCleanAndStartAndEndInSilence) {
    const std::vector<GeneratedSound> sounds = SoundsGenerate();
    const std::vector<Wave> waves = ParseAll(sounds);
    ASSERT_FALSE(HasFailure());
    for (size_t i = 0; i < waves.size(); ++i) {
        SCOPED_TRACE(sounds[i].fileName);
        const Wave& w = waves[i];
        for (const auto& channel : w.channels) {
            double peak = 0.0;
            double sum = 0.0;
            for (double v : channel) {
                peak = std::max(peak, std::fabs(v));
                sum += v;
            }
            EXPECT_LE(peak, 0.891);  // -1 dBFS
            EXPECT_NEAR(sum / static_cast<double>(channel.size()), 0.0, 0.002);
            EXPECT_GT(Rms(channel, 0, channel.size()), 0.03);
            EXPECT_LE(std::fabs(channel.front()), w.lsb);
            EXPECT_LE(std::fabs(channel.back()), w.lsb);
        }

        // The first and last millisecond are far quieter than the loudest
        // 10 ms, so the sound neither starts nor stops with a click.
        const std::vector<double> mono = MonoMix(w);
        const size_t ms = At(w, 0.001);
        double loudest = 0.0;
        for (size_t from = 0; from + 10 * ms <= mono.size(); from += ms) {
            loudest = std::max(loudest, Rms(mono, from, from + 10 * ms));
        }
        EXPECT_LT(Rms(mono, 0, ms), 0.25 * loudest);
        EXPECT_LT(Rms(mono, mono.size() - ms, mono.size()), 0.25 * loudest);
    }
}

TEST(SoundSynth, EachSoundHasItsOwnCharacter) {
    const std::vector<GeneratedSound> sounds = SoundsGenerate();
    const std::vector<Wave> waves = ParseAll(sounds);
    ASSERT_EQ(waves.size(), 4u);
    ASSERT_FALSE(HasFailure());
    std::vector<std::vector<double>> mono;
    for (const Wave& w : waves) {
        mono.push_back(MonoMix(w));
    }

    for (size_t a = 0; a < mono.size(); ++a) {
        for (size_t b = a + 1; b < mono.size(); ++b) {
            EXPECT_LT(std::fabs(Correlation(mono[a], mono[b])), 0.5) << a << " vs " << b;
        }
    }
    // Stereo is at most lightly widened: the two channels carry the same sound.
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_GT(Correlation(waves[i].channels[0], waves[i].channels[1]), 0.8) << i;
    }

    // click: a short blip whose energy sits at the start, then a quieter tail.
    const Wave& click = waves[0];
    EXPECT_GT(Rms(mono[0], 0, At(click, 0.05)),
              3.0 * Rms(mono[0], At(click, 0.05), mono[0].size()));

    // cansel: the second note is lower than the first.
    const Wave& cancel = waves[1];
    EXPECT_GT(CrossingRate(cancel, mono[1], At(cancel, 0.02), At(cancel, 0.08)),
              1.2 * CrossingRate(cancel, mono[1], At(cancel, 0.15), At(cancel, 0.30)));

    // open: the pitch climbs as the later notes come in, and it rings on.
    const Wave& open = waves[2];
    EXPECT_LT(1.2 * CrossingRate(open, mono[2], At(open, 0.005), At(open, 0.05)),
              CrossingRate(open, mono[2], At(open, 0.2), At(open, 0.3)));
    EXPECT_GT(Rms(mono[2], At(open, 0.6), At(open, 0.7)), 0.01);

    // incorrect: low, in two pulses with silence between them.
    const Wave& buzz = waves[3];
    const double pulse1 = Rms(mono[3], At(buzz, 0.02), At(buzz, 0.12));
    const double gap = Rms(mono[3], At(buzz, 0.17), At(buzz, 0.19));
    const double pulse2 = Rms(mono[3], At(buzz, 0.22), At(buzz, 0.32));
    EXPECT_LT(gap, 0.1 * pulse1);
    EXPECT_LT(gap, 0.1 * pulse2);
    EXPECT_LT(CrossingRate(buzz, mono[3], At(buzz, 0.02), At(buzz, 0.12)), 2 * 500.0);
}

TEST(SoundSynth, GenerationIsDeterministic) {
    const std::vector<GeneratedSound> first = SoundsGenerate();
    const std::vector<GeneratedSound> second = SoundsGenerate();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].fileName, second[i].fileName);
        EXPECT_TRUE(first[i].bytes == second[i].bytes) << first[i].fileName;
    }
}

}  // namespace
