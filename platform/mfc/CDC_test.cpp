#include "platform/mfc/CDC.h"

#include "platform/mfc/CPalette.h"

#include <gtest/gtest.h>

namespace {

COLORREF pixel(HBITMAP bmp, int x, int y)
{
    struct {
        BITMAPINFOHEADER h{};
        RGBQUAD pad[4]{};
    } info;
    info.h.biSize = 40;
    info.h.biWidth = 4;
    info.h.biHeight = -4;
    info.h.biPlanes = 1;
    info.h.biBitCount = 32;
    DWORD bits[16] = {};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bmp, 0, 4, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    const DWORD v = bits[y * 4 + x];
    return RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v));
}

TEST(CDCTest, OwnsItsDCAndBlitsThroughIt)
{
    HDC screen = GetDC(nullptr);
    CDC src, dst;
    CDC screenDC;
    ASSERT_TRUE(screenDC.Attach(screen));
    ASSERT_TRUE(src.CreateCompatibleDC(&screenDC));
    ASSERT_TRUE(dst.CreateCompatibleDC(nullptr));
    EXPECT_FALSE(dst.CreateCompatibleDC(nullptr));
    HBITMAP a = CreateCompatibleBitmap(screen, 4, 4);
    HBITMAP b = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ oldA = src.SelectObject(a);
    HGDIOBJ oldB = dst.SelectObject(b);
    ASSERT_TRUE(oldA && oldB);

    ASSERT_TRUE(src.PatBlt(0, 0, 4, 4, WHITENESS));
    ASSERT_TRUE(src.PatBlt(1, 0, 1, 4, BLACKNESS));
    // Four columns onto two: the default mode keeps the black one.
    EXPECT_EQ(dst.GetStretchBltMode(), BLACKONWHITE);
    ASSERT_TRUE(dst.StretchBlt(0, 0, 2, 4, &src, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(dst.SetStretchBltMode(COLORONCOLOR), BLACKONWHITE);
    ASSERT_TRUE(dst.StretchBlt(2, 0, 2, 4, &src, 0, 0, 4, 4, SRCCOPY));
    ASSERT_TRUE(dst.BitBlt(0, 3, 1, 1, &src, 1, 0, NOTSRCCOPY));
    src.SelectObject(oldA);
    dst.SelectObject(oldB);
    EXPECT_EQ(pixel(b, 0, 0), 0u);
    EXPECT_EQ(pixel(b, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(pixel(b, 2, 0), 0xFFFFFFu);
    EXPECT_EQ(pixel(b, 0, 3), 0xFFFFFFu);

    CPalette pal;
    LOGPALETTE lp{0x300, 1, {{1, 2, 3, 0}}};
    ASSERT_TRUE(pal.CreatePalette(&lp));
    EXPECT_TRUE(dst.SelectPalette(&pal, FALSE));
    EXPECT_EQ(dst.SelectPalette(nullptr, FALSE), nullptr);
    EXPECT_EQ(dst.RealizePalette(), 0u);

    // Detached DCs stay; owned ones go with their object.
    EXPECT_EQ(screenDC.Detach(), screen);
    EXPECT_TRUE(dst.DeleteDC());
    EXPECT_FALSE(dst.DeleteDC());
    EXPECT_FALSE(dst.Attach(nullptr));
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    ReleaseDC(nullptr, screen);
    DeleteObject(a);
    DeleteObject(b);
}

} // namespace
