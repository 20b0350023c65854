// The SDL backend's sound through SDL's disk audio driver, which writes the
// device's output to a file in real time: what a listener would hear, sample
// for sample. Run under ThreadSanitizer too (the mix runs on SDL's audio
// thread). Every wait is for samples to appear in the file; the deadline only
// guards against a hang.
#include "platform/sdl/audio.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/resource.h"
#include "resources/program_resources.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int RATE = 22050;  // the shipped sounds' rate: OPEN passes through unchanged
constexpr size_t FRAME = 4;  // 16-bit stereo

Bytes Resource(const char* name) {
    platform::ResourceBlock block{};
    EXPECT_TRUE(platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND, name,
                                             &block));
    return Bytes(block.data, block.data + block.size);
}

// A 16-bit stereo WAV image of the given samples at RATE.
Bytes Wav16(const std::vector<int16_t>& samples) {
    const auto data = static_cast<uint32_t>(samples.size() * 2);
    Bytes b(44 + data);
    auto put32 = [&b](size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
    auto put16 = [&b](size_t at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); };
    std::memcpy(b.data(), "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(b.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 2);
    put32(24, RATE);
    put32(28, RATE * 4);
    put16(32, 4);
    put16(34, 16);
    std::memcpy(b.data() + 36, "data", 4);
    put32(40, data);
    std::memcpy(b.data() + 44, samples.data(), data);
    return b;
}

class DiskAudio : public ::testing::Test {
protected:
    void SetUp() override {
        output = fs::temp_directory_path() /
                 ("karido-audio-" + std::to_string(getpid()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
        fs::remove(output);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        audio = platform::SdlAudioOpen(RATE);
        ASSERT_NE(audio, nullptr);
        ASSERT_TRUE(platform::SdlAudioHasDevice(audio));
    }
    void TearDown() override {
        platform::SdlAudioClose(audio);
        fs::remove(output);
    }

    Bytes Output() const {
        std::ifstream file(output, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), {});
    }

    // The first place in the output that find reports (an offset, or npos
    // for none), once there is one; npos if none ever comes.
    template <typename Find>
    size_t WaitUntilFound(Find find) const {
        const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        while (std::chrono::steady_clock::now() < guard) {
            if (const size_t at = find(Output()); at != std::string::npos) {
                return at;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::string::npos;
    }

    // Where needle first stands in the output, once it has been written
    // there; npos if it never is.
    size_t WaitFor(const Bytes& needle) const {
        return WaitUntilFound([&needle](const Bytes& out) {
            const auto at = std::search(out.begin(), out.end(), needle.begin(), needle.end());
            return at != out.end() ? static_cast<size_t>(at - out.begin()) : std::string::npos;
        });
    }

    // Where the first byte that is not silence stands in the output, once it
    // has been written there; npos if none ever is.
    size_t WaitForSound() const {
        return WaitUntilFound([](const Bytes& out) {
            const auto at = std::find_if(out.begin(), out.end(), [](uint8_t v) { return v != 0; });
            return at != out.end() ? static_cast<size_t>(at - out.begin()) : std::string::npos;
        });
    }

    // Waits until the device has written at least bytes, then closes it so
    // that everything it wrote is in the file.
    Bytes CloseAfter(size_t bytes) {
        const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        while (fs::file_size(output) < bytes && std::chrono::steady_clock::now() < guard) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        platform::SdlAudioClose(audio);
        audio = nullptr;
        return Output();
    }

    fs::path output;
    platform::SdlAudio* audio = nullptr;
};

bool AllZero(const Bytes& b, size_t from, size_t to) {
    return std::all_of(b.begin() + static_cast<ptrdiff_t>(from),
                       b.begin() + static_cast<ptrdiff_t>(to), [](uint8_t v) { return v == 0; });
}

TEST_F(DiskAudio, OpenPlaysItsSamplesFromStartToEndThenSilence) {
    const Bytes open = Resource("OPEN");
    const Bytes samples(open.begin() + 44, open.end());
    ASSERT_TRUE(platform::SdlAudioPrepare(audio, open.data(), open.size()));  // as at start-up
    ASSERT_TRUE(platform::SdlAudioPlay(audio, open.data(), open.size()));
    const size_t at = WaitFor(Bytes(samples.begin(), samples.begin() + 4096));
    ASSERT_NE(at, std::string::npos);
    const Bytes out = CloseAfter(at + samples.size() + 16384);
    ASSERT_GE(out.size(), at + samples.size() + 16384);
    EXPECT_TRUE(AllZero(out, 0, at));  // silence until it starts
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), out.begin() + static_cast<ptrdiff_t>(at)));
    EXPECT_TRUE(AllZero(out, at + samples.size(), out.size()));  // and after it ends
}

TEST_F(DiskAudio, EightBitMonoIsConvertedToTheDevicesFormat) {
    const Bytes incorrect = Resource("INCORRECT");
    ASSERT_TRUE(platform::SdlAudioPlay(audio, incorrect.data(), incorrect.size()));
    const size_t frames = incorrect.size() - 44;
    // The device writes silence from the moment it opens: the sound's end is
    // counted from where it is first heard, however late it started.
    const size_t heard = WaitForSound();
    ASSERT_NE(heard, std::string::npos);
    const Bytes out = CloseAfter(heard + frames * FRAME + 16384);
    // Unsigned 8-bit mono becomes signed 16-bit, the same on both channels:
    // value v as (v - 128) * 256, give or take the converter's rounding. The
    // first sample with sound in it lines the two up.
    size_t lead = 44;
    while (lead < incorrect.size() && incorrect[lead] == 128) {
        ++lead;
    }
    ASSERT_LT(lead, incorrect.size());
    size_t at = 0;
    auto sample = [&out](size_t frame, int channel) {
        int16_t v = 0;
        std::memcpy(&v, out.data() + frame * FRAME + static_cast<size_t>(channel) * 2, 2);
        return static_cast<int>(v);
    };
    while ((at + 1) * FRAME <= out.size() && sample(at, 0) == 0) {
        ++at;
    }
    ASSERT_GE(at, lead - 44);
    const size_t start = at - (lead - 44);  // the output frame of the sound's first sample
    ASSERT_LE((start + frames) * FRAME, out.size());
    int off = 0;
    for (size_t i = 0; i < frames; ++i) {
        const int expected = (incorrect[44 + i] - 128) * 256;
        off += std::abs(sample(start + i, 0) - expected) > 2 ||
               sample(start + i, 1) != sample(start + i, 0);
    }
    EXPECT_EQ(off, 0);
}

TEST_F(DiskAudio, TheSecondSoundCutsOffTheFirst) {
    // A first sound of a minute of noise, so that it is still playing when the
    // second starts however slow the machine; then OPEN.
    std::vector<int16_t> noise(static_cast<size_t>(RATE) * 2 * 60);
    uint32_t seed = 12345;
    for (int16_t& v : noise) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<int16_t>(static_cast<int>(seed >> 16) % 8000 - 4000);
    }
    const Bytes first = Wav16(noise);
    const Bytes firstSamples(first.begin() + 44, first.end());
    const Bytes open = Resource("OPEN");
    const Bytes second(open.begin() + 44, open.end());

    ASSERT_TRUE(platform::SdlAudioPlay(audio, first.data(), first.size()));
    const size_t firstAt = WaitFor(Bytes(firstSamples.begin(), firstSamples.begin() + 4096));
    ASSERT_NE(firstAt, std::string::npos);
    ASSERT_TRUE(platform::SdlAudioPlay(audio, open.data(), open.size()));
    const size_t secondAt = WaitFor(Bytes(second.begin(), second.begin() + 4096));
    ASSERT_NE(secondAt, std::string::npos);
    const Bytes out = CloseAfter(secondAt + second.size() + 16384);

    // The first plays from its start up to the moment the second starts,
    // which plays whole; nothing of the first comes back after it.
    ASSERT_GT(secondAt, firstAt);
    const size_t firstPlayed = secondAt - firstAt;
    EXPECT_EQ(firstPlayed % FRAME, 0u);
    EXPECT_LT(firstPlayed, firstSamples.size());
    EXPECT_TRUE(std::equal(firstSamples.begin(),
                           firstSamples.begin() + static_cast<ptrdiff_t>(firstPlayed),
                           out.begin() + static_cast<ptrdiff_t>(firstAt)));
    EXPECT_TRUE(std::equal(second.begin(), second.end(),
                           out.begin() + static_cast<ptrdiff_t>(secondAt)));
    EXPECT_TRUE(AllZero(out, secondAt + second.size(), out.size()));
}

