// The SDL key event to virtual-key translation. SDL's keycodes and scancodes
// are written out as numbers (SDL2's fixed values) so that this test, like
// everything outside platform/, needs no SDL header: a scancode is the USB
// usage number of the physical key; a keycode is the character the key types,
// or the scancode with bit 30 set for a key that types none.
#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/sdl/keys.h"

namespace {

using platform::SdlKeyToVirtualKey;

constexpr int NoCharacter(int scancode) {
    return scancode | (1 << 30);
}

// Scancodes.
constexpr int kA = 4;
constexpr int kM = 16;
constexpr int kQ = 20;
constexpr int kX = 27;
constexpr int kZ = 29;
constexpr int k1 = 30;
constexpr int k6 = 35;
constexpr int k0 = 39;
constexpr int kReturn = 40;
constexpr int kEscape = 41;
constexpr int kSpace = 44;
constexpr int kSemicolon = 51;
constexpr int kF1 = 58;
constexpr int kF12 = 69;
constexpr int kRight = 79;
constexpr int kLeft = 80;
constexpr int kDown = 81;
constexpr int kUp = 82;
constexpr int kKpDivide = 84;
constexpr int kKpEnter = 88;
constexpr int kKp1 = 89;
constexpr int kKp2 = 90;
constexpr int kKp4 = 92;
constexpr int kKp6 = 94;
constexpr int kKp8 = 96;
constexpr int kKp9 = 97;
constexpr int kKp0 = 98;
constexpr int kKpPeriod = 99;
constexpr int kPrintScreen = 70;
constexpr int kApplication = 101;
constexpr int kLShift = 225;

// The events a US layout gives for its keys.
int UsKey(int scancode, int keycode) {
    return SdlKeyToVirtualKey(scancode, keycode);
}

TEST(SdlKeys, TheProgramsKeysOnAUsLayout) {
    EXPECT_EQ(UsKey(kLeft, NoCharacter(kLeft)), platform::VK_LEFT);
    EXPECT_EQ(UsKey(kUp, NoCharacter(kUp)), platform::VK_UP);
    EXPECT_EQ(UsKey(kRight, NoCharacter(kRight)), platform::VK_RIGHT);
    EXPECT_EQ(UsKey(kDown, NoCharacter(kDown)), platform::VK_DOWN);
    EXPECT_EQ(UsKey(kReturn, '\r'), platform::VK_RETURN);
    EXPECT_EQ(UsKey(kEscape, 27), platform::VK_ESCAPE);
    EXPECT_EQ(UsKey(kSpace, ' '), platform::VK_SPACE);
    EXPECT_EQ(UsKey(kZ, 'z'), platform::VK_Z);
    EXPECT_EQ(UsKey(kX, 'x'), platform::VK_X);
    EXPECT_EQ(UsKey(kF1, NoCharacter(kF1)), platform::VK_F1);
}

TEST(SdlKeys, LettersDigitsAndFunctionKeysCoverTheirWholeRanges) {
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(UsKey(kA + i, 'a' + i), 'A' + i) << "letter " << static_cast<char>('a' + i);
    }
    // The top row's scancodes run 1..9, 0.
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(UsKey(k1 + i, '1' + i), '1' + i);
    }
    EXPECT_EQ(UsKey(k0, '0'), '0');
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(UsKey(kF1 + i, NoCharacter(kF1 + i)), 112 + i) << "F" << i + 1;
    }
    EXPECT_EQ(UsKey(kF12, NoCharacter(kF12)), 123);
}

TEST(SdlKeys, KeypadKeysAreTheKeypadsWhateverNumLockMakesThemMean) {
    struct Case {
        int scancode;
        int virtualKey;
    };
    const Case cases[] = {{kKp8, platform::VK_NUMPAD8},
                          {kKp2, platform::VK_NUMPAD2},
                          {kKp4, platform::VK_NUMPAD4},
                          {kKp6, platform::VK_NUMPAD6},
                          {kKp0, 96},
                          {kKp1, 97},
                          {kKp9, 105},
                          {kKpPeriod, 110},
                          {kKpDivide, 111}};
    for (const Case& c : cases) {
        // NumLock on: the key types its digit (SDL gives its own keypad keycode).
        EXPECT_EQ(SdlKeyToVirtualKey(c.scancode, NoCharacter(c.scancode)), c.virtualKey)
            << "scancode " << c.scancode;
    }
    // NumLock off: the keypad's 8, 2, 4 and 6 can come as arrow keycodes.
    EXPECT_EQ(SdlKeyToVirtualKey(kKp8, NoCharacter(kUp)), platform::VK_NUMPAD8);
    EXPECT_EQ(SdlKeyToVirtualKey(kKp2, NoCharacter(kDown)), platform::VK_NUMPAD2);
    EXPECT_EQ(SdlKeyToVirtualKey(kKp4, NoCharacter(kLeft)), platform::VK_NUMPAD4);
    EXPECT_EQ(SdlKeyToVirtualKey(kKp6, NoCharacter(kRight)), platform::VK_NUMPAD6);
    // A keypad key that types a digit stays a keypad key, not the top row's.
    EXPECT_EQ(SdlKeyToVirtualKey(kKp8, '8'), platform::VK_NUMPAD8);
    // Keypad Enter is Return, as Windows reports it.
    EXPECT_EQ(SdlKeyToVirtualKey(kKpEnter, NoCharacter(kKpEnter)), platform::VK_RETURN);
}

TEST(SdlKeys, OtherLayoutsNameLettersByWhatTheyTypeAndDigitsByWhereTheySit) {
    // French layout: the key where a US keyboard has Q types 'a'; the key
    // where it has ';' types 'm'; the key where it has M types ','.
    EXPECT_EQ(SdlKeyToVirtualKey(kQ, 'a'), 'A');
    EXPECT_EQ(SdlKeyToVirtualKey(kSemicolon, 'm'), 'M');
    EXPECT_EQ(SdlKeyToVirtualKey(kM, ','), 0xBC);
    // Its top row types '&' and '-' unshifted but still gives VK_1 and VK_6.
    EXPECT_EQ(SdlKeyToVirtualKey(k1, '&'), '1');
    EXPECT_EQ(SdlKeyToVirtualKey(k6, '-'), '6');
    // Russian layout: the key where a US keyboard has Z types U+044F.
    EXPECT_EQ(SdlKeyToVirtualKey(kZ, 0x044F), platform::VK_Z);
}

TEST(SdlKeys, ModifiersHaveTheirCodesAndKeysWithoutOneGiveNone) {
    EXPECT_EQ(SdlKeyToVirtualKey(0, 0), 0);
    EXPECT_EQ(SdlKeyToVirtualKey(kPrintScreen, NoCharacter(kPrintScreen)), 0);
    EXPECT_EQ(SdlKeyToVirtualKey(kApplication, NoCharacter(kApplication)), 0);
    EXPECT_EQ(SdlKeyToVirtualKey(kLShift, NoCharacter(kLShift)), 0x10);
}

}  // namespace
