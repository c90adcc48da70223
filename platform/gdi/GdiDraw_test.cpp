#include "platform/gdi/GdiTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

namespace {

using gditest::Canvas;

TEST(GdiDrawTest, MulDivRoundsHalvesAwayFromZero)
{
    struct Case {
        int a, b, c, want;
    };
    const Case cases[] = {
        {10, 3, 4, 8},          {-10, 3, 4, -8},       {10, -3, 4, -8},      {-10, -3, -4, -8},
        {10, 3, -4, -8},        {1, 1, 2, 1},          {-1, 1, 2, -1},       {1, 1, 3, 0},
        {2, 1, 3, 1},           {-2, 1, 3, -1},        {7, 1, 3, 2},         {8, 1, 3, 3},
        {5, 1, 0, -1},          {0, 7, 0, -1},         {0, 7, 3, 0},         {INT_MAX, 2, 2, INT_MAX},
        {INT_MAX, 2, 1, -1},    {INT_MIN, 1, 1, INT_MIN}, {INT_MIN, -1, 1, -1}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {20, 40, 27, 30},       {8, 96, 72, 11},       {8, 120, 72, 13},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.want) << c.a << " * " << c.b << " / " << c.c;
}

TEST(GdiDrawTest, SystemColoursAndNearestColours)
{
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), 0x808080u);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), 0u);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xC0C0C0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(500), 0u);
    const int index = COLOR_GRAYTEXT;
    const COLORREF other = RGB(1, 2, 3);
    EXPECT_TRUE(SetSysColors(1, &index, &other));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), other);
    const COLORREF gray = 0x808080;
    SetSysColors(1, &index, &gray);
    EXPECT_FALSE(SetSysColors(1, nullptr, &gray));

    // The screen shows every colour; a monochrome DC black or white; an
    // 8-bit section its nearest table entry.
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetNearestColor(screen, RGB(12, 34, 56)), RGB(12, 34, 56));
    HDC mem = CreateCompatibleDC(screen);
    EXPECT_EQ(GetNearestColor(mem, RGB(200, 190, 180)), 0xFFFFFFu);
    EXPECT_EQ(GetNearestColor(mem, RGB(20, 30, 10)), 0u);
    gditest::Info info = gditest::header(2, 2, 8);
    info.h.biClrUsed = 2;
    info.colors[0] = RGBQUAD{0, 0, 200, 0};
    info.colors[1] = RGBQUAD{0, 200, 0, 0};
    HBITMAP section = CreateDIBSection(screen, info.get(), DIB_RGB_COLORS, nullptr, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, section);
    EXPECT_EQ(GetNearestColor(mem, RGB(180, 20, 0)), RGB(200, 0, 0));
    SelectObject(mem, old);
    DeleteObject(section);
    DeleteDC(mem);
    EXPECT_EQ(GetNearestColor(nullptr, 0), 0xFFFFFFFFu);
    ReleaseDC(nullptr, screen);
}

TEST(GdiDrawTest, TheScreenDpiCanBeSet)
{
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    gdi::SetScreenDpi(120);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 120);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 120);
    // A font of height 0 is 8 points at the screen's DPI.
    LOGFONT lf{};
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    HFONT f = CreateFontIndirect(&lf);
    HGDIOBJ old = SelectObject(screen, f);
    TEXTMETRIC tm{};
    ASSERT_TRUE(GetTextMetrics(screen, &tm));
    const LONG at120 = tm.tmHeight - tm.tmInternalLeading;
    gdi::SetScreenDpi(0);
    ASSERT_TRUE(GetTextMetrics(screen, &tm));
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
    EXPECT_EQ(at120, 13);
    SelectObject(screen, old);
    DeleteObject(f);
    ReleaseDC(nullptr, screen);
}

TEST(GdiDrawTest, PensBrushesFontsAndRegionsAreCheckedHandles)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);

    HPEN pen = CreatePen(PS_INSIDEFRAME, 3, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, 0, nullptr), int(sizeof lp));
    EXPECT_EQ(GetObject(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_INSIDEFRAME));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObject(pen, sizeof lp - 1, &lp), 0);
    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);

    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    LOGBRUSH lb{};
    EXPECT_EQ(GetObject(brush, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_SOLID);
    EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
    EXPECT_EQ(GetObject(GetStockObject(NULL_BRUSH), sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_NULL);
    EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);

    LOGFONT in{};
    in.lfHeight = -17;
    in.lfWeight = FW_BOLD;
    in.lfUnderline = 1;
    std::strcpy(in.lfFaceName, "Tahoma");
    HFONT font = CreateFontIndirect(&in);
    LOGFONT out{};
    EXPECT_EQ(GetObject(font, sizeof out, &out), int(sizeof out));
    EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);
    EXPECT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof out, &out), int(sizeof out));
    EXPECT_EQ(out.lfHeight, -11);
    EXPECT_STREQ(out.lfFaceName, "MS Shell Dlg");
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);

    // A new DC has the black pen, the white brush and the dialog font.
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(DEFAULT_GUI_FONT));
    // Selected objects cannot be deleted; stock ones never are.
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), pen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), brush);
    EXPECT_EQ(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT)), font);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(dc, pen), nullptr);
    EXPECT_EQ(GetObject(font, sizeof out, &out), 0);
    EXPECT_TRUE(DeleteObject(GetStockObject(NULL_PEN)));
    EXPECT_NE(SelectObject(dc, GetStockObject(NULL_PEN)), nullptr);

    // A region selected into a DC becomes its clip region, as a copy.
    HRGN region = CreateRectRgn(0, 0, 2, 2);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(SelectObject(dc, region)), SIMPLEREGION);
    EXPECT_EQ(GetObject(region, sizeof out, &out), 0);
    EXPECT_TRUE(DeleteObject(region));
    EXPECT_EQ(SelectClipRgn(dc, region), ERROR);
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);

    // Background modes.
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 9), 0);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    SetBkColor(dc, RGB(9, 8, 7));
    SetTextColor(dc, RGB(7, 8, 9));
    EXPECT_EQ(GetBkColor(dc), RGB(9, 8, 7));
    EXPECT_EQ(GetTextColor(dc), RGB(7, 8, 9));
    EXPECT_EQ(GetBkMode(nullptr), 0);

    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// Every drawing call paints inside the clip region exactly what it paints
