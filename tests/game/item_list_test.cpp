// The item list window on the real program's state (headless backend, with
// a clock the test drives and the sounds recorded): cursor moves, clamps,
// key repeat, the menu key, scrolling, the description and the icon.
#include "game/item_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "game/game_tick.h"
#include "game/item_table.h"
#include "platform/keys.h"
#include "tests/app/headless_program.h"
#include "tests/resources/resource_table.h"

namespace {

using SoundList = std::vector<std::string>;

struct ListProgram : testing_app::HeadlessProgram {
    ListProgram() {
        Frame();
        state->listActive = 1;
    }
    // One tick with exactly these keys held.
    SoundList Tick(std::initializer_list<int> keys) {
        for (int key : keys) {
            Key(key, true);
        }
        GameTick(state.get());
        for (int key : keys) {
            Key(key, false);
        }
        return TakeSounds();
    }
    // A fresh press: the delay of the last move is over.
    SoundList Press(std::initializer_list<int> keys) {
        GameTick(state.get());  // a tick with no key held ends any delay
        return Tick(keys);
    }
};

TEST(ItemList, MovesClickAndMovesPastTheEndsAreClamped) {
    ListProgram p;
    ASSERT_TRUE(p.Opened());
    ASSERT_EQ(p.state->listCount, 16);
    struct Case {
        int from;
        std::initializer_list<int> keys;
        int to;
        const char* sound;
    };
    const Case cases[] = {
        {0, {platform::VK_UP}, 0, "INCORRECT"},
        {0, {platform::VK_LEFT}, 0, "INCORRECT"},
        {1, {platform::VK_UP}, 0, "INCORRECT"},  // right column, first line
        {14, {platform::VK_DOWN}, 15, "INCORRECT"},
        {15, {platform::VK_DOWN}, 15, "INCORRECT"},
        {15, {platform::VK_RIGHT}, 15, "INCORRECT"},
        {1, {platform::VK_RIGHT}, 2, "CLICK"},  // right from the right column: the next line
        {5, {platform::VK_UP, platform::VK_LEFT}, 2, "CLICK"},
        {6, {platform::VK_UP, platform::VK_DOWN}, 6, "CLICK"},  // cancel out, yet a move
        {4, {platform::VK_NUMPAD2}, 6, "CLICK"},
    };
    for (const Case& c : cases) {
        p.state->listSelection = c.from;
        EXPECT_EQ(p.Press(c.keys), SoundList{c.sound}) << c.from;
        EXPECT_EQ(p.state->listSelection, c.to) << c.from;
    }
    // No key, no sound.
    EXPECT_TRUE(p.Press({}).empty());
}

TEST(ItemList, AHeldKeyRepeatsOnceMoreThanATenthOfASecondHasPassed) {
    ListProgram p;
    ASSERT_TRUE(p.Opened());
    p.Key(platform::VK_DOWN, true);
    GameTick(p.state.get());
    EXPECT_EQ(p.state->listSelection, 2);
    EXPECT_EQ(p.TakeSounds(), SoundList{"CLICK"});
    // Exactly 100 ms later the delay still runs; 101 ms ends it in a tick
    // that moves nothing; the tick after it moves.
    p.Advance(100);
    GameTick(p.state.get());
    EXPECT_EQ(p.state->listSelection, 2);
    p.Advance(1);
    GameTick(p.state.get());
    EXPECT_EQ(p.state->listSelection, 2);
    EXPECT_EQ(p.state->repeatStamp, 0u);
    GameTick(p.state.get());
    EXPECT_EQ(p.state->listSelection, 4);
    EXPECT_EQ(p.TakeSounds(), SoundList{"CLICK"});
    // The delay counts on the unsigned difference, across the clock's wrap.
    p.state->repeatStamp = 0xFFFFFFF0u;
    p.Advance(0xFFFFFFF0u + 50u - platform::WindowTicks(p.state->hwnd));  // 50 ms past it
    GameTick(p.state.get());
    EXPECT_EQ(p.state->repeatStamp, 0xFFFFFFF0u);  // still running, across the wrap
    EXPECT_EQ(p.state->listSelection, 4);
    p.Advance(51);
    GameTick(p.state.get());
    EXPECT_EQ(p.state->repeatStamp, 0u);  // 101 ms: over
    // Released: the next tick ends the delay, and a new press acts at once.
    p.Key(platform::VK_DOWN, false);
    GameTick(p.state.get());
    EXPECT_EQ(p.state->repeatStamp, 0u);
    EXPECT_EQ(p.Tick({platform::VK_DOWN}), SoundList{"CLICK"});
    EXPECT_EQ(p.state->listSelection, 6);
}

TEST(ItemList, TheMenuKeyClosesAndTheSameTickStillMoves) {
    ListProgram p;
    ASSERT_TRUE(p.Opened());
    p.state->listSelection = 3;
    EXPECT_EQ(p.Press({platform::VK_ESCAPE, platform::VK_RIGHT}), (SoundList{"CANSEL", "CLICK"}));
    EXPECT_EQ(p.state->listActive, 0);
    EXPECT_EQ(p.state->listSelection, 4);
    EXPECT_EQ(p.state->menuLatch, 1);
    // Reopened from the field, it is where it was left.
    GameTick(p.state.get());  // released
    EXPECT_EQ(p.Tick({platform::VK_X}), SoundList{"OPEN"});
    EXPECT_EQ(p.state->listActive, 1);
    EXPECT_EQ(p.state->listSelection, 4);
}

TEST(ItemList, ALongerListScrollsToKeepTheSelectionInView) {
    // 40 rows of the same item, each without an icon of its own yet; made
    // before the program, so that they outlive its release of the list.
    ItemRecord row = itemTable[0];
    row.icon = nullptr;
    std::vector<ItemRecord> rows(40, row);
    rows.push_back(ItemRecord{0, nullptr, nullptr, nullptr, nullptr});
    ListProgram p;
    ASSERT_TRUE(p.Opened());
    ItemListBuild(p.state.get(), rows.data());
    ASSERT_EQ(p.state->listCount, 40);
    p.state->listSelection = 29;
    p.Frame();
    EXPECT_EQ(p.state->listTop, 0);  // 29 is on the last line shown
    p.Press({platform::VK_DOWN});
    p.Frame();
    EXPECT_EQ(p.state->listSelection, 31);
    EXPECT_EQ(p.state->listTop, 2);  // the selected line comes last
    p.state->listSelection = 39;
    p.Frame();
    EXPECT_EQ(p.state->listTop, 10);
    p.state->listSelection = 10;
    p.Press({platform::VK_UP});  // from the first line shown, up one line
    p.Frame();
    EXPECT_EQ(p.state->listTop, 8);  // the selected line comes first
}

using testing_app::BLUE;
using testing_app::Count;
using testing_app::WHITE;

TEST(ItemList, TheWindowShowsTheCursorTheDescriptionAndTheIconLoadedOnce) {
    ListProgram p;
    ASSERT_TRUE(p.Opened());
    p.state->listSelection = 12;  // the longest description: more than four lines
    ItemRecord* item = p.state->listEntries[12].item;
    ItemListRelease(p.state.get());
    const platform::Picture* f = p.Frame();
    ASSERT_NE(item->icon, nullptr);
    Surface* icon = item->icon;
    // The cursor at line 6, left column; none on line 0.
    EXPECT_GT(Count(f, 4, 6 + 12 * 6, 16, 18 + 12 * 6, WHITE), 10);
    EXPECT_EQ(Count(f, 4, 6, 16, 18, WHITE), 0);
    // The description fills its four lines; below them the panel looks as
    // under a one-line description.
    EXPECT_GT(Count(f, 8, 236, 200, 248, WHITE), 20);
    const int below = Count(f, 8, 248, 200, 256, WHITE);
    // The icon: opaque at (202, 200), not the panel's blue throughout.
    EXPECT_LT(Count(f, 202, 200, 250, 248, BLUE), 48 * 48 * 3 / 4);
    // The selected entry is drawn twice, one pixel apart: bolder than the rest.
    const int selected = Count(f, 16, 6 + 12 * 6, 124, 18 + 12 * 6, WHITE);
    p.state->listSelection = 13;
    f = p.Frame();
    EXPECT_LT(Count(f, 16, 6 + 12 * 6, 124, 18 + 12 * 6, WHITE), selected);
    p.state->listSelection = 0;
    f = p.Frame();
    EXPECT_EQ(Count(f, 8, 212, 200, 248, WHITE), 0);  // one line only
    EXPECT_EQ(Count(f, 8, 248, 200, 256, WHITE), below);
    // Selected again, the item shows the icon it already has.
    p.state->listSelection = 12;
    p.Frame();
    EXPECT_EQ(item->icon, icon);
}

TEST(ItemList, AnIconThatCannotBeLoadedIsSkippedAndTriedOncePerSelection) {
    ListProgram p;
    ASSERT_TRUE(p.Opened());
    // The program's resources without bitmap 115, the icon of item 3.
    std::vector<platform::ResourceEntry> entries;
    for (const platform::ResourceEntry& e : testing_resources::ProgramResourceTable()) {
        if (e.name != nullptr || e.id != 115) {
            entries.push_back(e);
        }
    }
    const platform::Module withoutIcon{entries.data(), entries.size()};
    const platform::Module* own = p.state->hinstance;
    ItemRecord* item = p.state->listEntries[3].item;
    ItemListRelease(p.state.get());
    p.state->hinstance = &withoutIcon;
    p.state->listSelection = 3;
    const platform::Picture* f = p.Frame();
    EXPECT_EQ(item->icon, nullptr);
    // Nothing drawn where the icon would be: the description panel shows.
    EXPECT_GT(Count(f, 202, 200, 250, 248, BLUE), 48 * 48 * 3 / 4);
    // While it stays selected the load is not tried again, even were it to work.
    p.state->hinstance = own;
    p.Frame();
    EXPECT_EQ(item->icon, nullptr);
    // Selected anew, it is tried once more.
    p.state->listSelection = 4;
    p.Frame();
    p.state->listSelection = 3;
    p.Frame();
    EXPECT_NE(item->icon, nullptr);
}

}  // namespace

namespace {

// A row is what printf's "%s：%02d" makes of the name and the value, cut to
// the buffer as snprintf cuts it.
TEST(ItemList, ARowReadsAsThePrintfFormatWouldWriteIt) {
    const char* names[] = {"", "A", itemTable[0].name, "\x83\x7C\x81\x5B\x83\x56\x83\x87\x83\x93",
                           "a name longer than any buffer it is written into, by far"};
    const int values[] = {0, 1, 9, 10, 15, 99, 100, 12345, -1, -9, -10, -123, INT_MAX, INT_MIN};
    for (const char* name : names) {
        for (int value : values) {
            for (size_t size : {size_t{32}, size_t{1}, size_t{2}, size_t{17}, size_t{64}}) {
                char expected[64];
                char row[64];
                std::memset(row, 'x', sizeof row);
                std::snprintf(expected, size, "%s\x81\x46%02d", name, value);
                const int length = ListLineFormat(row, size, name, value);
                EXPECT_STREQ(row, expected) << "'" << name << "', " << value << ", size " << size;
                EXPECT_EQ(length, static_cast<int>(std::strlen(expected)));
            }
        }
    }
}

}  // namespace
