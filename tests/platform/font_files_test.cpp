// The font read from the Shinonome files with FreeType (font_files.h), and
// the committed glyph table checked against it: the table is what the files
// give, byte for byte, and the font the program builds from the table is the
// font the files give, field for field. Built only where FreeType is.
#include "platform/font_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/font_table.h"
#include "tests/platform/font_compare.h"

namespace fs = std::filesystem;

namespace {

using namespace platform;
using font_compare::ReadBytes;

struct FontDeleter {
    void operator()(Font* font) const { FontDestroy(font); }
};
using FontPtr = std::unique_ptr<Font, FontDeleter>;

const std::vector<uint8_t>& HalfWidthBytes() {
    static const std::vector<uint8_t> bytes = ReadBytes(KARIDO_FONT_HALF_WIDTH_FILE);
    return bytes;
}

const std::vector<uint8_t>& FullWidthBytes() {
    static const std::vector<uint8_t> bytes = ReadBytes(KARIDO_FONT_FULL_WIDTH_FILE);
    return bytes;
}

FontFile HalfWidth() {
    return FontFile{"half.pcf.gz", HalfWidthBytes().data(), HalfWidthBytes().size()};
}

FontFile FullWidth() {
    return FontFile{"full.pcf.gz", FullWidthBytes().data(), FullWidthBytes().size()};
}

// The command that rewrites the committed table from the installed files.
std::string RegenerateCommand() {
    return std::string("\"") + KARIDO_FONT_TABLE_EXE + "\" \"" + KARIDO_FONT_HALF_WIDTH_FILE +
           "\" \"" + KARIDO_FONT_FULL_WIDTH_FILE + "\" \"" + KARIDO_FONT_TABLE_FILE + "\"";
}

std::string StaleMessage() {
    return std::string(KARIDO_FONT_TABLE_FILE) +
           " is not the table of the installed font files; regenerate it with\n  " +
           RegenerateCommand();
}

TEST(FontFiles, TheInstalledFilesAreRead) {
    ASSERT_FALSE(HalfWidthBytes().empty()) << KARIDO_FONT_HALF_WIDTH_FILE;
    ASSERT_FALSE(FullWidthBytes().empty()) << KARIDO_FONT_FULL_WIDTH_FILE;
    testing::internal::CaptureStderr();
    const FontPtr font(FontCreateFromFiles(HalfWidth(), FullWidth()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->present['A']);
    EXPECT_TRUE(font->present[FontGlyphSlot(0x82A0)]);  // あ
    EXPECT_FALSE(font->present[FONT_MISSING_GLYPH]);
}

// Font files that cannot be read give a null font and one line on stderr
// naming the file.
TEST(FontFiles, UnreadableFilesAreReportedByName) {
    const FontFile half = HalfWidth();
    const FontFile full = FullWidth();
    const uint8_t junk[] = "this is not a font file";

    struct Case {
        const char* what;
        FontFile halfWidth;
        FontFile fullWidth;
        const char* named;
    };
    const Case cases[] = {
        {"empty", FontFile{"empty.pcf.gz", nullptr, 0}, full, "empty.pcf.gz"},
        {"junk", half, FontFile{"junk.pcf.gz", junk, sizeof junk}, "junk.pcf.gz"},
        {"truncated", FontFile{"cut.pcf.gz", half.data, half.size / 2}, full, "cut.pcf.gz"},
        {"truncated full-width", half, FontFile{"cut.pcf.gz", full.data, full.size / 3},
         "cut.pcf.gz"},
        {"faces swapped", full, half, "full.pcf.gz"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        Font* font = FontCreateFromFiles(c.halfWidth, c.fullWidth);
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(font, nullptr) << c.what;
        FontDestroy(font);
        EXPECT_NE(message.find(c.named), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << c.what << ": " << message;
    }
}

// The program's font, from the embedded table, is the font of the files.
TEST(FontFiles, TheTablesFontIsTheFilesFont) {
    const FontPtr fromFiles(FontCreateFromFiles(HalfWidth(), FullWidth()));
    ASSERT_NE(fromFiles, nullptr);
    const FontPtr fromTable(FontCreateIndirect(nullptr));
    ASSERT_NE(fromTable, nullptr);
    EXPECT_TRUE(font_compare::SameFont(*fromTable, *fromFiles)) << StaleMessage();

    const std::vector<uint8_t> committed = ReadBytes(KARIDO_FONT_TABLE_FILE);
    const FontPtr fromCommitted(
        FontCreateFromTable(committed.data(), committed.size(), KARIDO_FONT_TABLE_FILE));
    ASSERT_NE(fromCommitted, nullptr) << StaleMessage();
    EXPECT_TRUE(font_compare::SameFont(*fromCommitted, *fromFiles)) << StaleMessage();
}

// The committed table is the one the files give, byte for byte.
TEST(FontFiles, TheCommittedTableIsTheFilesTable) {
    const FontPtr font(FontCreateFromFiles(HalfWidth(), FullWidth()));
    ASSERT_NE(font, nullptr);
    std::vector<uint8_t> table;
    ASSERT_TRUE(FontWriteTable(*font, &table));
    const std::vector<uint8_t> committed = ReadBytes(KARIDO_FONT_TABLE_FILE);
    EXPECT_EQ(committed.size(), table.size()) << StaleMessage();
    EXPECT_TRUE(committed == table) << StaleMessage();
}

class FontTableTool : public ::testing::Test {
   protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch_ = fs::temp_directory_path() /
                   ("karido-font-table-test-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override { fs::remove_all(scratch_); }

    fs::path scratch_;
};

// The tool, run as the regenerate command runs it, writes the committed table.
TEST_F(FontTableTool, WritesTheCommittedTable) {
    const fs::path out = scratch_ / "font_glyphs.bin";
    const std::string command = std::string("\"") + KARIDO_FONT_TABLE_EXE + "\" \"" +
                                KARIDO_FONT_HALF_WIDTH_FILE + "\" \"" +
                                KARIDO_FONT_FULL_WIDTH_FILE + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<uint8_t> written = ReadBytes(out.string());
    EXPECT_FALSE(written.empty());
    EXPECT_TRUE(written == ReadBytes(KARIDO_FONT_TABLE_FILE)) << StaleMessage();
    // Nothing but the table is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch_), fs::directory_iterator()), 1);
}

TEST_F(FontTableTool, RefusesBadArgumentsAndFilesWithoutWritingAnything) {
    const std::string exe = std::string("\"") + KARIDO_FONT_TABLE_EXE + "\"";
    const std::string half = std::string(" \"") + KARIDO_FONT_HALF_WIDTH_FILE + "\"";
    const std::string full = std::string(" \"") + KARIDO_FONT_FULL_WIDTH_FILE + "\"";
    const std::string out = " \"" + (scratch_ / "out.bin").string() + "\"";
    const std::string missing = " \"" + (scratch_ / "missing.pcf.gz").string() + "\"";
    const std::string quiet = " 2>/dev/null";
    EXPECT_NE(std::system((exe + quiet).c_str()), 0) << "no arguments";
    EXPECT_NE(std::system((exe + half + full + quiet).c_str()), 0) << "no output";
    EXPECT_NE(std::system((exe + half + full + out + " --frobnicate" + quiet).c_str()), 0);
    EXPECT_NE(std::system((exe + missing + full + out + quiet).c_str()), 0) << "missing file";
    EXPECT_NE(std::system((exe + full + half + out + quiet).c_str()), 0) << "faces swapped";
    EXPECT_TRUE(fs::is_empty(scratch_));
    EXPECT_EQ(std::system((exe + " --help >/dev/null").c_str()), 0);
}

}  // namespace
