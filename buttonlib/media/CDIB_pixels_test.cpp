// Single pixels, byte-wise blits and row operations, including coordinates
// and pictures that do not fit.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/DibTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using media::testing::MakeIndexed;
using media::testing::MakePattern;
using media::testing::PixelBytes;

TEST(CDIBPixelTest, MemoryRowsCountFromTheBottomAndAddressesFromTheTop)
{
    for (WORD bpp : {1, 4, 8, 16, 24}) {
        SCOPED_TRACE(bpp);
        CDIB dib;
        ASSERT_TRUE(dib.CreateBlank(5, 3, bpp, RGB(0, 0, 0)));
        const DWORD value = bpp == 1 ? 1 : bpp == 4 ? 9 : bpp == 8 ? 200 : RGB(248, 8, 96);
        dib.SetPixel(0, 0, value);
        // The bottom-left pixel is the first of the block; its address counts from the top.
        EXPECT_EQ(dib.GetPixelAddress(0, 2), dib.GetBits());
        EXPECT_EQ(dib.GetPixelAddress(0, 0), dib.GetBits() + 2 * dib.GetRowBytes());
        if (bpp <= 8) {
            EXPECT_EQ(dib.GetPixelIndex(0, 0), int(value));
            const RGBQUAD& q = dib.GetColorTable()[value];
            EXPECT_EQ(dib.GetPixel(0, 0), RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
        } else {
            EXPECT_EQ(dib.GetPixelIndex(0, 0), -1);
            EXPECT_EQ(dib.GetPixel(0, 0), RGB(248, 8, 96));
        }
        // Every other pixel stays as it was.
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                if (x || y) {
                    ASSERT_EQ(dib.GetPixel(x, y), dib.GetPixel(4, 2)) << x << "," << y;
                }
    }

    // 1 bit: only 1 sets; 4 bits: the low four bits of the index; 16 bits: 5-5-5 times 8.
    CDIB dib;
    ASSERT_TRUE(dib.CreateBlank(9, 2, 1, RGB(255, 255, 255)));
    dib.SetPixel(8, 1, 2);
    EXPECT_EQ(dib.GetPixelIndex(8, 1), 0);
    ASSERT_TRUE(dib.CreateBlank(3, 1, 4, 0));
    dib.SetPixel(1, 0, 0x1F3);
    EXPECT_EQ(dib.GetPixelIndex(1, 0), 3);
    EXPECT_EQ(dib.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(dib.GetPixelIndex(2, 0), 0);
    ASSERT_TRUE(dib.CreateBlank(2, 1, 16, 0));
    dib.SetPixel(1, 0, RGB(255, 130, 7));
    EXPECT_EQ(dib.GetPixel(1, 0), RGB(248, 128, 0));
    EXPECT_EQ(dib.GetBits()[2] | (dib.GetBits()[3] << 8), (31 << 10) | (16 << 5));
    EXPECT_EQ(dib.GetMaxColors(), 65536);
    ASSERT_TRUE(dib.CreateBlank(2, 1, 32, RGB(1, 2, 3)));
    EXPECT_EQ(dib.GetPixel(0, 0), 0u);
    EXPECT_EQ(dib.GetPixelAddress(0, 0), nullptr);
    EXPECT_EQ(dib.GetMaxColors(), 0);
}

TEST(CDIBPixelTest, CoordinatesOutsideThePictureReadNothingAndWriteNothing)
{
    for (WORD bpp : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        CDIB dib;
        MakePattern(dib, bpp);
        const std::vector<BYTE> before = PixelBytes(dib);
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{
                 {-1, 0}, {0, -1}, {5, 0}, {0, 3}, {INT_MIN, INT_MIN}, {INT_MAX, 1}, {-8, -1}}) {
            EXPECT_EQ(dib.GetPixel(x, y), 0u);
            EXPECT_EQ(dib.GetPixelIndex(x, y), -1);
            EXPECT_EQ(dib.GetPixelAddress(x, y), nullptr);
            dib.SetPixel(x, y, 0xFFFFFFFF);
            COLORREF c = 7;
            EXPECT_FALSE(dib.GetRGB(x, y, &c));
            EXPECT_FALSE(dib.SetRGB(x, y, &c));
        }
        EXPECT_EQ(PixelBytes(dib), before);
    }
    // An index beyond a short table reads black.
    CDIB shortTable;
    MakeIndexed(shortTable, 2, 1, {{0, 0, 0, 0}, {5, 6, 7, 0}}, RGB(7, 6, 5));
    EXPECT_EQ(shortTable.GetPixel(0, 0), RGB(7, 6, 5));
    shortTable.SetPixel(0, 0, 200);
    EXPECT_EQ(shortTable.GetPixel(0, 0), 0u);

    CDIB empty;
    EXPECT_EQ(empty.GetPixel(0, 0), 0u);
    EXPECT_EQ(empty.GetPixelIndex(0, 0), -1);
    EXPECT_EQ(empty.GetPixelAddress(0, 0), nullptr);
    empty.SetPixel(0, 0, 1);
    EXPECT_EQ(empty.Invert(), 0);
    EXPECT_FALSE(empty.FlipY());
    EXPECT_FALSE(empty.ResizeHeight(3));
    EXPECT_EQ(empty.GetMaxColors(), 0);
}

TEST(CDIBPixelTest, RgbAccessIsForTwentyFourBitPicturesOnly)
{
    CDIB dib;
    ASSERT_TRUE(dib.CreateBlank(3, 2, 24, RGB(1, 2, 3)));
    const COLORREF c = RGB(10, 20, 30);
    ASSERT_TRUE(dib.SetRGB(2, 0, &c));
    COLORREF back = 0;
    ASSERT_TRUE(dib.GetRGB(2, 0, &back));
    EXPECT_EQ(back, c);
    // (2, 0) from the top is (2, 1) from the bottom.
    EXPECT_EQ(dib.GetPixel(2, 1), c);
    EXPECT_FALSE(dib.GetRGB(0, 0, nullptr));
    CDIB eight;
    MakePattern(eight, 8);
    EXPECT_FALSE(eight.GetRGB(0, 0, &back));
    EXPECT_FALSE(eight.SetRGB(0, 0, &c));
}

TEST(CDIBPixelTest, BlitBytesCopiesRowsClippedToBothPictures)
{
    CDIB src, dest;
    ASSERT_TRUE(src.CreateBlank(4, 3, 8, 0));
    ASSERT_TRUE(dest.CreateBlank(5, 4, 8, 0));
    // Source bytes: 10 * top row + column.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            *src.GetPixelAddress(x, y) = BYTE(10 * y + x + 1);
    src.BlitBytes(dest, 1, 2, 3, 2, 1, 0, -1);
    EXPECT_EQ(*dest.GetPixelAddress(1, 2), 2);
    EXPECT_EQ(*dest.GetPixelAddress(3, 3), 14);
    EXPECT_EQ(*dest.GetPixelAddress(0, 2), 0);
    EXPECT_EQ(*dest.GetPixelAddress(1, 1), 0);

    // A key leaves its bytes out.
    CDIB keyed;
    ASSERT_TRUE(keyed.CreateBlank(5, 4, 8, 0));
    std::fill(keyed.GetBits(), keyed.GetBits() + keyed.GetImageSize(), BYTE(99));
    src.BlitBytes(keyed, 0, 0, 4, 3, 0, 0, 12);
    EXPECT_EQ(*keyed.GetPixelAddress(1, 1), 99);
    EXPECT_EQ(*keyed.GetPixelAddress(2, 1), 13);

    // Partly or wholly outside either picture: only what fits is copied.
    std::vector<BYTE> before = PixelBytes(dest);
    src.BlitBytes(dest, -2, -1, 6, 3, 0, 0, -1);
    EXPECT_EQ(*dest.GetPixelAddress(0, 0), 13);
    EXPECT_EQ(*dest.GetPixelAddress(1, 1), 24);
    src.BlitBytes(dest, 3, 3, 100, 100, 2, 1, -1);
    EXPECT_EQ(*dest.GetPixelAddress(3, 3), 13);
    EXPECT_EQ(*dest.GetPixelAddress(4, 3), 14);
    before = PixelBytes(dest);
    src.BlitBytes(dest, 0, 0, 4, 3, 0, 3, -1);
    src.BlitBytes(dest, 0, 0, 4, 3, 4, 0, -1);
    src.BlitBytes(dest, 0, 0, -4, 3, 0, 0, -1);
    src.BlitBytes(dest, 0, 0, 4, -3, 0, 0, -1);
    src.BlitBytes(dest, INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX, -1);
    src.BlitBytes(dest, 0, 0, INT_MAX, INT_MAX, INT_MIN, INT_MIN, -1);
    EXPECT_EQ(PixelBytes(dest), before);
    CDIB empty;
    src.BlitBytes(empty, 0, 0, 4, 3, 0, 0, -1);
    empty.BlitBytes(dest, 0, 0, 4, 3, 0, 0, -1);
    EXPECT_EQ(PixelBytes(dest), before);

    // Into itself, overlapping.
    src.BlitBytes(src, 1, 0, 3, 3, 0, 0, -1);
    EXPECT_EQ(*src.GetPixelAddress(1, 0), 1);
    EXPECT_EQ(*src.GetPixelAddress(3, 2), 23);
}

TEST(CDIBPixelTest, RowsFlipResizeKeepAndAppend)
{
    CDIB dib;
    ASSERT_TRUE(dib.CreateBlank(3, 4, 8, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            *dib.GetPixelAddress(x, y) = BYTE(10 * y + x);
    ASSERT_TRUE(dib.FlipY());
    EXPECT_EQ(*dib.GetPixelAddress(0, 0), 30);
    EXPECT_EQ(*dib.GetPixelAddress(2, 3), 2);
    ASSERT_TRUE(dib.FlipY());

    // Shrinking keeps the top rows and updates the header's image size.
    ASSERT_TRUE(dib.ResizeHeight(2));
    EXPECT_EQ(dib.GetHeight(), 2);
    EXPECT_EQ(dib.GetImageSize(), 8u);
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biSizeImage, 8u);
    EXPECT_EQ(*dib.GetPixelAddress(1, 0), 1);
    EXPECT_EQ(*dib.GetPixelAddress(2, 1), 12);
    // Growing adds zeroed rows at the bottom.
    ASSERT_TRUE(dib.ResizeHeight(3));
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biSizeImage, 12u);
    EXPECT_EQ(*dib.GetPixelAddress(1, 0), 1);
    EXPECT_EQ(*dib.GetPixelAddress(0, 2), 0);
    EXPECT_TRUE(dib.ResizeHeight(3));
    EXPECT_THROW(dib.ResizeHeight(-1), CMemoryException);
    EXPECT_THROW(dib.ResizeHeight(INT_MAX), CMemoryException);
    EXPECT_EQ(dib.GetHeight(), 3);
    EXPECT_EQ(*dib.GetPixelAddress(2, 1), 12);

    // Rows 1 and 2 from the top.
    ASSERT_TRUE(dib.CreateBlank(3, 4, 8, 0));
    for (int y = 0; y < 4; ++y)
        *dib.GetPixelAddress(0, y) = BYTE(y + 1);
    ASSERT_TRUE(dib.KeepRows(1, 3));
    ASSERT_EQ(dib.GetHeight(), 2);
    EXPECT_EQ(*dib.GetPixelAddress(0, 0), 2);
    EXPECT_EQ(*dib.GetPixelAddress(0, 1), 3);
    EXPECT_TRUE(dib.KeepRows(0, 2));
    EXPECT_FALSE(dib.KeepRows(1, 3));
    EXPECT_FALSE(dib.KeepRows(-1, 1));
    EXPECT_FALSE(dib.KeepRows(2, 1));
    EXPECT_EQ(dib.GetHeight(), 2);

    // Appended rows go below; pictures of another width or depth change nothing.
    CDIB more;
    ASSERT_TRUE(more.CreateBlank(3, 1, 8, 0));
    *more.GetPixelAddress(0, 0) = 77;
    dib.AppendRows(more);
    ASSERT_EQ(dib.GetHeight(), 3);
    EXPECT_EQ(*dib.GetPixelAddress(0, 0), 2);
    EXPECT_EQ(*dib.GetPixelAddress(0, 2), 77);
    dib.AppendRows(dib);
    ASSERT_EQ(dib.GetHeight(), 6);
    EXPECT_EQ(*dib.GetPixelAddress(0, 3), 2);
    EXPECT_EQ(*dib.GetPixelAddress(0, 5), 77);
    CDIB wide, deep;
    ASSERT_TRUE(wide.CreateBlank(4, 1, 8, 0));
    ASSERT_TRUE(deep.CreateBlank(3, 1, 24, 0));
    const std::vector<BYTE> before = PixelBytes(dib);
    dib.AppendRows(wide);
    dib.AppendRows(deep);
    dib.AppendRows(CDIB());
    EXPECT_EQ(PixelBytes(dib), before);
    CDIB empty;
    empty.AppendRows(more);
    EXPECT_EQ(PixelBytes(empty), PixelBytes(more));
}

TEST(CDIBPixelTest, InvertComplementsIndicesAndColoursOnly)
{
    for (WORD bpp : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        CDIB dib;
        MakePattern(dib, bpp);
        const std::vector<BYTE> before = PixelBytes(dib);
        const int index = dib.GetPixelIndex(1, 1);
        const COLORREF colour = dib.GetPixel(4, 2);
        EXPECT_EQ(dib.Invert(), 3);
        if (bpp <= 8) {
            EXPECT_EQ(dib.GetPixelIndex(1, 1), index ^ ((1 << bpp) - 1));
        } else if (bpp == 24) {
            EXPECT_EQ(dib.GetPixel(4, 2), colour ^ 0xFFFFFFu);
        } else {
            EXPECT_EQ(PixelBytes(dib), before);
        }
        // The row padding is left as it was, and twice is nothing.
        const std::size_t used = (5 * std::size_t(bpp) + 7) / 8;
        for (std::size_t k = used; k < dib.GetRowBytes(); ++k)
            EXPECT_EQ(dib.GetBits()[k], before[k]);
        dib.Invert();
        EXPECT_EQ(PixelBytes(dib), before);
    }
}

TEST(CDIBPixelTest, FindColorReadsWindowsAndOs2Tables)
{
    CDIB dib;
    MakePattern(dib, 8);
    EXPECT_EQ(DibFindColor(dib.GetInfo(), 256, RGB(0x80, 0, 0)), 1);
    EXPECT_EQ(DibFindColor(dib.GetInfo(), 256, RGB(0xFF, 0xFF, 0xFF)), 255);
    EXPECT_EQ(DibFindColor(dib.GetInfo(), 255, RGB(0xFF, 0xFF, 0xFF)), -1);
    EXPECT_EQ(DibFindColor(dib.GetInfo(), 256, RGB(1, 2, 3)), -1);
    EXPECT_EQ(DibFindColor(nullptr, 256, 0), -1);
    // 12-byte header, 3-byte entries.
    const BYTE core[12 + 9] = {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 4, 0, 1, 2, 3, 30, 20, 10, 7, 8, 9};
    EXPECT_EQ(DibFindColor(reinterpret_cast<const BITMAPINFO*>(core), 3, RGB(10, 20, 30)), 1);

    CDIB four;
    MakePattern(four, 4);
    EXPECT_EQ(four.GetMaxColors(), 16);
}

} // namespace
