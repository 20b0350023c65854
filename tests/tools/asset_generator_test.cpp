// The asset generator: colour table, BMP and PNG encoding, drawing
// primitives, the roles the program relies on in each committed bitmap, the
// program's icons, and that the committed resources and icons are exactly
// what the generator writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/asset_generator/app_icon.h"
#include "tools/asset_generator/bitmap_art.h"
#include "tools/asset_generator/bmp_writer.h"
#include "tools/asset_generator/canvas.h"
#include "tools/asset_generator/colour_table.h"
#include "tools/asset_generator/png_writer.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

// A committed bitmap read back through its headers; pixels top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Checks every header field the program's loader relies on, and the colour
// table byte for byte, then returns the pixels.
Image ParseBmp(const std::vector<uint8_t>& b, const std::string& what) {
    Image img;
    EXPECT_GE(b.size(), size_t{BMP_PIXEL_OFFSET}) << what;
    if (b.size() < BMP_PIXEL_OFFSET) {
        return img;
    }
    EXPECT_EQ(b[0], 'B') << what;
    EXPECT_EQ(b[1], 'M') << what;
    EXPECT_EQ(U32(b, 2), b.size()) << what << ": file size field";
    EXPECT_EQ(U32(b, 6), 0u) << what << ": reserved";
    EXPECT_EQ(U32(b, 10), 1078u) << what << ": pixel offset";
    EXPECT_EQ(U32(b, 14), 40u) << what << ": biSize";
    img.width = static_cast<int32_t>(U32(b, 18));
    img.height = static_cast<int32_t>(U32(b, 22));
    EXPECT_GT(img.height, 0) << what << ": rows must be bottom-up";
    EXPECT_EQ(U16(b, 26), 1u) << what << ": planes";
    EXPECT_EQ(U16(b, 28), 8u) << what << ": bits per pixel";
    EXPECT_EQ(U32(b, 30), 0u) << what << ": compression";
    const size_t stride = (static_cast<size_t>(img.width) + 3) / 4 * 4;
    EXPECT_EQ(U32(b, 34), stride * img.height) << what << ": biSizeImage";
    EXPECT_EQ(U32(b, 38), 0u) << what;
    EXPECT_EQ(U32(b, 42), 0u) << what;
    EXPECT_EQ(U32(b, 46), 0u) << what << ": biClrUsed";
    EXPECT_EQ(U32(b, 50), 0u) << what << ": biClrImportant";
    const auto& table = ColourTable();
    for (size_t i = 0; i < 256; ++i) {
        const size_t at = 54 + i * 4;
        const Rgb got{b[at + 2], b[at + 1], b[at]};
        EXPECT_EQ(got, table[i]) << what << ": table entry " << i;
        EXPECT_EQ(b[at + 3], 0) << what << ": table entry " << i << " reserved byte";
    }
    EXPECT_EQ(b.size(), BMP_PIXEL_OFFSET + stride * img.height) << what;
    if (img.width <= 0 || img.height <= 0 || b.size() != BMP_PIXEL_OFFSET + stride * img.height) {
        img.width = img.height = 0;
        return img;
    }
    for (int y = 0; y < img.height; ++y) {
        const size_t row = BMP_PIXEL_OFFSET + static_cast<size_t>(img.height - 1 - y) * stride;
        img.pixels.insert(img.pixels.end(), b.begin() + static_cast<std::ptrdiff_t>(row),
                          b.begin() + static_cast<std::ptrdiff_t>(row) + img.width);
    }
    return img;
}

const fs::path& ResourcesDir() {
    static const fs::path dir = KARIDO_RESOURCES_DIR;
    return dir;
}

Image LoadCommitted(const std::string& name) {
    return ParseBmp(ReadBytes(ResourcesDir() / "bitmaps" / name), name);
}

// The committed icon theme tree, beside resources/ in packaging/.
const fs::path& IconsDir() {
    static const fs::path dir = ResourcesDir().parent_path() / "packaging" / "icons";
    return dir;
}

uint32_t BigEndian32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b.at(at)) << 24 | static_cast<uint32_t>(b.at(at + 1)) << 16 |
           static_cast<uint32_t>(b.at(at + 2)) << 8 | b.at(at + 3);
}

