// Drawing through the memory device context reaches the target only when
// the context ends.

#include "buttonlib/control/CMemDC.h"

#include "platform/gdi/GdiTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(CMemDC, DrawingIsCopiedOntoTheTargetAtTheEnd)
{
    gditest::Canvas canvas(20, 20, RGB(255, 255, 255));
    CDC target;
    ASSERT_TRUE(target.Attach(canvas.dc()));
    {
        const RECT area{0, 0, 10, 10};
        CMemDC mem(&target, area);
        ASSERT_TRUE(mem.GetSafeHdc());
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(mem, &area, red);
        DeleteObject(red);
        EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 255, 255)) << "nothing reaches the target before the end";
    }
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(15, 15), RGB(255, 255, 255));
    target.Detach();
}

TEST(CMemDC, AKeptBitmapServesPaintsOfItsSizeAndColourTargetsOnly)
{
    gditest::Canvas canvas(30, 30, RGB(255, 255, 255));
    CDC target;
    ASSERT_TRUE(target.Attach(canvas.dc()));
    CMemDC::Kept kept;
    const auto paint = [&](CDC& on, const RECT& area, COLORREF colour) {
        CMemDC mem(&on, area, &kept);
        ASSERT_TRUE(mem.GetSafeHdc());
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(mem, &area, brush);
        DeleteObject(brush);
    };
    paint(target, RECT{0, 0, 10, 10}, RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(9, 9), RGB(255, 0, 0));
    // A larger rectangle takes a bitmap of its own size.
    paint(target, RECT{0, 0, 20, 20}, RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(19, 19), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(20, 20), RGB(255, 255, 255));

    // A monochrome target draws on a monochrome bitmap, where a light grey
    // is white, never on the kept colour one, where it would turn black.
    HDC monoDC = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(20, 20, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(monoDC, mono);
    CDC monoTarget;
    ASSERT_TRUE(monoTarget.Attach(monoDC));
    paint(monoTarget, RECT{0, 0, 20, 20}, RGB(200, 200, 200));
    monoTarget.Detach();
    BitBlt(canvas.dc(), 0, 0, 20, 20, monoDC, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 255, 255));
    SelectObject(monoDC, old);
    DeleteObject(mono);
    DeleteDC(monoDC);
    // The colour target still paints in colour.
    paint(target, RECT{0, 0, 20, 20}, RGB(0, 160, 0));
    EXPECT_EQ(canvas.Pixel(19, 19), RGB(0, 160, 0));
    target.Detach();
}

} // namespace
