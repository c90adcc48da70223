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

} // namespace
