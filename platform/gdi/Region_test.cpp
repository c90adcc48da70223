#include "platform/gdi/GdiTestSupport.h"

#include <QRegion>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

using gditest::Canvas;

// Draws a shape with the null pen (and again with a one-pixel pen of the
// brush's colour) and checks that the region holds exactly the painted pixels.
void expectRegionIsPainting(HRGN region, const std::function<void(HDC)>& draw, int size)
{
    ASSERT_NE(region, nullptr);
    for (bool withPen : {false, true}) {
        Canvas c(size, size);
        HPEN pen = CreatePen(PS_SOLID, 1, 0);
        SelectObject(c.dc(), withPen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
        SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
        draw(c.dc());
        SelectObject(c.dc(), GetStockObject(BLACK_PEN));
        DeleteObject(pen);
        const QImage image = c.Image();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(image.pixel(x, y) == qRgb(0, 0, 0), bool(PtInRegion(region, x, y)))
                    << "pixel " << x << ", " << y << (withPen ? " with a pen" : "");
    }
}

TEST(RegionTest, ShapeRegionsHoldExactlyThePixelsTheirShapesPaint)
{
    for (int w = 1; w <= 21; ++w)
        for (int h = 1; h <= 21; h += 2 + w % 2) {
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
            HRGN e = CreateEllipticRgn(3, 2, 3 + w, 2 + h);
            expectRegionIsPainting(e, [&](HDC dc) { Ellipse(dc, 3, 2, 3 + w, 2 + h); }, 26);
            DeleteObject(e);
            for (int corner : {2, 5, 9, 40}) {
                HRGN r = CreateRoundRectRgn(3, 2, 3 + w, 2 + h, corner, corner / 2 + 1);
                expectRegionIsPainting(r, [&](HDC dc) { RoundRect(dc, 3, 2, 3 + w, 2 + h, corner, corner / 2 + 1); }, 26);
                DeleteObject(r);
            }
            HRGN rect = CreateRectRgn(3, 2, 3 + w, 2 + h);
            expectRegionIsPainting(rect, [&](HDC dc) { Rectangle(dc, 3, 2, 3 + w, 2 + h); }, 26);
            DeleteObject(rect);
        }

    // Triangles and four-point polygons, the button's parallelograms among
    // them, drawn with the null pen.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coord(0, 24);
    for (int i = 0; i < 150; ++i) {
        const int n = 3 + i % 2;
        POINT p[4];
        for (int k = 0; k < n; ++k)
            p[k] = POINT{coord(random), coord(random)};
        HRGN r = CreatePolygonRgn(p, n, ALTERNATE);
        ASSERT_NE(r, nullptr);
        Canvas c(26, 26);
        SelectObject(c.dc(), GetStockObject(NULL_PEN));
        SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
        Polygon(c.dc(), p, n);
        const QImage image = c.Image();
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 26; ++x)
                ASSERT_EQ(image.pixel(x, y) == qRgb(0, 0, 0), bool(PtInRegion(r, x, y))) << "polygon " << i;
        DeleteObject(r);
    }
}

TEST(RegionTest, RegionsCombineMoveAndAnswer)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    EXPECT_EQ(GetRgnBox(d, &box), NULLREGION);
    EXPECT_EQ(box.right, 0);

    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
    EXPECT_EQ(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top), QRect(5, 5, 5, 5));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 14, 14));
    EXPECT_FALSE(PtInRegion(d, 14, 2));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 2, 2));
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_TRUE(PtInRegion(d, 12, 12));
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, a));
    // A region combined into itself.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(a, 5, 5));
    EXPECT_FALSE(PtInRegion(a, 4, 4));
    EXPECT_EQ(CombineRgn(d, a, b, 9), ERROR);
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_OR), ERROR);

    // Right and bottom edges are outside; moving keeps the shape.
    EXPECT_FALSE(PtInRegion(b, 15, 10));
    EXPECT_EQ(OffsetRgn(b, -5, -5), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(b, 0, 0));
    EXPECT_FALSE(PtInRegion(b, 10, 0));
    EXPECT_EQ(OffsetRgn(b, 1 << 28, 0), ERROR);
    EXPECT_TRUE(PtInRegion(b, 0, 0));

    // Equal sets compare equal however they were built.
    HRGN e1 = CreateRectRgn(0, 0, 4, 2);
    HRGN e2 = CreateRectRgn(0, 0, 4, 1);
    HRGN e3 = CreateRectRgn(0, 1, 4, 2);
    CombineRgn(e2, e3, e2, RGN_OR);
    EXPECT_TRUE(EqualRgn(e1, e2));
    EXPECT_FALSE(EqualRgn(e1, e3));
    EXPECT_FALSE(EqualRgn(e1, nullptr));

    for (HRGN r : {a, b, d, e1, e2, e3})
        EXPECT_TRUE(DeleteObject(r));
    EXPECT_EQ(OffsetRgn(a, 1, 1), ERROR);
    EXPECT_FALSE(PtInRegion(a, 5, 5));
}

