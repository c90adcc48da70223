#pragma once
// Scan conversion: shapes as runs of whole pixels, shared by the drawing
// calls and the regions so that a region holds exactly the pixels the same
// shape paints. A pixel belongs to a rectangle, ellipse or rounded rectangle
// when its centre lies inside it, so a bounding rectangle's right column and
// bottom row stay outside; rows and columns that would come out empty in a
// very thin ellipse keep their middle pixel, so the shape never breaks
// apart. Polygons are sampled where their outlines' lines put pixel centres
// (at integer coordinates), so a fill never reaches past its outline.
// Shared by the files of this folder only.

#include "platform/gdi/Gdi.h"

#include <QRegion>

#include <vector>

namespace gdi {

// Pixels x0 .. x1 - 1 of row y.
struct Span {
    int y;
    int x0;
    int x1;
    bool operator==(const Span&) const = default;
};

// Sorted by row, then column; the runs of a row neither overlap nor touch.
using Spans = std::vector<Span>;

// A shape with at most one run per row: row top + i covers left[i] ..
// right[i] - 1, nothing when left[i] >= right[i]. Rows outside the vectors
// are empty.
struct Rows {
    int top = 0;
    std::vector<int> left;
    std::vector<int> right;
};

// A bounding rectangle, right and bottom exclusive.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
    long long Width() const { return static_cast<long long>(right) - left; }
    long long Height() const { return static_cast<long long>(bottom) - top; }
};

// The shapes, computed for the rows from .. to - 1 only (callers that draw
// need no more than the rows they can reach).
Rows RectRows(const Box& box, int from, int to);
Rows EllipseRows(const Box& box, int from, int to);
// Corners are quarters of a cornerWidth x cornerHeight ellipse; corners
// larger than the box are cut to it, so the largest make the ellipse.
Rows RoundRectRows(const Box& box, long long cornerWidth, long long cornerHeight, int from, int to);
Spans PolygonSpans(const POINT* points, int count, bool winding, int from, int to);

Spans ToSpans(const Rows& rows);

// Splits a shape into its outline, the pixels at most `width` pixels from a
// pixel outside it, and what lies inside the outline; rows from .. to - 1.
// The shape's rows must reach `width` rows beyond that range.
void SplitOutline(const Rows& shape, int width, int from, int to, Spans& outline, Spans& inside);

// The closed outline through the points, `width` pixels wide: one-pixel
// lines leave out their last point (the next line starts there); wider ones
// are drawn with a round pen.
Spans OutlineSpans(const POINT* points, int count, int width, int from, int to);

// Runs given in any order, overlapping or touching, as Spans.
Spans MergeRuns(std::vector<Span> runs);

QRegion ToRegion(const Spans& spans);

} // namespace gdi
