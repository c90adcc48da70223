#pragma once
// Writing pixels for the drawing calls: brushes and colours turned into a
// surface's own values, and the part of a surface a DC may draw on (its
// clip region). Shared by the files of this folder only.

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/ScanConvert.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace gdi {

// A brush as values of one surface, repeating from the surface's origin.
struct Tile {
    int width = 0;
    int height = 0;
    std::vector<DWORD> values;
    bool Empty() const { return values.empty(); }
    DWORD At(int x, int y) const
    {
        const int tx = ((x % width) + width) % width;
        const int ty = ((y % height) + height) % height;
        return values[std::size_t(ty) * std::size_t(width) + std::size_t(tx)];
    }
};

Tile ColorTile(const Surface& dst, COLORREF color);
// Empty for the null brush. A monochrome pattern takes the DC's text colour
// for its 0 bits and its background colour for its 1 bits.
Tile BrushTile(const Surface& dst, const DC& dc, const Brush* brush);

// Where a DC may draw on its surface: inside the surface, inside its clip
// region and, when given, inside one more rectangle.
class Clip {
public:
    Clip(const DC& dc, const Surface& surface, const QRect* limit = nullptr);

    // Rows outside top .. bottom - 1 and columns outside left .. right - 1
    // hold nothing to draw on.
    int Top() const { return top_; }
    int Bottom() const { return bottom_; }
    int Left() const { return left_; }
    int Right() const { return right_; }

    // Calls f(a, b) for each run a .. b - 1 of row y within x0 .. x1 - 1
    // that may be drawn.
    template <class F>
    void Row(int y, int x0, int x1, F&& f) const
    {
        const auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                                         [](int v, const Band& b) { return v < b.top; });
        if (it == bands_.begin())
            return;
        const Band& band = *(it - 1);
        if (y >= band.bottom)
            return;
        for (std::size_t k = band.first; k < band.last; ++k) {
            const int a = std::max(x0, runs_[k].first);
            const int b = std::min(x1, runs_[k].second);
            if (a < b)
                f(a, b);
        }
    }

private:
    struct Band {
        int top;
        int bottom;
        std::size_t first;
        std::size_t last;
    };
    std::vector<Band> bands_;
    std::vector<std::pair<int, int>> runs_;
    int top_ = 0;
    int bottom_ = 0;
    int left_ = 0;
    int right_ = 0;
};

// Copies the tile onto the pixels of the spans that the clip lets through.
void Paint(Surface& dst, const Clip& clip, const Spans& spans, const Tile& tile);

} // namespace gdi
