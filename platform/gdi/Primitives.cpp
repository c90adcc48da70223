// The filled and outlined shapes: scan-converted here, painted inside the
// DC's clip region.

#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>

namespace gdi {

namespace {

// Coordinates beyond this are refused: the scan conversion's arithmetic
// stays exact up to it.
constexpr long long kMaxCoordinate = 1 << 27;
// Wider pens are drawn this wide.
constexpr int kMaxPenWidth = 4096;

bool inRange(std::initializer_list<long long> values)
{
    return std::all_of(values.begin(), values.end(),
                       [](long long v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; });
}

struct Target {
    DC* dc = nullptr;
    Surface* surface = nullptr;
    explicit operator bool() const { return dc && surface; }
};

Target target(HDC hdc)
{
    return Target{FindDC(hdc), DCSurface(hdc)};
}

struct PenUse {
    bool visible;
    int width;
    bool insideFrame;
    COLORREF color;
};

PenUse penOf(const DC& dc)
{
    const Pen* p = dc.pen;
    if (!p || p->style == PS_NULL)
        return PenUse{false, 0, false, 0};
    return PenUse{true, std::clamp(p->width, 1, kMaxPenWidth), p->style == PS_INSIDEFRAME, p->color};
}

enum class Shape { Rectangle, RoundRect, Ellipse };

Rows shapeRows(Shape shape, const Box& box, int cornerWidth, int cornerHeight, int from, int to)
{
    switch (shape) {
    case Shape::Rectangle: return RectRows(box, from, to);
    case Shape::RoundRect: return RoundRectRows(box, cornerWidth, cornerHeight, from, to);
    case Shape::Ellipse: return EllipseRows(box, from, to);
    }
    return {};
}

// The outline of a shape: the pixels the pen covers, and inside them what
// the brush fills. With the null pen the brush covers the whole shape.
struct Parts {
    Spans outline;
    Spans inside;
};

Parts shapeParts(Shape shape, Box box, int cornerWidth, int cornerHeight, const PenUse& pen, int from, int to)
{
    Parts parts;
    if (!pen.visible) {
        parts.inside = ToSpans(shapeRows(shape, box, cornerWidth, cornerHeight, from, to));
        return parts;
    }
    // A wide pen not drawn inside the frame is centred on the outline.
    const int grow = pen.insideFrame ? 0 : (pen.width - 1) / 2;
    box = Box{box.left - grow, box.top - grow, box.right + grow, box.bottom + grow};
    const Rows rows =
        shapeRows(shape, box, cornerWidth + 2 * grow, cornerHeight + 2 * grow, from - pen.width, to + pen.width);
    SplitOutline(rows, pen.width, from, to, parts.outline, parts.inside);
    return parts;
}

// Left above right and top above bottom, as the shape calls take them.
Box normalised(int left, int top, int right, int bottom)
{
    return Box{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

BOOL drawShape(HDC hdc, Shape shape, int left, int top, int right, int bottom, int cornerWidth = 0,
               int cornerHeight = 0)
{
    const Target t = target(hdc);
    if (!t || !inRange({left, top, right, bottom, cornerWidth, cornerHeight}))
        return FALSE;
    const Clip clip(*t.dc, *t.surface);
    const PenUse pen = penOf(*t.dc);
    const Parts parts = shapeParts(shape, normalised(left, top, right, bottom), std::abs(cornerWidth),
                                   std::abs(cornerHeight), pen, clip.Top(), clip.Bottom());
    Paint(*t.surface, clip, parts.inside, BrushTile(*t.surface, *t.dc, t.dc->brush));
    if (pen.visible)
        Paint(*t.surface, clip, parts.outline, ColorTile(*t.surface, pen.color));
    return TRUE;
}

// Whether a pixel's direction from the centre lies on the counter-clockwise
// sweep from `start` to `end` (on the screen, y growing downwards). Vectors
// are in doubled coordinates from the ellipse's centre; a zero vector counts
// as lying on every sweep.
class Sweep {
public:
    Sweep(long long sx, long long sy, long long ex, long long ey)
        : sx_(sx), sy_(-sy), ex_(ex), ey_(-ey), full_(cross(sx_, sy_, ex_, ey_) == 0 && dot(sx_, sy_, ex_, ey_) >= 0)
    {
    }
    bool Contains(long long px, long long py) const
    {
        py = -py;
        if (full_ || (px == 0 && py == 0))
            return true;
        const int hp = half(px, py), he = half(ex_, ey_);
        if (hp != he)
            return hp < he;
        return cross(px, py, ex_, ey_) >= 0;
    }

private:
    static long long cross(long long ax, long long ay, long long bx, long long by) { return ax * by - ay * bx; }
    static long long dot(long long ax, long long ay, long long bx, long long by) { return ax * bx + ay * by; }
    // 0 for the half turn starting at the start direction, 1 for the other.
    int half(long long x, long long y) const
    {
        const long long c = cross(sx_, sy_, x, y);
        return (c > 0 || (c == 0 && dot(sx_, sy_, x, y) > 0)) ? 0 : 1;
    }
    long long sx_, sy_, ex_, ey_;
    bool full_;
};

bool FillWithBrush(HDC hdc, const RECT& rect, HBRUSH hbr)
{
    const Target t = target(hdc);
    if (!t)
        return false;
    // A system colour index plus one stands for that colour's brush.
    const auto index = reinterpret_cast<std::uintptr_t>(hbr);
    Brush sysBrush;
    const Brush* brush = FindBrush(hbr);
    if (!brush && index >= 1 && index <= 25) {
        sysBrush.color = GetSysColor(int(index) - 1);
        brush = &sysBrush;
    }
    if (!brush)
        return false;
    const Clip clip(*t.dc, *t.surface);
    const Box box{int(rect.left), int(rect.top), int(rect.right), int(rect.bottom)};
    Paint(*t.surface, clip, ToSpans(RectRows(box, clip.Top(), clip.Bottom())), BrushTile(*t.surface, *t.dc, brush));
    return true;
}

} // namespace

} // namespace gdi

using namespace gdi;

int FillRect(HDC hdc, const RECT* rect, HBRUSH hbr)
{
    return rect && FillWithBrush(hdc, *rect, hbr) ? 1 : 0;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    return drawShape(hdc, Shape::Rectangle, left, top, right, bottom);
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    return drawShape(hdc, Shape::RoundRect, left, top, right, bottom, cornerWidth, cornerHeight);
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    return drawShape(hdc, Shape::Ellipse, left, top, right, bottom);
}

BOOL Polygon(HDC hdc, const POINT* points, int count)
{
    const Target t = target(hdc);
    if (!t || !points || count < 2)
        return FALSE;
    for (int i = 0; i < count; ++i)
        if (!inRange({points[i].x, points[i].y}))
            return FALSE;
    const Clip clip(*t.dc, *t.surface);
    Paint(*t.surface, clip, PolygonSpans(points, count, false, clip.Top(), clip.Bottom()),
          BrushTile(*t.surface, *t.dc, t.dc->brush));
    const PenUse pen = penOf(*t.dc);
    if (pen.visible)
        Paint(*t.surface, clip, OutlineSpans(points, count, pen.width, clip.Top(), clip.Bottom()),
              ColorTile(*t.surface, pen.color));
    return TRUE;
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    const Target t = target(hdc);
    if (!t || !inRange({left, top, right, bottom, xStart, yStart, xEnd, yEnd}))
        return FALSE;
    const PenUse pen = penOf(*t.dc);
    if (!pen.visible)
        return TRUE;
    const Clip clip(*t.dc, *t.surface);
    const Box box = normalised(left, top, right, bottom);
    const Parts parts = shapeParts(Shape::Ellipse, box, 0, 0, pen, clip.Top(), clip.Bottom());
    // Directions in doubled coordinates from the centre, pixels by their centres.
    const long long cx = static_cast<long long>(box.left) + box.right;
    const long long cy = static_cast<long long>(box.top) + box.bottom;
    const Sweep sweep(2LL * xStart - cx, 2LL * yStart - cy, 2LL * xEnd - cx, 2LL * yEnd - cy);
    std::vector<Span> runs;
    for (const Span& s : parts.outline)
        for (int x = s.x0; x < s.x1; ++x)
            if (sweep.Contains(2LL * x + 1 - cx, 2LL * s.y + 1 - cy))
                runs.push_back(Span{s.y, x, x + 1});
    Paint(*t.surface, clip, MergeRuns(std::move(runs)), ColorTile(*t.surface, pen.color));
    return TRUE;
}