// CRC-32 as PNG defines it, table driven.
uint32_t PngCrc(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

// An indexed PNG read back: its palette, the alpha of the first palette
// entries (tRNS) and the pixels, top row first.
struct IndexedPng {
    Image image;
    std::vector<Rgb> palette;
    std::vector<uint8_t> alpha;
    int bitDepth = 0;
    int colourType = 0;
};

// Reads a PNG as the encoder writes it, checking what any decoder checks:
// the signature, every chunk's CRC, the order IHDR first and IEND last, the
// zlib header, each stored block's length against its complement, the
// Adler-32 of the data and the row filter bytes. Failures are test failures.
IndexedPng ParsePng(const std::vector<uint8_t>& b, const std::string& what) {
    IndexedPng png;
    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 8 || !std::equal(signature.begin(), signature.end(), b.begin())) {
        ADD_FAILURE() << what << ": no PNG signature";
        return png;
    }
    std::vector<std::string> order;
    std::vector<uint8_t> zlib;
    size_t at = 8;
    while (at + 12 <= b.size()) {
        const uint32_t length = BigEndian32(b, at);
        if (at + 12 + length > b.size()) {
            break;
        }
        const std::string type(b.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               b.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const std::vector<uint8_t> data(b.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                        b.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        EXPECT_EQ(PngCrc(&b[at + 4], length + 4), BigEndian32(b, at + 8 + length))
            << what << ": CRC of " << type;
        order.push_back(type);
        if (type == "IHDR" && length == 13) {
            png.image.width = static_cast<int>(BigEndian32(data, 0));
            png.image.height = static_cast<int>(BigEndian32(data, 4));
            png.bitDepth = data[8];
            png.colourType = data[9];
            EXPECT_EQ(data[10], 0) << what << ": compression method";
            EXPECT_EQ(data[11], 0) << what << ": filter method";
            EXPECT_EQ(data[12], 0) << what << ": no interlace";
        } else if (type == "PLTE") {
            for (size_t i = 0; i + 2 < data.size(); i += 3) {
                png.palette.push_back({data[i], data[i + 1], data[i + 2]});
            }
        } else if (type == "tRNS") {
            png.alpha = data;
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data.begin(), data.end());
        }
        at += 12 + length;
    }
    EXPECT_EQ(at, b.size()) << what << ": bytes after the last whole chunk";
    if (order.empty() || order.front() != "IHDR" || order.back() != "IEND") {
        ADD_FAILURE() << what << ": chunks must run from IHDR to IEND";
        return png;
    }
    // Stored deflate blocks: a header byte, LEN and NLEN, then LEN bytes.
    std::vector<uint8_t> raw;
    if (zlib.size() < 6 || (zlib[0] * 256 + zlib[1]) % 31 != 0 || (zlib[0] & 0x0F) != 8) {
        ADD_FAILURE() << what << ": no zlib header";
        return png;
    }
    size_t z = 2;
    bool last = false;
    while (!last && z + 5 <= zlib.size()) {
        last = (zlib[z] & 1) != 0;
        EXPECT_EQ(zlib[z] >> 1 & 3, 0) << what << ": only stored blocks are read here";
        const size_t len = U16(zlib, z + 1);
        EXPECT_EQ(len ^ U16(zlib, z + 3), 0xFFFFu) << what << ": LEN and NLEN disagree";
        if (z + 5 + len > zlib.size()) {
            break;
        }
        raw.insert(raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(z + 5),
                   zlib.begin() + static_cast<std::ptrdiff_t>(z + 5 + len));
        z += 5 + len;
    }
    EXPECT_TRUE(last) << what << ": no final block";
    EXPECT_EQ(z + 4, zlib.size()) << what << ": the zlib stream ends with its checksum";
    uint32_t s1 = 1;
    uint32_t s2 = 0;
    for (const uint8_t byte : raw) {
        s1 = (s1 + byte) % 65521u;
        s2 = (s2 + s1) % 65521u;
    }
    if (z + 4 <= zlib.size()) {
        EXPECT_EQ(s2 << 16 | s1, BigEndian32(zlib, z)) << what << ": Adler-32";
    }
    const auto width = static_cast<size_t>(png.image.width);
    if (png.bitDepth != 8 || png.colourType != 3 ||
        raw.size() != (width + 1) * static_cast<size_t>(png.image.height)) {
        ADD_FAILURE() << what << ": expected 8-bit indexed rows of the image's size";
        return png;
    }
    for (size_t row = 0; row < raw.size(); row += width + 1) {
        EXPECT_EQ(raw[row], 0) << what << ": row filter";
        png.image.pixels.insert(png.image.pixels.end(),
                                raw.begin() + static_cast<std::ptrdiff_t>(row + 1),
                                raw.begin() + static_cast<std::ptrdiff_t>(row + 1 + width));
    }
    return png;
}

// Colours used inside the box (x, y, w, h) with their pixel counts.
std::map<uint8_t, int> Histogram(const Image& img, int x, int y, int w, int h) {
    std::map<uint8_t, int> counts;
    for (int py = y; py < y + h; ++py) {
        for (int px = x; px < x + w; ++px) {
            ++counts[img.At(px, py)];
        }
    }
    return counts;
}

bool AllOf(const Image& img, int x, int y, int w, int h, uint8_t colour) {
    const auto counts = Histogram(img, x, y, w, h);
    return counts.size() == 1 && counts.begin()->first == colour;
}

int Luminance(const Rgb& c) {
    return (c.r * 299 + c.g * 587 + c.b * 114) / 1000;
}

// The file names the program loads, with their sizes.
const std::vector<std::tuple<std::string, int, int>>& ExpectedBitmaps() {
    static const std::vector<std::tuple<std::string, int, int>> list = [] {
        std::vector<std::tuple<std::string, int, int>> l = {
            {"101_sprites.bmp", 256, 256},      {"102_overlay.bmp", 384, 256},
            {"103_message_panel.bmp", 256, 64}, {"106_wait_a.bmp", 12, 12},
            {"107_wait_b.bmp", 12, 12},         {"108_digits.bmp", 8, 80},
            {"110_list_panel.bmp", 256, 192},   {"111_list_cursor.bmp", 12, 12}};
        const char* icons[] = {"112_again",         "113_again24",      "114_drug",
                               "115_heavy_drug",    "116_yonkel",       "117_yankel",
                               "118_oligomin_c",    "119_ninja_food",   "120_earth_element",
                               "121_water_element", "122_fire_element", "123_wind_element",
                               "124_more_slender",  "125_arsenic_milk", "126_cyanide_caramel",
                               "127_pesticide_cola"};
        for (const char* icon : icons) {
            l.emplace_back(std::string(icon) + ".bmp", 48, 48);
        }
        return l;
    }();
    return list;
}

// ---------------------------------------------------------------------------

TEST(ColourTable, StaticColoursSitAtTheirIndices) {
    const auto& t = ColourTable();
    const std::array<std::pair<int, Rgb>, 20> expected = {{
        {0, {0, 0, 0}},         {1, {128, 0, 0}},       {2, {0, 128, 0}},
        {3, {128, 128, 0}},     {4, {0, 0, 128}},       {5, {128, 0, 128}},
        {6, {0, 128, 128}},     {7, {192, 192, 192}},   {8, {192, 220, 192}},
        {9, {166, 202, 240}},   {246, {255, 251, 240}}, {247, {160, 160, 164}},
        {248, {128, 128, 128}}, {249, {255, 0, 0}},     {250, {0, 255, 0}},
        {251, {255, 255, 0}},   {252, {0, 0, 255}},     {253, {255, 0, 255}},
        {254, {0, 255, 255}},   {255, {255, 255, 255}},
    }};
    for (const auto& [index, rgb] : expected) {
        EXPECT_EQ(t[static_cast<size_t>(index)], rgb) << "index " << index;
    }
}

TEST(ColourTable, NoColourAppearsTwice) {
    const auto& t = ColourTable();
    std::map<std::array<int, 3>, int> seen;
    for (int i = 0; i < 256; ++i) {
        const Rgb& c = t[static_cast<size_t>(i)];
        const auto [it, fresh] = seen.emplace(std::array<int, 3>{c.r, c.g, c.b}, i);
        EXPECT_TRUE(fresh) << "index " << i << " repeats index " << it->second;
    }
}

// The art picks shades by step number, so every ramp must get lighter step by step.
TEST(ColourTable, RampsGetLighterStepByStep) {
    const auto& t = ColourTable();
    for (int step = 1; step < GREY_STEPS; ++step) {
        EXPECT_GT(Luminance(t[Grey(step)]), Luminance(t[Grey(step - 1)])) << "grey step " << step;
    }
    for (int r = 0; r < HUE_RAMP_COUNT; ++r) {
        for (int step = 1; step < RAMP_STEPS; ++step) {
            const auto ramp = static_cast<HueRamp>(r);
            EXPECT_GT(Luminance(t[Ramp(ramp, step)]), Luminance(t[Ramp(ramp, step - 1)]))
                << "ramp " << r << " step " << step;
        }
    }
    // Out-of-range steps clamp to the ends of the ramp instead of spilling into the next one.
    EXPECT_EQ(Ramp(R_GREEN, -3), Ramp(R_GREEN, 0));
    EXPECT_EQ(Ramp(R_GREEN, 40), Ramp(R_GREEN, RAMP_STEPS - 1));
    EXPECT_EQ(Ramp(R_COLA, RAMP_STEPS - 1), 245);
}

TEST(BmpWriter, PadsRowsAndWritesThemBottomUp) {
    // Width 5 needs three padding bytes per row.
    const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5,  //
                                         6, 7, 8, 9, 10};
    const std::vector<uint8_t> bmp = BmpEncode(5, 2, pixels, ColourTable());
    ASSERT_EQ(bmp.size(), 1078u + 16u);
    EXPECT_EQ(U32(bmp, 2), 1094u);
    EXPECT_EQ(U32(bmp, 18), 5u);
    EXPECT_EQ(U32(bmp, 22), 2u);
    EXPECT_EQ(U32(bmp, 34), 16u);
    const std::vector<uint8_t> rows(bmp.begin() + 1078, bmp.end());
    EXPECT_EQ(rows, (std::vector<uint8_t>{6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}));
    const Image back = ParseBmp(bmp, "encoded");
    EXPECT_EQ(back.pixels, pixels);
}

