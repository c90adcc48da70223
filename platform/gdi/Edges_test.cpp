// Edges by side and kind, and the focus outline that a second drawing removes.

#include "platform/gdi/GdiDraw.h"
#include "platform/gdi/GdiTestSupport.h"

namespace {

using gditest::Canvas;
using gditest::Rgb;

TEST(EdgesTest, SidesAndRingsFollowTheFlags)
{
    Canvas canvas(12, 10, RGB(9, 9, 9));
    RECT r{1, 1, 11, 9};
    // Only the outer ring of a sunken edge, only left and bottom.
    ASSERT_TRUE(DrawEdge(canvas.dc(), &r, BDR_SUNKENOUTER, BF_LEFT | BF_BOTTOM));
    const QImage img = canvas.Image();
    EXPECT_EQ(img.pixel(1, 4), Rgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(img.pixel(4, 8), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(img.pixel(1, 8), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(img.pixel(4, 1), qRgb(9, 9, 9)); // no top
    EXPECT_EQ(img.pixel(10, 4), qRgb(9, 9, 9)); // no right
    EXPECT_EQ(img.pixel(2, 4), qRgb(9, 9, 9)); // no inner ring
    EXPECT_FALSE(DrawEdge(canvas.dc(), nullptr, EDGE_RAISED, BF_RECT));
}

TEST(EdgesTest, FocusOutlineInvertsEveryOtherPixelAndUndoesItself)
{
    Canvas canvas(9, 7, RGB(100, 150, 200));
    const QImage before = canvas.Image();
    const RECT r{1, 1, 8, 6};
    ASSERT_TRUE(DrawFocusRect(canvas.dc(), &r));
    const QImage once = canvas.Image();
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            const bool border = x >= 1 && x <= 7 && y >= 1 && y <= 5 && (x == 1 || x == 7 || y == 1 || y == 5);
            const QRgb expected = border && (x + y) % 2 == 0 ? qRgb(155, 105, 55) : before.pixel(x, y);
            ASSERT_EQ(once.pixel(x, y), expected) << x << "," << y;
        }
    }
    ASSERT_TRUE(DrawFocusRect(canvas.dc(), &r));
    EXPECT_EQ(canvas.Image(), before);
    // An empty rectangle draws nothing.
    const RECT empty{4, 4, 4, 6};
    EXPECT_TRUE(DrawFocusRect(canvas.dc(), &empty));
    EXPECT_EQ(canvas.Image(), before);
}

} // namespace
