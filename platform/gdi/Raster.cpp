#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstring>

namespace gdi {

Tile ColorTile(const Surface& dst, COLORREF color)
{
    return Tile{1, 1, {dst.ValueFor(color & 0xFFFFFF)}};
}

Tile BrushTile(const Surface& dst, const DC& dc, const Brush* brush)
{
    if (!brush || brush->style == BS_NULL)
        return {};
    if (brush->style != BS_PATTERN || brush->pattern.empty())
        return ColorTile(dst, brush->color);
    Tile tile{brush->patternWidth, brush->patternHeight, {}};
    tile.values.reserve(brush->pattern.size());
    const DWORD fore = dst.ValueFor(dc.textColor);
    const DWORD back = dst.ValueFor(dc.bkColor);
    for (COLORREF c : brush->pattern)
        tile.values.push_back(brush->patternMono ? (c ? back : fore) : dst.ValueFor(c));
    return tile;
}

Clip::Clip(const DC& dc, const Surface& surface, const QRect* limit)
{
    QRegion area(0, 0, surface.Width(), surface.Height());
    if (dc.clip)
        area &= *dc.clip;
    if (limit)
        area &= *limit;
    // QRegion keeps its rectangles in bands: same top, same height, left to right.
    for (const QRect& r : area) {
        const int top = r.top();
        const int bottom = r.top() + r.height();
        if (bands_.empty() || bands_.back().top != top)
            bands_.push_back(Band{top, bottom, runs_.size(), runs_.size()});
        runs_.emplace_back(r.left(), r.left() + r.width());
        bands_.back().last = runs_.size();
    }
    if (!bands_.empty()) {
        const QRect box = area.boundingRect();
        top_ = box.top();
        bottom_ = box.top() + box.height();
        left_ = box.left();
        right_ = box.left() + box.width();
    }
}

void Paint(Surface& dst, const Clip& clip, const Spans& spans, const Tile& tile)
{
    if (tile.Empty())
        return;
    const bool solid = tile.width == 1 && tile.height == 1;
    const std::size_t bytes = std::size_t(dst.Bpp() / 8);
    for (const Span& s : spans) {
        if (s.y < clip.Top() || s.y >= clip.Bottom())
            continue;
        clip.Row(s.y, s.x0, s.x1, [&](int a, int b) {
            if (solid && bytes > 0) {
                // One pixel written, then the written part copied onto what
                // follows it, doubling each time.
                dst.SetValue(a, s.y, tile.values[0]);
                BYTE* start = dst.Row(s.y) + std::size_t(a) * bytes;
                const std::size_t total = std::size_t(b - a) * bytes;
                for (std::size_t done = bytes; done < total;) {
                    const std::size_t n = std::min(done, total - done);
                    std::memcpy(start + done, start, n);
                    done += n;
                }
                return;
            }
            for (int x = a; x < b; ++x)
                dst.SetValue(x, s.y, tile.At(x, s.y));
        });
    }
}

} // namespace gdi
