#include "platform/gdi/GdiTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

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

TEST(BlitTest, SourceAndDestinationCombineByTheTruthTablesInsideTheClip)
{
    // The keyed copies of the button's paint: monochrome and colour sources
    // onto colour, colour onto monochrome, with an offset source and a clip.
    constexpr int kW = 13, kH = 9;
    Canvas c(kW, kH);
    Canvas colourSource(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            HBRUSH b = CreateSolidBrush((x + y) % 4 == 0 ? RGB(1, 2, 3) : destination(kW - x, y + 5));
            const RECT r{x, y, x + 1, y + 1};
            FillRect(colourSource.dc(), &r, b);
            DeleteObject(b);
        }
    std::vector<BYTE> bytes;
    for (int y = 0; y < kH; ++y) {
        bytes.push_back(BYTE(0x9D ^ (y * 0x25)));
        bytes.push_back(BYTE(0x6A << (y % 3)));
    }
    HBITMAP mono = CreateBitmap(kW, kH, 1, 1, bytes.data());
    HDC monoDC = CreateCompatibleDC(c.dc());
    HGDIOBJ oldMono = SelectObject(monoDC, mono);
    const auto bit = [&](int x, int y) { return (bytes[std::size_t(y) * 2 + std::size_t(x / 8)] >> (7 - x % 8)) & 1; };
    const COLORREF text = RGB(10, 200, 30), back = RGB(250, 5, 90);
    HRGN clip = CreateRectRgn(3, 0, 11, 6);

    const auto check = [&](HDC source, const std::function<COLORREF(int, int)>& sourceColour, DWORD rop,
                           const std::function<bool()>& blit = {}) {
        paintDestination(c);
        SelectClipRgn(c.dc(), clip);
        SetTextColor(c.dc(), text);
        SetBkColor(c.dc(), back);
        ASSERT_TRUE(blit ? blit() : BitBlt(c.dc(), 2, 1, 10, 7, source, 1, 0, rop));
        SelectClipRgn(c.dc(), nullptr);
        const QImage image = c.Image();
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const bool inside = x >= 3 && x < 11 && y >= 1 && y < 6;
                const COLORREF want =
                    inside ? ropReference(rop, 0, sourceColour(x - 1, y - 1), destination(x, y)) : destination(x, y);
                ASSERT_EQ(image.pixel(x, y), gditest::Rgb(want)) << x << ", " << y;
            }
    };
    for (DWORD rop : {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT}) {
        SCOPED_TRACE(rop);
        check(monoDC, [&](int x, int y) { return bit(x, y) ? back : text; }, rop);
        check(colourSource.dc(), [&](int x, int y) { return colourSource.Pixel(x, y); }, rop);
    }

    // Bottom-up 24- and 32-bit DIBs copied whole rows at a time.
    for (int bpp : {24, 32}) {
        SCOPED_TRACE(bpp);
        gditest::Info info = gditest::header(kW, kH, bpp);
        const std::size_t stride = ((std::size_t(kW) * std::size_t(bpp) + 31) / 32) * 4;
        std::vector<BYTE> bits(stride * kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                BYTE* p = &bits[stride * std::size_t(kH - 1 - y) + std::size_t(x) * std::size_t(bpp / 8)];
                const COLORREF c = destination(x + 7, y * 3);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        check(nullptr, [&](int x, int y) { return destination(x + 7, y * 3); }, SRCCOPY, [&] {
            return StretchDIBits(c.dc(), 2, 1, 10, 7, 1, kH - 7, 10, 7, bits.data(), info.get(), DIB_RGB_COLORS,
                                 SRCCOPY) != 0;
        });
    }

    // Colour onto monochrome: the source DC's background colour is white.
    SetBkColor(colourSource.dc(), RGB(1, 2, 3));
    ASSERT_TRUE(BitBlt(monoDC, 0, 0, kW, kH, colourSource.dc(), 0, 0, SRCCOPY));
    SetTextColor(c.dc(), 0);
    SetBkColor(c.dc(), 0xFFFFFF);
    ASSERT_TRUE(BitBlt(c.dc(), 0, 0, kW, kH, monoDC, 0, 0, SRCCOPY));
    const QImage image = c.Image();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            ASSERT_EQ(image.pixel(x, y), gditest::Rgb((x + y) % 4 == 0 ? 0xFFFFFF : 0)) << x << ", " << y;

    DeleteObject(clip);
    SelectObject(monoDC, oldMono);
    DeleteDC(monoDC);
    DeleteObject(mono);
}

