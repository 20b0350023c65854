// The GIF recording written and read back with giflib: pictures exact in
// their own colours, changed rectangles, merged repeats, the delays' rounding
// and what a failed recording leaves behind.
#include "tools/gif/gif_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int W = 40;
constexpr int H = 24;

struct Picture {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(W * H);
    std::array<uint32_t, 256> argb{};
};

std::vector<uint8_t> Rgb(const Picture& p) {
    std::vector<uint8_t> rgb;
    for (uint8_t b : p.bytes) {
        rgb.push_back(static_cast<uint8_t>(p.argb[b] >> 16));
        rgb.push_back(static_cast<uint8_t>(p.argb[b] >> 8));
        rgb.push_back(static_cast<uint8_t>(p.argb[b]));
    }
    return rgb;
}

class GifTest : public ::testing::Test {
   protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("karido-gif-test-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Records pictures, shown delayMs each, into `name`.
    void Record(const std::string& name, uint32_t delayMs, const std::vector<Picture>& pictures) {
        std::string error;
        gif_io::GifRecording* r = gif_io::GifRecordingOpen((dir / name).string(), delayMs, &error);
        ASSERT_NE(r, nullptr) << error;
        for (const Picture& p : pictures) {
            // A stride wider than the picture, as the program's frames have.
            std::vector<uint8_t> strided(static_cast<size_t>(W + 7) * H, 0xEE);
            for (int y = 0; y < H; ++y) {
                std::copy_n(&p.bytes[y * W], W, &strided[y * (W + 7)]);
            }
            ASSERT_TRUE(
                gif_io::GifRecordingAdd(r, strided.data(), W + 7, W, H, p.argb.data(), &error))
                << error;
        }
        ASSERT_TRUE(gif_io::GifRecordingFinish(r, &error)) << error;
    }

    gif_io::GifMovie Read(const std::string& name) {
        gif_io::GifMovie movie;
        std::string error;
        EXPECT_TRUE(gif_io::ReadGif((dir / name).string(), &movie, &error)) << error;
        return movie;
    }

    fs::path dir;
};

// Every byte value in use, each a different colour: a wrong byte or a wrong
// table cannot decode to the same picture.
Picture Noise(uint32_t seed) {
    Picture p;
    for (int i = 0; i < 256; ++i) {
        p.argb[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x010203 + 0x405060);
    }
    for (size_t i = 0; i < p.bytes.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        p.bytes[i] = static_cast<uint8_t>(seed >> 24);
    }
    return p;
}

TEST_F(GifTest, PicturesComeBackExactWithTheirRectanglesRepeatsAndColours) {
    std::vector<Picture> pictures;
    pictures.push_back(Noise(1));
    Picture moved = pictures.back();  // two pixels change: (3, 5) and (30, 9)
    moved.bytes[5 * W + 3] ^= 1;
    moved.bytes[9 * W + 30] ^= 0x80;
    pictures.push_back(moved);
    pictures.push_back(moved);  // repeated twice: shown longer
    pictures.push_back(moved);
    Picture recoloured = moved;  // the same bytes in other colours
    recoloured.argb[17] = 0xFF123456;
    pictures.push_back(recoloured);
    Picture back = moved;  // the first colours again, one byte changed
    back.bytes[0] ^= 2;
    pictures.push_back(back);
    Record("a.gif", 33, pictures);

    const gif_io::GifMovie movie = Read("a.gif");
    EXPECT_EQ(movie.width, W);
    EXPECT_EQ(movie.height, H);
    EXPECT_EQ(movie.loops, 0);
    ASSERT_EQ(movie.pictures.size(), 4u);
    const gif_io::GifPicture& first = movie.pictures[0];
    EXPECT_EQ(first.rgb, Rgb(pictures[0]));
    EXPECT_FALSE(first.ownColours);
    const gif_io::GifPicture& change = movie.pictures[1];
    EXPECT_EQ(change.rgb, Rgb(moved));
    EXPECT_EQ(change.left, 3);
    EXPECT_EQ(change.top, 5);
    EXPECT_EQ(change.width, 28);
    EXPECT_EQ(change.height, 5);
    const gif_io::GifPicture& own = movie.pictures[2];
    EXPECT_EQ(own.rgb, Rgb(recoloured));
    EXPECT_TRUE(own.ownColours);
    EXPECT_EQ(own.width, W);
    EXPECT_EQ(own.height, H);
    // Back to the first colours: every pixel changed colour, so all is written.
    const gif_io::GifPicture& last = movie.pictures[3];
    EXPECT_EQ(last.rgb, Rgb(back));
    EXPECT_FALSE(last.ownColours);
    EXPECT_EQ(last.width * last.height, W * H);
    // 33 ms a picture: the ends 3.3, 13.2, 16.5, 19.8 cs rounded to 3, 13, 17, 20.
    EXPECT_EQ(first.delayCs, 3);
    EXPECT_EQ(change.delayCs, 10);
    EXPECT_EQ(own.delayCs, 4);
    EXPECT_EQ(last.delayCs, 3);
}

// One unchanging picture for longer than a GIF picture can hold goes on in
// one-pixel pictures that change nothing; a recording of one picture is one
// picture.
TEST_F(GifTest, LongStillsAreSplitAndSinglePicturesStandAlone) {
    const Picture still = Noise(7);
    Record("long.gif", gif_io::GIF_MAX_DELAY_MS - 10, {still, still, still});
    const gif_io::GifMovie movie = Read("long.gif");
    ASSERT_EQ(movie.pictures.size(), 3u);
    int total = 0;
    for (const gif_io::GifPicture& p : movie.pictures) {
        EXPECT_EQ(p.rgb, Rgb(still));
        total += p.delayCs;
    }
    EXPECT_EQ(total, 3 * 65534);
    EXPECT_EQ(movie.pictures[0].delayCs, 65535);
    EXPECT_EQ(movie.pictures[1].width * movie.pictures[1].height, 1);

    Record("one.gif", 1000, {still});
    const gif_io::GifMovie one = Read("one.gif");
    ASSERT_EQ(one.pictures.size(), 1u);
    EXPECT_EQ(one.pictures[0].delayCs, 100);
    EXPECT_EQ(one.pictures[0].rgb, Rgb(still));
}

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A recording that fails or is given up leaves the file at its path as it
// was, and nothing beside it.
TEST_F(GifTest, AFailedRecordingLeavesNothingAndLosesNothing) {
    std::string error;
    EXPECT_EQ(gif_io::GifRecordingOpen((dir / "no" / "a.gif").string(), 40, &error), nullptr);
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    const fs::path kept = dir / "kept.gif";
    std::ofstream(kept) << "an older recording";
    const Picture p = Noise(3);

    gif_io::GifRecording* r = gif_io::GifRecordingOpen(kept.string(), 40, &error);
    ASSERT_NE(r, nullptr) << error;
    EXPECT_FALSE(gif_io::GifRecordingFinish(r, &error));  // no picture
    EXPECT_NE(error.find("no picture"), std::string::npos) << error;

    r = gif_io::GifRecordingOpen(kept.string(), 40, &error);
    ASSERT_NE(r, nullptr) << error;
    ASSERT_TRUE(gif_io::GifRecordingAdd(r, p.bytes.data(), W, W, H, p.argb.data(), &error));
    EXPECT_FALSE(gif_io::GifRecordingAdd(r, p.bytes.data(), W, W - 1, H, p.argb.data(), &error));
    EXPECT_NE(error.find("39x24 in a recording of 40x24"), std::string::npos) << error;
    gif_io::GifRecordingDiscard(r);

    EXPECT_EQ(ReadText(kept), "an older recording");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

}  // namespace