TEST(BmpWriter, RejectsPixelCountsThatDoNotMatchTheSize) {
    EXPECT_THROW(BmpEncode(4, 4, std::vector<uint8_t>(15), ColourTable()), std::invalid_argument);
    EXPECT_THROW(BmpEncode(0, 4, {}, ColourTable()), std::invalid_argument);
}

TEST(PngWriter, WritesThePaletteAndOnlyTheTransparentIndexSeeThrough) {
    const std::vector<uint8_t> pixels = {C_TRANSPARENT, C_WHITE,         C_RED,  //
                                         C_BLUE,        Ramp(R_GOLD, 5), C_TRANSPARENT};
    const std::vector<uint8_t> file = PngEncodeIndexed(3, 2, pixels, ColourTable());
    const IndexedPng png = ParsePng(file, "encoded");
    EXPECT_EQ(png.image.width, 3);
    EXPECT_EQ(png.image.height, 2);
    EXPECT_EQ(png.image.pixels, pixels);
    const auto& table = ColourTable();
    EXPECT_EQ(png.palette, std::vector<Rgb>(table.begin(), table.end()));
    // Entries past the end of tRNS are opaque, so it needs to reach only the
    // transparent index.
    std::vector<uint8_t> alpha(C_TRANSPARENT + 1, 255);
    alpha[C_TRANSPARENT] = 0;
    EXPECT_EQ(png.alpha, alpha);
    // The closing chunk is always the same twelve bytes.
    const std::vector<uint8_t> iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    ASSERT_GE(file.size(), iend.size());
    EXPECT_TRUE(std::equal(iend.begin(), iend.end(), file.end() - 12));
}

