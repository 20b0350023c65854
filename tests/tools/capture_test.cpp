// karido-capture run as a person would run it: frames written as PNG files
// in the window's colours or recorded as an animated GIF, an input script
// obeyed, bad arguments refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/gif/gif_io.h"
#include "tools/png/png_io.h"

namespace fs = std::filesystem;

namespace {

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("karido-capture-test-" + std::to_string(getpid()) +
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

std::string ReadText(const fs::path& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Every mistake in the arguments or the script is reported before a frame
// runs, with status 2, naming what is wrong; nothing is written.
TEST_F(CaptureTest, RefusesBadArgumentsAndScripts) {
    const std::string out = " --out " + dir.string();
    struct Case {
        std::string arguments;
        std::string message;  // a part of what stderr must say
    };
    std::ofstream(dir / "bad") << "4 press 1\n";
    std::ofstream(dir / "bad-line-3") << "# keys\n1 key 37 down\n2 key 37 sideways\n";
    std::ofstream(dir / "bad-code") << "1 key 255 down\n";
    std::ofstream(dir / "bad-frame") << "\n0 click 1 1\n";
    std::ofstream(dir / "late-frame") << "61 click 1 1\n";
    std::ofstream(dir / "extra") << "1 click 1 1 2\n";
    const Case cases[] = {
        {"--frames 0", "--frames must be from 1"},
        {"--frames many", "not a number for --frames"},
        {"--frames -3", "not a number for --frames"},
        {"--frames 99999999999999999999", "--frames must be from 1"},
        {"--step 99999999999999999999", "--step must be from 0 to 4294967295"},
        {"--seed 4294967296", "--seed must be from 0 to 4294967295"},
        {"--save 0" + out, "--save must be from 1 to 60"},
        {"--frames 5 --save 2,6" + out, "--save must be from 1 to 5: '6'"},
        {"--save 1,,2" + out, "not a number for --save"},
        {"--colour red", "unknown argument '--colour'"},
        {"--frames", "--frames needs a value"},
        {"--script " + (dir / "missing").string() + out, "cannot read the script"},
        {"--script " + (dir / "bad").string() + out, "script line 1: expected 'key' or 'click'"},
        {"--script " + (dir / "bad-line-3").string() + out, "script line 3: expected"},
        {"--script " + (dir / "bad-code").string() + out, "script line 1: the key code must be"},
        {"--script " + (dir / "bad-frame").string() + out, "script line 2: the frame must be"},
        {"--script " + (dir / "late-frame").string() + out, "script line 1: the frame must be"},
        {"--script " + (dir / "extra").string() + out, "script line 1: unexpected '2'"},
        {"--frames 2 --out " + (dir / "no" / "such" / "folder").string(), "not an existing folder"},
        {"--frames 2 --out " + (dir / "bad").string(), "not an existing folder"},
        {"--frames 2 --sounds " + (dir / "no" / "such" / "sounds").string() + out,
         "cannot be written"},
        {"--gif " + (dir / "no" / "such.gif").string(),
         "such.gif: " + dir.string() + "/no is not an existing folder"},
        {"--gif " + dir.string(), "is a folder"},
        {"--gif " + (dir / "a.gif").string() + " --every 0", "--every must be from 1"},
        {"--gif " + (dir / "a.gif").string() + " --delay 19", "--delay must be from 20 to 655350"},
        {"--gif " + (dir / "a.gif").string() + " --delay 655351", "--delay must be from 20"},
        {"--gif " + (dir / "a.gif").string() + " --benchmark", "--gif cannot go with --benchmark"},
        {"--every 2" + out, "--every needs --gif"},
        {"--delay 40" + out, "--delay needs --gif"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.arguments), 2) << c.arguments;
        EXPECT_NE(ReadText(dir / "stderr").find(c.message), std::string::npos)
            << c.arguments << ": " << ReadText(dir / "stderr");
    }
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().extension(), "") << entry.path();  // no frame was written
    }
    EXPECT_EQ(Run("--help"), 0);
}

TEST_F(CaptureTest, AFolderThatCannotBeWrittenIsRefusedBeforeAnyFrameRuns) {
    // No one may make a file in /proc, root included: a hundred thousand
    // frames would run before the first write fails, were it not checked first.
    EXPECT_EQ(Run("--frames 100000 --out /proc"), 2);
    EXPECT_NE(ReadText(dir / "stderr").find("--out /proc cannot be written"), std::string::npos)
        << ReadText(dir / "stderr");
}

