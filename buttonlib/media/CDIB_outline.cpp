// Outlines and contours of a picture's shapes: the bounding rectangle of
// what is not white, the pixels where colours change, and 8-neighbour
// contour following.

#include "buttonlib/media/CDIB.h"

#include <algorithm>

namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr int kMaxBackSteps = 30;

struct Step {
    int dx;
    int dy;
};

// The order in which the neighbours are tried, by the last step taken.
const Step* searchOrder(Step last)
{
    static const Step upLeft[8] = {{-1, -1}, {0, -1}, {-1, 0}, {1, -1}, {-1, 1}, {1, 0}, {0, 1}, {1, 1}};
    static const Step up[8] = {{0, -1}, {1, -1}, {-1, -1}, {1, 0}, {-1, 0}, {1, 1}, {-1, 1}, {0, 1}};
    static const Step upRight[8] = {{1, -1}, {1, 0}, {0, -1}, {1, 1}, {-1, -1}, {0, 1}, {-1, 0}, {-1, 1}};
    static const Step left[8] = {{-1, 0}, {-1, -1}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 1}, {1, 0}};
    static const Step right[8] = {{1, 0}, {1, 1}, {1, -1}, {0, 1}, {0, -1}, {-1, 1}, {-1, -1}, {-1, 0}};
    static const Step downLeft[8] = {{-1, 1}, {-1, 0}, {0, 1}, {-1, -1}, {1, 1}, {0, -1}, {1, 0}, {1, -1}};
    static const Step down[8] = {{0, 1}, {-1, 1}, {1, 1}, {-1, 0}, {1, 0}, {-1, -1}, {1, -1}, {0, -1}};
    static const Step downRight[8] = {{1, 1}, {0, 1}, {1, 0}, {-1, 1}, {1, -1}, {-1, 0}, {0, -1}, {-1, -1}};
    if (last.dy < 0)
        return last.dx < 0 ? upLeft : last.dx > 0 ? upRight : up;
    if (last.dy > 0)
        return last.dx < 0 ? downLeft : last.dx > 0 ? downRight : down;
    return last.dx < 0 ? left : last.dx > 0 ? right : up;
}

} // namespace

int CDIB::GetBoundingRect(CRect* out)
{
    if (out)
        out->SetRect(0, 0, 0, 0);
    if (!m_pInfo)
        return 0;
    const bool indexed = GetBitCount() <= 8;
    const int whiteIndex = indexed ? DibFindColor(m_pInfo, GetColorCount(), kWhite) : -1;
    const int w = GetWidth(), h = GetHeight();
    int left = w, right = -1, low = h, high = -1;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const bool white = indexed ? GetPixelIndex(x, y) == whiteIndex : GetPixel(x, y) == kWhite;
            if (white)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            low = std::min(low, y);
            high = std::max(high, y);
        }
    if (high < 0)
        return 0;
    if (out)
        out->SetRect(left, low, right, high);
    return high + 1;
}

BOOL CDIB::OutlineEdges()
{
    return Outline(false);
}

BOOL CDIB::OutlineRuns()
{
    return Outline(true);
}

BOOL CDIB::Outline(bool runs)
{
    if (!m_pInfo)
        return FALSE;
    const int w = GetWidth(), h = GetHeight();
    CDIB out;
    out.CreateFromHeader(w, h, m_pInfo, RGB(0, 0, 0));
    DWORD white = kWhite;
    if (GetBitCount() <= 8) {
        const int exact = DibFindColor(out.m_pInfo, out.GetColorCount(), kWhite);
        white = exact >= 0 ? DWORD(exact) : out.m_Palette.GetNearestPaletteIndex(kWhite);
    }
    // At a change of colour between the pixel before and the current one.
    const auto change = [&](int px, int py, int cx, int cy, COLORREF oldRun) {
        const bool black = oldRun == RGB(0, 0, 0);
        if (black != runs)
            out.SetPixel(px, py, white);
        else
            out.SetPixel(cx, cy, white);
    };
    for (int y = 0; y < h; ++y) {
        COLORREF run = RGB(0, 0, 0);
        for (int x = 0; x < w; ++x) {
            const COLORREF c = GetPixel(x, y);
            if (c != run)
                change(x - 1, y, x, y, run);
            run = c;
        }
        if (runs && run == kWhite)
            out.SetPixel(w - 1, y, white);
    }
    for (int x = 0; x < w; ++x) {
        COLORREF run = RGB(0, 0, 0);
        for (int y = h - 1; y >= 0; --y) {
            const COLORREF c = GetPixel(x, y);
            if (c != run)
                change(x, y + 1, x, y, run);
            run = c;
        }
        if (runs && run == kWhite)
            out.SetPixel(x, 0, white);
    }
    Copy(out);
    return TRUE;
}

int CDIB::TraceContour(int x, int y, CPoint* out, int* count)
{
    if (count)
        *count = 0;
    if (!m_pInfo || !out || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return 0;
    const int w = GetWidth(), h = GetHeight();
    int n = 0;
    out[n++] = CPoint(x, y);
    SetPixel(x, y, 0);
    Step last{0, -1};
    int at = 0;
    int backSteps = 0;
    while (n < kMaxContourPoints) {
        const CPoint cur = out[at];
        const Step* order = searchOrder(last);
        bool found = false;
        for (int k = 0; k < 8 && !found; ++k) {
            const int nx = cur.x + order[k].dx, ny = cur.y + order[k].dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || GetPixel(nx, ny) != kWhite)
                continue;
            SetPixel(nx, ny, 0);
            out[n] = CPoint(nx, ny);
            at = n++;
            last = order[k];
            backSteps = 0;
            found = true;
        }
        if (found)
            continue;
        // A dead end: back along the points found so far.
        if (at == 0 || ++backSteps > kMaxBackSteps)
            break;
        --at;
    }
    if (count)
        *count = n;
    return n;
}

int CDIB::FindContour(CPoint* out)
{
    if (!m_pInfo || !out)
        return 0;
    CDIB copy;
    copy.Copy(*this);
    copy.FlipY();
    copy.OutlineEdges();
    for (int y = copy.GetHeight() - 1; y >= 0; --y)
        for (int x = 0; x < copy.GetWidth(); ++x)
            if (copy.GetPixel(x, y) != 0) {
                int count = 0;
                return copy.TraceContour(x, y, out, &count);
            }
    return 0;
}