// without one, and nothing outside it.
TEST(GdiDrawTest, EveryDrawingCallHonoursTheClipRegion)
{
    constexpr int kW = 48, kH = 32;
    const WORD rows[2] = {0x40, 0x80};
    HBITMAP patternBits = CreateBitmap(2, 2, 1, 1, rows);
    HBRUSH pattern = CreatePatternBrush(patternBits);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 0, 0));
    Canvas source(kW, kH, RGB(0, 120, 0));
    {
        HBRUSH b = CreateSolidBrush(RGB(250, 200, 0));
        const RECT r{5, 5, 30, 20};
        FillRect(source.dc(), &r, b);
        DeleteObject(b);
    }
    gditest::Info info = gditest::header(4, 4, 1);
    info.colors[0] = RGBQUAD{255, 0, 0, 0};
    info.colors[1] = RGBQUAD{0, 255, 255, 0};
    const BYTE dib[16] = {0xA0, 0, 0, 0, 0x50, 0, 0, 0, 0xA0, 0, 0, 0, 0x50, 0, 0, 0};
    const BITMAPINFO* bmi = info.get();

    const std::pair<const char*, std::function<void(HDC)>> calls[] = {
        {"FillRect", [&](HDC dc) { const RECT r{-3, 2, 60, 40}; FillRect(dc, &r, pattern); }},
        {"Rectangle", [](HDC dc) { Rectangle(dc, 2, 2, 46, 30); }},
        {"RoundRect", [](HDC dc) { RoundRect(dc, 2, 2, 46, 30, 20, 12); }},
        {"Ellipse", [](HDC dc) { Ellipse(dc, 1, 1, 47, 31); }},
        {"Polygon", [](HDC dc) { const POINT p[] = {{0, 0}, {47, 10}, {10, 31}}; Polygon(dc, p, 3); }},
        {"Arc", [](HDC dc) { Arc(dc, 1, 1, 47, 31, 0, 31, 47, 0); }},
        {"PatBlt", [](HDC dc) { PatBlt(dc, 3, 3, 40, 25, PATINVERT); }},
        {"BitBlt", [&](HDC dc) { BitBlt(dc, 0, 0, kW, kH, source.dc(), 0, 0, SRCINVERT); }},
        {"StretchDIBits", [&](HDC dc) { StretchDIBits(dc, 0, 0, kW, kH, 0, 0, 4, 4, dib, bmi, DIB_RGB_COLORS, SRCCOPY); }},
        {"SetDIBitsToDevice", [&](HDC dc) { SetDIBitsToDevice(dc, 20, 10, 4, 4, 0, 0, 0, 4, dib, bmi, DIB_RGB_COLORS); }},
        {"DrawText", [](HDC dc) {
             RECT r{0, 0, kW, kH};
             DrawText(dc, "Clip me please", -1, &r, DT_WORDBREAK | DT_CENTER);
         }},
    };
    const auto render = [&](const std::function<void(HDC)>& call, HRGN clip) {
        Canvas c(kW, kH, RGB(230, 230, 250));
        SelectObject(c.dc(), pen);
        SelectObject(c.dc(), pattern);
        SetBkColor(c.dc(), RGB(0, 0, 90));
        SetTextColor(c.dc(), RGB(255, 255, 255));
        if (clip)
            SelectClipRgn(c.dc(), clip);
        call(c.dc());
        SelectObject(c.dc(), GetStockObject(BLACK_PEN));
        SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
        return c.Image();
    };
    // A clip of two pieces: an ellipse and a bar.
    HRGN clip = CreateEllipticRgn(4, 4, 28, 28);
    HRGN bar = CreateRectRgn(30, 0, 40, 32);
    CombineRgn(clip, clip, bar, RGN_OR);
    const QImage blank = render([](HDC) {}, nullptr);
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        const QImage whole = render(call, nullptr);
        ASSERT_NE(whole, blank) << "the call drew nothing";
        const QImage clipped = render(call, clip);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(clipped.pixel(x, y), PtInRegion(clip, x, y) ? whole.pixel(x, y) : blank.pixel(x, y))
                    << x << ", " << y;
    }
    // The clip is a copy: changing or deleting the region afterwards changes nothing.
    Canvas c(kW, kH);
    SelectClipRgn(c.dc(), bar);
    OffsetRgn(bar, -30, 0);
    DeleteObject(bar);
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    Rectangle(c.dc(), 0, 0, kW, kH);
    EXPECT_EQ(c.Pixel(5, 5), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(35, 5), 0u);
    SelectClipRgn(c.dc(), nullptr);
    Rectangle(c.dc(), 0, 0, kW, kH);
    EXPECT_EQ(c.Pixel(5, 5), 0u);

    DeleteObject(clip);
    DeleteObject(pen);
    DeleteObject(pattern);
    DeleteObject(patternBits);
}

} // namespace
