#include "platform/web/keys.h"

#include <cstring>

namespace platform {

namespace {

struct NamedKey {
    const char* code;
    int virtualKey;
};

// Keys that type no letter or digit, by their physical key.
constexpr NamedKey NAMED_KEYS[] = {
    {"Backspace", 0x08},    {"Tab", 0x09},          {"Enter", 0x0D},
    {"NumpadEnter", 0x0D},  // Windows reports it as VK_RETURN
    {"ShiftLeft", 0x10},    {"ShiftRight", 0x10},   {"ControlLeft", 0x11},
    {"ControlRight", 0x11}, {"AltLeft", 0x12},      {"AltRight", 0x12},
    {"Pause", 0x13},        {"CapsLock", 0x14},     {"Escape", 0x1B},
    {"Space", 0x20},        {"PageUp", 0x21},       {"PageDown", 0x22},
    {"End", 0x23},          {"Home", 0x24},         {"ArrowLeft", 0x25},
    {"ArrowUp", 0x26},      {"ArrowRight", 0x27},   {"ArrowDown", 0x28},
    {"Insert", 0x2D},       {"Delete", 0x2E},       {"NumpadMultiply", 0x6A},
    {"NumpadAdd", 0x6B},    {"NumpadSubtract", 0x6D}, {"NumpadDecimal", 0x6E},
    {"NumpadDivide", 0x6F}, {"Semicolon", 0xBA},    {"Equal", 0xBB},
    {"Comma", 0xBC},        {"Minus", 0xBD},        {"Period", 0xBE},
    {"Slash", 0xBF},        {"Backquote", 0xC0},    {"BracketLeft", 0xDB},
    {"Backslash", 0xDC},    {"BracketRight", 0xDD}, {"Quote", 0xDE},
};

bool StartsWith(const char* text, const char* prefix, const char** rest) {
    const size_t length = std::strlen(prefix);
    if (std::strncmp(text, prefix, length) != 0) {
        return false;
    }
    *rest = text + length;
    return true;
}

// "0".."9" as a number, or -1.
int SingleDigit(const char* text) {
    return text[0] >= '0' && text[0] <= '9' && text[1] == '\0' ? text[0] - '0' : -1;
}

// "1".."12" as a number, or -1.
int FunctionNumber(const char* text) {
    int number = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || c - text >= 2) {
            return -1;
        }
        number = number * 10 + (*c - '0');
    }
    return text[0] != '\0' && text[0] != '0' && number <= 12 ? number : -1;
}

}  // namespace

int WebKeyToVirtualKey(const char* code, const char* key) {
    code = code != nullptr ? code : "";
    key = key != nullptr ? key : "";
    const char* rest = nullptr;
    if (StartsWith(code, "Numpad", &rest) && SingleDigit(rest) >= 0) {
        return 0x60 + SingleDigit(rest);
    }
    if (StartsWith(code, "Digit", &rest) && SingleDigit(rest) >= 0) {
        return '0' + SingleDigit(rest);
    }
    if (StartsWith(code, "F", &rest) && FunctionNumber(rest) > 0) {
        return 0x70 + FunctionNumber(rest) - 1;
    }
    // A key that types one Latin letter is that letter's key, wherever it is.
    if (key[0] != '\0' && key[1] == '\0') {
        if (key[0] >= 'a' && key[0] <= 'z') {
            return 'A' + (key[0] - 'a');
        }
        if (key[0] >= 'A' && key[0] <= 'Z') {
            return key[0];
        }
    }
    if (StartsWith(code, "Key", &rest) && rest[0] >= 'A' && rest[0] <= 'Z' && rest[1] == '\0') {
        return rest[0];
    }
    for (const NamedKey& named : NAMED_KEYS) {
        if (std::strcmp(code, named.code) == 0) {
            return named.virtualKey;
        }
    }
    return 0;
}

bool WebKeyKeepsBrowserAction(int virtualKey, bool ctrl, bool alt, bool meta) {
    constexpr int VK_TAB = 0x09;
    constexpr int VK_F1 = 0x70;
    constexpr int VK_F12 = 0x7B;
    return ctrl || alt || meta || virtualKey == 0 || virtualKey == VK_TAB ||
           (virtualKey >= VK_F1 && virtualKey <= VK_F12);
}

}  // namespace platform
