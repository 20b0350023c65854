// The same frames on every platform: the real start-up, frame loop and game
// run headless with a fixed clock (start and step) and a scripted input, and
// the 32-bit frames the window is given, hashed, must match a record made
// once on Linux (tests/app/frame_hashes.inc). The Windows build runs this
// test too (under Wine when cross-compiled), so it links only the program and
// the headless backend, and nothing on its path may depend on the compiler or
// the C library: the program's own generator, integer clock steps, a hash of
// the pixels' values taken byte by byte.
//
// To re-record, on Linux, after a change meant to change the pictures (look
// at them first: karido-capture --seed 20261209 --step 16 with SCRIPT below
// written in its script format shows the same frames):
//   KARIDO_RECORD_FRAME_HASHES=/tmp/frame_hashes.inc build/default/tests/app/frame_hash_test
//   cp /tmp/frame_hashes.inc tests/app/frame_hashes.inc
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "base/state.h"
#include "platform/keys.h"
#include "render/frame_loop.h"
#include "tests/app/headless_program.h"

namespace {

using testing_app::HeadlessProgram;

constexpr uint32_t CLOCK_START = 20261209;  // ms; Create seeds the stars with it
constexpr uint32_t CLOCK_STEP = 16;         // ms the clock moves on after each frame
constexpr int FRAMES = 320;

// One input event, delivered before frame `frame` (1 = the first) is run, so
// that frame's tick sees it and the next frame shows what it did.
enum class Input { KeyDown, KeyUp, Click };
struct ScriptEvent {
    int frame;
    Input input;
    int a;  // the virtual key, or the click's x
    int b;  // the click's y
};

// Shots leave the ship at 8 pixels a frame and the field at x 256; sixteen
// can fly at once. The list's cursor moves at once when an arrow goes down,
// then every eighth frame while it is held (a repeat every 100 ms, 16 ms a
// frame).
constexpr ScriptEvent SCRIPT[] = {
    // The ship flies right for 12 frames and down for 18: to (48, 72).
    {2, Input::KeyDown, platform::VK_RIGHT, 0},
    {2, Input::KeyDown, platform::VK_DOWN, 0},
    {14, Input::KeyUp, platform::VK_RIGHT, 0},
    {20, Input::KeyUp, platform::VK_DOWN, 0},
    // Z held for 22 frames: sixteen shots, then the out-of-ammo message,
    // started over on every frame that finds all sixteen in the air.
    {22, Input::KeyDown, platform::VK_Z, 0},
    {24, Input::Click, 150, 60},
    {28, Input::Click, 40, 30},
    {44, Input::KeyUp, platform::VK_Z, 0},
    // With the message waiting, Space fires four shots, and a click.
    {70, Input::KeyDown, platform::VK_SPACE, 0},
    {72, Input::Click, 200, 180},
    {74, Input::KeyUp, platform::VK_SPACE, 0},
    // Escape closes the waiting message; X opens the item list.
    {80, Input::KeyDown, platform::VK_ESCAPE, 0},
    {81, Input::KeyUp, platform::VK_ESCAPE, 0},
    {90, Input::KeyDown, platform::VK_X, 0},
    {92, Input::KeyUp, platform::VK_X, 0},
    // In the list: Down held (0 -> 2 -> 4 -> 6), Right (7), Enter (nothing),
    // Left (6), a click at the list's right edge (the list covers the number
    // but for its end, over the side panel), Up held past the top (4, 2, 0,
    // then refused twice).
    {96, Input::KeyDown, platform::VK_DOWN, 0},
    {120, Input::KeyUp, platform::VK_DOWN, 0},
    {124, Input::KeyDown, platform::VK_RIGHT, 0},
    {125, Input::KeyUp, platform::VK_RIGHT, 0},
    {130, Input::KeyDown, platform::VK_RETURN, 0},
    {131, Input::KeyUp, platform::VK_RETURN, 0},
    {134, Input::KeyDown, platform::VK_LEFT, 0},
    {135, Input::KeyUp, platform::VK_LEFT, 0},
    {138, Input::Click, 250, 100},
    {140, Input::KeyDown, platform::VK_UP, 0},
    {175, Input::KeyUp, platform::VK_UP, 0},
    // Right (1), then Down held to the last item and past it (3, 5, ... 15,
    // then refused).
    {180, Input::KeyDown, platform::VK_RIGHT, 0},
    {181, Input::KeyUp, platform::VK_RIGHT, 0},
    {184, Input::KeyDown, platform::VK_DOWN, 0},
    {256, Input::KeyUp, platform::VK_DOWN, 0},
    // Escape closes the list: the field goes on where it stopped.
    {262, Input::KeyDown, platform::VK_ESCAPE, 0},
    {263, Input::KeyUp, platform::VK_ESCAPE, 0},
    // On the keypad the ship flies up for 12 frames and left for 8, to
    // (16, 24); then it fires with Enter.
    {268, Input::KeyDown, platform::VK_NUMPAD8, 0},
    {268, Input::KeyDown, platform::VK_NUMPAD4, 0},
    {276, Input::KeyUp, platform::VK_NUMPAD4, 0},
    {280, Input::KeyUp, platform::VK_NUMPAD8, 0},
    {286, Input::KeyDown, platform::VK_RETURN, 0},
    {290, Input::Click, 60, 200},
    {294, Input::KeyUp, platform::VK_RETURN, 0},
};

// What a chosen frame shows. A frame whose picture must be the same as an
// earlier one names it in sameAs (0: none); every other chosen frame must
// differ from all the rest.
enum class Scene { Field, Message, List };
struct ChosenFrame {
    int frame;
    Scene scene;
    int sameAs;
    const char* shows;
};

constexpr ChosenFrame CHOSEN[] = {
    {1, Scene::Field, 0, "the first frame: the stars, the ship at the top left, the panel"},
    {2, Scene::Field, 0, "the stars scrolled on by a step, the ship moved"},
    {8, Scene::Field, 0, "the ship flying right and down"},
    {20, Scene::Field, 0, "the ship at (48, 72), its last step down"},
    {24, Scene::Field, 0, "the first shots and a clicked number, just popped up"},
    {30, Scene::Field, 0, "a burst of shots and two numbers rising"},
    {38, Scene::Field, 0, "sixteen shots in the air"},
    {40, Scene::Message, 0, "the out-of-ammo message, started over while sixteen fly: 1 character"},
    {46, Scene::Message, 0, "the message typing out"},
    {50, Scene::Message, 0, "the message typed out, not yet waiting"},
    {56, Scene::Message, 0, "the message waiting: its indicator"},
    {63, Scene::Message, 0, "the last frame before the frames-per-second text"},
    {64, Scene::Message, 0, "the first frames-per-second text, 63fps"},
    {74, Scene::Message, 0, "Space's shots under the waiting message, a clicked number"},
    {84, Scene::Field, 0, "the message closed by Escape"},
    {93, Scene::List, 0, "the item list opened by X, the cursor on the first item"},
    {98, Scene::List, 0, "the cursor a line down: the third item, its description and icon"},
    {106, Scene::List, 0, "the fifth item"},
    {114, Scene::List, 0, "the seventh item"},
    {126, Scene::List, 0, "the eighth item, in the right column"},
    {128, Scene::List, 126, "the second frames-per-second text, 63fps again"},
    {133, Scene::List, 126, "Enter does nothing in the list"},
    {137, Scene::List, 114, "back on the seventh item"},
    {140, Scene::List, 0, "a number clicked at the list's edge, its end over the side panel"},
    {150, Scene::List, 0, "the cursor moving up, on the third item; the number rising"},
    {174, Scene::List, 93, "the cursor at the top after two refused moves, the number gone"},
    {183, Scene::List, 0, "the second item"},
    {220, Scene::List, 0, "the cursor moving down the right column: the twelfth item"},
    {255, Scene::List, 0, "the cursor on the last item after two refused moves"},
    {266, Scene::Field, 0, "the list closed by Escape: the shots it froze fly on"},
    {276, Scene::Field, 0, "the ship flying up and left on the keypad"},
    {292, Scene::Field, 0, "shots fired with Enter and a clicked number"},
    {320, Scene::Field, 0, "the last frame"},
};
constexpr int CHOSEN_COUNT = static_cast<int>(sizeof CHOSEN / sizeof CHOSEN[0]);

// The script and the chosen frames run forwards, inside the run; a frame the
// same as another names an earlier one.
constexpr bool InOrder() {
    int previous = 1;
    for (const ScriptEvent& event : SCRIPT) {
        if (event.frame < previous || event.frame > FRAMES) {
            return false;
        }
        previous = event.frame;
    }
    previous = 0;
    for (const ChosenFrame& chosen : CHOSEN) {
        if (chosen.frame <= previous || chosen.frame > FRAMES || chosen.sameAs < 0 ||
            chosen.sameAs >= chosen.frame) {
            return false;
        }
        previous = chosen.frame;
    }
    return true;
}
static_assert(InOrder());

// The record made on Linux: one {frame, hash} per chosen frame, in order.
struct RecordedHash {
    int frame;
    uint64_t hash;
};
constexpr RecordedHash RECORDED[] = {
#include "tests/app/frame_hashes.inc"
};
constexpr int RECORDED_COUNT = static_cast<int>(sizeof RECORDED / sizeof RECORDED[0]);

// 64-bit FNV-1a over the width and the height (four bytes each, lowest
// first) and then every pixel of the width x height region, row by row, each
// 0xAARRGGBB value's four bytes lowest first: the same on any machine.
uint64_t FrameHash(const platform::Picture* frame) {
    uint64_t hash = 0xCBF29CE484222325ull;
    const auto mix = [&hash](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (value >> shift) & 0xFFu;
            hash *= 0x100000001B3ull;
        }
    };
    mix(static_cast<uint32_t>(frame->width));
    mix(static_cast<uint32_t>(frame->height));
    for (int y = 0; y < frame->height; ++y) {
        const uint32_t* row = frame->pixels + static_cast<ptrdiff_t>(y) * frame->stride;
        for (int x = 0; x < frame->width; ++x) {
            mix(row[x]);
        }
    }
    return hash;
}

