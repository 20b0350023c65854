// Draws a screenful of the program's texts into a 384x256 8-bit buffer and
// writes it as text-sample.png for people to look at. docs/text-sample.png
// is a copy of it; the test keeps the two the same.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/text.h"
#include "tools/png/png_io.h"
#include "tests/platform/text_fixtures.h"

namespace {

using namespace platform;
using text_fixtures::Buffer;
using text_fixtures::SharedFont;

constexpr uint8_t BLUE = 0;
constexpr uint8_t FRAME = 1;
constexpr uint8_t WHITE = 255;

png_io::RgbImage ToRgb(const Buffer& buffer) {
    png_io::RgbImage image;
    image.width = buffer.width;
    image.height = buffer.height;
    for (int y = 0; y < buffer.height; ++y) {
        for (int x = 0; x < buffer.width; ++x) {
            switch (buffer.At(x, y)) {
                case BLUE:
                    image.rgb.insert(image.rgb.end(), {0, 0, 160});
                    break;
                case FRAME:
                    image.rgb.insert(image.rgb.end(), {96, 96, 224});
                    break;
                default:
                    image.rgb.insert(image.rgb.end(), {255, 255, 255});
                    break;
            }
        }
    }
    return image;
}

// A 1-pixel outline just outside rect, to show where the text is clipped.
void Outline(Buffer& buffer, const TextRect& rect) {
    for (int x = rect.left - 1; x <= rect.right; ++x) {
        buffer.pixels[static_cast<size_t>((rect.top - 1) * buffer.stride + x)] = FRAME;
        buffer.pixels[static_cast<size_t>(rect.bottom * buffer.stride + x)] = FRAME;
    }
    for (int y = rect.top - 1; y <= rect.bottom; ++y) {
        buffer.pixels[static_cast<size_t>(y * buffer.stride + rect.left - 1)] = FRAME;
        buffer.pixels[static_cast<size_t>(y * buffer.stride + rect.right)] = FRAME;
    }
}

int InkIn(const Buffer& buffer, int x0, int y0, int x1, int y1) {
    int ink = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            ink += buffer.At(x, y) == WHITE ? 1 : 0;
        }
    }
    return ink;
}

TEST(TextSample, DrawsTheProgramsTextsIntoAPicture) {
    Buffer screen(384, 256, BLUE);
    const TextTarget target = screen.Target();

    // The item list: "%s：%02d" rows, 14 pixels apart.
    for (int i = 0; i < 12; ++i) {
        char row[32];
        std::snprintf(row, sizeof row, "%s\x81\x46%02d", text_fixtures::ITEM_NAMES[i], i * 7 % 100);
        ASSERT_TRUE(TextDraw(SharedFont(), &target, 8, 8 + 14 * i, row, -1, WHITE));
    }
    const int names = InkIn(screen, 8, 8, 8 + 14 * 6, 8 + 14 * 12);
    const int colons = InkIn(screen, 8 + 14 * 6, 8, 8 + 16 * 6 + 1, 8 + 14 * 12);
    EXPECT_GT(names, 12 * 20);
    EXPECT_GT(colons, 12 * 4);

    ASSERT_TRUE(TextDraw(SharedFont(), &target, 260, 7, text_fixtures::FPS, -1, WHITE));
    EXPECT_GT(InkIn(screen, 260, 7, 260 + 42, 19), 30);
    ASSERT_TRUE(TextDraw(SharedFont(), &target, 160, 40, text_fixtures::OUT_OF_AMMO, -1, WHITE));
    ASSERT_TRUE(TextDraw(SharedFont(), &target, 160, 60, text_fixtures::FACE_NAME, -1, WHITE));
    const TextRect message{160, 90, 376, 150};
    Outline(screen, message);
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &message, text_fixtures::DESCRIPTIONS[14], -1,
                              WHITE),
              36);

    const TextRect description{8, 200, 200, 248};
    Outline(screen, description);
    EXPECT_EQ(TextDrawWrapped(SharedFont(), &target, &description,
                              text_fixtures::LONGEST_DESCRIPTION, -1, WHITE),
              48);
    EXPECT_GT(InkIn(screen, 8, 236, 200, 248), 100);  // the fourth line

    const png_io::RgbImage picture = ToRgb(screen);
    std::string error;
    const std::string written = std::string(KARIDO_TEST_OUTPUT_DIR) + "/text-sample.png";
    ASSERT_TRUE(png_io::WriteRgbPng(written, picture, &error)) << error;

    png_io::RgbImage committed;
    const std::string docs = std::string(KARIDO_DOCS_DIR) + "/text-sample.png";
    if (!png_io::ReadRgbPng(docs, &committed, &error)) {
        GTEST_SKIP() << "no committed sample to compare with: " << error;
    }
    EXPECT_EQ(committed.width, picture.width);
    EXPECT_EQ(committed.height, picture.height);
    EXPECT_TRUE(committed.rgb == picture.rgb)
        << "docs/text-sample.png differs from " << written
        << "; look at both, and copy the new one over if the change is meant";
}

}  // namespace
