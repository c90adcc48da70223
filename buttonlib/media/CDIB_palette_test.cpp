// Format changes, mapping onto palettes and the colour-table setters.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/DibTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using media::testing::MakeIndexed;
using media::testing::MakePattern;
using media::testing::PixelBytes;
using media::testing::RgbaOf;

HPALETTE paletteOf(const std::vector<COLORREF>& colours)
{
    std::vector<BYTE> buf(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i)
        lp->palPalEntry[i] = PALETTEENTRY{GetRValue(colours[i]), GetGValue(colours[i]), GetBValue(colours[i]), 0};
    return CreatePalette(lp);
}

TEST(CDIBFormatTest, ChangeFormatConvertsAndRefusesWhatItCannotHold)
{
    CDIB dib;
    MakePattern(dib, 8);
    const auto colours = RgbaOf(dib).pixels;
    ASSERT_TRUE(dib.ChangeFormat(24, BI_RGB));
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(RgbaOf(dib).pixels, colours);
    EXPECT_EQ(dib.GetAux(), 24);

    // Back to 8 bits through the popularity palette: the colours as 5-6-5
    // keys widened again.
    ASSERT_TRUE(dib.ChangeFormat(8, BI_RGB));
    EXPECT_EQ(dib.GetBitCount(), 8);
    codec::testing::Rgba was = RgbaOf(dib);
    was.pixels = colours;
    EXPECT_LE(codec::testing::MaxDifference(RgbaOf(dib), was, false), 7);

    // Run-length rows and unknown depths are refused, the picture kept.
    const std::vector<BYTE> before = PixelBytes(dib);
    EXPECT_FALSE(dib.ChangeFormat(8, BI_RLE8));
    EXPECT_FALSE(dib.ChangeFormat(7, BI_RGB));
    EXPECT_FALSE(dib.ChangeFormat(-1, BI_RGB));
    EXPECT_FALSE(dib.ChangeFormat(24, BI_RLE4));
    EXPECT_EQ(PixelBytes(dib), before);
    CDIB empty;
    EXPECT_FALSE(empty.ChangeFormat(24, BI_RGB));
}

TEST(CDIBFormatTest, MapToPaletteMapsEightBitPicturesOnly)
{
    CPalette pal;
    ASSERT_TRUE(pal.Attach(paletteOf({RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 255)})));

    // A picture of a 3-entry table (reddish, white, bluish): the table grows
    // to the palette's four.
    CDIB dib;
    MakeIndexed(dib, 3, 1, {{10, 10, 240, 0}, {250, 250, 250, 0}, {200, 20, 20, 0}}, 0);
    BYTE* row = dib.GetBits();
    row[0] = 0;
    row[1] = 1;
    row[2] = 2;
    ASSERT_TRUE(dib.MapToPalette(&pal));
    EXPECT_EQ(dib.GetColorCount(), 4);
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biClrUsed, 4u);
    EXPECT_EQ(dib.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.GetPixel(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(dib.GetPixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(dib.GetPixelIndex(2, 0), 3);
    EXPECT_EQ(dib.GetPalette()->GetEntryCount(), 4);
    // The block stays one packed DIB: it converts and stores as it should.
    ASSERT_TRUE(dib.ChangeFormat(24, BI_RGB));
    EXPECT_EQ(dib.GetPixel(2, 0), RGB(0, 0, 255));

    for (WORD bpp : {1, 4, 16, 24}) {
        CDIB other;
        MakePattern(other, bpp);
        const std::vector<BYTE> before = PixelBytes(other);
        EXPECT_FALSE(other.MapToPalette(&pal)) << bpp;
        EXPECT_EQ(PixelBytes(other), before);
    }
    CDIB eight;
    MakePattern(eight, 8);
    EXPECT_FALSE(eight.MapToPalette(nullptr));
    CPalette none;
    EXPECT_FALSE(eight.MapToPalette(&none));
    std::vector<COLORREF> many(300, RGB(1, 2, 3));
    CPalette big;
    ASSERT_TRUE(big.Attach(paletteOf(many)));
    EXPECT_FALSE(eight.MapToPalette(&big));
}

TEST(CDIBFormatTest, TableSettersWriteAsManyEntriesAsBothHave)
{
    CDIB dib;
    MakePattern(dib, 4);
    CPalette pal;
    ASSERT_TRUE(pal.Attach(paletteOf({RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)})));
    EXPECT_EQ(dib.SetColorsFromPalette(&pal), 3);
    EXPECT_EQ(dib.GetColorTable()[2].rgbRed, 7);
    EXPECT_EQ(dib.GetColorTable()[2].rgbBlue, 9);
    EXPECT_EQ(dib.GetColorTable()[3].rgbRed, CDIB::kDefaultColors16[3].rgbRed);

    // SetPaletteFrom also changes the picture's own palette, whose 16
    // entries then make the table.
    EXPECT_EQ(dib.SetPaletteFrom(&pal), 16);
    PALETTEENTRY e{};
    ASSERT_EQ(dib.GetPalette()->GetPaletteEntries(1, 1, &e), 1u);
    EXPECT_EQ(e.peGreen, 5);

    CDIB eight;
    MakePattern(eight, 8);
    EXPECT_EQ(eight.SetColorTable(dib.GetInfo()), 16);
    EXPECT_EQ(eight.GetColorTable()[1].rgbGreen, 5);
    EXPECT_EQ(eight.GetColorTable()[16].rgbRed, CDIB::kDefaultColors256[16].rgbRed);
    EXPECT_EQ(dib.SetColorTable(eight.GetInfo()), 16);

    CDIB rgb, empty;
    MakePattern(rgb, 24);
    EXPECT_EQ(rgb.SetColorsFromPalette(&pal), 0);
    EXPECT_EQ(empty.SetColorTable(dib.GetInfo()), 0);
    EXPECT_EQ(dib.SetColorTable(nullptr), 0);
    EXPECT_EQ(dib.SetPaletteFrom(nullptr), 0);
}

} // namespace
