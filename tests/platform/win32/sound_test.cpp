// Sound on Win32: what reaches the system's play call. The system reads an
// in-memory image as far as its own sizes say, so a damaged image must be
// refused before it is handed over.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <vector>

#include "platform/resource.h"
#include "platform/win32/sound.h"
#include "resources/program_resources.h"

namespace {

std::vector<uint8_t> Sound(const char* name) {
    platform::ResourceBlock block{};
    EXPECT_TRUE(
        platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND, name, &block));
    return std::vector<uint8_t>(block.data, block.data + block.size);
}

TEST(Win32Sound, ImagesThatRunPastTheirBlockAreNeverHandedToTheSystem) {
    for (const char* name : {"CLICK", "CANSEL", "OPEN", "INCORRECT"}) {
        const std::vector<uint8_t> image = Sound(name);
        ASSERT_GT(image.size(), 44u) << name;
        EXPECT_TRUE(platform::Win32SoundPlayable(image.data(), image.size())) << name;

        // Cut short: the RIFF and data sizes now say more than the block holds.
        std::vector<uint8_t> cut(image.begin(), image.begin() + 1000);
        EXPECT_FALSE(platform::Win32SoundPlayable(cut.data(), cut.size())) << name;
        EXPECT_FALSE(platform::Win32SoundPlay(cut.data(), cut.size())) << name;

        // Not RIFF/WAVE at all.
        std::vector<uint8_t> other = image;
        std::memcpy(other.data() + 8, "AVI ", 4);
        EXPECT_FALSE(platform::Win32SoundPlay(other.data(), other.size())) << name;
    }
    EXPECT_FALSE(platform::Win32SoundPlay(nullptr, 0));
}

// The real calls: a playable image and the beep return at once, and a
// second start cuts off the first rather than failing for it. With a sound
// device both start; without one (a build machine) neither can, and the
// two calls must agree.
// The images are the resources themselves, which stay while they play.
TEST(Win32Sound, StartingOneSoundAfterAnotherAndBeepingReturn) {
    platform::ResourceBlock open{};
    platform::ResourceBlock click{};
    ASSERT_TRUE(
        platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND, "OPEN", &open));
    ASSERT_TRUE(platform::ResourceFindByName(&programResources, platform::RESOURCE_SOUND, "CLICK",
                                             &click));
    const bool first = platform::Win32SoundPlay(open.data, open.size);
    const bool second = platform::Win32SoundPlay(click.data, click.size);
    EXPECT_EQ(first, second) << "the second sound did not start the way the first did";
    if (waveOutGetNumDevs() > 0) {
        EXPECT_TRUE(first) << "a sound device is there, yet the sound did not start";
    }
    platform::Win32SoundBeep();
    // The beep stopped the sound: another start still works.
    const bool third = platform::Win32SoundPlay(click.data, click.size);
    EXPECT_EQ(third, first);
    platform::Win32SoundBeep();
}

}  // namespace