TEST(BlitTest, AnUnstretchedBlitChangesOnlyThePixelsItsSourceHas)
{
    // The source rectangle hangs over the source's left and bottom edges:
    // destination (x, y) takes source (x - 3, y); only x 3 .. 7 and y 1 .. 3
    // have a source pixel.
    constexpr int kW = 9, kH = 6, kSW = 5, kSH = 4;
    Canvas c(kW, kH);
    Canvas colour(kSW, kSH);
    for (int y = 0; y < kSH; ++y)
        for (int x = 0; x < kSW; ++x) {
            HBRUSH b = CreateSolidBrush(destination(x + 11, y * 7));
            const RECT r{x, y, x + 1, y + 1};
            FillRect(colour.dc(), &r, b);
            DeleteObject(b);
        }
    const BYTE monoRows[kSH * 2] = {0xA8, 0, 0x58, 0, 0xF0, 0, 0x30, 0};
    HBITMAP mono = CreateBitmap(kSW, kSH, 1, 1, monoRows);
    HDC monoDC = CreateCompatibleDC(c.dc());
    HGDIOBJ oldMono = SelectObject(monoDC, mono);
    const COLORREF text = RGB(9, 99, 199), back = RGB(201, 101, 1);
    // A bottom-up 24-bit DIB of the colour source's pixels.
    gditest::Info info = gditest::header(kSW, kSH, 24);
    const std::size_t stride = 16;
    std::vector<BYTE> bits(stride * kSH);
    for (int y = 0; y < kSH; ++y)
        for (int x = 0; x < kSW; ++x) {
            BYTE* p = &bits[stride * std::size_t(kSH - 1 - y) + std::size_t(x) * 3];
            const COLORREF v = destination(x + 11, y * 7);
            p[0] = GetBValue(v);
            p[1] = GetGValue(v);
            p[2] = GetRValue(v);
        }

    const auto check = [&](const std::function<COLORREF(int, int)>& source, DWORD rop,
                           const std::function<bool()>& blit) {
        paintDestination(c);
        SetTextColor(c.dc(), text);
        SetBkColor(c.dc(), back);
        ASSERT_TRUE(blit());
        const QImage image = c.Image();
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const bool covered = x >= 3 && x < 8 && y >= 1 && y < 4;
                const COLORREF want =
                    covered ? ropReference(rop, 0, source(x - 3, y), destination(x, y)) : destination(x, y);
                ASSERT_EQ(image.pixel(x, y), gditest::Rgb(want)) << x << ", " << y;
            }
    };
    for (DWORD rop : {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT}) {
        SCOPED_TRACE(rop);
        check([&](int x, int y) { return colour.Pixel(x, y); }, rop,
              [&] { return BitBlt(c.dc(), 1, 1, 8, 5, colour.dc(), -2, 1, rop); });
        check([&](int x, int y) { return ((monoRows[y * 2] >> (7 - x)) & 1) ? back : text; }, rop,
              [&] { return BitBlt(c.dc(), 1, 1, 8, 5, monoDC, -2, 1, rop); });
        // Source rows count from the bottom: five rows from -2 end at the top row 1.
        check([&](int x, int y) { return destination(x + 11, y * 7); }, rop, [&] {
            return StretchDIBits(c.dc(), 1, 1, 8, 5, -2, -2, 8, 5, bits.data(), info.get(), DIB_RGB_COLORS, rop) != 0;
        });
    }
    SelectObject(monoDC, oldMono);
    DeleteDC(monoDC);
    DeleteObject(mono);
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

