// Pictures fitted into the face, the container colour, the bevel of a mask
// shape and the region of a mask, checked pixel by pixel.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/gdi/GdiTestSupport.h"
#include "platform/win/Messages.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using gditest::Canvas;

// A colour device bitmap painted pixel by pixel.
HBITMAP colorBitmap(int w, int h, const std::function<COLORREF(int, int)>& color)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            HBRUSH brush = CreateSolidBrush(color(x, y));
            const RECT r{x, y, x + 1, y + 1};
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bm;
}

// A one-bit mask: black where inside(x, y), white elsewhere.
HBITMAP maskBitmap(int w, int h, const std::function<bool(int, int)>& inside)
{
    const int stride = ((w + 15) / 16) * 2;
    std::vector<BYTE> bits(std::size_t(stride) * std::size_t(h), 0xFF);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (inside(x, y))
                bits[std::size_t(y) * std::size_t(stride) + std::size_t(x / 8)] &= BYTE(~(0x80 >> (x % 8)));
    return CreateBitmap(w, h, 1, 1, bits.data());
}

SIZE sizeOf(HBITMAP bm)
{
    BITMAP info{};
    GetObject(bm, sizeof(info), &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

COLORREF pixelOf(HBITMAP bm, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    Canvas one(1, 1);
    BitBlt(one.dc(), 0, 0, 1, 1, dc, x, y, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    return one.Pixel(0, 0);
}

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class BitmapOpsTest : public ::testing::Test {
protected:
    void SetUp() override { control = lumvextest::NewButton(&button); }

    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> control;
};

TEST_F(BitmapOpsTest, PictureTooLargeShrinksToTheFaceKeepingItsRatio)
{
    const RECT face{0, 0, 60, 60};
    // Wider than the face: shrunk by 24 at the top and the bottom.
    EXPECT_TRUE(sameRect(CLumvexCtrl::FitPictureTarget(face, 100, 20, TRUE), RECT{0, 24, 60, 36}));
    // Taller: shrunk at the left and right.
    EXPECT_TRUE(sameRect(CLumvexCtrl::FitPictureTarget(face, 20, 100, TRUE), RECT{24, 0, 36, 60}));
    EXPECT_TRUE(sameRect(CLumvexCtrl::FitPictureTarget(face, 100, 20, FALSE), face));
    // The offset of the face is kept.
    EXPECT_TRUE(sameRect(CLumvexCtrl::FitPictureTarget(RECT{5, 7, 65, 67}, 100, 20, TRUE), RECT{5, 31, 65, 43}));
    // A ratio that rounds to nothing, or a very wide picture, still gives a
    // target of at least one pixel.
    const RECT thin = CLumvexCtrl::FitPictureTarget(face, 1, 5000, TRUE);
    EXPECT_GE(thin.right - thin.left, 1);
    EXPECT_EQ(thin.bottom - thin.top, 60);
    const RECT flat = CLumvexCtrl::FitPictureTarget(face, 2000000, 1, TRUE);
    EXPECT_EQ(flat.right - flat.left, 60);
    EXPECT_GE(flat.bottom - flat.top, 1);

    HDC screen = GetDC(nullptr);
    HBITMAP fitted = button->FitPictureToFace(screen, colorBitmap(100, 20, [](int, int) { return RGB(10, 200, 30); }),
                                              face);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(sizeOf(fitted).cx, 60);
    EXPECT_EQ(sizeOf(fitted).cy, 12);
    EXPECT_EQ(pixelOf(fitted, 59, 11), RGB(10, 200, 30));
    DeleteObject(fitted);

    button->m_PictureKeepRatio = FALSE;
    fitted = button->FitPictureToFace(screen, colorBitmap(100, 20, [](int, int) { return 0; }), face);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(sizeOf(fitted).cx, 60);
    EXPECT_EQ(sizeOf(fitted).cy, 60);
    DeleteObject(fitted);
    ReleaseDC(nullptr, screen);
}

TEST_F(BitmapOpsTest, PictureThatFitsOrEmptyFaceIsNotScaled)
{
    HDC screen = GetDC(nullptr);
    HBITMAP small = colorBitmap(32, 32, [](int, int) { return RGB(1, 2, 3); });
    EXPECT_EQ(button->FitPictureToFace(screen, small, RECT{0, 0, 60, 40}), small);
    DeleteObject(small);

    // Nothing is drawn in an empty face, and the picture given is released.
    HBITMAP picture = colorBitmap(8, 8, [](int, int) { return 0; });
    EXPECT_EQ(button->FitPictureToFace(screen, picture, RECT{0, 0, 0, 40}), nullptr);
    BITMAP gone{};
    EXPECT_EQ(GetObject(picture, sizeof(gone), &gone), 0);
    EXPECT_EQ(button->FitPictureToFace(screen, nullptr, RECT{0, 0, 60, 40}), nullptr);
    ReleaseDC(nullptr, screen);
}

TEST_F(BitmapOpsTest, ShrinkingAveragesThePixelsItCovers)
{
    HDC screen = GetDC(nullptr);
    button->m_PictureKeepRatio = FALSE;
    // Black and white columns, halved: every pixel is their mean.
    HBITMAP fitted = button->FitPictureToFace(
        screen, colorBitmap(4, 2, [](int x, int) { return x % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); }),
        RECT{0, 0, 2, 2});
    ASSERT_NE(fitted, nullptr);
    for (int x = 0; x < 2; ++x) {
        const COLORREF c = pixelOf(fitted, x, 0);
        EXPECT_NEAR(GetRValue(c), 128, 1);
        EXPECT_EQ(GetRValue(c), GetBValue(c));
    }
    DeleteObject(fitted);
    ReleaseDC(nullptr, screen);
}

TEST_F(BitmapOpsTest, StretchedPictureFillsTheFaceLessItsBorder)
{
    HDC screen = GetDC(nullptr);
    HBITMAP stretched =
        button->StretchPictureToFace(screen, colorBitmap(10, 10, [](int, int) { return RGB(9, 8, 7); }),
                                     RECT{0, 0, 60, 40});
    ASSERT_NE(stretched, nullptr);
    EXPECT_EQ(sizeOf(stretched).cx, 58);
    EXPECT_EQ(sizeOf(stretched).cy, 38);
    EXPECT_EQ(pixelOf(stretched, 57, 37), RGB(9, 8, 7));
    DeleteObject(stretched);
    // No room inside the border: no picture.
    EXPECT_EQ(button->StretchPictureToFace(screen, colorBitmap(4, 4, [](int, int) { return 0; }), RECT{0, 0, 2, 9}),
              nullptr);
    ReleaseDC(nullptr, screen);
}

TEST(ContainerBackColorTest, AmbientColourUnlessOneWasSet)
{
    lumvextest::ActiveButton b;
    b.site->SetBackColor(RGB(12, 34, 56));
    EXPECT_EQ(b.button->GetContainerBackColor(), RGB(12, 34, 56));
    // A system colour by index.
    b.site->SetBackColor(0x80000000 | COLOR_BTNFACE);
    EXPECT_EQ(b.button->GetContainerBackColor(), GetSysColor(COLOR_BTNFACE));
    b.button->m_NSContainerColor = RGB(200, 100, 0);
    EXPECT_EQ(b.button->GetContainerBackColor(), RGB(200, 100, 0));
    b.button->m_NSContainerColor = OLE_COLOR(-1);
    EXPECT_EQ(b.button->GetContainerBackColor(), GetSysColor(COLOR_BTNFACE));
}

// The bevel of a 10 x 10 black square at (5, 5) in a 20 x 20 mask, drawn on
// a 20 x 20 face, against the bands as defined: shape pixels whose neighbour
// b up and left (b down and right) lies outside.
class MaskBevelTest : public BitmapOpsTest {
protected:
    static constexpr COLORREF kFace = RGB(90, 90, 90);
    static constexpr COLORREF kLight = RGB(250, 0, 0);
    static constexpr COLORREF kDark = RGB(0, 0, 250);
    static constexpr COLORREF kContainer = RGB(0, 160, 0);

    static bool inSquare(int x, int y) { return x >= 5 && x < 15 && y >= 5 && y < 15; }

    // The face after the bevel is drawn.
    QImage Draw(BOOL raised, UINT itemState)
    {
        Canvas face(20, 20, RGB(1, 1, 1));
        HBITMAP mask = maskBitmap(20, 20, inSquare);
        HBITMAP copy = colorBitmap(20, 20, [](int, int) { return kFace; });
        button->m_NSContainerColor = kContainer;
        button->DrawMaskBevel(face.dc(), mask, copy, raised, kLight, kDark, itemState, RECT{0, 0, 20, 20});
        DeleteObject(copy);
        DeleteObject(mask);
        return face.Image();
    }

    static void ExpectBands(const QImage& got, int b, COLORREF outside, COLORREF topLeft, COLORREF bottomRight)
    {
        int wrong = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                COLORREF want = kFace;
                if (!inSquare(x, y))
                    want = outside;
                else if (!inSquare(x + b, y + b))
                    want = bottomRight;
                else if (!inSquare(x - b, y - b))
                    want = topLeft;
                if (got.pixel(x, y) != gditest::Rgb(want) && ++wrong <= 5)
                    ADD_FAILURE() << "b = " << b << ": pixel (" << x << ", " << y << ")";
            }
        EXPECT_EQ(wrong, 0);
    }
};

TEST_F(MaskBevelTest, BandsOfOneAndTwoPixels)
{
    button->m_Shape = 5;
    button->m_ButtonRaiseFactor = 1;
    const QImage one = Draw(TRUE, 0);
    ExpectBands(one, 1, kContainer, kLight, kDark);
    // The square's top-left pixel is in the light band, its far corners in the dark.
    EXPECT_EQ(one.pixel(5, 5), gditest::Rgb(kLight));
    EXPECT_EQ(one.pixel(14, 5), gditest::Rgb(kDark));
    EXPECT_EQ(one.pixel(7, 7), gditest::Rgb(kFace));

    button->m_ButtonRaiseFactor = 2;
    const QImage two = Draw(TRUE, 0);
    ExpectBands(two, 2, kContainer, kLight, kDark);
    EXPECT_EQ(two.pixel(6, 6), gditest::Rgb(kLight));
    EXPECT_EQ(two.pixel(7, 7), gditest::Rgb(kFace));

    // Text shapes always have a one-pixel bevel.
    button->m_Shape = 4;
    ExpectBands(Draw(TRUE, 0), 1, kContainer, kLight, kDark);
}

TEST_F(MaskBevelTest, BandsOfNoneWiderThanTheShapeOrTurnedRound)
{
    // A factor past the square's or the whole mask's side puts every pixel
    // of the square in the dark band; a negative one swaps where the bands lie.
    button->m_Shape = 5;
    for (short b : {0, 3, 12, 25, 300, -2, -30}) {
        button->m_ButtonRaiseFactor = b;
        ExpectBands(Draw(TRUE, 0), b, kContainer, kLight, kDark);
    }
}

TEST_F(MaskBevelTest, PressedSwapsTheBandsAndFocusBlackensTheOutside)
{
    button->m_Shape = 5;
    button->m_ButtonRaiseFactor = 2;
    ExpectBands(Draw(FALSE, 0), 2, kContainer, kDark, kLight);
    button->m_FocusMode = 1;
    ExpectBands(Draw(TRUE, win::ODS_FOCUS), 2, RGB(0, 0, 0), kLight, kDark);
    // The black outside belongs to FocusMode 1 only.
    button->m_FocusMode = 2;
    ExpectBands(Draw(TRUE, win::ODS_FOCUS), 2, kContainer, kLight, kDark);
}

TEST_F(MaskBevelTest, DrawsOnlyInsideThePartsClipAndRestoresTheButtonsClip)
{
    button->m_Shape = 5;
    button->m_hRgnPartClip = CreateRectRgn(0, 0, 10, 20);
    button->m_hClipRgn = CreateRectRgn(0, 0, 20, 10);
    Canvas face(20, 20, RGB(1, 1, 1));
    HBITMAP mask = maskBitmap(20, 20, inSquare);
    HBITMAP copy = colorBitmap(20, 20, [](int, int) { return kFace; });
    button->DrawMaskBevel(face.dc(), mask, copy, TRUE, kLight, kDark, 0, RECT{0, 0, 20, 20});
    EXPECT_EQ(face.Pixel(9, 9), kFace);
    EXPECT_EQ(face.Pixel(10, 9), RGB(1, 1, 1));
    // The button's own clip region is selected afterwards.
    face.Fill(RGB(7, 7, 7));
    EXPECT_EQ(face.Pixel(15, 5), RGB(7, 7, 7));
    EXPECT_EQ(face.Pixel(15, 15), RGB(1, 1, 1));
    SelectClipRgn(face.dc(), nullptr);
    DeleteObject(copy);
    DeleteObject(mask);
    DeleteObject(button->m_hRgnPartClip);
    DeleteObject(button->m_hClipRgn);
    button->m_hRgnPartClip = nullptr;
    button->m_hClipRgn = nullptr;
}

// The region made of the given pixels, one rectangle each.
HRGN regionOfPixels(int w, int h, const std::function<bool(int, int)>& inside)
{
    HRGN all = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (inside(x, y)) {
                HRGN one = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(all, all, one, RGN_OR);
                DeleteObject(one);
            }
    return all;
}

TEST(BitmapToRegionTest, MaskGivesTheRegionOfItsOpaquePixels)
{
    // A white top-left pixel, the key: the black pixels form a ring and a dot.
    auto black = [](int x, int y) {
        const int dx = x - 12;
        const int dy = y - 8;
        return (dx * dx + dy * dy >= 25 && dx * dx + dy * dy <= 49) || (x == 3 && y == 14);
    };
    HBITMAP mask = maskBitmap(25, 17, black);
    HRGN region = CLumvexCtrl::BitmapToRegion(mask, RGB(255, 255, 255), 0);
    ASSERT_NE(region, nullptr);
    HRGN expected = regionOfPixels(25, 17, black);
    EXPECT_TRUE(EqualRgn(region, expected));
    DeleteObject(expected);
    DeleteObject(region);
    DeleteObject(mask);

    HBITMAP white = maskBitmap(25, 17, [](int, int) { return false; });
    EXPECT_EQ(CLumvexCtrl::BitmapToRegion(white, RGB(255, 255, 255), 0), nullptr);
    DeleteObject(white);
    EXPECT_EQ(CLumvexCtrl::BitmapToRegion(nullptr, 0, 0), nullptr);
}

TEST(BitmapToRegionTest, KeyColourWithToleranceIsTransparent)
{
    // Only exact key pixels are transparent without a tolerance.
    HBITMAP bm = colorBitmap(3, 1, [](int x, int) { return x == 0 ? RGB(100, 100, 100) : RGB(100 + x, 100, 100); });
    HRGN exact = CLumvexCtrl::BitmapToRegion(bm, RGB(100, 100, 100), 0);
    HRGN want = CreateRectRgn(1, 0, 3, 1);
    EXPECT_TRUE(EqualRgn(exact, want));
    HRGN tolerant = CLumvexCtrl::BitmapToRegion(bm, RGB(100, 100, 100), RGB(1, 0, 0));
    HRGN last = CreateRectRgn(2, 0, 3, 1);
    EXPECT_TRUE(EqualRgn(tolerant, last));
    for (HGDIOBJ o : {HGDIOBJ(exact), HGDIOBJ(want), HGDIOBJ(tolerant), HGDIOBJ(last), HGDIOBJ(bm)})
        DeleteObject(o);
}

TEST(BitmapToRegionTest, ManyRunsStillGiveOneRegion)
{
    // Every other column opaque: 100 runs a row, 6000 in all, three batches.
    auto opaque = [](int x, int y) { return x % 2 == (y % 3 == 0 ? 0 : 1); };
    HBITMAP mask = maskBitmap(200, 60, opaque);
    HRGN region = CLumvexCtrl::BitmapToRegion(mask, RGB(255, 255, 255), 0);
    ASSERT_NE(region, nullptr);
    int wrong = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (bool(PtInRegion(region, x, y)) != opaque(x, y))
                ++wrong;
    EXPECT_EQ(wrong, 0);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region, &box), COMPLEXREGION);
    EXPECT_TRUE(sameRect(box, RECT{0, 0, 200, 60}));
    DeleteObject(region);
    DeleteObject(mask);
}

} // namespace