TEST_F(DiskAudio, TheBeepIsATenthOfASecondOf880Hertz) {
    platform::SdlAudioBeep(audio);
    const size_t heard = WaitForSound();
    ASSERT_NE(heard, std::string::npos);
    const Bytes out = CloseAfter(heard + static_cast<size_t>(RATE) * FRAME);  // a second more
    std::vector<int16_t> left;
    for (size_t i = 0; i + FRAME <= out.size(); i += FRAME) {
        int16_t l = 0;
        int16_t r = 0;
        std::memcpy(&l, out.data() + i, 2);
        std::memcpy(&r, out.data() + i + 2, 2);
        ASSERT_EQ(l, r) << i;  // the same on both channels
        left.push_back(l);
    }
    const auto first = std::find_if(left.begin(), left.end(), [](int16_t v) { return v != 0; });
    ASSERT_NE(first, left.end());
    const auto last = std::find_if(left.rbegin(), left.rend(), [](int16_t v) { return v != 0; });
    const auto length = static_cast<size_t>(last.base() - first);
    EXPECT_NEAR(static_cast<double>(length), RATE * 0.1, RATE * 0.002);
    int crossings = 0;
    int peak = 0;
    for (auto it = first; it + 1 < last.base(); ++it) {
        crossings += (*it < 0) != (*(it + 1) < 0);
        peak = std::max(peak, std::abs(static_cast<int>(*it)));
    }
    EXPECT_NEAR(crossings, 2 * 880 * 0.1, 6);  // two per cycle
    EXPECT_GT(peak, 32767 / 5);
    EXPECT_LT(peak, 32767 / 2);
    // The fade-in: the first millisecond is quiet.
    for (auto it = first; it < first + RATE / 1000; ++it) {
        EXPECT_LT(std::abs(static_cast<int>(*it)), peak / 4);
    }
}