std::string Hex(uint64_t value) {
    std::string text = "0x";
    for (int shift = 60; shift >= 0; shift -= 4) {
        text += "0123456789abcdef"[(value >> shift) & 0xFu];
    }
    return text;
}

Scene SceneOf(const AppState* state) {
    if (state->listActive) {
        return Scene::List;
    }
    return state->messageState != MESSAGE_CLOSED ? Scene::Message : Scene::Field;
}

const char* NameOf(Scene scene) {
    switch (scene) {
        case Scene::Field: return "the field";
        case Scene::Message: return "the message";
        case Scene::List: return "the list";
    }
    return "?";
}

// One run of the script: the hash of every frame (index 0 is frame 1), and
// for each the scene it showed and whether the frames-per-second text was up.
struct ScriptRun {
    std::vector<uint64_t> hashes;
    std::vector<Scene> scenes;
    std::vector<bool> counterShown;
    bool complete = false;  // every frame was presented
};

ScriptRun RunScript(uint32_t clockStart, int frames) {
    ScriptRun run;
    HeadlessProgram program(clockStart);
    if (!program.Opened()) {
        return run;
    }
    size_t next = 0;
    for (int frame = 1; frame <= frames; ++frame) {
        for (; next < sizeof SCRIPT / sizeof SCRIPT[0] && SCRIPT[next].frame == frame; ++next) {
            const ScriptEvent& event = SCRIPT[next];
            switch (event.input) {
                case Input::KeyDown: program.Key(event.a, true); break;
                case Input::KeyUp: program.Key(event.a, false); break;
                case Input::Click: program.Click(event.a, event.b); break;
            }
        }
        // The scene being drawn is the one the last tick left.
        const Scene scene = SceneOf(program.state.get());
        const platform::Picture* shown = program.Frame();
        if (shown == nullptr) {
            return run;
        }
        run.hashes.push_back(FrameHash(shown));
        run.scenes.push_back(scene);
        run.counterShown.push_back(fpsText[0] != '\0');
        program.Advance(CLOCK_STEP);
    }
    run.complete = true;
    return run;
}

