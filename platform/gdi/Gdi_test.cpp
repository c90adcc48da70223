#include "platform/gdi/GdiTestSupport.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

using gditest::Canvas;
using gditest::header;
using gditest::Info;
using gditest::ropReference;

// The pixels of a bitmap as colours, top row first, through a 32-bit GetDIBits.
std::vector<COLORREF> pixels(HBITMAP hbm, int w, int h)
{
    HDC screen = GetDC(nullptr);
    Info i = header(w, h, 32);
    std::vector<BYTE> bits(std::size_t(w) * h * 4);
    EXPECT_EQ(GetDIBits(screen, hbm, 0, UINT(h), bits.data(), i.get(), DIB_RGB_COLORS), h);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> out;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const BYTE* p = &bits[(std::size_t(y) * w + x) * 4];
            EXPECT_EQ(p[3], 0) << "the fourth byte of 32-bit rows is 0";
            out.push_back(RGB(p[2], p[1], p[0]));
        }
    return out;
}

TEST(GdiTest, TheVirtualScreenIsTrueColourAt96Dpi)
{
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 0);
    EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
    EXPECT_EQ(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);

    // Colour bitmaps made for the screen are 32-bit; a fresh memory DC makes monochrome ones.
    HBITMAP colour = CreateCompatibleBitmap(screen, 5, 3);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP mono = CreateCompatibleBitmap(mem, 5, 3);
    Info i = header(0, 0, 0);
    ASSERT_TRUE(GetDIBits(screen, colour, 0, 0, nullptr, i.get(), DIB_RGB_COLORS));
    EXPECT_EQ(i.h.biBitCount, 32);
    EXPECT_EQ(i.h.biWidth, 5);
    EXPECT_EQ(i.h.biHeight, 3);
    EXPECT_EQ(i.h.biSizeImage, 60u);
    i.h.biBitCount = 0;
    ASSERT_TRUE(GetDIBits(screen, mono, 0, 0, nullptr, i.get(), DIB_RGB_COLORS));
    EXPECT_EQ(i.h.biBitCount, 1);
    BITMAP bm{};
    EXPECT_EQ(GetObject(mono, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 2);
    DeleteObject(colour);
    DeleteObject(mono);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(GdiTest, SectionsKeepTheirFormatAndTable)
{
    Info i = header(3, 2, 8);
    i.colors[1] = RGBQUAD{10, 20, 30, 0};
    i.colors[2] = RGBQUAD{200, 100, 50, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, i.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    // Bottom-up: the first stored row is the bottom one; rows padded to 4 bytes.
    BYTE* b = static_cast<BYTE*>(bits);
    b[0] = 1;
    b[4 + 2] = 2;
    EXPECT_EQ(pixels(section, 3, 2), (std::vector<COLORREF>{0, 0, RGB(50, 100, 200), RGB(30, 20, 10), 0, 0}));

    HDC screen = GetDC(nullptr);
    Info back = header(0, 0, 0);
    ASSERT_TRUE(GetDIBits(screen, section, 0, 0, nullptr, back.get(), DIB_RGB_COLORS));
    EXPECT_EQ(back.h.biBitCount, 8);
    std::vector<BYTE> raw(8);
    ASSERT_EQ(GetDIBits(screen, section, 0, 2, raw.data(), back.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(raw, (std::vector<BYTE>{1, 0, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(back.colors[2].rgbBlue, 200);

    // The table can be changed through a DC holding the section.
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, section);
    const RGBQUAD green{0, 255, 0, 0};
    EXPECT_EQ(SetDIBColorTable(mem, 1, 1, &green), 1u);
    EXPECT_EQ(SetDIBColorTable(mem, 300, 1, &green), 0u);
    SelectObject(mem, old);
    EXPECT_EQ(pixels(section, 3, 2)[3], RGB(0, 255, 0));
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(DeleteObject(section));
}

TEST(GdiTest, ImpossibleBitmapsAreRefused)
{
    void* bits = reinterpret_cast<void*>(1);
    for (Info i : {header(0, 5, 8), header(5, 0, 8), header(-3, 5, 8), header(5, 5, 7), header(100000, 100000, 32)}) {
        EXPECT_EQ(CreateDIBSection(nullptr, i.get(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    Info tooMany = header(4, 4, 4);
    tooMany.h.biClrUsed = 17;
    EXPECT_EQ(CreateDIBSection(nullptr, tooMany.get(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    Info rle = header(4, 4, 8);
    rle.h.biCompression = BI_RLE8;
    EXPECT_EQ(CreateDIBSection(nullptr, rle.get(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateBitmap(0, 4, 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);
}

TEST(GdiTest, HandlesAreCheckedAndSelectionIsExclusive)
{
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen);
    HDC b = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ oldA = SelectObject(a, bmp);
    ASSERT_NE(oldA, nullptr);
    EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), bmp);
    // A new memory DC holds its own 1 x 1 bitmap.
    EXPECT_NE(GetCurrentObject(b, OBJ_BITMAP), nullptr);
    EXPECT_NE(GetCurrentObject(b, OBJ_BITMAP), bmp);
    EXPECT_EQ(GetCurrentObject(a, 99), nullptr);
    // One bitmap, one DC.
    EXPECT_EQ(SelectObject(b, bmp), nullptr);
    EXPECT_FALSE(DeleteObject(bmp));
    EXPECT_EQ(SelectObject(a, oldA), bmp);
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_FALSE(DeleteObject(bmp));
    EXPECT_EQ(SelectObject(a, bmp), nullptr);
    EXPECT_EQ(GetDIBits(screen, bmp, 0, 1, nullptr, nullptr, DIB_RGB_COLORS), 0);
    // Stock objects survive deletion.
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    EXPECT_NE(SelectObject(a, GetStockObject(BLACK_BRUSH)), nullptr);
    EXPECT_EQ(GetCurrentObject(a, OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(GetCurrentObject(a, OBJ_FONT), GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_EQ(GetCurrentObject(a, OBJ_BRUSH), nullptr);
    EXPECT_FALSE(DeleteDC(a));
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_EQ(BitBlt(a, 0, 0, 1, 1, screen, 0, 0, SRCCOPY), FALSE);
    ReleaseDC(nullptr, screen);
}

TEST(GdiTest, AFreedHandleIsNeverGivenAgain)
{
    // Freed memory is soon reused for the next object of the same size; a
    // handle kept by mistake must not reach that object.
    HDC screen = GetDC(nullptr);
    std::set<void*> seen;
    const PALETTEENTRY entry{1, 2, 3, 0};
    const LOGPALETTE logical{0x300, 1, {entry}};
    // A Windows metafile of its header and the end record.
    static const BYTE wmf[] = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
    for (int round = 0; round < 50; ++round) {
        HBITMAP bmp = CreateCompatibleBitmap(screen, 2, 2);
        HPALETTE pal = CreatePalette(&logical);
        HBRUSH brush = CreateSolidBrush(RGB(round, 0, 0));
        HPEN pen = CreatePen(PS_SOLID, 1, 0);
        HRGN rgn = CreateRectRgn(0, 0, round + 1, 1);
        HDC dc = CreateCompatibleDC(screen);
        HDC win = GetDC(nullptr);
        HENHMETAFILE mf = SetWinMetaFileBits(sizeof wmf, wmf, screen, nullptr);
        ASSERT_NE(mf, nullptr);
        for (void* h : {static_cast<void*>(bmp), static_cast<void*>(pal), static_cast<void*>(brush),
                        static_cast<void*>(pen), static_cast<void*>(rgn), static_cast<void*>(dc),
                        static_cast<void*>(win), static_cast<void*>(mf)})
            EXPECT_TRUE(seen.insert(h).second) << "round " << round;
        for (HGDIOBJ o : {HGDIOBJ(bmp), HGDIOBJ(pal), HGDIOBJ(brush), HGDIOBJ(pen), HGDIOBJ(rgn)})
            EXPECT_TRUE(DeleteObject(o));
        EXPECT_TRUE(DeleteDC(dc));
        EXPECT_EQ(ReleaseDC(nullptr, win), 1);
        EXPECT_TRUE(DeleteEnhMetaFile(mf));
    }
    // A stale handle fails as any unknown one does, with new objects about.
    HPALETTE stale = CreatePalette(&logical);
    ASSERT_TRUE(DeleteObject(stale));
    HPALETTE fresh = CreatePalette(&logical);
    HDC dc = CreateCompatibleDC(screen);
    EXPECT_EQ(GetPaletteEntries(stale, 0, 0, nullptr), 0u);
    EXPECT_EQ(SelectPalette(dc, stale, FALSE), nullptr);
    EXPECT_FALSE(DeleteObject(stale));
    EXPECT_EQ(GetPaletteEntries(fresh, 0, 0, nullptr), 1u);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(fresh));
    ReleaseDC(nullptr, screen);
}

TEST(GdiTest, RasterOperationsFollowTheirTruthTables)
{
    HDC screen = GetDC(nullptr);
    HDC src = CreateCompatibleDC(screen);
    HDC dst = CreateCompatibleDC(screen);
    HBITMAP sb = CreateCompatibleBitmap(screen, 1, 1);
    HBITMAP db = CreateCompatibleBitmap(screen, 1, 1);
    SelectObject(src, sb);
    SelectObject(dst, db);
    const COLORREF S = RGB(0xF0, 0x3C, 0x55);
    const COLORREF D = RGB(0xCC, 0x0F, 0xA3);
    Info i = header(1, 1, 24);
    BYTE s[4] = {GetBValue(S), GetGValue(S), GetRValue(S), 0};
    BYTE d[4] = {GetBValue(D), GetGValue(D), GetRValue(D), 0};
    ASSERT_EQ(StretchDIBits(src, 0, 0, 1, 1, 0, 0, 1, 1, s, i.get(), DIB_RGB_COLORS, SRCCOPY), 1);
    for (int brush : {WHITE_BRUSH, BLACK_BRUSH}) {
        SelectObject(dst, GetStockObject(brush));
        const DWORD P = brush == WHITE_BRUSH ? 0xFFFFFF : 0;
        for (DWORD rop : {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, SRCERASE, NOTSRCCOPY, NOTSRCERASE, MERGECOPY,
                          MERGEPAINT, PATCOPY, PATPAINT, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS, DWORD(0x00B8074A)}) {
            SCOPED_TRACE(rop);
            ASSERT_EQ(StretchDIBits(dst, 0, 0, 1, 1, 0, 0, 1, 1, d, i.get(), DIB_RGB_COLORS, SRCCOPY), 1);
            ASSERT_TRUE(BitBlt(dst, 0, 0, 1, 1, src, 0, 0, rop));
            // Read back through a DC that does not hold the bitmap.
            HGDIOBJ held = SelectObject(dst, CreateCompatibleBitmap(screen, 1, 1));
            const COLORREF got = pixels(db, 1, 1)[0];
            DeleteObject(SelectObject(dst, held));
            // COLORREF is 0x00BBGGRR, the same bit for bit in every channel.
            EXPECT_EQ(got, ropReference(rop, P, S, D));
        }
    }
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(sb);
    DeleteObject(db);
    ReleaseDC(nullptr, screen);
}

TEST(GdiTest, MonochromeAndColourConvertByTheDcColours)
{
    HDC screen = GetDC(nullptr);
    HDC colourDC = CreateCompatibleDC(screen);
    HDC monoDC = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, 3, 1);
    HBITMAP mono = CreateBitmap(3, 1, 1, 1, nullptr);
    SelectObject(colourDC, colour);
    SelectObject(monoDC, mono);

    // Colour to mono: the source DC's background colour gives 1, all else 0.
    Info i = header(3, 1, 24);
    BYTE row[12] = {0, 0, 255, 10, 20, 30, 255, 255, 255};
    StretchDIBits(colourDC, 0, 0, 3, 1, 0, 0, 3, 1, row, i.get(), DIB_RGB_COLORS, SRCCOPY);
    SetBkColor(colourDC, RGB(30, 20, 10));
    ASSERT_TRUE(BitBlt(monoDC, 0, 0, 3, 1, colourDC, 0, 0, SRCCOPY));
    EXPECT_EQ(pixels(mono, 3, 1), (std::vector<COLORREF>{0, RGB(255, 255, 255), 0}));

    // Mono to colour: 0 takes the text colour, 1 the background colour.
    SetTextColor(colourDC, RGB(1, 2, 3));
    SetBkColor(colourDC, RGB(4, 5, 6));
    ASSERT_TRUE(BitBlt(colourDC, 0, 0, 3, 1, monoDC, 0, 0, SRCCOPY));
    EXPECT_EQ(pixels(colour, 3, 1), (std::vector<COLORREF>{RGB(1, 2, 3), RGB(4, 5, 6), RGB(1, 2, 3)}));

    DeleteDC(colourDC);
    DeleteDC(monoDC);
    DeleteObject(colour);
    DeleteObject(mono);
    ReleaseDC(nullptr, screen);
}

TEST(GdiTest, DibSourceRectanglesCountFromTheBottom)
{
    // A 2 x 4 bottom-up 8-bit DIB whose stored rows (bottom first) are 0, 1, 2, 3.
    Info i = header(2, 4, 8);
    for (int k = 0; k < 4; ++k)
        i.colors[k] = RGBQUAD{BYTE(k * 60), 0, 0, 0};
    const BYTE rows[16] = {0, 0, 0, 0, 1, 1, 0, 0, 2, 2, 0, 0, 3, 3, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 2, 4);
    SelectObject(dc, bmp);
    auto blue = [](int k) { return RGB(0, 0, BYTE(k * 60)); };

    // Rows 1 and 2 from the bottom, drawn at the top, stretched to four rows.
    ASSERT_TRUE(StretchDIBits(dc, 0, 0, 2, 4, 0, 1, 2, 2, rows, i.get(), DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(pixels(bmp, 2, 4), (std::vector<COLORREF>{blue(2), blue(2), blue(2), blue(2), blue(1), blue(1), blue(1), blue(1)}));
    // A negative destination height mirrors.
    ASSERT_TRUE(StretchDIBits(dc, 0, 4, 2, -4, 0, 0, 2, 4, rows, i.get(), DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(pixels(bmp, 2, 4)[0], blue(0));

    // The same picture handed over in two bands of two scan lines.
    ASSERT_EQ(SetDIBitsToDevice(dc, 0, 0, 2, 4, 0, 0, 0, 2, rows, i.get(), DIB_RGB_COLORS), 2);
    ASSERT_EQ(SetDIBitsToDevice(dc, 0, 0, 2, 4, 0, 0, 2, 2, rows + 8, i.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(pixels(bmp, 2, 4), (std::vector<COLORREF>{blue(3), blue(3), blue(2), blue(2), blue(1), blue(1), blue(0), blue(0)}));
    // A clipped source rectangle: one pixel at (1, 0) from the bottom-left.
    ASSERT_EQ(SetDIBitsToDevice(dc, 0, 0, 1, 1, 1, 0, 0, 4, rows, i.get(), DIB_RGB_COLORS), 4);
    EXPECT_EQ(pixels(bmp, 2, 4)[0], blue(0));

    DeleteDC(dc);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
}

TEST(GdiTest, PalettesAreDataAndMapColoursToTheNearestEntry)
{
    std::vector<BYTE> buf(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    PALETTEENTRY* e = lp->palPalEntry;
    e[0] = {0, 0, 0, 0};
    e[1] = {200, 0, 0, 0};
    e[2] = {0, 0, 200, 0};
    HPALETTE pal = CreatePalette(lp);
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(150, 0, 0)), 1u);
    // Equally near to 1 and 2: the lower index.
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(110, 0, 110)), 1u);
    PALETTEENTRY out[4]{};
    EXPECT_EQ(GetPaletteEntries(pal, 1, 4, out), 2u);
    EXPECT_EQ(out[1].peBlue, 200);
    const PALETTEENTRY white{255, 255, 255, 0};
    EXPECT_EQ(SetPaletteEntries(pal, 2, 1, &white), 1u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(250, 250, 250)), 2u);

    // 8-bit rows of a colour bitmap take the DC's palette.
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 2, 1);
    HDC dc = CreateCompatibleDC(screen);
    SelectObject(dc, bmp);
    Info i = header(2, 1, 24);
    BYTE row[8] = {0, 0, 180, 240, 240, 240};
    StretchDIBits(dc, 0, 0, 2, 1, 0, 0, 2, 1, row, i.get(), DIB_RGB_COLORS, SRCCOPY);
    SelectObject(dc, CreateCompatibleBitmap(dc, 1, 1));
    HPALETTE old = SelectPalette(screen, pal, FALSE);
    EXPECT_EQ(RealizePalette(screen), 0u);
    Info out8 = header(2, 1, 8);
    std::vector<BYTE> idx(4);
    ASSERT_EQ(GetDIBits(screen, bmp, 0, 1, idx.data(), out8.get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(idx[0], 1);
    EXPECT_EQ(idx[1], 2);
    EXPECT_EQ(out8.colors[2].rgbRed, 255);
    SelectPalette(screen, old, FALSE);
    EXPECT_TRUE(DeleteObject(pal));
    DeleteObject(SelectObject(dc, bmp));
    DeleteDC(dc);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
}

TEST(GdiTest, ConvertingToATableSearchesItOncePerColourNotPerPixel)
{
    // A large picture of three colours, as rows of a 256-entry palette and
    // blitted onto an 8-bit section: every pixel gets its nearest entry,
    // and the table is searched about as often as there are colours.
    constexpr int w = 300, h = 200;
    Canvas canvas(w, h, RGB(250, 250, 250));
    const auto fill = [&](RECT r, COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(canvas.dc(), &r, b);
        DeleteObject(b);
    };
    fill(RECT{0, 0, w / 3, h}, RGB(200, 10, 10));
    fill(RECT{w / 3, 0, 2 * w / 3, h}, RGB(10, 10, 190));
    HBITMAP picture = canvas.bitmap();
    std::vector<BYTE> buf(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    for (int k = 0; k < 256; ++k)
        lp->palPalEntry[k] = PALETTEENTRY{BYTE(k), BYTE(k / 2), BYTE(255 - k), 0};
    lp->palPalEntry[17] = {200, 0, 0, 0};
    lp->palPalEntry[99] = {0, 0, 200, 0};
    lp->palPalEntry[250] = {255, 255, 255, 0};
    HPALETTE pal = CreatePalette(lp);
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, pal, FALSE);
    Info out8 = header(w, h, 8);
    std::vector<BYTE> idx(std::size_t(w) * h);
    const std::uint64_t before = gdi::testing::NearestSearches();
    ASSERT_EQ(GetDIBits(screen, picture, 0, h, idx.data(), out8.get(), DIB_RGB_COLORS), h);
    EXPECT_LT(gdi::testing::NearestSearches() - before, 100u);
    EXPECT_EQ(idx[0], 17);
    EXPECT_EQ(idx[std::size_t(w) / 2], 99);
    EXPECT_EQ(idx[std::size_t(w) * h - 1], 250);
    SelectPalette(screen, old, FALSE);

    Info sec = header(w, h, 8);
    for (int k = 0; k < 256; ++k)
        sec.colors[k] = RGBQUAD{lp->palPalEntry[k].peBlue, lp->palPalEntry[k].peGreen, lp->palPalEntry[k].peRed, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, sec.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ oldBmp = SelectObject(dc, section);
    const std::uint64_t beforeBlit = gdi::testing::NearestSearches();
    ASSERT_TRUE(BitBlt(dc, 0, 0, w, h, canvas.dc(), 0, 0, SRCCOPY));
    EXPECT_LT(gdi::testing::NearestSearches() - beforeBlit, 100u);
    const BYTE* rows = static_cast<const BYTE*>(bits);
    EXPECT_EQ(rows[std::size_t(h - 1) * ((w + 3) & ~3)], 17); // bottom-up: the top row is last
    EXPECT_EQ(rows[w - 1], 250);
    SelectObject(dc, oldBmp);
    DeleteDC(dc);
    DeleteObject(section);
    DeleteObject(pal);
    ReleaseDC(nullptr, screen);
}

} // namespace