TEST_F(CaptureTest, TheSoundsFileListsWhatThePlayAskedFor) {
    // With no menu opened the field plays nothing: the file is written, empty.
    ASSERT_EQ(Run("--frames 3 --benchmark --sounds " + (dir / "sounds").string()), 0);
    ASSERT_TRUE(fs::exists(dir / "sounds"));
    EXPECT_EQ(ReadText(dir / "sounds"), "");
}

// A scripted game through the real frame loop: Z held until all 16 shots
// fly and the out-of-ammo message has typed out, X to close it once its
// indicator shows, Escape to open the list, Down twice, Up past the top,
// Escape to close it.
TEST_F(CaptureTest, AScriptedGameShowsItsWindowsAndPlaysItsSounds) {
    std::ofstream(dir / "game") << "2 key 90 down\n"    // Z: 16 shots, then the message
                                   "40 key 90 up\n"
                                   "50 key 88 down\n"   // X closes the waiting message
                                   "51 key 88 up\n"
                                   "60 key 27 down\n"   // Escape opens the list
                                   "61 key 27 up\n"
                                   "65 key 40 down\n"   // Down, held for a moment
                                   "66 key 40 up\n"
                                   "70 key 40 down\n"
                                   "71 key 40 up\n"
                                   "75 key 38 down\n"   // Up, Up, Up: past the top
                                   "76 key 38 up\n"
                                   "78 key 38 down\n"
                                   "79 key 38 up\n"
                                   "81 key 38 down\n"
                                   "82 key 38 up\n"
                                   "90 key 27 down\n"   // Escape closes it
                                   "91 key 27 up\n";
    ASSERT_EQ(Run("--frames 95 --step 16 --script " + (dir / "game").string() +
                  " --save 20,45,73,95 --out " + dir.string() + " --sounds " +
                  (dir / "sounds").string()),
              0);
    EXPECT_EQ(ReadText(dir / "sounds"),
              "50 CLICK\n60 OPEN\n65 CLICK\n70 CLICK\n75 CLICK\n78 CLICK\n81 INCORRECT\n"
              "90 CANSEL\n");
    // Frame 20: shots in a row to the right of the ship.
    const png_io::RgbImage shots = Read("frame-0020.png");
    EXPECT_GT(256 * 16 - CountRgb(shots, 0, 0, 256, 16, 0, 0, 0), 60);
    // Frame 45: the message panel, its text and the wait indicator.
    const png_io::RgbImage message = Read("frame-0045.png");
    EXPECT_GT(CountRgb(message, 0, 192, 256, 256, 0, 0, 255), 256 * 64 / 2);
    EXPECT_GT(CountRgb(message, 8, 200, 100, 212, 255, 255, 255), 20);
    EXPECT_GT(CountRgb(message, 236, 236, 248, 248, 255, 255, 255), 10);
    // Frame 73: the list, the cursor on the third line, the icon of item 4.
    const png_io::RgbImage list = Read("frame-0073.png");
    EXPECT_GT(CountRgb(list, 0, 0, 256, 192, 0, 0, 255), 256 * 192 / 2);
    EXPECT_GT(CountRgb(list, 4, 30, 16, 42, 255, 255, 255), 10);
    EXPECT_EQ(CountRgb(list, 4, 6, 16, 18, 255, 255, 255), 0);
    EXPECT_LT(CountRgb(list, 202, 200, 250, 248, 0, 0, 255), 48 * 48 * 3 / 4);
    // Frame 95: the field again.
    const png_io::RgbImage field = Read("frame-0095.png");
    EXPECT_LT(CountRgb(field, 0, 0, 256, 192, 0, 0, 255), 256 * 192 / 10);
}

gif_io::GifMovie ReadGif(const std::string& path) {
    gif_io::GifMovie movie;
    std::string error;
    EXPECT_TRUE(gif_io::ReadGif(path, &movie, &error)) << error;
    return movie;
}

// The picture a viewer shows `cs` hundredths of a second into the movie;
// null past its end.
const gif_io::GifPicture* ShownAt(const gif_io::GifMovie& movie, int cs) {
    for (const gif_io::GifPicture& picture : movie.pictures) {
        if (cs < picture.delayCs) {
            return &picture;
        }
        cs -= picture.delayCs;
    }
    return nullptr;
}

