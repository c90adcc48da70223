// Device bitmaps from DIB rows, brush-only raster operations, bit fields out
// of GetDIBits and the screen's system palette.

#include "platform/gdi/Gdi.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Info {
    BITMAPINFOHEADER h{};
    RGBQUAD colors[256]{};
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info header(int w, int h, int bpp, DWORD compression = BI_RGB)
{
    Info i;
    i.h = BITMAPINFOHEADER{40, w, h, 1, WORD(bpp), compression, 0, 0, 0, 0, 0};
    return i;
}

// A bitmap's colours, top row first.
std::vector<COLORREF> colours(HBITMAP hbm, int w, int h)
{
    Info i = header(w, -h, 32);
    std::vector<BYTE> bits(std::size_t(w) * h * 4);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, hbm, 0, UINT(h), bits.data(), i.get(), DIB_RGB_COLORS), h);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> out;
    for (std::size_t k = 0; k < bits.size(); k += 4)
        out.push_back(RGB(bits[k + 2], bits[k + 1], bits[k]));
    return out;
}

TEST(DIBitmapTest, CreateDIBitmapTakesTheDCsKind)
{
    // 3 x 1 at 8 bits: dark grey, light grey, red.
    Info i = header(3, 1, 8);
    i.h.biClrUsed = 3;
    i.colors[0] = {40, 40, 40, 0};
    i.colors[1] = {200, 200, 200, 0};
    i.colors[2] = {0, 0, 255, 0};
    const BYTE rows[4] = {0, 1, 2, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBitmap(screen, &i.h, CBM_INIT, rows, i.get(), DIB_RGB_COLORS);
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colours(colour, 3, 1), (std::vector<COLORREF>{RGB(40, 40, 40), RGB(200, 200, 200), RGB(255, 0, 0)}));

    // A fresh memory DC holds a monochrome bitmap: each colour goes to the nearer of black and white.
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP mono = CreateDIBitmap(mem, &i.h, CBM_INIT, rows, i.get(), DIB_RGB_COLORS);
    BITMAP bm{};
    ASSERT_TRUE(GetObject(mono, sizeof bm, &bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(colours(mono, 3, 1), (std::vector<COLORREF>{0, RGB(255, 255, 255), 0}));

    // Without CBM_INIT only the size is taken.
    HBITMAP blank = CreateDIBitmap(screen, &i.h, 0, nullptr, nullptr, DIB_RGB_COLORS);
    EXPECT_EQ(colours(blank, 3, 1), (std::vector<COLORREF>{0, 0, 0}));
    Info bad = header(3, 1, 8, BI_RLE8);
    EXPECT_EQ(CreateDIBitmap(screen, &bad.h, CBM_INIT, rows, bad.get(), DIB_RGB_COLORS), nullptr);
    for (HBITMAP b : {colour, mono, blank})
        DeleteObject(b);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

// A new bitmap starts black, also where a freed one of the same size was
// painted white before.
TEST(DIBitmapTest, NewBitmapsStartBlack)
{
    HDC screen = GetDC(nullptr);
    for (int round = 0; round < 2; ++round) {
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP hbm = CreateCompatibleBitmap(screen, 100, 60);
        HGDIOBJ old = SelectObject(mem, hbm);
        const std::vector<COLORREF> pixels = colours(hbm, 100, 60);
        EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](COLORREF c) { return c == 0; })) << round;
        EXPECT_TRUE(PatBlt(mem, 0, 0, 100, 60, WHITENESS));
        SelectObject(mem, old);
        DeleteObject(hbm);
        DeleteDC(mem);
    }
    ReleaseDC(nullptr, screen);
}

TEST(DIBitmapTest, PatBltWithTheSelectedBrush)
{
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP hbm = CreateCompatibleBitmap(screen, 4, 1);
    HGDIOBJ old = SelectObject(mem, hbm);
    EXPECT_TRUE(PatBlt(mem, 0, 0, 4, 1, WHITENESS));
    SelectObject(mem, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(PatBlt(mem, 1, 0, 1, 1, PATCOPY));
    // Negative extents count back from the corner, as the platform's do.
    EXPECT_TRUE(PatBlt(mem, 4, 0, -1, 1, DSTINVERT));
    SelectObject(mem, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(PatBlt(mem, 2, 0, 1, 1, PATINVERT));
    EXPECT_FALSE(PatBlt(mem, 0, 0, 4, 1, SRCCOPY));
    EXPECT_FALSE(PatBlt(nullptr, 0, 0, 4, 1, PATCOPY));
    SelectObject(mem, old);
    EXPECT_EQ(colours(hbm, 4, 1), (std::vector<COLORREF>{RGB(255, 255, 255), 0, 0, 0}));
    EXPECT_TRUE(GdiFlush());
    DeleteObject(hbm);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(DIBitmapTest, GetDIBitsGivesBitFields)
{
    HDC screen = GetDC(nullptr);
    HBITMAP hbm = CreateCompatibleBitmap(screen, 2, 1);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, hbm);
    PatBlt(mem, 0, 0, 1, 1, WHITENESS);
    SelectObject(mem, old);
    Info i = header(2, 1, 16, BI_BITFIELDS);
    WORD rows[2] = {};
    ASSERT_EQ(GetDIBits(screen, hbm, 0, 1, rows, i.get(), DIB_RGB_COLORS), 1);
    DWORD masks[3];
    std::memcpy(masks, i.colors, sizeof masks);
    EXPECT_EQ(masks[0], 0xF800u);
    EXPECT_EQ(masks[2], 0x001Fu);
    EXPECT_EQ(rows[0], 0xFFFF);
    EXPECT_EQ(rows[1], 0);
    Info i32 = header(2, 1, 32, BI_BITFIELDS);
    DWORD wide[2] = {};
    ASSERT_EQ(GetDIBits(screen, hbm, 0, 1, wide, i32.get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(wide[0], 0x00FFFFFFu);
    Info rle = header(2, 1, 8, BI_RLE8);
    EXPECT_EQ(GetDIBits(screen, hbm, 0, 1, rows, rle.get(), DIB_RGB_COLORS), 0);
    DeleteObject(hbm);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(DIBitmapTest, TheSystemPaletteIsData)
{
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetSystemPaletteUse(screen), SYSPAL_STATIC);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 0, nullptr), 256u);
    PALETTEENTRY all[256];
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, all), 256u);
    EXPECT_EQ(all[1].peRed, 128);
    EXPECT_EQ(all[9].peBlue, 240);  // the tenth static colour
    EXPECT_EQ(all[100].peGreen, 0); // none between the two ends
    EXPECT_EQ(all[246].peGreen, 251);
    EXPECT_EQ(all[255].peBlue, 255);
    PALETTEENTRY tail[4];
    EXPECT_EQ(GetSystemPaletteEntries(screen, 254, 4, tail), 2u);
    EXPECT_EQ(tail[1].peRed, 255);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GetSystemPaletteUse(nullptr), SYSPAL_ERROR);
    EXPECT_EQ(GetSystemPaletteEntries(nullptr, 0, 4, tail), 0u);
}

} // namespace
