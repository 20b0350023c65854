// Reading RIFF/WAVE images from memory: the shipped sounds, the layouts a
// writer may choose, and damaged or hostile images, which are refused
// without a byte outside the block being read (AddressSanitizer watches the
// exact-size copies).
#include "platform/wav.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/resource.h"
#include "resources/program_resources.h"
#include "tests/resources/resource_table.h"

namespace {

using platform::WavImage;
using platform::WavRead;
using Bytes = std::vector<uint8_t>;

void Put16(Bytes* b, uint32_t v) {
    b->push_back(static_cast<uint8_t>(v));
    b->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes* b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutChunk(Bytes* b, const char* tag, const Bytes& body, bool pad = true) {
    b->insert(b->end(), tag, tag + 4);
    Put32(b, static_cast<uint32_t>(body.size()));
    b->insert(b->end(), body.begin(), body.end());
    if (pad && body.size() % 2 == 1) {
        b->push_back(0);
    }
}

struct Format {
    uint32_t tag = 1;
    uint32_t channels = 2;
    uint32_t rate = 22050;
    uint32_t bits = 16;
    int blockAlignDelta = 0;  // added to the block align a writer would store
};

Bytes FormatBody(const Format& f) {
    Bytes body;
    const uint32_t align = f.channels * f.bits / 8 + static_cast<uint32_t>(f.blockAlignDelta);
    Put16(&body, f.tag);
    Put16(&body, f.channels);
    Put32(&body, f.rate);
    Put32(&body, f.rate * align);
    Put16(&body, align);
    Put16(&body, f.bits);
    return body;
}

// "RIFF" <size> "WAVE" and the chunks; riffDelta is added to the size field.
Bytes Riff(const Bytes& chunks, int riffDelta = 0) {
    Bytes b = {'R', 'I', 'F', 'F'};
    Put32(&b, static_cast<uint32_t>(4 + chunks.size() + riffDelta));
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}

Bytes Simple(const Format& f, size_t dataBytes) {
    Bytes chunks;
    PutChunk(&chunks, "fmt ", FormatBody(f));
    PutChunk(&chunks, "data", Bytes(dataBytes, 0x11));
    return Riff(chunks);
}

bool Read(const Bytes& image, WavImage* out) {
    const Bytes exact(image);  // exactly the image's size, for the sanitizer
    WavImage found{};
    const bool ok = WavRead(exact.data(), exact.size(), &found);
    if (ok) {
        // The samples lie inside the block that was read.
        EXPECT_GE(found.samples, exact.data());
        EXPECT_LE(found.samples + found.sampleBytes, exact.data() + exact.size());
        found.samples = image.data() + (found.samples - exact.data());
    }
    *out = found;
    return ok;
}

TEST(Wav, TheShippedSoundsReadWithTheirFormats) {
    struct Expected {
        const char* name;
        int channels;
        int bits;
        size_t bytes;
    };
    for (const Expected& e : {Expected{"CLICK", 2, 16, 54112}, Expected{"CANSEL", 2, 16, 30156},
                              Expected{"OPEN", 2, 16, 97016}, Expected{"INCORRECT", 1, 8, 9996}}) {
        platform::ResourceBlock block{};
        ASSERT_TRUE(platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND,
                                                 e.name, &block));
        ASSERT_EQ(block.size, e.bytes) << e.name;
        WavImage wav{};
        ASSERT_TRUE(WavRead(block.data, block.size, &wav)) << e.name;
        EXPECT_EQ(wav.sampleRate, 22050) << e.name;
        EXPECT_EQ(wav.channels, e.channels) << e.name;
        EXPECT_EQ(wav.bitsPerSample, e.bits) << e.name;
        // The 44-byte canonical header: the samples fill the rest.
        EXPECT_EQ(wav.samples, block.data + 44) << e.name;
        EXPECT_EQ(wav.sampleBytes, e.bytes - 44) << e.name;
    }
}

TEST(Wav, OtherChunksArePassedOverAndPartialFramesCut) {
    Bytes chunks;
    PutChunk(&chunks, "LIST", Bytes(5, 'x'));  // odd length: one pad byte follows
    PutChunk(&chunks, "fmt ", FormatBody(Format{}));
    PutChunk(&chunks, "fact", Bytes(4, 0));
    PutChunk(&chunks, "data", Bytes(10, 7), false);  // 2.5 frames of 4 bytes, no pad at the end
    WavImage wav{};
    const Bytes image = Riff(chunks);
    ASSERT_TRUE(Read(image, &wav));
    EXPECT_EQ(wav.sampleBytes, 8u);
    EXPECT_EQ(wav.samples[0], 7);

    // A longer format chunk (with an extension size) is read the same way;
    // 8-bit mono at the lowest and highest rates, and an empty data chunk.
    Bytes longFormat = FormatBody(Format{1, 1, 1000, 8});
    Put16(&longFormat, 0);
    Bytes chunks2;
    PutChunk(&chunks2, "fmt ", longFormat);
    PutChunk(&chunks2, "data", {});
    ASSERT_TRUE(Read(Riff(chunks2), &wav));
    EXPECT_EQ(wav.sampleRate, 1000);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.sampleBytes, 0u);
    EXPECT_TRUE(Read(Simple(Format{1, 8, 384000, 16}, 16), &wav));
}