// The GIF holds every third frame of a game that flies, clicks and then
// sits in the item list, where frames repeat and only the cursor and the
// counter change: each recorded frame is shown, for its time, exactly as its
// PNG, however the GIF stored it.
TEST_F(CaptureTest, TheRecordingShowsEachRecordedFrameAsItsPng) {
    std::ofstream(dir / "game") << "2 key 39 down\n"  // fly right and fire
                                   "9 key 90 down\n"
                                   "14 key 90 up\n"
                                   "16 click 120 80\n"
                                   "20 key 39 up\n"
                                   "24 key 27 down\n"  // the list, then a cursor move
                                   "25 key 27 up\n"
                                   "41 key 40 down\n"
                                   "42 key 40 up\n";
    constexpr int FRAMES = 76;  // the counter shows its first rate at frame 64
    constexpr int EVERY = 3;
    constexpr int DELAY = 33;
    std::string save;
    for (int frame = 1; frame <= FRAMES; frame += EVERY) {
        save += (save.empty() ? "" : ",") + std::to_string(frame);
    }
    const std::string gif = (dir / "game.gif").string();
    ASSERT_EQ(Run("--frames " + std::to_string(FRAMES) + " --script " + (dir / "game").string() +
                  " --gif " + gif + " --every " + std::to_string(EVERY) + " --delay " +
                  std::to_string(DELAY) + " --save " + save + " --out " + dir.string()),
              0)
        << ReadText(dir / "stderr");
    const gif_io::GifMovie movie = ReadGif(gif);
    EXPECT_EQ(movie.width, 384);
    EXPECT_EQ(movie.height, 256);
    EXPECT_EQ(movie.loops, 0);
    int recorded = 0;
    for (int frame = 1; frame <= FRAMES; frame += EVERY, ++recorded) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.png", frame);
        // Recorded frame k is shown from k * DELAY ms, rounded to 10 ms.
        const gif_io::GifPicture* shown = ShownAt(movie, (recorded * DELAY + 5) / 10);
        ASSERT_NE(shown, nullptr) << frame;
        EXPECT_TRUE(shown->rgb == Read(name).rgb) << "frame " << frame;
    }
    int length = 0;
    bool someRectangle = false;
    for (const gif_io::GifPicture& picture : movie.pictures) {
        length += picture.delayCs;
        someRectangle |= picture.width * picture.height < 384 * 256 / 2;
    }
    EXPECT_EQ(length, (recorded * DELAY + 5) / 10);
    EXPECT_TRUE(someRectangle);
    EXPECT_LT(movie.pictures.size(), static_cast<size_t>(recorded) - 3);  // the list's repeats
}

// The README's pictures are what the capture tool makes of the scripts next
// to them: when the game changes, they are made again.
TEST_F(CaptureTest, TheReadmePicturesComeFromTheirScripts) {
    const struct {
        const char* name;
        int frames;
    } pictures[] = {{"field", 36}, {"message", 70}, {"list", 12}};
    for (const auto& picture : pictures) {
        const std::string docs = KARIDO_DOCS_DIR;
        char saved[32];
        std::snprintf(saved, sizeof saved, "frame-%04d.png", picture.frames);
        ASSERT_EQ(Run("--frames " + std::to_string(picture.frames) + " --seed 20261209 --script " +
                      docs + "/" + picture.name + ".script --save " +
                      std::to_string(picture.frames) + " --out " + dir.string()),
                  0)
            << picture.name;
        png_io::RgbImage expected;
        std::string error;
        ASSERT_TRUE(png_io::ReadRgbPng(docs + "/" + picture.name + ".png", &expected, &error))
            << error;
        EXPECT_TRUE(Read(saved).rgb == expected.rgb)
            << picture.name << ": docs/" << picture.name << ".png differs from what "
            << picture.name << ".script makes; capture it again (see the README)";
    }
}

// The README's recording is what the capture tool makes of the script next
// to it: the same pictures, shown for the same times. Each movie is kept as
// a digest of its pictures, so that only one is in memory at a time.
std::vector<std::pair<size_t, int>> PictureDigests(const std::string& path) {
    std::vector<std::pair<size_t, int>> digests;
    for (const gif_io::GifPicture& picture : ReadGif(path).pictures) {
        const std::string_view rgb(reinterpret_cast<const char*>(picture.rgb.data()),
                                   picture.rgb.size());
        digests.emplace_back(std::hash<std::string_view>{}(rgb), picture.delayCs);
    }
    return digests;
}

TEST_F(CaptureTest, TheReadmeRecordingComesFromItsScript) {
    const std::string docs = KARIDO_DOCS_DIR;
    const std::string made = (dir / "recording.gif").string();
    ASSERT_EQ(Run("--frames 760 --seed 20261209 --step 20 --script " + docs +
                  "/recording.script --gif " + made + " --every 2 --delay 40"),
              0)
        << ReadText(dir / "stderr");
    const auto expected = PictureDigests(docs + "/recording.gif");
    const auto digests = PictureDigests(made);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(digests == expected)
        << "docs/recording.gif differs from what recording.script makes; record it again (see "
           "the README)";
}

}  // namespace
