#include "surface/surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tests/surface/surface_ptr.h"

namespace {

using testing_surface::SurfacePtr;

SurfacePtr Make(int w, int h, int mode) { return SurfacePtr(SurfaceCreate(w, h, mode)); }

TEST(SurfaceCreate, RgbModeWritesHeaderGreyRampAndZeroPixels) {
    SurfacePtr s = Make(12, 12, DIB_RGB_COLORS);
    ASSERT_NE(s, nullptr);
    const BitmapInfoHeader& h = *s->header;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 12);
    EXPECT_EQ(h.biHeight, -12);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biCompression, BI_RGB);
    EXPECT_EQ(h.biSizeImage, 144u);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(SurfaceStride(s.get()), 12);
    EXPECT_EQ(s->ownsPixels, 1);
    EXPECT_EQ(s->tableMode, DIB_RGB_COLORS);
    const RgbQuad e = SurfaceRgbTable(s.get())[200];
    EXPECT_EQ(e.rgbBlue, 200);
    EXPECT_EQ(e.rgbGreen, 200);
    EXPECT_EQ(e.rgbRed, 200);
    EXPECT_EQ(e.rgbReserved, 0);
    for (size_t i = 0; i < 144; ++i) {
        ASSERT_EQ(s->pixels[i], 0) << i;
    }
}

TEST(SurfaceCreate, IndexModePadsTheStrideAndFillsIdentityIndices) {
    SurfacePtr s = Make(10, 3, DIB_PAL_COLORS);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SurfaceStride(s.get()), 12);
    EXPECT_EQ(s->header->biSizeImage, 36u);
    EXPECT_EQ(s->tableMode, DIB_PAL_COLORS);
    const uint16_t* table = SurfaceIndexTable(s.get());
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(table[i], i);
    }
}

TEST(SurfaceCreate, HeightSignIsIgnoredAndEmptySurfacesAreValid) {
    SurfacePtr up = Make(8, -5, DIB_RGB_COLORS);
    SurfacePtr down = Make(8, 5, DIB_RGB_COLORS);
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(std::memcmp(up->header, down->header, 40 + 1024), 0);

    SurfacePtr empty = Make(0, 0, DIB_PAL_COLORS);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SurfacePixelBytes(empty.get()), 0u);
    EXPECT_EQ(empty->header->biHeight, 0);
}

TEST(SurfaceCreate, RefusesSizesItCannotDescribe) {
    EXPECT_EQ(SurfaceCreate(-4, 4, DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(SurfaceCreate(65536, 65536, DIB_RGB_COLORS), nullptr);  // 4 GiB
    EXPECT_EQ(SurfaceCreate(2147483647, 1, DIB_PAL_COLORS), nullptr);
    EXPECT_EQ(SurfaceCreate(4, -2147483647 - 1, DIB_PAL_COLORS), nullptr);
}

TEST(SurfacePutPixel, ChecksOnlyTheLinearOffset) {
    SurfacePtr s = Make(1024, 1024, DIB_PAL_COLORS);
    ASSERT_NE(s, nullptr);
    SurfacePutPixel(s.get(), 1024, 0, 3);  // lands on (0, 1)
    EXPECT_EQ(s->pixels[1024], 3);
    SurfacePutPixel(s.get(), 0, 1024, 3);
    SurfacePutPixel(s.get(), -1, 0, 3);
    SurfacePutPixel(s.get(), 2147483647, 2147483647, 3);
    SurfacePutPixel(s.get(), 5, 5, 0x1FF);
    EXPECT_EQ(s->pixels[5 * 1024 + 5], 0xFF);
    size_t nonZero = 0;
    for (size_t i = 0; i < SurfacePixelBytes(s.get()); ++i) {
        nonZero += s->pixels[i] != 0;
    }
    EXPECT_EQ(nonZero, 2u);  // nothing else was written
}

TEST(SurfacePutPixel, ReachesPaddingAndNeighbouringRows) {
    SurfacePtr s = Make(10, 2, DIB_RGB_COLORS);
    ASSERT_NE(s, nullptr);
    SurfacePutPixel(s.get(), 11, 0, 7);  // second padding byte of row 0
    SurfacePutPixel(s.get(), 0, 1, 8);   // first pixel of row 1
    SurfacePutPixel(s.get(), -1, 1, 9);  // last padding byte of row 0
    EXPECT_EQ(s->pixels[11], 9);
    EXPECT_EQ(s->pixels[12], 8);
    SurfacePutPixel(s.get(), 12, 1, 1);  // one past the block
    EXPECT_EQ(s->pixels[23], 0);
}

void FillRows(Surface* s) {
    const int stride = SurfaceStride(s);
    for (int r = 0; r < SurfaceRows(s); ++r) {
        for (int x = 0; x < stride; ++x) {
            s->pixels[r * stride + x] = static_cast<uint8_t>(r * 16 + x);
        }
    }
}

TEST(SurfaceFlipRows, ReversesRowsWithPaddingAndKeepsTheMiddle) {
    for (int rows : {0, 1, 3, 4}) {
        SurfacePtr s = Make(10, rows, DIB_RGB_COLORS);
        ASSERT_NE(s, nullptr);
        FillRows(s.get());
        SurfaceFlipRows(s.get());
        for (int r = 0; r < rows; ++r) {
            for (int x = 0; x < 12; ++x) {
                ASSERT_EQ(s->pixels[r * 12 + x], (rows - 1 - r) * 16 + x)
                    << "rows " << rows << " r " << r << " x " << x;
            }
        }
        EXPECT_EQ(s->header->biHeight, -rows);  // the header is not touched
    }
}

TEST(SurfaceFlipRows, RowsWiderThanTheRowBufferAreSwappedWhole) {
    // 1300 bytes per row: two full 512-byte pieces and a partial one.
    SurfacePtr s = Make(1300, 3, DIB_PAL_COLORS);
    ASSERT_NE(s, nullptr);
    for (int r = 0; r < 3; ++r) {
        for (int x = 0; x < 1300; ++x) {
            s->pixels[r * 1300 + x] = static_cast<uint8_t>(r * 7 + x * 3);
        }
    }
    SurfaceFlipRows(s.get());
    for (int r = 0; r < 3; ++r) {
        for (int x = 0; x < 1300; ++x) {
            ASSERT_EQ(s->pixels[r * 1300 + x], static_cast<uint8_t>((2 - r) * 7 + x * 3));
        }
    }
}

}  // namespace
