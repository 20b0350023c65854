// The frames-per-second reader on counters the program itself drew: frames
// of the real start-up and frame loop, run headless, with the counter's
// figure counted by the loop or its text set before a frame draws it. Read
// back they give the number exactly; pictures without a whole counter are
// refused, by the library and by karido-fps-reader.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "render/frame_loop.h"
#include "tests/app/headless_program.h"
#include "tools/fps_reader/counter_reader.h"
#include "tools/png/png_io.h"

namespace fs = std::filesystem;

namespace {

using testing_app::HeadlessProgram;

// The frame as a screenshot of the window shows it (the view fills the
// client area 1:1).
png_io::RgbImage Screenshot(const platform::Picture* frame) {
    png_io::RgbImage image;
    image.width = frame->width;
    image.height = frame->height;
    for (int y = 0; y < frame->height; ++y) {
        for (int x = 0; x < frame->width; ++x) {
            const uint32_t argb = frame->pixels[y * frame->stride + x];
            image.rgb.push_back(static_cast<uint8_t>(argb >> 16));
            image.rgb.push_back(static_cast<uint8_t>(argb >> 8));
            image.rgb.push_back(static_cast<uint8_t>(argb));
        }
    }
    return image;
}

class FpsReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fps_reader::LoadCounterGlyphs(&glyphs, &error)) << error;
    }

    // True when image reads as a counter; sets read to its number, or error.
    bool Read(const png_io::RgbImage& image) {
        read = 0;
        error.clear();
        return fps_reader::ReadCounter(glyphs, image, &read, &error);
    }

    // The picture of the first frame that shows a count: stillFrames frames
    // with the clock standing still (the first begins the loop, the counter
    // blank), then a frame after each step of the clock until the counter
    // shows.
    png_io::RgbImage CountedScreenshot(int stillFrames, uint32_t step) {
        HeadlessProgram p;
        EXPECT_TRUE(p.Opened());
        if (!p.Opened()) {
            return {};
        }
        const platform::Picture* frame = p.Frame();
        EXPECT_STREQ(fpsText, "");
        for (int i = 1; i < stillFrames; ++i) {
            frame = p.Frame();
        }
        while (frame != nullptr && fpsText[0] == '\0') {
            p.Advance(step);
            frame = p.Frame();
        }
        EXPECT_NE(frame, nullptr);
        return frame != nullptr ? Screenshot(frame) : png_io::RgbImage{};
    }

    fps_reader::CounterGlyphs glyphs;
    uint64_t read = 0;
    std::string error;
};

TEST_F(FpsReaderTest, ReadsTheFigureTheLoopCounted) {
    // A frame every 16 ms: 63 frames make the first period of more than a
    // second (the frame that ends it is not counted).
    ASSERT_TRUE(Read(CountedScreenshot(1, 16))) << error;
    EXPECT_EQ(read, 63u);
    EXPECT_STREQ(fpsText, "63fps");
    ASSERT_TRUE(Read(CountedScreenshot(1, 1))) << error;
    EXPECT_EQ(read, 1001u);
    // 12345 frames while the clock stands still, then one 1001 ms later.
    ASSERT_TRUE(Read(CountedScreenshot(12345, 1001))) << error;
    EXPECT_EQ(read, 12345u);
    EXPECT_STREQ(fpsText, "12345fps");
}

TEST_F(FpsReaderTest, ReadsEveryDigitAsTheFrameLoopDrawsIt) {
    HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    // Once the loop has begun (which blanks the text), the clock stands
    // still, so the loop keeps the text it is given and draws it on each
    // frame, over the real panel.
    ASSERT_NE(p.Frame(), nullptr);
    for (const char* text : {"12345fps", "67890fps", "0fps", "7fps", "98765432fps", "1010101fps"}) {
        std::snprintf(fpsText, sizeof fpsText, "%s", text);
        const platform::Picture* frame = p.Frame();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(Read(Screenshot(frame))) << text << ": " << error;
        EXPECT_EQ(std::to_string(read) + "fps", text);
    }
}