namespace {

// A canvas whose first row holds the colours given, left to right.
void paintRow(Canvas& c, const std::vector<COLORREF>& row, int y = 0)
{
    for (std::size_t x = 0; x < row.size(); ++x) {
        HBRUSH b = CreateSolidBrush(row[x]);
        const RECT r{LONG(x), y, LONG(x) + 1, y + 1};
        FillRect(c.dc(), &r, b);
        DeleteObject(b);
    }
}

} // namespace

TEST(StretchBltTest, ModesCombineTheSourcePixelsOfAShrink)
{
    const COLORREF a = RGB(0xF0, 0x0F, 0x33), b = RGB(0x3C, 0xFF, 0x81);
    Canvas src(4, 1);
    paintRow(src, {a, b, 0xFFFFFF, 0x000000});
    struct Case {
        int mode;
        COLORREF first, second;
    };
    const Case cases[] = {
        {BLACKONWHITE, a & b, 0x000000},
        {WHITEONBLACK, a | b, 0xFFFFFF},
        {COLORONCOLOR, a, 0xFFFFFF},
        // Means of each pair, rounded.
        {HALFTONE, RGB(0x96, 0x87, 0x5A), RGB(0x80, 0x80, 0x80)},
    };
    for (const Case& k : cases) {
        Canvas dst(2, 1, RGB(1, 2, 3));
        EXPECT_EQ(GetStretchBltMode(dst.dc()), BLACKONWHITE);
        EXPECT_EQ(SetStretchBltMode(dst.dc(), k.mode), BLACKONWHITE);
        ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 1, SRCCOPY));
        EXPECT_EQ(dst.Pixel(0, 0), k.first) << k.mode;
        EXPECT_EQ(dst.Pixel(1, 0), k.second) << k.mode;
    }
    EXPECT_EQ(SetStretchBltMode(src.dc(), 0), 0);
    EXPECT_EQ(SetStretchBltMode(src.dc(), 5), 0);
    EXPECT_EQ(GetStretchBltMode(src.dc()), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(nullptr, HALFTONE), 0);
}