// The record in the format of tests/app/frame_hashes.inc.
std::string RecordText(const ScriptRun& run) {
    std::string text =
        "// The hashes of the frames that tests/app/frame_hash_test.cpp chooses, made by\n"
        "// that test when KARIDO_RECORD_FRAME_HASHES named a file to write them to:\n"
        "//   KARIDO_RECORD_FRAME_HASHES=/tmp/frame_hashes.inc frame_hash_test\n"
        "//   cp /tmp/frame_hashes.inc tests/app/frame_hashes.inc\n"
        "// Recorded on "
#if defined(_WIN32)
        "Windows"
#else
        "Linux"
#endif
#if defined(__clang__)
        " with Clang " __clang_version__
#elif defined(__GNUC__)
        " with GCC " __VERSION__
#endif
        ". Every build, on every platform, must give these.\n"
        "// {frame (1 = the first), 64-bit FNV-1a of the frame}, in the test's order.\n";
    for (const ChosenFrame& chosen : CHOSEN) {
        char frame[16];
        std::snprintf(frame, sizeof frame, "%d", chosen.frame);
        text += std::string("{") + frame + ", " + Hex(run.hashes[chosen.frame - 1]) + "ull},  // " +
                chosen.shows + "\n";
    }
    return text;
}

TEST(FrameHashes, TheChosenFramesMatchTheRecordMadeOnLinux) {
    const ScriptRun run = RunScript(CLOCK_START, FRAMES);
    ASSERT_TRUE(run.complete) << "the program presented " << run.hashes.size() << " of "
                              << FRAMES << " frames";
    ASSERT_EQ(run.hashes.size(), static_cast<size_t>(FRAMES));

    // The script does what the table says each chosen frame shows.
    for (const ChosenFrame& chosen : CHOSEN) {
        EXPECT_EQ(NameOf(run.scenes[chosen.frame - 1]), std::string(NameOf(chosen.scene)))
            << "frame " << chosen.frame << " (" << chosen.shows << ")";
    }
    EXPECT_FALSE(run.counterShown[63 - 1]);
    EXPECT_TRUE(run.counterShown[64 - 1]);

    // Checks no record can pass by accident: the frames that must repeat an
    // earlier picture do, every other chosen frame differs from all the rest
    // (the stars scroll on in the field; in the list the cursor or a number
    // moves), so no list frame is a field frame; and another clock start
    // scatters other stars.
    std::set<uint64_t> distinct;
    std::set<uint64_t> listHashes;
    std::set<uint64_t> otherHashes;
    for (const ChosenFrame& chosen : CHOSEN) {
        const uint64_t hash = run.hashes[chosen.frame - 1];
        if (chosen.sameAs != 0) {
            EXPECT_EQ(Hex(hash), Hex(run.hashes[chosen.sameAs - 1]))
                << "frame " << chosen.frame << " (" << chosen.shows << ") is not the same as frame "
                << chosen.sameAs;
            continue;
        }
        EXPECT_TRUE(distinct.insert(hash).second)
            << "frame " << chosen.frame << " (" << chosen.shows << ") is the same as an earlier one";
        (chosen.scene == Scene::List ? listHashes : otherHashes).insert(hash);
    }
    EXPECT_GE(listHashes.size(), 10u);
    EXPECT_GE(otherHashes.size(), 10u);
    for (uint64_t hash : listHashes) {
        EXPECT_EQ(otherHashes.count(hash), 0u) << "a list frame looks like a field frame";
    }
    const ScriptRun otherStars = RunScript(CLOCK_START + 1, 1);
    ASSERT_TRUE(otherStars.complete);
    EXPECT_NE(otherStars.hashes[0], run.hashes[0]) << "the clock's start does not choose the stars";

    if (const char* path = std::getenv("KARIDO_RECORD_FRAME_HASHES");
        path != nullptr && path[0] != '\0') {
        const std::string text = RecordText(run);
        std::FILE* file = std::fopen(path, "wb");
        ASSERT_NE(file, nullptr) << "cannot write the record to " << path;
        const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        ASSERT_TRUE(std::fclose(file) == 0 && written) << "cannot write the record to " << path;
        std::printf("frame_hash_test: wrote the hashes of %d frames to %s; copy it to "
                    "tests/app/frame_hashes.inc\n",
                    CHOSEN_COUNT, path);
        GTEST_SKIP() << "recorded to " << path << ", not compared with the record";
    }

    ASSERT_EQ(RECORDED_COUNT, CHOSEN_COUNT)
        << "tests/app/frame_hashes.inc holds " << RECORDED_COUNT << " frames, the test chooses "
        << CHOSEN_COUNT << ": re-record it (see the top of this file)";
    int differing = 0;
    int first = -1;
    for (int i = 0; i < CHOSEN_COUNT; ++i) {
        ASSERT_EQ(RECORDED[i].frame, CHOSEN[i].frame)
            << "tests/app/frame_hashes.inc names other frames than the test chooses: re-record it";
        if (run.hashes[CHOSEN[i].frame - 1] != RECORDED[i].hash) {
            differing += 1;
            first = first < 0 ? i : first;
        }
    }
    if (first >= 0) {
        ADD_FAILURE() << "frame " << CHOSEN[first].frame << " (" << CHOSEN[first].shows
                      << ") is the first that differs from the record made on Linux: hash "
                      << Hex(run.hashes[CHOSEN[first].frame - 1]) << ", recorded "
                      << Hex(RECORDED[first].hash) << "; " << differing << " of " << CHOSEN_COUNT
                      << " chosen frames differ";
    }
}

// Nothing a run leaves behind in the process (the program's globals, the
// icons loaded on first display, freed memory reused) changes the frames of
// the next run.
TEST(FrameHashes, ASecondRunInTheSameProcessGivesTheSameFrames) {
    const ScriptRun first = RunScript(CLOCK_START, FRAMES);
    const ScriptRun second = RunScript(CLOCK_START, FRAMES);
    ASSERT_TRUE(first.complete);
    ASSERT_TRUE(second.complete);
    for (int i = 0; i < FRAMES; ++i) {
        ASSERT_EQ(Hex(first.hashes[i]), Hex(second.hashes[i])) << "frame " << i + 1;
    }
}

}  // namespace

