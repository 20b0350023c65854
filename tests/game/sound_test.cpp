// The menu sounds on the headless backend, which records what the program
// asks it to play: each event starts its own resource's bytes, every other
// code and every sound that cannot be played gives the one beep, and the
// state is left as it was.
#include "game/sound.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/resource.h"
#include "resources/program_resources.h"
#include "tests/app/headless_program.h"
#include "tests/resources/resource_table.h"

namespace {

platform::ResourceBlock Sound(const char* name) {
    platform::ResourceBlock block{};
    EXPECT_TRUE(platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND, name,
                                             &block))
        << name;
    return block;
}

// What the window recorded since the mark.
std::vector<platform::HeadlessSound> SoundsSince(const testing_app::HeadlessProgram& p,
                                                 size_t mark) {
    const platform::HeadlessSound* all = platform::HeadlessSounds(p.window);
    return {all + mark, all + platform::HeadlessSoundCount(p.window)};
}

TEST(Sound, EachEventStartsItsOwnSoundAndAnyOtherCodeBeeps) {
    testing_app::HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    const char* names[] = {"CLICK", "CANSEL", "OPEN", "INCORRECT"};
    for (unsigned event = SOUND_CLICK; event <= SOUND_INCORRECT; ++event) {
        EXPECT_STREQ(SoundResourceName(event), names[event - 1]);
        const size_t mark = platform::HeadlessSoundCount(p.window);
        PlayUiSound(p.state.get(), event);
        const auto played = SoundsSince(p, mark);
        ASSERT_EQ(played.size(), 1u) << event;
        const platform::ResourceBlock expected = Sound(names[event - 1]);
        EXPECT_EQ(played[0].image, expected.data) << event;  // played from the resource itself
        EXPECT_EQ(played[0].size, expected.size) << event;
    }
    for (unsigned event : {0u, 5u, 0xFFFFFFFFu}) {
        EXPECT_EQ(SoundResourceName(event), nullptr);
        const size_t mark = platform::HeadlessSoundCount(p.window);
        PlayUiSound(p.state.get(), event);
        const auto played = SoundsSince(p, mark);
        ASSERT_EQ(played.size(), 1u) << event;
        EXPECT_EQ(played[0].image, nullptr) << event;  // the beep
    }
    // A name looked up exactly as written: no other spelling is found.
    for (const char* name : {"click", "CANCEL", "OPEN ", ""}) {
        const size_t mark = platform::HeadlessSoundCount(p.window);
        PlaySoundResource(p.state.get(), name);
        const auto played = SoundsSince(p, mark);
        ASSERT_EQ(played.size(), 1u) << name;
        EXPECT_EQ(played[0].image, nullptr) << name;
    }
}

TEST(Sound, ASoundThatCannotBePlayedBeepsAndChangesNothing) {
    testing_app::HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    // The program's resources with CLICK cut short inside its data chunk.
    std::vector<platform::ResourceEntry> entries = testing_resources::ProgramResourceTable();
    for (platform::ResourceEntry& e : entries) {
        if (e.name != nullptr && std::strcmp(e.name, "CLICK") == 0) {
            e.size = 1000;
        }
    }
    const platform::Module damaged{entries.data(), entries.size()};
    const platform::Module* own = p.state->hinstance;
    p.state->hinstance = &damaged;
    const std::vector<uint8_t> before(reinterpret_cast<const uint8_t*>(p.state.get()),
                                      reinterpret_cast<const uint8_t*>(p.state.get() + 1));
    PlayUiSound(p.state.get(), SOUND_CLICK);
    PlayUiSound(p.state.get(), SOUND_OPEN);  // still whole
    const std::vector<uint8_t> after(reinterpret_cast<const uint8_t*>(p.state.get()),
                                     reinterpret_cast<const uint8_t*>(p.state.get() + 1));
    p.state->hinstance = own;
    const auto played = SoundsSince(p, 0);
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].image, nullptr);
    EXPECT_EQ(played[1].image, Sound("OPEN").data);
    EXPECT_TRUE(before == after);  // the caller's state is untouched

    // Without a module nothing is found either.
    p.state->hinstance = nullptr;
    PlayUiSound(p.state.get(), SOUND_OPEN);
    p.state->hinstance = own;
    ASSERT_EQ(platform::HeadlessSoundCount(p.window), 3u);
    EXPECT_EQ(platform::HeadlessSounds(p.window)[2].image, nullptr);
}

TEST(Sound, SoundsAreRecordedWithTheFrameThatAskedForThem) {
    testing_app::HeadlessProgram p;
    ASSERT_TRUE(p.Opened());
    PlayUiSound(p.state.get(), SOUND_OPEN);  // before any frame
    p.Frame();
    p.Frame();
    PlayUiSound(p.state.get(), SOUND_CLICK);  // after the second frame
    ASSERT_EQ(platform::HeadlessSoundCount(p.window), 2u);
    EXPECT_EQ(platform::HeadlessSounds(p.window)[0].frame, 0u);
    EXPECT_EQ(platform::HeadlessSounds(p.window)[1].frame, 2u);
}

}  // namespace