TEST(PngWriter, SplitsLargeImagesIntoSeveralStoredBlocks) {
    // 300 rows of 301 bytes: more than one stored block holds, and a block
    // boundary falls inside a row.
    std::vector<uint8_t> pixels(300 * 300);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>(i * 7 + i / 300);
    }
    const IndexedPng png = ParsePng(PngEncodeIndexed(300, 300, pixels, ColourTable()), "large");
    EXPECT_EQ(png.image.width, 300);
    EXPECT_EQ(png.image.pixels, pixels);
}

TEST(PngWriter, RejectsPixelCountsThatDoNotMatchTheSize) {
    EXPECT_THROW(PngEncodeIndexed(4, 4, std::vector<uint8_t>(17), ColourTable()),
                 std::invalid_argument);
    EXPECT_THROW(PngEncodeIndexed(4, 0, {}, ColourTable()), std::invalid_argument);
}

TEST(Canvas, PrimitivesCoverTheExpectedPixels) {
    // Ellipses are symmetric for odd and even sizes.
    for (const int size : {7, 8}) {
        Canvas c(10, 10, 0);
        FillEllipse(c, 1, 1, size, size, 9);
        for (int y = 1; y < 1 + size; ++y) {
            for (int x = 1; x < 1 + size; ++x) {
                const int mx = 1 + size - x;
                EXPECT_EQ(c.At(x, y), c.At(mx, y)) << "size " << size << " at " << x << "," << y;
                EXPECT_EQ(c.At(x, y), c.At(y, x)) << "size " << size;
            }
        }
        EXPECT_EQ(c.At(1 + size / 2, 1), 9) << "top middle is inside";
        EXPECT_EQ(c.At(1, 1), 0) << "corner is outside";
    }
    // A polygon with corners on pixel corners fills exactly the enclosed pixels.
    Canvas p(10, 10, 0);
    FillPolygon(p, {{2, 3}, {7, 3}, {7, 5}, {2, 5}}, 4);
    int filled = 0;
    for (uint8_t v : p.Pixels()) {
        filled += v == 4 ? 1 : 0;
    }
    EXPECT_EQ(filled, 10);
    EXPECT_EQ(p.At(2, 3), 4);
    EXPECT_EQ(p.At(6, 4), 4);
    EXPECT_EQ(p.At(7, 4), 0);
    // Drawing off the canvas is clipped, not a crash.
    FillRect(p, -5, -5, 7, 7, 3);
    EXPECT_EQ(p.At(0, 0), 3);
    EXPECT_EQ(p.At(2, 2), 0);
}

TEST(Canvas, OutlineRingsOnlyTheEmptyNeighbours) {
    Canvas c(5, 5, 0);
    c.Set(2, 2, 7);
    Outline(c, 1);
    EXPECT_EQ(c.At(2, 2), 7);
    EXPECT_EQ(c.At(1, 2), 1);
    EXPECT_EQ(c.At(2, 1), 1);
    EXPECT_EQ(c.At(1, 1), 0) << "diagonal neighbours stay empty by default";
    Outline(c, 2, 0, true);
    EXPECT_EQ(c.At(1, 1), 2);
    EXPECT_EQ(c.At(0, 2), 2);
    EXPECT_EQ(c.At(0, 0), 0);
}