TEST(Wav, ImagesThatCannotBePlayedAreRefusedAndLeaveTheResultAlone) {
    const std::vector<std::pair<std::string, Bytes>> bad = [] {
        std::vector<std::pair<std::string, Bytes>> cases;
        cases.push_back({"float samples", Simple(Format{3, 2, 22050, 32}, 8)});
        cases.push_back({"not PCM", Simple(Format{2, 2, 22050, 16}, 8)});
        cases.push_back({"no channels", Simple(Format{1, 0, 22050, 16}, 8)});
        cases.push_back({"nine channels", Simple(Format{1, 9, 22050, 16}, 18)});
        cases.push_back({"rate too low", Simple(Format{1, 2, 999, 16}, 8)});
        cases.push_back({"rate too high", Simple(Format{1, 2, 384001, 16}, 8)});
        cases.push_back({"24-bit", Simple(Format{1, 2, 22050, 24}, 12)});
        cases.push_back({"block align disagrees", Simple(Format{1, 2, 22050, 16, 2}, 8)});
        Bytes dataFirst;
        PutChunk(&dataFirst, "data", Bytes(8, 0));
        PutChunk(&dataFirst, "fmt ", FormatBody(Format{}));
        cases.push_back({"data before the format", Riff(dataFirst)});
        Bytes noData;
        PutChunk(&noData, "fmt ", FormatBody(Format{}));
        cases.push_back({"no data chunk", Riff(noData)});
        Bytes twoFormats;
        PutChunk(&twoFormats, "fmt ", FormatBody(Format{}));
        PutChunk(&twoFormats, "fmt ", FormatBody(Format{}));
        PutChunk(&twoFormats, "data", Bytes(8, 0));
        cases.push_back({"two format chunks", Riff(twoFormats)});
        Bytes shortFormat;
        PutChunk(&shortFormat, "fmt ", Bytes(14, 1));
        PutChunk(&shortFormat, "data", Bytes(8, 0));
        cases.push_back({"format chunk too short", Riff(shortFormat)});
        Bytes longData = Simple(Format{}, 8);
        longData[40] = 200;  // the data chunk claims more than the block holds
        cases.push_back({"data runs past the block", longData});
        cases.push_back({"RIFF size past the block", Riff(Simple(Format{}, 8), 1)});
        Bytes hugeData = Simple(Format{}, 8);
        std::memset(hugeData.data() + 40, 0xFF, 4);
        cases.push_back({"data length 4 GiB", hugeData});
        Bytes wrongForm = Simple(Format{}, 8);
        std::memcpy(wrongForm.data() + 8, "AVI ", 4);
        cases.push_back({"not WAVE", wrongForm});
        cases.push_back({"header only", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}});
        cases.push_back({"empty", Bytes{}});
        return cases;
    }();
    for (const auto& [what, image] : bad) {
        WavImage wav{3, 4, 5, nullptr, 6};
        const Bytes exact(image);
        EXPECT_FALSE(WavRead(exact.data(), exact.size(), &wav)) << what;
        EXPECT_EQ(wav.channels, 3) << what;
        EXPECT_EQ(wav.sampleBytes, 6u) << what;
    }
    WavImage wav{};
    EXPECT_FALSE(WavRead(nullptr, 100, &wav));
}

// Thousands of damaged copies of the shipped sounds: each is refused or read
// consistently, never read outside its block.
TEST(Wav, DamagedCopiesOfTheShippedSoundsAreRefusedOrReadConsistently) {
    std::vector<Bytes> shipped;
    for (const platform::ResourceEntry& e : testing_resources::ProgramResourceTable()) {
        if (std::strcmp(e.type, platform::RESOURCE_SOUND) == 0) {
            shipped.emplace_back(e.data, e.data + e.size);
        }
    }
    ASSERT_EQ(shipped.size(), 4u);
    std::mt19937 rng(1041);
    auto pick = [&rng](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    int read = 0;
    int refused = 0;
    for (int round = 0; round < 6000; ++round) {
        Bytes image = shipped[static_cast<size_t>(round) % shipped.size()];
        switch (pick(4)) {
            case 3: {  // cut short with the sizes made to agree: still playable
                const uint32_t data = static_cast<uint32_t>(pick(image.size() - 44));
                image.resize(44 + data);
                const uint32_t riff = 36 + data;
                std::memcpy(image.data() + 4, &riff, 4);
                std::memcpy(image.data() + 40, &data, 4);
                break;
            }
            case 0:  // truncated, mostly inside the header
                image.resize(pick(2) == 0 ? pick(64) : pick(image.size()));
                break;
            case 1:  // bits flipped in the header
                for (size_t f = 1 + pick(6); f > 0; --f) {
                    image[pick(44)] ^= static_cast<uint8_t>(1u << pick(8));
                }
                break;
            default: {  // a size or format field replaced
                const uint32_t values[] = {0, 1, 2, 3, 4, 15, 16, 17, 44, 0x7FFFFFFF, 0xFFFFFFFF,
                                           static_cast<uint32_t>(rng())};
                const size_t offsets[] = {4, 16, 20, 22, 24, 28, 32, 34, 40};
                const uint32_t value = values[pick(std::size(values))];
                std::memcpy(image.data() + offsets[pick(std::size(offsets))], &value, 4);
                break;
            }
        }
        WavImage wav{};
        if (!Read(image, &wav)) {
            ++refused;
            continue;
        }
        ++read;
        const size_t frame = static_cast<size_t>(wav.channels * wav.bitsPerSample / 8);
        ASSERT_TRUE(wav.bitsPerSample == 8 || wav.bitsPerSample == 16) << round;
        ASSERT_GE(wav.channels, 1) << round;
        ASSERT_LE(wav.channels, platform::WAV_MAX_CHANNELS) << round;
        ASSERT_GE(wav.sampleRate, platform::WAV_MIN_RATE) << round;
        ASSERT_LE(wav.sampleRate, platform::WAV_MAX_RATE) << round;
        ASSERT_EQ(wav.sampleBytes % frame, 0u) << round;
    }
    // Both outcomes must really occur, or the damage tests nothing.
    EXPECT_GT(read, 1000);
    EXPECT_GT(refused, 1000);
}

}  // namespace
