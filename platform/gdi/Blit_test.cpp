#include "platform/gdi/GdiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using gditest::Canvas;
using gditest::ropReference;

constexpr DWORD kDPa = 0x00A000C9;
constexpr DWORD kDPo = 0x00FA0089;
constexpr DWORD kPSDPxax = 0x00B8074A;

// A destination with a different colour in every pixel.
COLORREF destination(int x, int y)
{
    return RGB(BYTE(x * 37 + y * 11), BYTE(0xA5 ^ (x * 5)), BYTE(y * 29 + 3));
}

void paintDestination(Canvas& c)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            HBRUSH b = CreateSolidBrush(destination(x, y));
            const RECT r{x, y, x + 1, y + 1};
            FillRect(c.dc(), &r, b);
            DeleteObject(b);
        }
}

// A 3 x 2 colour bitmap: distinct colours in each pixel.
COLORREF tileColour(int x, int y)
{
    return RGB(BYTE(0x30 + 0x41 * x), BYTE(0xC3 - 0x50 * y), BYTE(0x5A + 0x22 * (x + y)));
}

HBITMAP colourTile(HDC like)
{
    Canvas t(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            HBRUSH b = CreateSolidBrush(tileColour(x, y));
            const RECT r{x, y, x + 1, y + 1};
            FillRect(t.dc(), &r, b);
            DeleteObject(b);
        }
    HBITMAP bmp = CreateCompatibleBitmap(like, 3, 2);
    HDC m = CreateCompatibleDC(like);
    HGDIOBJ old = SelectObject(m, bmp);
    BitBlt(m, 0, 0, 3, 2, t.dc(), 0, 0, SRCCOPY);
    SelectObject(m, old);
    DeleteDC(m);
    return bmp;
}