TEST(Canvas, ShadowFallsOnlyOnTheBackgroundAndStampSkipsEmptyPixels) {
    Canvas layer(3, 3, C_TRANSPARENT);
    layer.Set(0, 0, 40);
    layer.Set(1, 0, 41);
    Canvas dst(4, 4, C_BLUE);
    dst.Set(2, 1, 99);  // something already drawn where the shadow would fall
    Shadow(dst, layer, 1, 1, C_NAVY, C_BLUE);
    EXPECT_EQ(dst.At(1, 1), C_NAVY);
    EXPECT_EQ(dst.At(2, 1), 99);
    Stamp(dst, layer, 0, 0);
    EXPECT_EQ(dst.At(0, 0), 40);
    EXPECT_EQ(dst.At(1, 0), 41);
    EXPECT_EQ(dst.At(2, 0), C_BLUE) << "empty layer pixels leave the destination alone";
    EXPECT_EQ(dst.At(1, 1), C_NAVY);
}

TEST(Canvas, RingsAndRoundedRectanglesLeaveTheirCornersOpen) {
    Canvas ring(12, 12, 0);
    EllipseRing(ring, 0, 0, 12, 12, 2, 5);
    EXPECT_EQ(ring.At(6, 0), 5);
    EXPECT_EQ(ring.At(6, 1), 5);
    EXPECT_EQ(ring.At(6, 2), 0) << "inside the ring";
    EXPECT_EQ(ring.At(6, 6), 0);
    EXPECT_EQ(ring.At(0, 0), 0);

    Canvas box(8, 6, 0);
    FillRoundRect(box, 0, 0, 8, 6, 2, 3);
    EXPECT_EQ(box.At(0, 0), 0);
    EXPECT_EQ(box.At(1, 0), 0);
    EXPECT_EQ(box.At(2, 0), 3);
    EXPECT_EQ(box.At(1, 1), 3);
    EXPECT_EQ(box.At(0, 2), 3);
    EXPECT_EQ(box.At(7, 5), 0);

    Canvas line(6, 6, 0);
    Line(line, 5, 0, 0, 5, 8);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(line.At(5 - i, i), 8) << "both end points and the diagonal between";
    }
}

// The art relies on one light direction: from the upper left.
TEST(Canvas, LightComesFromTheUpperLeft) {
    EXPECT_GT(SphereLight(3, 3, 8.0, 8.0, 7.0), SphereLight(12, 12, 8.0, 8.0, 7.0));
    EXPECT_GT(SphereLight(3, 8, 8.0, 8.0, 7.0), SphereLight(12, 8, 8.0, 8.0, 7.0));
    EXPECT_LT(SphereLight(0, 0, 8.0, 8.0, 7.0), 0.0) << "outside the sphere";
    for (int x = 0; x < 20; ++x) {
        const double v = CylinderLight(x, 0, 20);
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
    }
    EXPECT_GT(CylinderLight(4, 0, 20), CylinderLight(15, 0, 20));
    EXPECT_GT(CylinderLight(4, 0, 20), CylinderLight(0, 0, 20))
        << "the highlight sits inside the edge";
    // Steps stay inside their range, also for levels out of range and with dithering.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            for (const double level : {-1.0, 0.0, 0.4, 1.0, 2.0}) {
                const int step = StepFor(level, 3, 9, x, y, true);
                EXPECT_GE(step, 3);
                EXPECT_LE(step, 9);
            }
        }
    }
    EXPECT_EQ(StepFor(0.0, 3, 9, 0, 0, false), 3);
    EXPECT_EQ(StepFor(1.0, 3, 9, 0, 0, false), 9);
    // Dithering mixes the two neighbouring steps of a level half-way between them.
    std::set<int> mixed;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            mixed.insert(StepFor(0.5, 0, 1, x, y, true));
        }
    }
    EXPECT_EQ(mixed, (std::set<int>{0, 1}));
}

// ---------------------------------------------------------------------------

TEST(CommittedBitmaps, EveryFileHasItsSizeHeadersAndTable) {
    for (const auto& [name, width, height] : ExpectedBitmaps()) {
        const Image img = LoadCommitted(name);
        EXPECT_EQ(img.width, width) << name;
        EXPECT_EQ(img.height, height) << name;
    }
}

