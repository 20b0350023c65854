#include "platform/web/keys.h"

#include <gtest/gtest.h>

namespace {

using platform::WebKeyKeepsBrowserAction;
using platform::WebKeyToVirtualKey;

TEST(WebKeys, LettersFollowTheLayoutAndFallBackToThePhysicalKey) {
    EXPECT_EQ(WebKeyToVirtualKey("KeyZ", "z"), 'Z');
    EXPECT_EQ(WebKeyToVirtualKey("KeyZ", "Z"), 'Z');  // with Shift
    // A French layout: the key in the place of Q types 'a'.
    EXPECT_EQ(WebKeyToVirtualKey("KeyQ", "a"), 'A');
    // A layout without Latin letters, and a dead key: the physical key.
    EXPECT_EQ(WebKeyToVirtualKey("KeyX", "\xd1\x87"), 'X');
    EXPECT_EQ(WebKeyToVirtualKey("KeyX", "Dead"), 'X');
    EXPECT_EQ(WebKeyToVirtualKey("Keyz", ""), 0);
    EXPECT_EQ(WebKeyToVirtualKey("KeyZZ", ""), 0);
}

TEST(WebKeys, DigitsKeypadAndFunctionKeysFollowThePhysicalKey) {
    // The top row types punctuation on a French layout: still VK_1.
    EXPECT_EQ(WebKeyToVirtualKey("Digit1", "&"), '1');
    EXPECT_EQ(WebKeyToVirtualKey("Digit0", "0"), '0');
    // Keypad 8 is VK_NUMPAD8 with Num Lock off too (it then types ArrowUp).
    EXPECT_EQ(WebKeyToVirtualKey("Numpad8", "ArrowUp"), 0x68);
    EXPECT_EQ(WebKeyToVirtualKey("Numpad0", "0"), 0x60);
    EXPECT_EQ(WebKeyToVirtualKey("NumpadEnter", "Enter"), 0x0D);
    EXPECT_EQ(WebKeyToVirtualKey("F1", "F1"), 0x70);
    EXPECT_EQ(WebKeyToVirtualKey("F10", "F10"), 0x79);
    EXPECT_EQ(WebKeyToVirtualKey("F12", "F12"), 0x7B);
    EXPECT_EQ(WebKeyToVirtualKey("F13", "F13"), 0);
    EXPECT_EQ(WebKeyToVirtualKey("F0", ""), 0);
    EXPECT_EQ(WebKeyToVirtualKey("F01", ""), 0);
}

TEST(WebKeys, TheProgramsKeysAndUnknownOnes) {
    EXPECT_EQ(WebKeyToVirtualKey("ArrowLeft", "ArrowLeft"), 0x25);
    EXPECT_EQ(WebKeyToVirtualKey("ArrowDown", "ArrowDown"), 0x28);
    EXPECT_EQ(WebKeyToVirtualKey("Escape", "Escape"), 0x1B);
    EXPECT_EQ(WebKeyToVirtualKey("Space", " "), 0x20);
    EXPECT_EQ(WebKeyToVirtualKey("Enter", "Enter"), 0x0D);
    EXPECT_EQ(WebKeyToVirtualKey("IntlRo", "\\"), 0);
    EXPECT_EQ(WebKeyToVirtualKey("", ""), 0);
    EXPECT_EQ(WebKeyToVirtualKey(nullptr, nullptr), 0);
}

TEST(WebKeys, ThePagesOwnActionsAreKeptOnlyForBrowserKeys) {
    // The arrows and Space would scroll the page: prevented.
    EXPECT_FALSE(WebKeyKeepsBrowserAction(0x28, false, false, false));
    EXPECT_FALSE(WebKeyKeepsBrowserAction(0x20, false, false, false));
    // Reloading, closing, focus, developer tools and unknown keys: kept.
    EXPECT_TRUE(WebKeyKeepsBrowserAction('R', true, false, false));
    EXPECT_TRUE(WebKeyKeepsBrowserAction(0x25, false, true, false));
    EXPECT_TRUE(WebKeyKeepsBrowserAction('W', false, false, true));
    EXPECT_TRUE(WebKeyKeepsBrowserAction(0x70, false, false, false));  // F1
    EXPECT_TRUE(WebKeyKeepsBrowserAction(0x74, false, false, false));  // F5
    EXPECT_TRUE(WebKeyKeepsBrowserAction(0x7B, false, false, false));  // F12
    EXPECT_TRUE(WebKeyKeepsBrowserAction(0x09, false, false, false));
    EXPECT_TRUE(WebKeyKeepsBrowserAction(0, false, false, false));
}

}  // namespace
