#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using platform::Cp932Char;
using platform::Cp932IsLeadByte;
using platform::Cp932Read;
using platform::Cp932ToJis;

TEST(Cp932, LeadByteRangesAtTheirEdges) {
    for (uint8_t lead : {0x81, 0x82, 0x9F, 0xE0, 0xEF, 0xF0, 0xFC}) {
        EXPECT_TRUE(Cp932IsLeadByte(lead)) << std::hex << int{lead};
    }
    // ASCII, 0x80, half-width katakana 0xA0-0xDF and 0xFD-0xFF stand alone.
    for (uint8_t single : {0x00, 0x40, 0x7F, 0x80, 0xA0, 0xA1, 0xDF, 0xFD, 0xFF}) {
        EXPECT_FALSE(Cp932IsLeadByte(single)) << std::hex << int{single};
    }
}

TEST(Cp932, ConvertsKnownCharactersToJis) {
    EXPECT_EQ(Cp932ToJis(0x8140), 0x2121);  // ideographic space, first code
    EXPECT_EQ(Cp932ToJis(0x817E), 0x215F);  // ×, last cell below 0x7F
    EXPECT_EQ(Cp932ToJis(0x8180), 0x2160);  // ÷, first cell above 0x7F
    EXPECT_EQ(Cp932ToJis(0x819F), 0x2221);  // ◆, first cell of the even row
    EXPECT_EQ(Cp932ToJis(0x8160), 0x2141);  // ～
    EXPECT_EQ(Cp932ToJis(0x826C), 0x234D);  // Ｍ
    EXPECT_EQ(Cp932ToJis(0x82A0), 0x2422);  // あ
    EXPECT_EQ(Cp932ToJis(0x8341), 0x2522);  // ア
    EXPECT_EQ(Cp932ToJis(0x889F), 0x3021);  // 亜
    EXPECT_EQ(Cp932ToJis(0x88F1), 0x3073);  // 鰯
    EXPECT_EQ(Cp932ToJis(0x8ABF), 0x3441);  // 漢
    EXPECT_EQ(Cp932ToJis(0x955C), 0x493D);  // 表: trail byte 0x5C
    EXPECT_EQ(Cp932ToJis(0xEAA4), 0x7426);  // 熙, the last JIS X 0208 kanji
    EXPECT_EQ(Cp932ToJis(0xEFFC), 0x7E7E);  // last code of row 94
    EXPECT_EQ(Cp932ToJis(0x8740), 0x2D21);  // NEC row 13 stays in its row
}

TEST(Cp932, RejectsCodesOutsideJisX0208) {
    EXPECT_EQ(Cp932ToJis(0xF040), 0);  // user-defined area
    EXPECT_EQ(Cp932ToJis(0xFCFC), 0);
    EXPECT_EQ(Cp932ToJis(0x8020), 0);  // 0x80 is no lead byte
    EXPECT_EQ(Cp932ToJis(0xA0A0), 0);
    EXPECT_EQ(Cp932ToJis(0x823F), 0);  // trail bytes below 0x40
    EXPECT_EQ(Cp932ToJis(0x827F), 0);  // 0x7F is no trail byte
    EXPECT_EQ(Cp932ToJis(0x82FD), 0);  // nor are 0xFD-0xFF
    EXPECT_EQ(Cp932ToJis(0x0041), 0);
}

TEST(Cp932, MapsTheDoubleByteRangeOntoAll94By94JisCodes) {
    std::set<uint16_t> seen;
    for (int lead = 0x81; lead <= 0xEF; ++lead) {
        if (!Cp932IsLeadByte(static_cast<uint8_t>(lead))) {
            continue;
        }
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const uint16_t jis = Cp932ToJis(static_cast<uint16_t>(lead << 8 | trail));
            ASSERT_GE(jis >> 8, 0x21) << std::hex << lead << " " << trail;
            ASSERT_LE(jis >> 8, 0x7E) << std::hex << lead << " " << trail;
            ASSERT_GE(jis & 0xFF, 0x21) << std::hex << lead << " " << trail;
            ASSERT_LE(jis & 0xFF, 0x7E) << std::hex << lead << " " << trail;
            seen.insert(jis);
        }
    }
    EXPECT_EQ(seen.size(), 94u * 94u);
}

// Reading stops at the given length: the bytes after it hold a trail byte
// and a letter that must not be taken.
TEST(Cp932, ReadStaysInsideTheLength) {
    const char text[] =
        "A\x82\xA0\x82"
        "B";
    EXPECT_EQ(Cp932Read(text, 5, 0).code, 'A');
    const Cp932Char hiragana = Cp932Read(text, 5, 1);
    EXPECT_EQ(hiragana.code, 0x82A0);
    EXPECT_EQ(hiragana.size, 2);

    // A lead byte as the last byte ends the text.
    EXPECT_EQ(Cp932Read(text, 2, 1).size, 0);
    EXPECT_EQ(Cp932Read(text, 4, 3).size, 0);
    EXPECT_EQ(Cp932Read(text, 5, 5).size, 0);
    EXPECT_EQ(Cp932Read(text, 0, 0).size, 0);

    // A lead byte before a byte that cannot follow it is taken alone, and
    // the next byte keeps its own meaning.
    const char broken[] = "\x82\n";
    const Cp932Char lone = Cp932Read(broken, 2, 0);
    EXPECT_EQ(lone.code, 0x82);
    EXPECT_EQ(lone.size, 1);
    EXPECT_EQ(Cp932Read(broken, 2, 1).code, '\n');

    // Half-width katakana and the bytes only seen as trail bytes are single.
    const char single[] = "\xB1\x80\xA0";
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Cp932Read(single, 3, i).size, 1) << i;
    }
}

}  // namespace