TEST(CommittedBitmaps, OverlayLetsTheStarsThroughOnlyOnTheLeft) {
    const Image o = LoadCommitted("102_overlay.bmp");
    ASSERT_EQ(o.width, 384);
    EXPECT_TRUE(AllOf(o, 0, 0, 256, 256, C_SEE_THROUGH));
    const auto panel = Histogram(o, 256, 0, 128, 256);
    EXPECT_EQ(panel.count(C_SEE_THROUGH), 0u) << "see-through colour in the side panel";
    // Blue dominates the panel; the bevel greys and white are there.
    const auto most =
        std::max_element(panel.begin(), panel.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_EQ(most->first, C_BLUE);
    EXPECT_GT(panel.count(C_SILVER), 0u);
    EXPECT_GT(panel.count(C_GREY), 0u);
    EXPECT_GT(panel.count(C_WHITE), 0u);
    // The frame-rate text goes on one plain colour dark enough for white letters.
    const auto fps = Histogram(o, 260, 7, 51, 13);
    ASSERT_EQ(fps.size(), 1u);
    EXPECT_LT(Luminance(ColourTable()[fps.begin()->first]), 60);
}

TEST(CommittedBitmaps, WindowFieldsStayPlainBlue) {
    const Image message = LoadCommitted("103_message_panel.bmp");
    ASSERT_EQ(message.width, 256);
    // Message text, indicator, description text and the 48x48 icon at (202, 8).
    EXPECT_TRUE(AllOf(message, 8, 8, 242, 48, C_BLUE));
    const auto frame = Histogram(message, 0, 0, 256, 4);
    EXPECT_GT(frame.count(C_SILVER), 0u);
    EXPECT_GT(frame.count(C_GREY), 0u);
    EXPECT_GT(frame.count(C_WHITE), 0u);

    const Image list = LoadCommitted("110_list_panel.bmp");
    ASSERT_EQ(list.width, 256);
    // Cursors at x 4 and 128, text at x 16 and 140, lines y 6..185.
    EXPECT_TRUE(AllOf(list, 4, 6, 248, 180, C_BLUE));
    EXPECT_EQ(Histogram(list, 0, 0, 256, 4), frame) << "both windows share one frame style";
}

TEST(CommittedBitmaps, WaitIndicatorArrowDropsTwoRowsAboveAFixedBar) {
    const Image a = LoadCommitted("106_wait_a.bmp");
    const Image b = LoadCommitted("107_wait_b.bmp");
    ASSERT_EQ(a.width, 12);
    ASSERT_EQ(b.width, 12);
    for (const Image* img : {&a, &b}) {
        const auto used = Histogram(*img, 0, 0, 12, 12);
        EXPECT_EQ(used.size(), 2u);
        EXPECT_EQ(used.count(C_TRANSPARENT) + used.count(C_WHITE), 2u);
    }
    // The bar: the lowest white rows, the same in both frames.
    auto whiteIn = [](const Image& img, int y) { return Histogram(img, 0, y, 12, 1)[C_WHITE]; };
    int barTop = 12;
    while (barTop > 0 && whiteIn(a, barTop - 1) > 0) {
        --barTop;
    }
    ASSERT_LT(barTop, 12) << "no bar at the bottom";
    for (int y = barTop; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(a.At(x, y), b.At(x, y)) << "bar pixel " << x << "," << y;
        }
    }
    // Above the bar, frame b is frame a moved down by two rows.
    int arrowPixels = 0;
    for (int y = 0; y < barTop; ++y) {
        for (int x = 0; x < 12; ++x) {
            const uint8_t below = y + 2 < barTop ? b.At(x, y + 2) : C_TRANSPARENT;
            EXPECT_EQ(a.At(x, y), below) << "arrow pixel " << x << "," << y;
            arrowPixels += a.At(x, y) == C_WHITE ? 1 : 0;
        }
        if (y < 2) {
            EXPECT_EQ(Histogram(b, 0, y, 12, 1).count(C_WHITE), 0u) << "row " << y << " of b";
        }
    }
    EXPECT_GT(arrowPixels, 10);
    // Down-pointing: the arrow's rows narrow towards the bottom.
    int previous = 13;
    for (int y = 0; y < barTop; ++y) {
        const int white = whiteIn(a, y);
        if (white > 0) {
            EXPECT_LT(white, previous) << "row " << y;
            previous = white;
        }
    }
}

TEST(CommittedBitmaps, DigitsAreTenDistinctWhiteGlyphs) {
    const Image d = LoadCommitted("108_digits.bmp");
    ASSERT_EQ(d.height, 80);
    std::set<std::vector<uint8_t>> glyphs;
    for (int n = 0; n < 10; ++n) {
        const auto used = Histogram(d, 0, n * 8, 8, 8);
        EXPECT_EQ(used.size(), 2u) << "digit " << n;
        EXPECT_GT(used.count(C_WHITE), 0u) << "digit " << n;
        EXPECT_GT(used.count(C_BLACK), 0u) << "digit " << n;
        glyphs.insert(
            std::vector<uint8_t>(d.pixels.begin() + n * 64, d.pixels.begin() + n * 64 + 64));
    }
    EXPECT_EQ(glyphs.size(), 10u);
}

