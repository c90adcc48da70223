// Regions are QRegions behind checked handles; shapes come from the same
// scan conversion as the drawing calls.

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/ScanConvert.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <new>

namespace gdi {

namespace {

// Shapes beyond these are refused rather than built row by row.
constexpr long long kMaxCoordinate = 1 << 27;
constexpr long long kMaxShapeRows = 1 << 20;

bool inRange(std::initializer_list<long long> values)
{
    return std::all_of(values.begin(), values.end(),
                       [](long long v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; });
}

HRGN addRegion(QRegion region)
{
    auto r = std::make_unique<Region>();
    r->region = std::move(region);
    return static_cast<HRGN>(AddObject(std::move(r)));
}

// A shape's region, or NULL when it is too large to build.
HRGN shapeRegion(const Box& box, long long cornerWidth, long long cornerHeight)
{
    if (box.Height() > kMaxShapeRows)
        return nullptr;
    return addRegion(ToRegion(ToSpans(RoundRectRows(box, cornerWidth, cornerHeight, box.top, box.bottom))));
}

Box normalised(int left, int top, int right, int bottom)
{
    return Box{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// The union of many rectangles, merged pairwise so that each step joins
// regions of about the same size.
QRegion unionOf(std::vector<QRegion> parts)
{
    if (parts.empty())
        return {};
    while (parts.size() > 1) {
        std::vector<QRegion> next;
        next.reserve((parts.size() + 1) / 2);
        for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
            next.push_back(parts[i].united(parts[i + 1]));
        if (parts.size() % 2)
            next.push_back(std::move(parts.back()));
        parts = std::move(next);
    }
    return parts.front();
}

} // namespace

int RegionKind(const QRegion& r)
{
    return r.isEmpty() ? NULLREGION : r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRegion ToQRegion(HRGN hrgn)
{
    const Region* r = FindRegion(hrgn);
    return r ? r->region : QRegion();
}

} // namespace gdi

using namespace gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    if (!inRange({left, top, right, bottom}))
        return nullptr;
    const Box b = normalised(left, top, right, bottom);
    return addRegion(b.Width() > 0 && b.Height() > 0 ? QRegion(b.left, b.top, int(b.Width()), int(b.Height()))
                                                     : QRegion());
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    if (!inRange({left, top, right, bottom, cornerWidth, cornerHeight}))
        return nullptr;
    return shapeRegion(normalised(left, top, right, bottom), std::abs(cornerWidth), std::abs(cornerHeight));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom)
{
    if (!inRange({left, top, right, bottom}))
        return nullptr;
    const Box b = normalised(left, top, right, bottom);
    return shapeRegion(b, b.Width(), b.Height());
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING))
        return nullptr;
    int top = points[0].y, bottom = points[0].y;
    for (int i = 0; i < count; ++i) {
        if (!inRange({points[i].x, points[i].y}))
            return nullptr;
        top = std::min(top, int(points[i].y));
        bottom = std::max(bottom, int(points[i].y));
    }
    if (static_cast<long long>(bottom) - top > kMaxShapeRows)
        return nullptr;
    return addRegion(ToRegion(PolygonSpans(points, count, fillMode == WINDING, top, bottom)));
}

HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data)
{
    // Transforms are not supported.
    if (xform || !data || count < sizeof(RGNDATAHEADER))
        return nullptr;
    const RGNDATAHEADER& h = data->rdh;
    if (h.dwSize < sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES || h.dwSize > count ||
        h.nCount > (count - h.dwSize) / sizeof(RECT))
        return nullptr;
    const auto* rects = reinterpret_cast<const RECT*>(reinterpret_cast<const BYTE*>(data) + h.dwSize);
    std::vector<QRegion> parts;
    try {
        parts.reserve(h.nCount);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (DWORD i = 0; i < h.nCount; ++i) {
        const RECT& r = rects[i];
        if (!inRange({r.left, r.top, r.right, r.bottom}))
            return nullptr;
        if (r.right > r.left && r.bottom > r.top)
            parts.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return addRegion(unionOf(std::move(parts)));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    Region* d = FindRegion(dest);
    const Region* a = FindRegion(src1);
    const Region* b = mode == RGN_COPY ? a : FindRegion(src2);
    if (!d || !a || !b)
        return ERROR;
    switch (mode) {
    case RGN_AND: d->region = a->region.intersected(b->region); break;
    case RGN_OR: d->region = a->region.united(b->region); break;
    case RGN_XOR: d->region = a->region.xored(b->region); break;
    case RGN_DIFF: d->region = a->region.subtracted(b->region); break;
    case RGN_COPY: d->region = a->region; break;
    default: return ERROR;
    }
    return RegionKind(d->region);
}

int OffsetRgn(HRGN hrgn, int dx, int dy)
{
    Region* r = FindRegion(hrgn);
    if (!r)
        return ERROR;
    const QRect box = r->region.boundingRect();
    if (!r->region.isEmpty() &&
        !inRange({static_cast<long long>(box.left()) + dx, static_cast<long long>(box.right()) + 1 + dx,
                  static_cast<long long>(box.top()) + dy, static_cast<long long>(box.bottom()) + 1 + dy}))
        return ERROR;
    r->region.translate(dx, dy);
    return RegionKind(r->region);
}

BOOL PtInRegion(HRGN hrgn, int x, int y)
{
    const Region* r = FindRegion(hrgn);
    return r && r->region.contains(QPoint(x, y));
}

int GetRgnBox(HRGN hrgn, RECT* box)
{
    const Region* r = FindRegion(hrgn);
    if (!r || !box)
        return ERROR;
    const QRect b = r->region.boundingRect();
    *box = r->region.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    return RegionKind(r->region);
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    const Region* ra = FindRegion(a);
    const Region* rb = FindRegion(b);
    return ra && rb && ra->region.xored(rb->region).isEmpty();
}

int SelectClipRgn(HDC hdc, HRGN hrgn)
{
    DC* dc = FindDC(hdc);
    if (!dc)
        return ERROR;
    if (!hrgn) {
        dc->clip.reset();
        return SIMPLEREGION;
    }
    const Region* r = FindRegion(hrgn);
    if (!r)
        return ERROR;
    dc->clip = r->region;
    return RegionKind(r->region);
}
