// karido-capture run as a person would run it: frames written as PNG files
// in the window's colours, an input script obeyed, bad arguments refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/png/png_io.h"

namespace fs = std::filesystem;

namespace {

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("karido-capture-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(const std::string& arguments) {
        const std::string command = std::string(KARIDO_CAPTURE_EXE) + " " + arguments + " > " +
                                    (dir / "stdout").string() + " 2> " + (dir / "stderr").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    png_io::RgbImage Read(const std::string& name) {
        png_io::RgbImage image;
        std::string error;
        EXPECT_TRUE(png_io::ReadRgbPng((dir / name).string(), &image, &error)) << error;
        return image;
    }

    fs::path dir;
};

int CountRgb(const png_io::RgbImage& image, int x0, int y0, int x1, int y1, uint8_t r, uint8_t g,
             uint8_t b) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
            n += p[0] == r && p[1] == g && p[2] == b;
        }
    }
    return n;
}

TEST_F(CaptureTest, WritesTheChosenFramesAndFollowsTheScript) {
    std::ofstream(dir / "script") << "# a click on frame 3\n3 click 100 120\n\n";
    ASSERT_EQ(Run("--frames 5 --seed 9 --script " + (dir / "script").string() +
                  " --save 2,5 --out " + dir.string()),
              0);
    EXPECT_FALSE(fs::exists(dir / "frame-0001.png"));
    const png_io::RgbImage before = Read("frame-0002.png");
    const png_io::RgbImage after = Read("frame-0005.png");
    ASSERT_EQ(after.width, 384);
    ASSERT_EQ(after.height, 256);
    // The side panel is blue; the clicked number is white and risen by frame 5.
    EXPECT_GT(CountRgb(after, 256, 0, 384, 256, 0, 0, 255), 128 * 256 / 3);
    EXPECT_GT(CountRgb(after, 100, 100, 130, 132, 255, 255, 255),
              CountRgb(before, 100, 100, 130, 132, 255, 255, 255) + 5);
}

TEST_F(CaptureTest, TheSeedChoosesTheStars) {
    ASSERT_EQ(Run("--frames 1 --seed 1 --out " + dir.string()), 0);
    fs::rename(dir / "frame-0001.png", dir / "one.png");
    ASSERT_EQ(Run("--frames 1 --seed 1 --out " + dir.string()), 0);
    fs::rename(dir / "frame-0001.png", dir / "again.png");
    ASSERT_EQ(Run("--frames 1 --seed 2 --out " + dir.string()), 0);
    EXPECT_EQ(Read("one.png").rgb, Read("again.png").rgb);
    EXPECT_NE(Read("one.png").rgb, Read("frame-0001.png").rgb);
}

TEST_F(CaptureTest, RefusesBadArgumentsAndScripts) {
    EXPECT_EQ(Run("--frames 0"), 2);
    EXPECT_EQ(Run("--frames many"), 2);
    EXPECT_EQ(Run("--colour red"), 2);
    EXPECT_EQ(Run("--script " + (dir / "missing").string()), 2);
    std::ofstream(dir / "bad") << "4 press 1\n";
    EXPECT_EQ(Run("--script " + (dir / "bad").string() + " --out " + dir.string()), 2);
    EXPECT_FALSE(fs::exists(dir / "frame-0060.png"));
    EXPECT_EQ(Run("--frames 2 --out " + (dir / "no" / "such" / "folder").string()), 1);
    EXPECT_EQ(Run("--help"), 0);
}

}  // namespace