TEST(CommittedBitmaps, ListCursorIsAWhiteArrowOnBlue) {
    const Image c = LoadCommitted("111_list_cursor.bmp");
    ASSERT_EQ(c.width, 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(c.At(i, 0), C_BLUE);
        EXPECT_EQ(c.At(i, 11), C_BLUE);
        EXPECT_EQ(c.At(11, i), C_BLUE);
    }
    const auto used = Histogram(c, 0, 0, 12, 12);
    EXPECT_EQ(used.count(C_TRANSPARENT), 0u) << "the cursor is opaque";
    ASSERT_GT(used.count(C_WHITE), 0u);
    EXPECT_GT(used.at(C_WHITE), 12);
    // Right-pointing: the white column runs are longest on the left.
    auto column = [&](int x) { return Histogram(c, x, 0, 1, 12)[C_WHITE]; };
    int first = 0;
    while (first < 12 && column(first) == 0) {
        ++first;
    }
    ASSERT_LT(first + 2, 12);
    EXPECT_GT(column(first), column(first + 2));
}

TEST(CommittedBitmaps, ItemIconsArePicturesOnTheWindowBlue) {
    std::set<std::vector<uint8_t>> seen;
    for (const auto& [name, width, height] : ExpectedBitmaps()) {
        if (width != 48) {
            continue;
        }
        const Image icon = LoadCommitted(name);
        ASSERT_EQ(icon.width, 48) << name;
        EXPECT_TRUE(AllOf(icon, 0, 0, 48, 1, C_BLUE)) << name;
        EXPECT_TRUE(AllOf(icon, 0, 47, 48, 1, C_BLUE)) << name;
        EXPECT_TRUE(AllOf(icon, 0, 0, 1, 48, C_BLUE)) << name;
        EXPECT_TRUE(AllOf(icon, 47, 0, 1, 48, C_BLUE)) << name;
        const auto used = Histogram(icon, 0, 0, 48, 48);
        EXPECT_EQ(used.count(C_TRANSPARENT), 0u) << name << ": icons are opaque";
        EXPECT_GT(48 * 48 - used.at(C_BLUE), 48 * 48 / 5) << name << ": too little picture";
        EXPECT_GE(used.size(), 10u) << name << ": needs shading, not flat colour";
        seen.insert(icon.pixels);
    }
    EXPECT_EQ(seen.size(), 16u) << "every item has its own picture";
}

TEST(CommittedBitmaps, SpriteSheetHoldsShipAndShotOnTransparentCells) {
    const Image s = LoadCommitted("101_sprites.bmp");
    ASSERT_EQ(s.width, 256);
    for (const auto& [column, minimum] : {std::pair{2, 60}, std::pair{3, 8}}) {
        const auto cell = Histogram(s, column * 16, 0, 16, 16);
        ASSERT_GT(cell.count(C_TRANSPARENT), 0u) << "cell " << column;
        EXPECT_GT(256 - cell.at(C_TRANSPARENT), minimum) << "cell " << column;
        EXPECT_GT(cell.at(C_TRANSPARENT), 256 / 4) << "cell " << column;
        // The cell's corners are background.
        EXPECT_EQ(s.At(column * 16, 0), C_TRANSPARENT);
        EXPECT_EQ(s.At(column * 16 + 15, 15), C_TRANSPARENT);
    }
    // The shot's brightest part is at its front: it flies to the right.
    int leftWhite = 0;
    int rightWhite = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (s.At(48 + x, y) == C_WHITE) {
                (x < 8 ? leftWhite : rightWhite)++;
            }
        }
    }
    EXPECT_GT(rightWhite, leftWhite);
}

// Every size of the program's icon is the ship of the committed sprite sheet,
// each of its pixels repeated (size / 16) times across and down, on a
// see-through background.
TEST(CommittedIcons, AreTheShipOfTheSpriteSheetEnlargedPixelForPixel) {
    const Image sheet = LoadCommitted("101_sprites.bmp");
    ASSERT_EQ(sheet.width, 256);
    constexpr int SHIP_X = 2 * 16;  // the cell the game draws the ship from
    for (const int size : APP_ICON_SIZES) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const IndexedPng png =
            ParsePng(ReadBytes(IconsDir() / "hicolor" / name / "apps" / "karido.png"), name);
        ASSERT_EQ(png.image.width, size) << name;
        ASSERT_EQ(png.image.height, size) << name;
        ASSERT_EQ(png.image.pixels.size(), static_cast<size_t>(size) * size) << name;
        ASSERT_EQ(png.alpha, std::vector<uint8_t>{0}) << name << ": index 0 alone is see-through";
        int mismatches = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                mismatches += png.image.At(x, y) != sheet.At(SHIP_X + x * 16 / size, y * 16 / size);
            }
        }
        EXPECT_EQ(mismatches, 0) << name;
        const auto used = Histogram(png.image, 0, 0, size, size);
        EXPECT_GT(used.size(), 8u) << name << ": the shaded ship, not a blank";
        EXPECT_GT(used.at(C_TRANSPARENT), size * size / 4) << name;
        EXPECT_EQ(png.image.At(0, 0), C_TRANSPARENT) << name;
    }
}