TEST(RegionTest, RegionsFromRectangleListsJoinEveryRectangle)
{
    // More than 2000 one-pixel-high rectangles, as a mask's rows give them.
    std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + 2500 * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = 2500;
    auto* rects = reinterpret_cast<RECT*>(buffer.data() + sizeof(RGNDATAHEADER));
    for (int i = 0; i < 2500; ++i) {
        const int y = i / 2, x = (i % 2) * 10 + (y % 3);
        rects[i] = RECT{x, y, x + 5, y + 1};
    }
    HRGN r = ExtCreateRegion(nullptr, DWORD(buffer.size()), data);
    ASSERT_NE(r, nullptr);
    for (int i = 0; i < 2500; i += 97) {
        EXPECT_TRUE(PtInRegion(r, rects[i].left, rects[i].top));
        EXPECT_FALSE(PtInRegion(r, rects[i].right, rects[i].top));
    }
    RECT box{};
    EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
    EXPECT_EQ(box.bottom, 1250);
    const QRegion q = gdi::ToQRegion(r);
    EXPECT_TRUE(q.contains(QPoint(10 + 1, 1)));
    EXPECT_EQ(q.boundingRect(), QRect(0, 0, 17, 1250));
    DeleteObject(r);

    // Headers that do not fit the buffer or announce another kind are refused.
    EXPECT_EQ(ExtCreateRegion(nullptr, DWORD(buffer.size()) - 1, data), nullptr);
    data->rdh.iType = 2;
    EXPECT_EQ(ExtCreateRegion(nullptr, DWORD(buffer.size()), data), nullptr);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = 0xFFFFFFFF;
    EXPECT_EQ(ExtCreateRegion(nullptr, DWORD(buffer.size()), data), nullptr);
    data->rdh.nCount = 0;
    HRGN empty = ExtCreateRegion(nullptr, DWORD(buffer.size()), data);
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    DeleteObject(empty);
    const XFORM identity{1, 0, 0, 1, 0, 0};
    EXPECT_EQ(ExtCreateRegion(&identity, DWORD(buffer.size()), data), nullptr);
    EXPECT_EQ(ExtCreateRegion(nullptr, 4, data), nullptr);
}

TEST(RegionTest, BadShapesAreRefused)
{
    EXPECT_EQ(CreateRectRgn(0, 0, 1 << 30, 5), nullptr);
    EXPECT_EQ(CreateEllipticRgn(0, 0, 10, 1 << 25), nullptr);
    const POINT tri[] = {{0, 0}, {5, 0}, {0, 5}};
    EXPECT_EQ(CreatePolygonRgn(tri, 3, 7), nullptr);
    EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), nullptr);
    // Two points make an empty region.
    HRGN line = CreatePolygonRgn(tri, 2, WINDING);
    RECT box{};
    EXPECT_EQ(GetRgnBox(line, &box), NULLREGION);
    DeleteObject(line);
    // Reversed corners are put in order.
    HRGN r = CreateRectRgn(10, 8, 2, 3);
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 8);
    DeleteObject(r);
}

TEST(RegionTest, WindingFillsWhatAlternateLeavesOpen)
{
    const POINT star[] = {{15, 1}, {24, 28}, {1, 10}, {29, 10}, {6, 28}};
    HRGN alternate = CreatePolygonRgn(star, 5, ALTERNATE);
    HRGN winding = CreatePolygonRgn(star, 5, WINDING);
    EXPECT_FALSE(PtInRegion(alternate, 15, 15));
    EXPECT_TRUE(PtInRegion(winding, 15, 15));
    EXPECT_TRUE(PtInRegion(alternate, 15, 5));
    DeleteObject(alternate);
    DeleteObject(winding);
}

} // namespace
