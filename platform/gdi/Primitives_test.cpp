#include "platform/gdi/GdiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

namespace {

using gditest::Canvas;
using gditest::MatchesGolden;
using gditest::Rgb;

constexpr COLORREF kPen = RGB(200, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 220);

using Draw = std::function<void(HDC dc, int left, int top, int width, int height)>;

struct PenSetup {
    int style;
    int width;
    bool hollow;
};

// Odd and even sizes down the sheet, pens across: null, 1, 2 and 3 pixels,
// inside-frame 2 and 3, and a 1-pixel pen with the null brush.
QImage sheet(const Draw& draw)
{
    const std::pair<int, int> sizes[] = {{7, 5}, {8, 6}, {15, 9}, {16, 10}, {25, 17}, {26, 18}};
    const PenSetup pens[] = {{PS_NULL, 1, false},        {PS_SOLID, 1, false},       {PS_SOLID, 2, false},
                             {PS_SOLID, 3, false},       {PS_INSIDEFRAME, 2, false}, {PS_INSIDEFRAME, 3, false},
                             {PS_SOLID, 1, true}};
    constexpr int kCellW = 36, kCellH = 28;
    Canvas c(kCellW * int(std::size(pens)), kCellH * int(std::size(sizes)));
    HBRUSH brush = CreateSolidBrush(kBrush);
    for (std::size_t row = 0; row < std::size(sizes); ++row)
        for (std::size_t col = 0; col < std::size(pens); ++col) {
            HPEN pen = CreatePen(pens[col].style, pens[col].width, kPen);
            HGDIOBJ oldPen = SelectObject(c.dc(), pen);
            HGDIOBJ oldBrush = SelectObject(c.dc(), pens[col].hollow ? GetStockObject(NULL_BRUSH) : brush);
            draw(c.dc(), int(col) * kCellW + 4, int(row) * kCellH + 4, sizes[row].first, sizes[row].second);
            SelectObject(c.dc(), oldBrush);
            SelectObject(c.dc(), oldPen);
            DeleteObject(pen);
        }
    DeleteObject(brush);
    return c.Image();
}

// The pixels of one colour.
std::set<std::pair<int, int>> pixelsOf(const QImage& image, COLORREF color)
{
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == Rgb(color))
                out.emplace(x, y);
    return out;
}

QRect boundsOf(const std::set<std::pair<int, int>>& pixels)
{
    QRect r;
    for (const auto& [x, y] : pixels)
        r |= QRect(x, y, 1, 1);
    return r;
}

TEST(PrimitivesTest, ShapesMatchTheirGoldenPictures)
{
    EXPECT_TRUE(MatchesGolden(sheet([](HDC dc, int l, int t, int w, int h) { Rectangle(dc, l, t, l + w, t + h); }),
                              "rectangle"));
    EXPECT_TRUE(MatchesGolden(sheet([](HDC dc, int l, int t, int w, int h) { Ellipse(dc, l, t, l + w, t + h); }),
                              "ellipse"));
    EXPECT_TRUE(MatchesGolden(
        sheet([](HDC dc, int l, int t, int w, int h) { RoundRect(dc, l, t, l + w, t + h, w / 2, h / 2); }),
        "roundrect"));
    EXPECT_TRUE(
        MatchesGolden(sheet([](HDC dc, int l, int t, int w, int h) { RoundRect(dc, l, t, l + w, t + h, 6, 6); }),
                      "roundrect6"));
    // The parallelogram of the slanted button and a triangle.
    EXPECT_TRUE(MatchesGolden(sheet([](HDC dc, int l, int t, int w, int h) {
                                  const int o = w / 4;
                                  const POINT p[] = {{l + o, t}, {l + w - 1, t}, {l + w - 1 - o, t + h - 1}, {l, t + h - 1}};
                                  Polygon(dc, p, 4);
                              }),
                              "parallelogram"));
    EXPECT_TRUE(MatchesGolden(sheet([](HDC dc, int l, int t, int w, int h) {
                                  const POINT p[] = {{l, t}, {l + w - 1, t}, {l, t + h - 1}};
                                  Polygon(dc, p, 3);
                              }),
                              "triangle"));
    // From the bottom-left corner to the top-right one through the lower right.
    EXPECT_TRUE(MatchesGolden(
        sheet([](HDC dc, int l, int t, int w, int h) { Arc(dc, l, t, l + w, t + h, l, t + h, l + w, t); }), "arc"));
}

