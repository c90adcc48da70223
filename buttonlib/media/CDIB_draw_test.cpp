// Pictures drawn on device contexts, stretched into other pictures, filled
// and cropped.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/DibTestSupport.h"

#include "platform/gdi/GdiTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

using gditest::Canvas;
using media::testing::MakeIndexed;
using media::testing::MakePattern;
using media::testing::PixelBytes;

// A pixel's colour counted from the top row.
COLORREF at(const CDIB& dib, int x, int y)
{
    return dib.GetPixel(x, dib.GetHeight() - 1 - y);
}

// A 24-bit picture with a different colour in every pixel.
void colourful(CDIB& dib, int w, int h)
{
    ASSERT_TRUE(dib.CreateBlank(w, h, 24, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dib.SetPixel(x, y, RGB(BYTE(20 + 40 * x), BYTE(10 + 50 * y), BYTE(x * y * 7)));
}

class DrawTest : public ::testing::Test {
protected:
    Canvas canvas_{12, 8, RGB(9, 9, 9)};
    CDC dc_;
    void SetUp() override { dc_.Attach(canvas_.dc()); }
    void TearDown() override { dc_.Detach(); }
};

TEST_F(DrawTest, DrawAndDrawAndPutThePictureOnTheDC)
{
    CDIB dib;
    MakePattern(dib, 8);
    dib.Draw(&dc_, 2, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(canvas_.Pixel(2 + x, 1 + y), at(dib, x, y)) << x << "," << y;
    EXPECT_EQ(canvas_.Pixel(1, 1), RGB(9, 9, 9));

    // The source rectangle counts rows from the bottom: (0, 0, 5, 1) is the bottom row.
    canvas_.Fill(RGB(9, 9, 9));
    EXPECT_EQ(dib.Draw(&dc_, CRect(0, 0, 10, 2), CRect(0, 0, 5, 1)), 3);
    EXPECT_EQ(canvas_.Pixel(0, 0), at(dib, 0, 2));
    EXPECT_EQ(canvas_.Pixel(9, 1), at(dib, 4, 2));
    EXPECT_EQ(canvas_.Pixel(0, 2), RGB(9, 9, 9));

    // AND with what is there.
    canvas_.Fill(RGB(0xF0, 0x0F, 0x3C));
    EXPECT_EQ(dib.DrawAnd(&dc_, CRect(0, 0, 5, 3), CRect(0, 0, 5, 3)), 3);
    EXPECT_EQ(canvas_.Pixel(3, 1), at(dib, 3, 1) & RGB(0xF0, 0x0F, 0x3C));

    // Nothing to draw: nothing drawn.
    CDIB empty;
    canvas_.Fill(RGB(9, 9, 9));
    empty.Draw(&dc_, 0, 0);
    EXPECT_EQ(empty.Draw(&dc_, CRect(0, 0, 5, 5), CRect(0, 0, 5, 5)), 0);
    EXPECT_EQ(empty.DrawAnd(&dc_, CRect(0, 0, 5, 5), CRect(0, 0, 5, 5)), 0);
    EXPECT_EQ(canvas_.Pixel(0, 0), RGB(9, 9, 9));
    dib.Draw(nullptr, 0, 0);

    CRect r;
    EXPECT_EQ(dib.GetRect(&r), 5);
    EXPECT_EQ(r, CRect(0, 0, 5, 3));
    EXPECT_EQ(empty.GetRect(&r), 0);
    EXPECT_TRUE(r.IsRectEmpty());
}

TEST_F(DrawTest, StretchToDCDoublesPixelsAndWithoutAPicturePaintsTheRop)
{
    CDIB dib;
    colourful(dib, 5, 3);
    EXPECT_EQ(dib.StretchToDC(canvas_.dc(), 0, 0, 10, 6, 0, 0, 5, 3, SRCCOPY), 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(canvas_.Pixel(x, y), at(dib, x / 2, y / 2)) << x << "," << y;

    CDIB empty;
    EXPECT_TRUE(empty.StretchToDC(canvas_.dc(), 1, 1, 2, 2, 0, 0, 0, 0, BLACKNESS));
    EXPECT_EQ(canvas_.Pixel(1, 1), 0u);
    EXPECT_EQ(canvas_.Pixel(3, 3), at(dib, 1, 1));
    EXPECT_FALSE(empty.StretchToDC(canvas_.dc(), 1, 1, 2, 2, 0, 0, 0, 0, SRCCOPY));
}

TEST_F(DrawTest, RectanglesFarOutsideEitherSideDrawOnlyWhatFits)
{
    CDIB dib, dest;
    colourful(dib, 5, 3);
    ASSERT_TRUE(dest.CreateBlank(4, 4, 8, RGB(255, 255, 255)));
    const std::vector<BYTE> destBefore = PixelBytes(dest);
    const int edges[] = {INT_MIN, -7, -1, 0, 2, INT_MAX};
    for (int a : edges)
        for (int b : edges) {
            SCOPED_TRACE(std::to_string(a) + ", " + std::to_string(b));
            dib.Draw(&dc_, CRect(a, b, b, a), CRect(b, a, a, b));
            dib.DrawAnd(&dc_, CRect(a, a, b, b), CRect(a, b, b, a));
            dib.Draw(&dc_, a, b);
            dib.StretchToDC(canvas_.dc(), a, b, b, a, b, a, a, b, SRCCOPY);
            dib.StretchBltInto(dest, a, b, a, b, b, a, b, a, SRCCOPY);
            dib.Fill(a, b, b, a, BLACKNESS);
            CDIB into;
            into.Copy(dest);
            EXPECT_TRUE(dib.StretchInto(into, a, b, b, a, a, b, b, a, SRCCOPY));
            EXPECT_EQ(into.GetWidth(), 4);
        }
    // Whatever went into dest lies inside it: its size and table stay.
    EXPECT_EQ(dest.GetWidth(), 4);
    EXPECT_EQ(dest.GetBitCount(), 8);
    EXPECT_EQ(PixelBytes(dest).size(), destBefore.size());
}

TEST(CDIBStretchTest, StretchIntoTakesTheScreensDepthExceptForOneBit)
{
    CDIB src;
    colourful(src, 4, 4);
    // An 8-bit destination on the true-colour screen comes back at 24 bits.
    CDIB dest;
    ASSERT_TRUE(dest.CreateBlank(8, 8, 8, RGB(255, 255, 255)));
    EXPECT_TRUE(src.StretchInto(dest, 0, 0, 8, 8, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(dest.GetBitCount(), 24);
    EXPECT_EQ(dest.GetWidth(), 8);
    EXPECT_EQ(at(dest, 7, 0), at(src, 3, 0));
    EXPECT_EQ(at(dest, 0, 7), at(src, 0, 3));

    // A 1-bit destination stays 1 bit with the black and white table.
    CDIB mask;
    ASSERT_TRUE(mask.CreateBlank(4, 2, 1, RGB(0, 0, 0)));
    CDIB white;
    ASSERT_TRUE(white.CreateBlank(1, 1, 24, RGB(255, 255, 255)));
    EXPECT_TRUE(white.StretchInto(mask, 2, 0, 2, 2, 0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(mask.GetBitCount(), 1);
    EXPECT_EQ(mask.GetColorTable()[1].rgbGreen, 255);
    EXPECT_EQ(mask.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(mask.GetPixelIndex(2, 0), 1);

    // Without a picture to stretch the destination stays as it was.
    CDIB empty;
    const std::vector<BYTE> before = PixelBytes(mask);
    EXPECT_TRUE(empty.StretchInto(mask, 0, 0, 4, 2, 0, 0, 1, 1, BLACKNESS));
    EXPECT_EQ(PixelBytes(mask), before);
    EXPECT_FALSE(src.StretchInto(empty, 0, 0, 4, 2, 0, 0, 1, 1, SRCCOPY));
    EXPECT_FALSE(empty.IsValid());
}

TEST(CDIBStretchTest, StretchBltIntoCountsFromTheTopAndKeepsTheDestinationsFormat)
{
    CDIB src;
    colourful(src, 4, 3);
    CDIB dest;
    ASSERT_TRUE(dest.CreateBlank(6, 5, 8, RGB(255, 255, 255)));
    const std::vector<RGBQUAD> table(dest.GetColorTable(), dest.GetColorTable() + 256);
    src.StretchBltInto(dest, 1, 2, 2, 2, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(dest.GetBitCount(), 8);
    EXPECT_EQ(std::vector<RGBQUAD>(dest.GetColorTable(), dest.GetColorTable() + 256).size(), table.size());
    EXPECT_EQ(dest.GetColorTable()[200].rgbRed, table[200].rgbRed);
    // Each pixel takes the table entry nearest to its colour.
    CPalette* pal = dest.GetPalette();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const int want = int(pal->GetNearestPaletteIndex(at(src, x, y)));
            EXPECT_EQ(*dest.GetPixelAddress(1 + x, 2 + y), want) << x << "," << y;
        }
    EXPECT_EQ(at(dest, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(at(dest, 3, 2), RGB(255, 255, 255));

    // Into itself: the picture's own top-left block moves right.
    src.StretchBltInto(src, 2, 0, 2, 2, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(at(src, 2, 0), RGB(20, 110, 0));
    EXPECT_EQ(at(src, 3, 1), RGB(60, 60, 7));

    // The default stretch mode keeps black pixels of a shrinking mask.
    CDIB mask, half;
    ASSERT_TRUE(mask.CreateBlank(4, 1, 1, RGB(255, 255, 255)));
    mask.SetPixel(1, 0, 0);
    ASSERT_TRUE(half.CreateBlank(2, 1, 1, RGB(255, 255, 255)));
    mask.StretchBltInto(half, 0, 0, 2, 1, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(half.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(half.GetPixelIndex(1, 0), 1);

    // An attached block may say its rows take more bytes than they do: only
    // the rows are copied.
    HGLOBAL block = GlobalAlloc(GHND, 40 + 124);
    auto* p = static_cast<BYTE*>(GlobalLock(block));
    const BITMAPINFOHEADER h{40, 4, 2, 1, 24, BI_RGB, 124, 0, 0, 0, 0};
    std::memcpy(p, &h, sizeof h);
    CDIB attached;
    ASSERT_TRUE(attached.Attach(block, p, 0xFFFFFFFF));
    ASSERT_EQ(attached.GetImageSize(), 124u);
    src.StretchBltInto(attached, 0, 0, 4, 2, 0, 0, 2, 2, SRCCOPY);
    attached.StretchBltInto(src, 0, 0, 4, 2, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(at(src, 0, 0), at(attached, 0, 0));
    CDIB appended;
    appended.Copy(attached);
    appended.AppendRows(attached);
    EXPECT_EQ(appended.GetHeight(), 4);

    // Nothing happens without both pictures.
    CDIB empty;
    empty.StretchBltInto(dest, 0, 0, 6, 5, 0, 0, 1, 1, SRCCOPY);
    src.StretchBltInto(empty, 0, 0, 6, 5, 0, 0, 1, 1, SRCCOPY);
    EXPECT_FALSE(empty.IsValid());
}

TEST(CDIBFillTest, FillTakesBlackOrWhiteOrTheNearestEntry)
{
    CDIB dib, original;
    colourful(dib, 5, 4);
    original.Copy(dib);
    const std::vector<BYTE> before = PixelBytes(dib);
    dib.Fill(0, 0, 5, 4, SRCCOPY);
    dib.Fill(0, 0, 5, 4, PATCOPY);
    EXPECT_EQ(PixelBytes(dib), before);

    dib.Fill(1, 1, 2, 2, BLACKNESS);
    EXPECT_EQ(at(dib, 1, 1), 0u);
    EXPECT_EQ(at(dib, 2, 2), 0u);
    EXPECT_EQ(at(dib, 3, 1), at(original, 3, 1));
    EXPECT_NE(at(dib, 0, 0), 0u);
    dib.FillRect(CRect(4, 0, 5, 4), WHITENESS);
    EXPECT_EQ(at(dib, 4, 3), RGB(255, 255, 255));
    EXPECT_NE(at(dib, 3, 3), RGB(255, 255, 255));

    // Partly outside: only the part inside changes; nothing for empty or
    // negative sizes, or rectangles wholly outside.
    dib.Fill(-3, -3, 4, 4, WHITENESS);
    EXPECT_EQ(at(dib, 0, 0), RGB(255, 255, 255));
    EXPECT_NE(at(dib, 1, 1), RGB(255, 255, 255));
    const std::vector<BYTE> now = PixelBytes(dib);
    dib.Fill(0, 0, -5, 4, BLACKNESS);
    dib.Fill(0, 0, 0, 4, BLACKNESS);
    dib.Fill(5, 0, 3, 3, BLACKNESS);
    dib.Fill(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, BLACKNESS);
    EXPECT_EQ(PixelBytes(dib), now);
    dib.Fill(-0x7FFFFFF0, -5, 0x7FFFFFFF, 0x7FFFFFFF, BLACKNESS);
    EXPECT_EQ(at(dib, 4, 3), 0u);

    // A table without black: the nearest entry.
    CDIB indexed;
    MakeIndexed(indexed, 3, 2, {{200, 200, 200, 0}, {0, 0, 90, 0}, {50, 40, 30, 0}, {255, 255, 255, 0}},
                RGB(200, 200, 200));
    indexed.Fill(0, 0, 2, 1, BLACKNESS);
    EXPECT_EQ(*indexed.GetPixelAddress(0, 0), 2);
    EXPECT_EQ(*indexed.GetPixelAddress(1, 0), 2);
    EXPECT_EQ(*indexed.GetPixelAddress(2, 0), 0);
    indexed.Fill(0, 1, 3, 1, WHITENESS);
    EXPECT_EQ(*indexed.GetPixelAddress(2, 1), 3);

    CDIB empty;
    empty.Fill(0, 0, 3, 3, BLACKNESS);
    EXPECT_FALSE(empty.IsValid());
}

TEST(CDIBCropTest, CropKeepsTheRectangleFromTheTopLeft)
{
    CDIB dib;
    colourful(dib, 5, 4);
    CDIB original;
    original.Copy(dib);
    dib.SetDpi(72, 300);
    dib.Crop(1, 1, 4, 3);
    ASSERT_EQ(dib.GetWidth(), 3);
    ASSERT_EQ(dib.GetHeight(), 2);
    EXPECT_EQ(dib.GetBitCount(), 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(at(dib, x, y), at(original, 1 + x, 1 + y));
    LONG dx = 0, dy = 0;
    dib.GetDpi(&dx, &dy);
    EXPECT_EQ(dx, 72);

    // Empty and inverted rectangles change nothing.
    const std::vector<BYTE> before = PixelBytes(dib);
    dib.Crop(2, 0, 2, 2);
    dib.Crop(2, 2, 1, 1);
    dib.Crop(0, 0, 3, -1);
    dib.Crop(-0x7FFFFFFF, 0, 0x7FFFFFFF, 1);
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(PixelBytes(dib), before);

    // What lies outside the picture comes out white.
    dib.Crop(-1, 0, 3, 3);
    ASSERT_EQ(dib.GetWidth(), 4);
    ASSERT_EQ(dib.GetHeight(), 3);
    EXPECT_EQ(at(dib, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(at(dib, 1, 0), at(original, 1, 1));
    EXPECT_EQ(at(dib, 3, 2), RGB(255, 255, 255));

    // Palette pictures keep their table and indices.
    CDIB eight;
    MakePattern(eight, 4);
    CDIB copy;
    copy.Copy(eight);
    eight.Crop(1, 0, 4, 3);
    EXPECT_EQ(eight.GetBitCount(), 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(eight.GetPixelIndex(x, y), copy.GetPixelIndex(1 + x, y));
}

} // namespace