TEST(StretchBltTest, HalftoneWeighsEachPixelByItsOverlap)
{
    // Three pixels onto two: the first takes 1 + 1/2 pixels, the second 1/2 + 1.
    Canvas src(3, 1);
    paintRow(src, {RGB(0, 30, 255), RGB(90, 60, 0), RGB(255, 0, 3)});
    Canvas dst(2, 1);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 3, 1, SRCCOPY));
    EXPECT_EQ(dst.Pixel(0, 0), RGB(30, 40, 170));
    EXPECT_EQ(dst.Pixel(1, 0), RGB(200, 20, 2));

    // Enlarging: a destination pixel inside one source pixel takes it whole;
    // one across two takes both by their shares.
    Canvas wide(5, 1);
    SetStretchBltMode(wide.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(wide.dc(), 0, 0, 5, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(wide.Pixel(0, 0), RGB(0, 30, 255));
    EXPECT_EQ(wide.Pixel(1, 0), RGB(0, 30, 255));
    EXPECT_EQ(wide.Pixel(2, 0), RGB(45, 45, 128));
    EXPECT_EQ(wide.Pixel(4, 0), RGB(90, 60, 0));
}

TEST(StretchBltTest, EnlargingRepeatsPixelsAndNegativeExtentsMirror)
{
    Canvas src(2, 2);
    paintRow(src, {RGB(10, 0, 0), RGB(20, 0, 0)}, 0);
    paintRow(src, {RGB(30, 0, 0), RGB(40, 0, 0)}, 1);
    for (int mode : {BLACKONWHITE, COLORONCOLOR, HALFTONE}) {
        Canvas dst(4, 4);
        SetStretchBltMode(dst.dc(), mode);
        ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(dst.Pixel(x, y), RGB(BYTE(10 + 10 * (x / 2) + 20 * (y / 2)), 0, 0)) << mode;
    }
    Canvas mirrored(2, 2);
    ASSERT_TRUE(StretchBlt(mirrored.dc(), 2, 2, -2, -2, src.dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(mirrored.Pixel(0, 0), RGB(40, 0, 0));
    EXPECT_EQ(mirrored.Pixel(1, 1), RGB(10, 0, 0));
    EXPECT_FALSE(StretchBlt(mirrored.dc(), 0, 0, 1, 1, nullptr, 0, 0, 1, 1, SRCCOPY));
    EXPECT_TRUE(StretchBlt(mirrored.dc(), 0, 0, 1, 1, nullptr, 0, 0, 1, 1, BLACKNESS));
    EXPECT_EQ(mirrored.Pixel(0, 0), 0u);
}

TEST(StretchBltTest, DibShrinksFollowTheModeAndMonochromeKeepsBlack)
{
    // A 1-bit DIB row: white, black, white, white. Shrunk to 2 pixels, the
    // default mode keeps the black pixel; COLORONCOLOR drops it.
    gditest::Info info = gditest::header(4, 1, 1);
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
    const BYTE row[4] = {0xB0, 0, 0, 0};
    Canvas keep(2, 1), drop(2, 1);
    SetStretchBltMode(drop.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchDIBits(keep.dc(), 0, 0, 2, 1, 0, 0, 4, 1, row, info.get(), DIB_RGB_COLORS, SRCCOPY));
    ASSERT_TRUE(StretchDIBits(drop.dc(), 0, 0, 2, 1, 0, 0, 4, 1, row, info.get(), DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(keep.Pixel(0, 0), 0u);
    EXPECT_EQ(drop.Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(keep.Pixel(1, 0), 0xFFFFFFu);
}

TEST(StretchBltTest, HugeSourceExtentsReadOnlyTheSource)
{
    // Each destination pixel covers a billion source pixels of which only
    // the first few exist: the blit ends at once and reads nothing outside.
    Canvas src(3, 3, RGB(9, 9, 9));
    for (int mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE}) {
        Canvas dst(2, 2, RGB(200, 0, 0));
        SetStretchBltMode(dst.dc(), mode);
        EXPECT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 2, src.dc(), -5, -5, 0x7FFFFFF0, 0x7FFFFFF0, SRCCOPY));
        EXPECT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 2, 2, -0x7FFFFFF0, -0x7FFFFFF0, SRCCOPY));
        EXPECT_TRUE(StretchBlt(dst.dc(), -0x7FFFFFF0, 0, 0x7FFFFFFF, 2, src.dc(), 0, 0, 3, 3, SRCCOPY));
        // Mirrored extents of INT_MIN and rectangles at the ends of the int range.
        EXPECT_TRUE(StretchBlt(dst.dc(), -7, INT_MAX, INT_MIN, INT_MIN, src.dc(), INT_MIN, -1, INT_MIN, 3, SRCCOPY));
        EXPECT_TRUE(StretchBlt(dst.dc(), INT_MAX, INT_MIN, INT_MIN, INT_MAX, src.dc(), INT_MAX, INT_MIN, INT_MIN,
                               INT_MAX, SRCCOPY));
        EXPECT_TRUE(PatBlt(dst.dc(), INT_MIN, INT_MAX, INT_MIN, INT_MIN, BLACKNESS));
    }
    // A bottom-up DIB's rectangle counted from its top row lies far outside
    // the int range; nothing of the DIB is there to draw.
    Canvas dst(2, 2, RGB(200, 0, 0));
    gditest::Info info = gditest::header(3, 3, 24);
    const BYTE rows[36] = {};
    EXPECT_EQ(StretchDIBits(dst.dc(), 0, 0, 2, 2, 0, INT_MIN, 3, -7, rows, info.get(), DIB_RGB_COLORS, SRCCOPY), 3);
    EXPECT_EQ(dst.Pixel(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(dst.Pixel(1, 1), RGB(200, 0, 0));
    // Mirrored from the top row by INT_MIN rows: the DIB's black rows are in it.
    EXPECT_EQ(StretchDIBits(dst.dc(), 0, 0, 2, 2, 0, INT_MAX, 3, INT_MIN, rows, info.get(), DIB_RGB_COLORS, SRCCOPY), 3);
    EXPECT_EQ(dst.Pixel(0, 0), 0u);
}