TEST_F(FpsReaderTest, RefusesPicturesWithoutAWholeCounter) {
    HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    // The program's first second: no text yet.
    const png_io::RgbImage blank = Screenshot(p.Frame());
    EXPECT_FALSE(Read(blank));
    EXPECT_NE(error.find("no counter"), std::string::npos) << error;

    std::snprintf(fpsText, sizeof fpsText, "%s", "4567fps");
    const png_io::RgbImage counter = Screenshot(p.Frame());
    ASSERT_TRUE(Read(counter)) << error;
    ASSERT_EQ(read, 4567u);

    // One pixel of a digit lost, one pixel too many beside one, the "s" gone.
    const auto pixel = [](png_io::RgbImage* image, int x, int y) {
        return &image->rgb[(static_cast<size_t>(y) * image->width + x) * 3];
    };
    const auto whiteIn = [&](const png_io::RgbImage& image, int cell, bool white) {
        for (int y = 0; y < fps_reader::CELL_HEIGHT; ++y) {
            for (int x = 0; x < fps_reader::CELL_WIDTH; ++x) {
                const int px = fps_reader::COUNTER_X + cell * fps_reader::CELL_WIDTH + x;
                const uint8_t* rgb = &image.rgb[(static_cast<size_t>(fps_reader::COUNTER_Y + y) *
                                                     image.width + px) * 3];
                if ((rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255) == white) {
                    return std::pair<int, int>(px, fps_reader::COUNTER_Y + y);
                }
            }
        }
        return std::pair<int, int>(-1, -1);
    };
    png_io::RgbImage lost = counter;
    const auto [lx, ly] = whiteIn(counter, 1, true);
    ASSERT_GE(lx, 0);
    std::memset(pixel(&lost, lx, ly), 0, 3);
    EXPECT_FALSE(Read(lost));
    EXPECT_NE(error.find("cell 2"), std::string::npos) << error;

    png_io::RgbImage extra = counter;
    const auto [ex, ey] = whiteIn(counter, 2, false);
    ASSERT_GE(ex, 0);
    std::memset(pixel(&extra, ex, ey), 255, 3);
    EXPECT_FALSE(Read(extra));
    EXPECT_NE(error.find("cell 3"), std::string::npos) << error;

    png_io::RgbImage cut = counter;
    for (int y = 0; y < fps_reader::CELL_HEIGHT; ++y) {
        std::memset(pixel(&cut, fps_reader::COUNTER_X + 6 * fps_reader::CELL_WIDTH,
                          fps_reader::COUNTER_Y + y),
                    0, 3 * fps_reader::CELL_WIDTH);
    }
    EXPECT_FALSE(Read(cut));
    EXPECT_NE(error.find("cell 7"), std::string::npos) << error;

    // Pictures too small for the counter, or without pixels.
    png_io::RgbImage small;
    small.width = 8;
    small.height = 8;
    small.rgb.assign(8 * 8 * 3, 255);
    EXPECT_FALSE(Read(small));
    EXPECT_NE(error.find("too small"), std::string::npos) << error;
    EXPECT_FALSE(Read(png_io::RgbImage{}));
    png_io::RgbImage torn = counter;
    torn.rgb.resize(torn.rgb.size() / 2);
    EXPECT_FALSE(Read(torn));
}

// karido-fps-reader as the measurement runs it.
class FpsReaderToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("karido-fps-reader-test-" +
               std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static int Status(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

    // Runs the reader with arguments; its output goes to stdout and stderr
    // in dir.
    int Run(const std::string& arguments) {
        return Status(std::system((std::string(KARIDO_FPS_READER_EXE) + " " + arguments + " > " +
                                   (dir / "stdout").string() + " 2> " +
                                   (dir / "stderr").string())
                                      .c_str()));
    }
    std::string Output(const char* name) {
        std::ifstream file(dir / name);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    // Frame frames of karido-capture, written as frame-NNNN.png in dir.
    void Capture(int frames) {
        ASSERT_EQ(Status(std::system((std::string(KARIDO_CAPTURE_EXE) + " --frames " +
                                      std::to_string(frames) + " --out " + dir.string() +
                                      " > /dev/null")
                                         .c_str())),
                  0);
    }

    fs::path dir;
};

TEST_F(FpsReaderToolTest, PrintsTheCounterOfACapturedFrame) {
    Capture(70);  // a frame every 16 ms: "63fps" from frame 64 on
    ASSERT_EQ(Run((dir / "frame-0070.png").string()), 0) << Output("stderr");
    EXPECT_EQ(Output("stdout"), "63\n");
    EXPECT_EQ(Output("stderr"), "");
}

TEST_F(FpsReaderToolTest, RefusesAPictureWithoutACounter) {
    Capture(1);
    EXPECT_EQ(Run((dir / "frame-0001.png").string()), 1);
    EXPECT_EQ(Output("stdout"), "");
    EXPECT_NE(Output("stderr").find("no counter"), std::string::npos) << Output("stderr");

    png_io::RgbImage black;
    black.width = 384;
    black.height = 256;
    black.rgb.assign(384 * 256 * 3, 0);
    std::string error;
    ASSERT_TRUE(png_io::WriteRgbPng((dir / "black.png").string(), black, &error)) << error;
    EXPECT_EQ(Run((dir / "black.png").string()), 1);
    EXPECT_NE(Output("stderr").find("no counter"), std::string::npos) << Output("stderr");
}

TEST_F(FpsReaderToolTest, RefusesFilesThatAreNoPicture) {
    Capture(70);
    std::ifstream png(dir / "frame-0070.png", std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(png), {});
    ASSERT_GT(bytes.size(), 100u);
    std::ofstream(dir / "truncated.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(dir / "empty.png", std::ios::binary);
    std::ofstream(dir / "text.png") << "not a picture\n";
    std::string flipped = bytes;
    for (size_t i = 200; i < flipped.size() && i < 400; ++i) {
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    }
    std::ofstream(dir / "flipped.png", std::ios::binary) << flipped;
    for (const char* name : {"truncated.png", "empty.png", "text.png", "flipped.png", "absent.png"}) {
        EXPECT_EQ(Run((dir / name).string()), 1) << name;
        EXPECT_EQ(Output("stdout"), "") << name;
        EXPECT_NE(Output("stderr").find("karido-fps-reader: "), std::string::npos) << name;
    }
}

TEST_F(FpsReaderToolTest, RefusesBadArguments) {
    EXPECT_EQ(Run(""), 2);
    EXPECT_NE(Output("stderr").find("usage"), std::string::npos);
    EXPECT_EQ(Run("a.png b.png"), 2);
    EXPECT_EQ(Run("--frames 3"), 2);
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(Output("stdout").find("usage"), std::string::npos);
}

}  // namespace