TEST(PrimitivesTest, RightAndBottomEdgesLieOutsideTheFigure)
{
    Canvas c(20, 20);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(Rectangle(c.dc(), 2, 3, 12, 9));
    EXPECT_EQ(boundsOf(pixelsOf(c.Image(), 0)), QRect(QPoint(2, 3), QPoint(11, 8)));

    // A one-pixel pen draws the outline on the figure's outer pixels; the
    // brush fills only what lies inside it.
    c.Fill(0xFFFFFF);
    HPEN red = CreatePen(PS_SOLID, 1, kPen);
    SelectObject(c.dc(), red);
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    Rectangle(c.dc(), 2, 3, 12, 9);
    const auto outline = pixelsOf(c.Image(), kPen);
    EXPECT_EQ(outline.size(), std::size_t(2 * 10 + 2 * 4));
    EXPECT_EQ(boundsOf(outline), QRect(QPoint(2, 3), QPoint(11, 8)));

    // Reversed corners draw the same figure.
    Canvas d(20, 20);
    SelectObject(d.dc(), red);
    SelectObject(d.dc(), GetStockObject(WHITE_BRUSH));
    Rectangle(d.dc(), 12, 9, 2, 3);
    EXPECT_EQ(c.Image(), d.Image());
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    SelectObject(d.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(red);
}

TEST(PrimitivesTest, WidePensAreCentredUnlessInsideTheFrame)
{
    for (int width : {1, 2, 3, 4}) {
        SCOPED_TRACE(width);
        for (int style : {PS_SOLID, PS_INSIDEFRAME}) {
            Canvas c(40, 40);
            HPEN pen = CreatePen(style, width, kPen);
            SelectObject(c.dc(), pen);
            SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
            Rectangle(c.dc(), 10, 10, 30, 25);
            const auto drawn = pixelsOf(c.Image(), kPen);
            const int out = style == PS_INSIDEFRAME ? 0 : (width - 1) / 2;
            EXPECT_EQ(boundsOf(drawn), QRect(QPoint(10 - out, 10 - out), QPoint(29 + out, 24 + out)));
            // The band is `width` pixels wide on every side.
            const int rowPixels = int(std::count_if(drawn.begin(), drawn.end(), [](const auto& p) { return p.second == 17; }));
            EXPECT_EQ(rowPixels, 2 * width);
            SelectObject(c.dc(), GetStockObject(BLACK_PEN));
            DeleteObject(pen);
        }
    }

    // A three-pixel inside-frame ellipse stays inside its box and is three
    // pixels thick across its middle row and column.
    Canvas c(40, 40);
    HPEN pen = CreatePen(PS_INSIDEFRAME, 3, kPen);
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    Ellipse(c.dc(), 5, 5, 35, 25);
    const QImage image = c.Image();
    EXPECT_EQ(boundsOf(pixelsOf(image, kPen)), QRect(QPoint(5, 5), QPoint(34, 24)));
    int across = 0, down = 0;
    for (int x = 0; x < 40; ++x)
        across += image.pixel(x, 14) == Rgb(kPen);
    for (int y = 0; y < 40; ++y)
        down += image.pixel(19, y) == Rgb(kPen);
    EXPECT_EQ(across, 6);
    EXPECT_EQ(down, 6);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(PrimitivesTest, EllipsesAreSymmetricAndNeverBreakApart)
{
    for (int w = 1; w <= 24; ++w)
        for (int h = 1; h <= 24; h += 1) {
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
            Canvas c(30, 30);
            SelectObject(c.dc(), GetStockObject(BLACK_PEN));
            SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
            Ellipse(c.dc(), 2, 2, 2 + w, 2 + h);
            const QImage image = c.Image();
            const auto outline = pixelsOf(image, 0);
            // Mirrored left to right and top to bottom.
            EXPECT_EQ(image.copy(2, 2, w, h), image.copy(2, 2, w, h).mirrored(true, true));
            EXPECT_EQ(image.copy(2, 2, w, h), image.copy(2, 2, w, h).mirrored(true, false));
            // Every row and column of the box is reached.
            EXPECT_EQ(boundsOf(outline), QRect(2, 2, w, h));
            // The outline is one piece (8-connected).
            std::set<std::pair<int, int>> seen;
            std::vector<std::pair<int, int>> todo{*outline.begin()};
            while (!todo.empty()) {
                const auto p = todo.back();
                todo.pop_back();
                if (!outline.count(p) || !seen.insert(p).second)
                    continue;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        todo.emplace_back(p.first + dx, p.second + dy);
            }
            EXPECT_EQ(seen.size(), outline.size());
        }
}

TEST(PrimitivesTest, RoundRectCornersRunFromNoneToTheEllipse)
{
    const auto draw = [](const std::function<void(HDC)>& f) {
        Canvas c(50, 30);
        HPEN pen = CreatePen(PS_INSIDEFRAME, 2, kPen);
        HBRUSH brush = CreateSolidBrush(kBrush);
        SelectObject(c.dc(), pen);
        SelectObject(c.dc(), brush);
        f(c.dc());
        SelectObject(c.dc(), GetStockObject(BLACK_PEN));
        SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
        DeleteObject(pen);
        DeleteObject(brush);
        return c.Image();
    };
    const QImage ellipse = draw([](HDC dc) { Ellipse(dc, 3, 4, 43, 24); });
    const QImage rect = draw([](HDC dc) { Rectangle(dc, 3, 4, 43, 24); });
    EXPECT_EQ(draw([](HDC dc) { RoundRect(dc, 3, 4, 43, 24, 40, 20); }), ellipse);
    // Corners larger than the box are cut to it.
    EXPECT_EQ(draw([](HDC dc) { RoundRect(dc, 3, 4, 43, 24, 80, 80); }), ellipse);
    EXPECT_EQ(draw([](HDC dc) { RoundRect(dc, 3, 4, 43, 24, 0, 0); }), rect);
    EXPECT_EQ(draw([](HDC dc) { RoundRect(dc, 3, 4, 43, 24, 1, 1); }), rect);
    EXPECT_NE(draw([](HDC dc) { RoundRect(dc, 3, 4, 43, 24, 10, 10); }), rect);
}

TEST(PrimitivesTest, ArcsFollowTheSweepCounterClockwise)
{
    const auto arc = [](int xs, int ys, int xe, int ye) {
        Canvas c(40, 30);
        SelectObject(c.dc(), GetStockObject(BLACK_PEN));
        Arc(c.dc(), 5, 5, 35, 25, xs, ys, xe, ye);
        return pixelsOf(c.Image(), 0);
    };
    Canvas whole(40, 30);
    SelectObject(whole.dc(), GetStockObject(NULL_BRUSH));
    Ellipse(whole.dc(), 5, 5, 35, 25);
    const auto outline = pixelsOf(whole.Image(), 0);

    // Start and end on one ray: the whole outline.
    EXPECT_EQ(arc(35, 15, 35, 15), outline);
    // From the bottom-left corner to the top-right one through the lower
    // right, and back through the upper left: together the whole outline.
    const auto lowerRight = arc(5, 25, 35, 5);
    const auto upperLeft = arc(35, 5, 5, 25);
    std::set<std::pair<int, int>> both = lowerRight;
    both.insert(upperLeft.begin(), upperLeft.end());
    EXPECT_EQ(both, outline);
    EXPECT_TRUE(lowerRight.count({34, 15}));
    EXPECT_TRUE(lowerRight.count({20, 24}));
    EXPECT_FALSE(lowerRight.count({5, 14}));
    EXPECT_FALSE(lowerRight.count({20, 5}));
    EXPECT_TRUE(upperLeft.count({5, 14}));
    EXPECT_TRUE(upperLeft.count({20, 5}));

    // The null pen draws no arc.
    Canvas c(40, 30);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    EXPECT_TRUE(Arc(c.dc(), 5, 5, 35, 25, 5, 25, 35, 5));
    EXPECT_TRUE(pixelsOf(c.Image(), 0).empty());
}

TEST(PrimitivesTest, PolygonsFillAlternatelyAndOutlineEveryEdge)
{
    Canvas c(30, 30);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    // An axis-aligned square fills like the rectangle of the same corners.
    const POINT square[] = {{2, 2}, {12, 2}, {12, 8}, {2, 8}};
    ASSERT_TRUE(Polygon(c.dc(), square, 4));
    EXPECT_EQ(boundsOf(pixelsOf(c.Image(), 0)), QRect(QPoint(2, 2), QPoint(11, 7)));
    EXPECT_EQ(pixelsOf(c.Image(), 0).size(), 60u);

    // A five-pointed star leaves its centre empty under alternate fill.
    c.Fill(0xFFFFFF);
    const POINT star[] = {{15, 1}, {24, 28}, {1, 10}, {29, 10}, {6, 28}};
    Polygon(c.dc(), star, 5);
    EXPECT_EQ(c.Pixel(15, 15), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(15, 5), 0u);

    // With a pen the outline reaches the far corners too.
    c.Fill(0xFFFFFF);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    Polygon(c.dc(), square, 4);
    EXPECT_EQ(boundsOf(pixelsOf(c.Image(), 0)), QRect(QPoint(2, 2), QPoint(12, 8)));
    EXPECT_EQ(pixelsOf(c.Image(), 0).size(), std::size_t(2 * 10 + 2 * 6));

    EXPECT_FALSE(Polygon(c.dc(), square, 1));
    EXPECT_FALSE(Polygon(c.dc(), nullptr, 4));
}

TEST(PrimitivesTest, PatternBrushesRepeatFromTheDcOrigin)
{
    // The disabled look's 8 x 8 checkerboard: 0 bits take the text colour,
    // 1 bits the background colour.
    const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH checker = CreatePatternBrush(bits);
    DeleteObject(bits); // the brush keeps its own copy
    Canvas c(20, 20);
    SetTextColor(c.dc(), RGB(1, 2, 3));
    SetBkColor(c.dc(), RGB(250, 250, 250));
    const RECT r{3, 5, 17, 19};
    ASSERT_EQ(FillRect(c.dc(), &r, checker), 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 3 && x < 17 && y >= 5 && y < 19;
            const COLORREF want = !inside ? 0xFFFFFF : ((x + y) % 2 == 0 ? RGB(1, 2, 3) : RGB(250, 250, 250));
            ASSERT_EQ(c.Pixel(x, y), want) << x << ", " << y;
        }

    // A colour pattern of any size, also through the shapes.
    HBITMAP tile = CreateCompatibleBitmap(c.dc(), 3, 2);
    {
        Canvas t(3, 2);
        for (int i = 0; i < 6; ++i) {
            HBRUSH b = CreateSolidBrush(RGB(BYTE(i * 40), 0, 0));
            const RECT px{i % 3, i / 3, i % 3 + 1, i / 3 + 1};
            FillRect(t.dc(), &px, b);
            DeleteObject(b);
        }
        HDC m = CreateCompatibleDC(c.dc());
        HGDIOBJ old = SelectObject(m, tile);
        BitBlt(m, 0, 0, 3, 2, t.dc(), 0, 0, SRCCOPY);
        SelectObject(m, old);
        DeleteDC(m);
    }
    HBRUSH colour = CreatePatternBrush(tile);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObject(colour, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_PATTERN);
    EXPECT_EQ(lb.lbHatch, reinterpret_cast<std::uintptr_t>(tile));
    c.Fill(0xFFFFFF);
    SelectObject(c.dc(), colour);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    Ellipse(c.dc(), 0, 0, 20, 20);
    EXPECT_EQ(c.Pixel(10, 10), RGB(BYTE((10 % 3 + 3 * (10 % 2)) * 40), 0, 0));
    EXPECT_EQ(c.Pixel(7, 3), RGB(BYTE((7 % 3 + 3 * (3 % 2)) * 40), 0, 0));
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(colour);
    DeleteObject(tile);
    DeleteObject(checker);
}

TEST(PrimitivesTest, FillRectTakesBrushesAndSystemColourIndexes)
{
    Canvas c(6, 6);
    const RECT r{1, 1, 4, 4};
    EXPECT_EQ(FillRect(c.dc(), &r, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_GRAYTEXT + 1))), 1);
    EXPECT_EQ(c.Pixel(1, 1), 0x808080u);
    EXPECT_EQ(c.Pixel(4, 4), 0xFFFFFFu);
    // An empty or reversed rectangle fills nothing.
    const RECT reversed{4, 4, 1, 1};
    EXPECT_EQ(FillRect(c.dc(), &reversed, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_EQ(c.Pixel(2, 2), 0x808080u);
    EXPECT_EQ(FillRect(c.dc(), &r, nullptr), 0);
    EXPECT_EQ(FillRect(c.dc(), nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(FillRect(nullptr, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
}

TEST(PrimitivesTest, FarAwayAndHugeShapesAreHandled)
{
    Canvas c(10, 10);
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    // Mostly outside the surface: only the visible rows are worked on.
    EXPECT_TRUE(Ellipse(c.dc(), -5000000, -5000000, 5000000, 5000000));
    EXPECT_EQ(c.Pixel(5, 5), 0u);
    EXPECT_TRUE(RoundRect(c.dc(), -100, -100, -50, -50, 10, 10));
    // Beyond the coordinate range: refused.
    EXPECT_FALSE(Rectangle(c.dc(), 0, 0, 1 << 30, 10));
    EXPECT_FALSE(Arc(c.dc(), 0, 0, 10, 10, 0, 0, 1 << 30, 0));
    const POINT far[] = {{0, 0}, {1 << 30, 0}, {0, 5}};
    EXPECT_FALSE(Polygon(c.dc(), far, 3));
    EXPECT_FALSE(Rectangle(nullptr, 0, 0, 5, 5));
}

} // namespace
