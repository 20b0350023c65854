// CP932 (Shift-JIS as Japanese Windows uses it): byte classes, reading one
// character at a time, and the conversion of double-byte codes to JIS X 0208
// row/cell codes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// True for a byte that starts a double-byte character: 0x81-0x9F, 0xE0-0xFC.
constexpr bool Cp932IsLeadByte(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True for a byte that may follow a lead byte: 0x40-0x7E, 0x80-0xFC.
constexpr bool Cp932IsTrailByte(uint8_t byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// The JIS X 0208 code (row << 8 | cell, each 0x21-0x7E) of the double-byte
// character lead << 8 | trail. Returns 0 when the code is not a lead byte
// followed by a trail byte, or lies outside JIS X 0208's 94 rows (the
// user-defined area 0xF040-0xFCFC). Whether the row/cell is assigned is not
// checked: NEC row 13 (0x8740...) converts to row 0x2D like any other.
constexpr uint16_t Cp932ToJis(uint16_t code) {
    const auto lead = static_cast<uint8_t>(code >> 8);
    const auto trail = static_cast<uint8_t>(code);
    if (!Cp932IsLeadByte(lead) || !Cp932IsTrailByte(trail) || lead > 0xEF) {
        return 0;
    }
    // Each lead byte covers two JIS rows: trail bytes below 0x9F the odd
    // row, the rest the even row. Inside the odd row's trail bytes 0x7F is
    // not used, so cells above it sit one byte higher.
    int row = (lead - (lead <= 0x9F ? 0x70 : 0xB0)) * 2;
    int cell = 0;
    if (trail < 0x9F) {
        row -= 1;
        cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
    } else {
        cell = trail - 0x7E;
    }
    return static_cast<uint16_t>(row << 8 | cell);
}

// One character read from CP932 text.
struct Cp932Char {
    uint16_t code;  // the byte, or lead << 8 | trail for a double-byte character
    int size;       // bytes taken: 1 or 2; 0 at the end of the text
};

// Reads the character at text[pos]. Only text[pos] and text[pos + 1] are
// read, and only below length. A lead byte in the last position ends the
// text (size 0). A lead byte followed by a byte that cannot be a trail byte
// is taken alone (code = the lead byte, size 1), so that the next byte, a
// line feed for example, keeps its meaning.
// Precondition: text points to at least length bytes.
inline Cp932Char Cp932Read(const char* text, size_t length, size_t pos) {
    if (pos >= length) {
        return Cp932Char{0, 0};
    }
    const auto first = static_cast<uint8_t>(text[pos]);
    if (!Cp932IsLeadByte(first)) {
        return Cp932Char{first, 1};
    }
    if (pos + 1 >= length) {
        return Cp932Char{0, 0};
    }
    const auto second = static_cast<uint8_t>(text[pos + 1]);
    if (!Cp932IsTrailByte(second)) {
        return Cp932Char{first, 1};
    }
    return Cp932Char{static_cast<uint16_t>(first << 8 | second), 2};
}

}  // namespace platform