TEST(BlitTest, PatBltFollowsTheTruthTablesWithPatternBrushes)
{
    Canvas c(13, 9);
    HBITMAP tile = colourTile(c.dc());
    HBRUSH colour = CreatePatternBrush(tile);
    const WORD rows[2] = {0x40, 0x80};
    HBITMAP monoBits = CreateBitmap(2, 2, 1, 1, rows);
    HBRUSH mono = CreatePatternBrush(monoBits);
    SetTextColor(c.dc(), RGB(0x12, 0x34, 0x56));
    SetBkColor(c.dc(), RGB(0xF0, 0xE1, 0xD2));
    // The mono pattern: row 0 is 0 1, row 1 is 1 0.
    const auto monoColour = [](int x, int y) {
        return ((x % 2) ^ (y % 2)) ? RGB(0xF0, 0xE1, 0xD2) : RGB(0x12, 0x34, 0x56);
    };
    struct Brush {
        HBRUSH handle;
        COLORREF (*at)(int, int);
    };
    const Brush brushes[] = {{colour, [](int x, int y) { return tileColour(x % 3, y % 2); }}, {mono, nullptr}};
    for (const Brush& brush : brushes) {
        SelectObject(c.dc(), brush.handle);
        for (DWORD rop : {PATCOPY, kDPa, kDPo, BLACKNESS, WHITENESS, PATINVERT, DSTINVERT, DWORD(0x000F0001)}) {
            SCOPED_TRACE(rop);
            paintDestination(c);
            // The pattern repeats from the DC's origin, not from the blit's corner.
            ASSERT_TRUE(PatBlt(c.dc(), 2, 1, 9, 7, rop));
            const QImage image = c.Image();
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 13; ++x) {
                    const bool inside = x >= 2 && x < 11 && y >= 1 && y < 8;
                    const COLORREF p = brush.at ? brush.at(x, y) : monoColour(x, y);
                    const COLORREF want = inside ? ropReference(rop, p, 0, destination(x, y)) : destination(x, y);
                    ASSERT_EQ(image.pixel(x, y), gditest::Rgb(want)) << x << ", " << y;
                }
        }
    }
    // A negative extent reaches the other way; a source code is refused.
    paintDestination(c);
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(PatBlt(c.dc(), 5, 5, -2, -3, PATCOPY));
    EXPECT_EQ(c.Pixel(3, 2), 0u);
    EXPECT_EQ(c.Pixel(4, 4), 0u);
    EXPECT_EQ(c.Pixel(5, 4), destination(5, 4));
    EXPECT_EQ(c.Pixel(2, 2), destination(2, 2));
    EXPECT_FALSE(PatBlt(c.dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(PatBlt(nullptr, 0, 0, 2, 2, PATCOPY));
    // The null brush paints nothing.
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(PatBlt(c.dc(), 0, 0, 13, 9, PATCOPY));
    EXPECT_EQ(c.Pixel(0, 0), destination(0, 0));

    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(colour);
    DeleteObject(mono);
    DeleteObject(tile);
    DeleteObject(monoBits);
}

TEST(BlitTest, BitBltTakesThePatternBrushPixelByPixel)
{
    // PSDPxax: the brush where the source is black, the destination elsewhere,
    // with a monochrome source turned to colour by the DC's colours.
    Canvas c(12, 8);
    HBITMAP tile = colourTile(c.dc());
    HBRUSH colour = CreatePatternBrush(tile);
    // Rows of 2 bytes, the leftmost pixel in the top bit.
    std::vector<BYTE> bytes;
    for (int y = 0; y < 8; ++y) {
        bytes.push_back(BYTE(0xB3 << y));
        bytes.push_back(0x50);
    }
    HBITMAP maskBmp = CreateBitmap(12, 8, 1, 1, bytes.data());
    HDC maskDC = CreateCompatibleDC(c.dc());
    HGDIOBJ oldMask = SelectObject(maskDC, maskBmp);
    const auto sourceBit = [&](int x, int y) {
        const BYTE b = bytes[std::size_t(y) * 2 + std::size_t(x / 8)];
        return (b >> (7 - x % 8)) & 1;
    };

    for (DWORD rop : {kPSDPxax, MERGECOPY, DWORD(0x00E20746)}) {
        SCOPED_TRACE(rop);
        paintDestination(c);
        SelectObject(c.dc(), colour);
        // Black text and white background: mono 0 becomes black, 1 white.
        SetTextColor(c.dc(), 0);
        SetBkColor(c.dc(), 0xFFFFFF);
        ASSERT_TRUE(BitBlt(c.dc(), 0, 0, 12, 8, maskDC, 0, 0, rop));
        const QImage image = c.Image();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x) {
                const COLORREF s = sourceBit(x, y) ? 0xFFFFFF : 0;
                const COLORREF want = ropReference(rop, tileColour(x % 3, y % 2), s, destination(x, y));
                ASSERT_EQ(image.pixel(x, y), gditest::Rgb(want)) << x << ", " << y;
                if (rop == kPSDPxax) {
                    ASSERT_EQ(want, s ? destination(x, y) : tileColour(x % 3, y % 2));
                }
            }
    }
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    SelectObject(maskDC, oldMask);
    DeleteDC(maskDC);
    DeleteObject(maskBmp);
    DeleteObject(colour);
    DeleteObject(tile);
}

TEST(BlitTest, TheDisabledLookPaintsACheckerboardOfGrayText)
{
    // AND with the checkerboard in black and white, then OR with it in gray
    // text and black: the pixels of the 0 bits turn gray.
    Canvas c(16, 10, RGB(10, 200, 90));
    const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH checker = CreatePatternBrush(bits);
    HGDIOBJ old = SelectObject(c.dc(), checker);
    SetTextColor(c.dc(), 0);
    SetBkColor(c.dc(), 0xFFFFFF);
    PatBlt(c.dc(), 0, 0, 16, 10, kDPa);
    SetTextColor(c.dc(), GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(c.dc(), 0);
    PatBlt(c.dc(), 0, 0, 16, 10, kDPo);
    const QImage image = c.Image();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(image.pixel(x, y), (x + y) % 2 ? qRgb(10, 200, 90) : qRgb(128, 128, 128)) << x << ", " << y;
    SelectObject(c.dc(), old);
    DeleteObject(checker);
    DeleteObject(bits);
}

} // namespace