// ---------------------------------------------------------------------------

// The committed resources are the generator's output, byte for byte.
class Regenerate : public ::testing::Test {
   protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch_ = fs::temp_directory_path() /
                   ("karido-assets-test-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override { fs::remove_all(scratch_); }

    fs::path scratch_;
};

std::set<std::string> FileNames(const fs::path& dir) {
    std::set<std::string> names;
    if (fs::is_directory(dir)) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
    }
    return names;
}

TEST_F(Regenerate, OutputMatchesTheCommittedFiles) {
    const fs::path out = scratch_ / "resources";
    const std::string command =
        std::string("\"") + KARIDO_ASSETS_EXE + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* folder : {"bitmaps", "sounds"}) {
        const auto generated = FileNames(out / folder);
        const auto committed = FileNames(ResourcesDir() / folder);
        EXPECT_FALSE(generated.empty()) << folder;
        EXPECT_EQ(generated, committed) << folder << ": file lists differ";
        for (const std::string& name : generated) {
            if (committed.count(name) == 0) {
                continue;
            }
            EXPECT_TRUE(ReadBytes(out / folder / name) == ReadBytes(ResourcesDir() / folder / name))
                << folder << "/" << name << " differs from the generator's output";
        }
    }
    // The bitmaps are exactly the ones the program loads.
    std::set<std::string> expected;
    for (const auto& entry : ExpectedBitmaps()) {
        expected.insert(std::get<0>(entry));
    }
    EXPECT_EQ(FileNames(out / "bitmaps"), expected);
}

// Paths of the files under dir, relative to it.
std::set<std::string> FilesUnder(const fs::path& dir) {
    std::set<std::string> names;
    if (fs::is_directory(dir)) {
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (entry.is_regular_file()) {
                names.insert(fs::relative(entry.path(), dir).generic_string());
            }
        }
    }
    return names;
}

TEST_F(Regenerate, IconsMatchTheCommittedFiles) {
    const fs::path out = scratch_ / "icons";
    const std::string command = std::string("\"") + KARIDO_ASSETS_EXE + "\" \"" +
                                (scratch_ / "resources").string() + "\" --icons \"" + out.string() +
                                "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto generated = FilesUnder(out);
    EXPECT_EQ(generated.size(), APP_ICON_SIZES.size());
    EXPECT_EQ(generated, FilesUnder(IconsDir())) << "file lists differ";
    for (const std::string& name : generated) {
        EXPECT_TRUE(ReadBytes(out / name) == ReadBytes(IconsDir() / name))
            << "packaging/icons/" << name << " differs from the generator's output";
    }
}

TEST_F(Regenerate, WritesAContactSheetPng) {
    const fs::path sheet = scratch_ / "docs" / "sheet.png";
    const std::string command = std::string("\"") + KARIDO_ASSETS_EXE + "\" \"" +
                                (scratch_ / "resources").string() + "\" --contact-sheet \"" +
                                sheet.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<uint8_t> png = ReadBytes(sheet);
    ASSERT_GT(png.size(), 33u);
    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    const uint32_t width =
        static_cast<uint32_t>(png[16]) << 24 | png[17] << 16 | png[18] << 8 | png[19];
    const uint32_t height =
        static_cast<uint32_t>(png[20]) << 24 | png[21] << 16 | png[22] << 8 | png[23];
    // Every bitmap enlarged at least twice fits: the overlay alone is 768 x 512.
    EXPECT_GE(width, 768u);
    EXPECT_GE(height, 512u);
}

TEST_F(Regenerate, RejectsBadArgumentsWithoutWritingAnything) {
    const std::string exe = std::string("\"") + KARIDO_ASSETS_EXE + "\"";
    const std::string out = " \"" + (scratch_ / "out").string() + "\"";
    EXPECT_NE(std::system((exe + " 2>/dev/null").c_str()), 0) << "no output folder";
    EXPECT_NE(std::system((exe + out + " --frobnicate 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((exe + out + " --contact-sheet 2>/dev/null").c_str()), 0)
        << "contact sheet without its path";
    EXPECT_NE(std::system((exe + out + " --icons 2>/dev/null").c_str()), 0)
        << "icons without their folder";
    EXPECT_FALSE(fs::exists(scratch_ / "out"));
}

}  // namespace