TEST(NoAudioDevice, NothingPlaysAndTheBeepFallsBack) {
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    platform::SdlAudio* audio = platform::SdlAudioOpen(0);
    ASSERT_NE(audio, nullptr);
    EXPECT_FALSE(platform::SdlAudioHasDevice(audio));
    platform::ResourceBlock open{};
    ASSERT_TRUE(platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND, "OPEN",
                                             &open));
    EXPECT_FALSE(platform::SdlAudioPrepare(audio, open.data, open.size));
    EXPECT_FALSE(platform::SdlAudioPlay(audio, open.data, open.size));
    platform::SdlAudioBeep(audio);  // the terminal bell, only on a terminal
    platform::SdlAudioClose(audio);
}

TEST_F(DiskAudio, ImagesThatCannotBeReadAreRefused) {
    const Bytes open = Resource("OPEN");
    const Bytes cut(open.begin(), open.begin() + 1000);  // its data chunk runs past the block
    EXPECT_FALSE(platform::SdlAudioPrepare(audio, cut.data(), cut.size()));
    EXPECT_FALSE(platform::SdlAudioPlay(audio, cut.data(), cut.size()));
    EXPECT_FALSE(platform::SdlAudioPlay(audio, cut.data(), cut.size()));  // and stays refused
    EXPECT_FALSE(platform::SdlAudioPlay(audio, nullptr, 0));
    EXPECT_TRUE(platform::SdlAudioPlay(audio, open.data(), open.size()));
}

}  // namespace
