// The message window through the real frame loop on the headless backend:
// the typewriter frame by frame, its one pause counter, the wait indicator,
// and texts that would not fit the buffer.
#include "game/message.h"

#include <gtest/gtest.h>

#include <string>

#include "game/field_tick.h"
#include "platform/keys.h"
#include "tests/app/headless_program.h"

namespace {

using testing_app::HeadlessProgram;

using testing_app::WHITE;

int Whites(const platform::Picture* f, int x0, int y0, int x1, int y1) {
    return testing_app::Count(f, x0, y0, x1, y1, WHITE);
}

// A program whose typewriter has no pause left over from an earlier test.
struct MessageProgram : HeadlessProgram {
    MessageProgram() {
        messagePause = 0;
        Frame();  // the loop's start and a first frame with the window closed
    }
};

TEST(Message, ACommaPausesTheTypewriterForSixteenFrames) {
    MessageProgram p;
    ASSERT_TRUE(p.Opened());
    MessageStart(p.state.get(), "\x82\xA0\x81\x41\x82\xA2");  // あ、い
    EXPECT_EQ(p.state->messageState, MESSAGE_TYPING);
    EXPECT_EQ(p.state->messageLength, 6);
    const int shownAfter[] = {2, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 6};
    int textWhites = 0;
    for (int frame = 1; frame <= 19; ++frame) {
        const platform::Picture* f = p.Frame();
        ASSERT_EQ(p.state->messageShown, shownAfter[frame - 1]) << frame;
        ASSERT_EQ(p.state->messageState, MESSAGE_TYPING) << frame;
        const int whites = Whites(f, 8, 200, 248, 236);
        // The text grows with what is shown, and only then.
        if (frame == 1 || frame == 2 || frame == 19) {
            EXPECT_GT(whites, textWhites) << frame;
        } else {
            EXPECT_EQ(whites, textWhites) << frame;
        }
        textWhites = whites;
        EXPECT_EQ(Whites(f, 236, 236, 248, 248), 0) << frame;  // no indicator yet
    }
    EXPECT_EQ(messagePause, 0);
    // Frame 20 switches to waiting without the indicator; frame 21 draws it.
    p.Frame();
    EXPECT_EQ(p.state->messageState, MESSAGE_WAITING);
    const platform::Picture* f = p.Frame();
    EXPECT_GT(Whites(f, 236, 236, 248, 248), 10);
}

TEST(Message, TheIndicatorBlinksWithTheClockNotTheFrames) {
    MessageProgram p;
    ASSERT_TRUE(p.Opened());
    MessageStart(p.state.get(), "");
    p.Frame();  // an empty text switches at once and shows no text
    EXPECT_EQ(p.state->messageState, MESSAGE_WAITING);
    EXPECT_EQ(p.state->messageShown, 0);
    // The clock's bit 0x100 chooses the picture: the same for every frame
    // until the clock moves on, then the other one.
    auto indicator = [&p] {
        const platform::Picture* f = p.Frame();
        std::string picture;
        for (int y = 236; y < 248; ++y) {
            for (int x = 236; x < 248; ++x) {
                picture += f->pixels[y * f->stride + x] == WHITE ? '#' : '.';
            }
        }
        EXPECT_EQ(Whites(f, 8, 200, 248, 236), 0);  // no text
        return picture;
    };
    const std::string first = indicator();
    EXPECT_EQ(indicator(), first);
    p.Advance(256);
    const std::string second = indicator();
    EXPECT_NE(second, first);
    p.Advance(256);
    EXPECT_EQ(indicator(), first);
}

TEST(Message, APressDuringAPauseShowsAllButWaitsOutThePause) {
    MessageProgram p;
    ASSERT_TRUE(p.Opened());
    MessageStart(p.state.get(), "\x82\xA0\x81\x41\x82\xA2\x82\xA4");  // あ、いう
    p.Frame();
    p.Frame();  // the comma: the pause starts
    ASSERT_EQ(messagePause, 16);
    p.Key(platform::VK_X, true);
    p.Frame();  // the tick after this frame sees the press
    EXPECT_EQ(p.state->messageShown, 8);
    p.Key(platform::VK_X, false);
    // 15 more frames of pause, then the switch.
    for (int frame = 0; frame < 15; ++frame) {
        p.Frame();
        ASSERT_EQ(p.state->messageState, MESSAGE_TYPING) << frame;
    }
    p.Frame();
    EXPECT_EQ(p.state->messageState, MESSAGE_WAITING);
    EXPECT_TRUE(p.TakeSounds().empty());  // revealing plays nothing
}

TEST(Message, ANewTextWaitsOutThePauseOfTheOld) {
    MessageProgram p;
    ASSERT_TRUE(p.Opened());
    MessageStart(p.state.get(), "\x81\x41\x82\xA0");  // 、あ
    p.Frame();
    ASSERT_EQ(messagePause, 16);
    MessageStart(p.state.get(), "ab");
    for (int frame = 0; frame < 16; ++frame) {
        p.Frame();
        ASSERT_EQ(p.state->messageShown, 0) << frame;
    }
    p.Frame();
    EXPECT_EQ(p.state->messageShown, 1);
}

TEST(Message, SingleBytesAreOneCharacterAndTheFullStopDoesNotPause) {
    MessageProgram p;
    ASSERT_TRUE(p.Opened());
    MessageStart(p.state.get(), "A\xB1\x81\x42" "B");  // A, half-width ｱ, 。, B
    const int shownAfter[] = {1, 2, 4, 5};
    for (int frame = 0; frame < 4; ++frame) {
        p.Frame();
        EXPECT_EQ(p.state->messageShown, shownAfter[frame]) << frame;
    }
    EXPECT_EQ(messagePause, 0);
}

TEST(Message, StartCopiesAtMostTheBufferAndNeverHalfACharacter) {
    MessageProgram p;
    ASSERT_TRUE(p.Opened());
    AppState* state = p.state.get();
    // Too long: 255 bytes are kept, the terminator after them.
    MessageStart(state, std::string(400, 'a').c_str());
    EXPECT_EQ(state->messageLength, 255);
    EXPECT_EQ(state->messageText[255], '\0');
    // A double-byte character that would straddle the end is left out whole.
    const std::string straddling = std::string(254, 'a') + "\x82\xA0";
    MessageStart(state, straddling.c_str());
    EXPECT_EQ(state->messageLength, 254);
    const std::string fitting = std::string(253, 'a') + "\x82\xA0";
    MessageStart(state, fitting.c_str());
    EXPECT_EQ(state->messageLength, 255);
    // A lead byte last in the text: the typewriter never shows past the end.
    MessageStart(state, "a\x82");
    EXPECT_EQ(state->messageLength, 2);
    p.Frame();
    p.Frame();
    EXPECT_EQ(state->messageShown, 2);
    p.Frame();
    EXPECT_EQ(state->messageState, MESSAGE_WAITING);
    MessageStart(state, nullptr);
    EXPECT_EQ(state->messageLength, 0);
}

TEST(Message, TheOutOfAmmoTextTypesInSevenFrames) {
    MessageProgram p;
    ASSERT_TRUE(p.Opened());
    MessageStart(p.state.get(), OUT_OF_AMMO_TEXT);
    EXPECT_EQ(p.state->messageLength, 14);
    for (int frame = 1; frame <= 7; ++frame) {
        p.Frame();
        EXPECT_EQ(p.state->messageShown, 2 * frame);
    }
    p.Frame();
    EXPECT_EQ(p.state->messageState, MESSAGE_WAITING);
}

}  // namespace
