#include "platform/gdi/ScanConvert.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace gdi {

namespace {

using Wide = __int128;

// The inset of row i of a w x h ellipse at the origin: the row covers
// inset .. w - inset - 1. Pixels whose centres lie inside, in doubled
// coordinates from the centre: dx^2 h^2 + dy^2 w^2 <= w^2 h^2. The middle
// rows always span the whole width and a row with no centre inside keeps its
// middle pixel (two for an even width), so thin ellipses stay connected.
long long ellipseInset(long long w, long long h, long long i)
{
    if (h % 2 == 1 ? i == h / 2 : (i == h / 2 - 1 || i == h / 2))
        return 0;
    const long long dy = 2 * i + 1 - h;
    const Wide n = Wide(w) * w * (Wide(h) * h - Wide(dy) * dy);
    // m: the largest with m^2 h^2 <= n, from a floating estimate made exact.
    long long m = static_cast<long long>(std::sqrt(static_cast<long double>(n)) / static_cast<long double>(h));
    const Wide hh = Wide(h) * h;
    while (m > 0 && Wide(m) * m * hh > n)
        --m;
    while (Wide(m + 1) * (m + 1) * hh <= n)
        ++m;
    // dx has the parity of w - 1.
    long long d = ((m - (w - 1)) % 2 == 0) ? m : m - 1;
    if (d < 0)
        return (w - 1) / 2;
    return (w - 1 - d) / 2;
}

int clampInt(long long v)
{
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

long long ceilDiv(long long a, long long b)
{
    // b > 0
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// Appends the runs of one row, sorted and merged.
void appendRow(Spans& out, int y, std::vector<std::pair<long long, long long>>& runs)
{
    std::sort(runs.begin(), runs.end());
    const std::size_t first = out.size();
    for (const auto& [a, b] : runs) {
        if (a >= b)
            continue;
        if (out.size() > first && a <= out.back().x1)
            out.back().x1 = std::max(out.back().x1, clampInt(b));
        else
            out.push_back(Span{y, clampInt(a), clampInt(b)});
    }
}

} // namespace

Rows RoundRectRows(const Box& box, long long cornerWidth, long long cornerHeight, int from, int to)
{
    Rows rows;
    const long long w = box.Width();
    const long long h = box.Height();
    if (w <= 0 || h <= 0)
        return rows;
    const long long cw = std::clamp<long long>(cornerWidth, 0, w);
    const long long ch = std::clamp<long long>(cornerHeight, 0, h);
    const long long corner = cw > 0 ? ch / 2 : 0;
    const int first = std::max(box.top, from);
    const int last = std::min(box.bottom, to);
    rows.top = first;
    for (long long y = first; y < last; ++y) {
        const long long i = y - box.top;
        long long inset = 0;
        if (i < corner)
            inset = ellipseInset(cw, ch, i);
        else if (i >= h - corner)
            inset = ellipseInset(cw, ch, h - 1 - i);
        rows.left.push_back(int(box.left + inset));
        rows.right.push_back(int(box.right - inset));
    }
    return rows;
}

Rows RectRows(const Box& box, int from, int to)
{
    return RoundRectRows(box, 0, 0, from, to);
}

Rows EllipseRows(const Box& box, int from, int to)
{
    return RoundRectRows(box, box.Width(), box.Height(), from, to);
}

Spans ToSpans(const Rows& rows)
{
    Spans out;
    for (std::size_t i = 0; i < rows.left.size(); ++i)
        if (rows.left[i] < rows.right[i])
            out.push_back(Span{rows.top + int(i), rows.left[i], rows.right[i]});
    return out;
}

Spans PolygonSpans(const POINT* points, int count, bool winding, int from, int to)
{
    Spans out;
    if (!points || count < 3)
        return out;
    long long minY = points[0].y, maxY = points[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min<long long>(minY, points[i].y);
        maxY = std::max<long long>(maxY, points[i].y);
    }
    // Edges from their upper to their lower point, with their direction.
    struct Edge {
        long long xa, ya, xb, yb;
        int dir;
    };
    std::vector<Edge> edges;
    for (int i = 0; i < count; ++i) {
        const POINT& p = points[i];
        const POINT& q = points[(i + 1) % count];
        if (p.y == q.y)
            continue;
        if (p.y < q.y)
            edges.push_back(Edge{p.x, p.y, q.x, q.y, 1});
        else
            edges.push_back(Edge{q.x, q.y, p.x, p.y, -1});
    }
    std::vector<std::pair<long long, int>> crossings;
    std::vector<std::pair<long long, long long>> runs;
    const long long first = std::max<long long>(minY, from);
    const long long last = std::min<long long>(maxY, to);
    for (long long y = first; y < last; ++y) {
        // Sampled at the row's integer coordinate, where the one-pixel
        // outline's lines have their pixel centres, so that the fill never
        // reaches past them: an edge counts from its upper end down to just
        // above its lower end, and pixel x is inside from the first at or
        // right of a crossing.
        crossings.clear();
        for (const Edge& e : edges) {
            if (!(e.ya <= y && y < e.yb))
                continue;
            const long long dy = e.yb - e.ya;
            crossings.emplace_back(ceilDiv(e.xa * dy + (y - e.ya) * (e.xb - e.xa), dy), e.dir);
        }
        std::sort(crossings.begin(), crossings.end());
        runs.clear();
        if (winding) {
            int level = 0;
            long long start = 0;
            for (const auto& [x, dir] : crossings) {
                if (level == 0)
                    start = x;
                level += dir;
                if (level == 0)
                    runs.emplace_back(start, x);
            }
        } else {
            for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
                runs.emplace_back(crossings[k].first, crossings[k + 1].first);
        }
        appendRow(out, int(y), runs);
    }
    return out;
}

void SplitOutline(const Rows& shape, int width, int from, int to, Spans& outline, Spans& inside)
{
    outline.clear();
    inside.clear();
    const int n = int(shape.left.size());
    // reach[d]: how far along a row a pixel d rows away may lie and still be
    // within the width.
    std::vector<int> reach(std::size_t(width) + 1);
    for (int d = 0; d <= width; ++d)
        reach[std::size_t(d)] = int(std::sqrt(double(width) * width - double(d) * d) + 1e-9);
    const auto empty = [&](long long i) { return i < 0 || i >= n || shape.left[i] >= shape.right[i]; };
    const int first = std::max(from, shape.top);
    const int last = int(std::min<long long>(to, static_cast<long long>(shape.top) + n));
    for (int y = first; y < last; ++y) {
        const long long i = static_cast<long long>(y) - shape.top;
        if (empty(i))
            continue;
        const int left = shape.left[i], right = shape.right[i];
        long long inLeft = LLONG_MIN, inRight = LLONG_MAX;
        bool whole = true;
        for (int d = -width; d <= width && whole; ++d) {
            const long long j = i + d;
            if (empty(j)) {
                whole = false;
                break;
            }
            const int r = reach[std::size_t(std::abs(d))];
            inLeft = std::max<long long>(inLeft, static_cast<long long>(shape.left[j]) + r);
            inRight = std::min<long long>(inRight, static_cast<long long>(shape.right[j]) - r);
        }
        if (!whole || inLeft >= inRight) {
            outline.push_back(Span{y, left, right});
            continue;
        }
        outline.push_back(Span{y, left, int(inLeft)});
        inside.push_back(Span{y, int(inLeft), int(inRight)});
        outline.push_back(Span{y, int(inRight), right});
    }
}

Spans OutlineSpans(const POINT* points, int count, int width, int from, int to)
{
    std::vector<Span> runs;
    if (!points || count < 1)
        return {};
    // The pen's footprint around a point.
    const int half = width / 2;
    const Rows pen = width > 1 ? EllipseRows(Box{-half, -half, width - half, width - half}, -half, width - half)
                               : Rows{0, {0}, {1}};
    const auto plot = [&](long long x, long long y) {
        for (std::size_t k = 0; k < pen.left.size(); ++k) {
            const long long yy = y + pen.top + int(k);
            if (yy >= from && yy < to)
                runs.push_back(Span{int(yy), clampInt(x + pen.left[k]), clampInt(x + pen.right[k])});
        }
    };
    for (int i = 0; i < count; ++i) {
        long long x = points[i].x, y = points[i].y;
        const long long x1 = points[(i + 1) % count].x, y1 = points[(i + 1) % count].y;
        // Bresenham, leaving out the end point.
        const long long dx = std::llabs(x1 - x), sx = x < x1 ? 1 : -1;
        const long long dy = -std::llabs(y1 - y), sy = y < y1 ? 1 : -1;
        long long err = dx + dy;
        while (x != x1 || y != y1) {
            plot(x, y);
            const long long e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
    return MergeRuns(std::move(runs));
}

Spans MergeRuns(std::vector<Span> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Span& a, const Span& b) {
        return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    });
    Spans out;
    for (const Span& s : runs) {
        if (s.x0 >= s.x1)
            continue;
        if (!out.empty() && out.back().y == s.y && s.x0 <= out.back().x1)
            out.back().x1 = std::max(out.back().x1, s.x1);
        else
            out.push_back(s);
    }
    return out;
}

QRegion ToRegion(const Spans& spans)
{
    // Rows with the same runs as the row above join its band, which is the
    // form QRegion keeps its rectangles in.
    struct Band {
        int top;
        int bottom;
        std::size_t first;
        std::size_t count;
    };
    std::vector<Band> bands;
    std::vector<std::pair<int, int>> runs;
    std::size_t i = 0;
    while (i < spans.size()) {
        const int y = spans[i].y;
        std::size_t j = i;
        while (j < spans.size() && spans[j].y == y)
            ++j;
        bool joined = false;
        if (!bands.empty()) {
            Band& b = bands.back();
            if (b.bottom == y && b.count == j - i) {
                joined = true;
                for (std::size_t k = 0; k < b.count && joined; ++k)
                    joined = runs[b.first + k] == std::pair(spans[i + k].x0, spans[i + k].x1);
                if (joined)
                    ++b.bottom;
            }
        }
        if (!joined) {
            bands.push_back(Band{y, y + 1, runs.size(), j - i});
            for (std::size_t k = i; k < j; ++k)
                runs.emplace_back(spans[k].x0, spans[k].x1);
        }
        i = j;
    }
    std::vector<QRect> rects;
    rects.reserve(runs.size());
    for (const Band& b : bands)
        for (std::size_t k = 0; k < b.count; ++k) {
            const auto& [x0, x1] = runs[b.first + k];
            rects.emplace_back(x0, b.top, x1 - x0, b.bottom - b.top);
        }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), int(rects.size()));
    return region;
}

} // namespace gdi
