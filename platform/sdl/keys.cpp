#include "platform/sdl/keys.h"

#include <SDL_keycode.h>
#include <SDL_scancode.h>

namespace platform {

namespace {

int KeypadKey(int scancode) {
    switch (scancode) {
        case SDL_SCANCODE_KP_0:
            return 0x60;
        case SDL_SCANCODE_KP_1:
            return 0x61;
        case SDL_SCANCODE_KP_2:
            return 0x62;
        case SDL_SCANCODE_KP_3:
            return 0x63;
        case SDL_SCANCODE_KP_4:
            return 0x64;
        case SDL_SCANCODE_KP_5:
            return 0x65;
        case SDL_SCANCODE_KP_6:
            return 0x66;
        case SDL_SCANCODE_KP_7:
            return 0x67;
        case SDL_SCANCODE_KP_8:
            return 0x68;
        case SDL_SCANCODE_KP_9:
            return 0x69;
        case SDL_SCANCODE_KP_MULTIPLY:
            return 0x6A;
        case SDL_SCANCODE_KP_PLUS:
            return 0x6B;
        case SDL_SCANCODE_KP_MINUS:
            return 0x6D;
        case SDL_SCANCODE_KP_PERIOD:
            return 0x6E;
        case SDL_SCANCODE_KP_DIVIDE:
            return 0x6F;
        case SDL_SCANCODE_KP_ENTER:
            return 0x0D;  // Windows reports it as VK_RETURN
        default:
            return 0;
    }
}

// The top row gives VK_0..VK_9 whatever it types (as on a French layout,
// where these keys type punctuation unshifted).
int DigitKey(int scancode) {
    // The scancodes run 1, 2, ..., 9, 0 along the row.
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return '1' + (scancode - SDL_SCANCODE_1);
    }
    return scancode == SDL_SCANCODE_0 ? '0' : 0;
}

// Keys that type no character, by their physical key.
int PhysicalKey(int scancode) {
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return 0x70 + (scancode - SDL_SCANCODE_F1);
    }
    switch (scancode) {
        case SDL_SCANCODE_BACKSPACE:
            return 0x08;
        case SDL_SCANCODE_TAB:
            return 0x09;
        case SDL_SCANCODE_RETURN:
            return 0x0D;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return 0x10;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL:
            return 0x11;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT:
            return 0x12;
        case SDL_SCANCODE_PAUSE:
            return 0x13;
        case SDL_SCANCODE_CAPSLOCK:
            return 0x14;
        case SDL_SCANCODE_ESCAPE:
            return 0x1B;
        case SDL_SCANCODE_SPACE:
            return 0x20;
        case SDL_SCANCODE_PAGEUP:
            return 0x21;
        case SDL_SCANCODE_PAGEDOWN:
            return 0x22;
        case SDL_SCANCODE_END:
            return 0x23;
        case SDL_SCANCODE_HOME:
            return 0x24;
        case SDL_SCANCODE_LEFT:
            return 0x25;
        case SDL_SCANCODE_UP:
            return 0x26;
        case SDL_SCANCODE_RIGHT:
            return 0x27;
        case SDL_SCANCODE_DOWN:
            return 0x28;
        case SDL_SCANCODE_INSERT:
            return 0x2D;
        case SDL_SCANCODE_DELETE:
            return 0x2E;
        default:
            return 0;
    }
}

// The VK_OEM_* codes of a US layout for the punctuation a key types.
int PunctuationKey(int keycode) {
    switch (keycode) {
        case ';':
            return 0xBA;
        case '=':
            return 0xBB;
        case ',':
            return 0xBC;
        case '-':
            return 0xBD;
        case '.':
            return 0xBE;
        case '/':
            return 0xBF;
        case '`':
            return 0xC0;
        case '[':
            return 0xDB;
        case '\\':
            return 0xDC;
        case ']':
            return 0xDD;
        case '\'':
            return 0xDE;
        default:
            return 0;
    }
}

}  // namespace

int SdlKeyToVirtualKey(int scancode, int keycode) {
    if (const int keypad = KeypadKey(scancode)) {
        return keypad;
    }
    if (keycode >= SDLK_a && keycode <= SDLK_z) {
        return 'A' + (keycode - SDLK_a);
    }
    if (const int digit = DigitKey(scancode)) {
        return digit;
    }
    if (const int punctuation = PunctuationKey(keycode)) {
        return punctuation;
    }
    // A letter key of a layout without Latin letters types a character
    // beyond ASCII: it is named by where it sits on a US keyboard.
    const bool typesNonAscii = keycode > 0x7F && (keycode & SDLK_SCANCODE_MASK) == 0;
    if (typesNonAscii && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + (scancode - SDL_SCANCODE_A);
    }
    return PhysicalKey(scancode);
}

}  // namespace platform
