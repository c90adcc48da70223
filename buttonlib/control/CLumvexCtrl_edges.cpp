// The faces per shape: each draws its surface, then its edges (outlines in
// triangle clips, arcs, the pressed inner pillow or a mask's bevel).

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/FaceDrawing.h"

#include "platform/win/Messages.h"

#include <algorithm>

using namespace facedraw;

namespace {

// The two halves of a rectangle, split along the diagonal from its
// bottom-left to its top-right corner.
HRGN topLeftTriangle(const RECT& r)
{
    const POINT pts[3] = {{r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}};
    return CreatePolygonRgn(pts, 3, ALTERNATE);
}

HRGN bottomRightTriangle(const RECT& r, int inset)
{
    const POINT pts[3] = {{r.right - inset, r.bottom - inset}, {r.right, r.top}, {r.left, r.bottom}};
    return CreatePolygonRgn(pts, 3, ALTERNATE);
}

// The edge pen: ButtonRaiseFactor wide inside the outline, none at 0.
// Edges stay inside the face's shape: a clip is cut to it.
HRGN within(HRGN clip, HRGN shape)
{
    if (clip && shape)
        CombineRgn(clip, clip, shape, RGN_AND);
    return clip;
}

HPEN edgePen(short factor, COLORREF color)
{
    return factor > 0 ? CreatePen(PS_INSIDEFRAME, factor, color) : CreatePen(PS_NULL, 0, color);
}

} // namespace

void CLumvexCtrl::drawInnerPillow(HDC hdc, const RECT& rect, UINT itemState, int minInset, HRGN clip)
{
    const int dx = std::clamp(Width(rect) / 24, minInset, 5);
    const int dy = std::clamp(Height(rect) / 24, minInset, 5);
    const RECT inner = Inflated(rect, -dx, -dy);
    HRGN region = clip;
    if (!region) {
        switch (m_Shape) {
        case 1: {
            const SIZE corner = m_sizeCorner;
            region = CreateRoundRectRgn(inner.left, inner.top, inner.right, inner.bottom, corner.cx, corner.cy);
            break;
        }
        case 3: region = CreateEllipticRgn(inner.left, inner.top, inner.right, inner.bottom); break;
        default: region = CreateRectRgn(inner.left, inner.top, inner.right, inner.bottom); break;
        }
    } else {
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, clip, nullptr, RGN_COPY);
        region = copy;
    }
    // The pillow is the face's inner part from now on (the texture's too).
    DeleteObject(m_hRgnPartClip);
    m_hRgnPartClip = region;
    SelectClipRgn(hdc, region);
    DrawRings(hdc, inner, FALSE, TRUE, itemState);
    SelectClipRgn(hdc, m_hClipRgn);
}

void CLumvexCtrl::DrawRectangleFace(HDC hdc, const RECT& rect, UINT itemState)
{
    RECT body = rect;
    DrawSurface(hdc, body, itemState);
    const bool pressed = (itemState & win::ODS_SELECTED) != 0;
    if (m_Shape == 1)
        SetShapeGeometry(body); // the corner of the body
    if (m_Surface == 1) {
        if (pressed)
            drawInnerPillow(hdc, body, itemState, 2, nullptr);
        return;
    }
    COLORREF highlight = 0;
    COLORREF shadow = 0;
    GetEdgeColors(FALSE, &highlight, &shadow);
    COLORREF topLeft = highlight;
    COLORREF bottomRight = shadow;
    if (pressed)
        std::swap(topLeft, bottomRight);
    else if (m_Shape == 1 && m_Surface != 2)
        return;

    const auto outline = [&](const RECT& r) {
        if (m_Shape == 0)
            Rectangle(hdc, r.left, r.top, r.right, r.bottom);
        else
            RoundRect(hdc, r.left, r.top, r.right, r.bottom, m_sizeCorner.cx, m_sizeCorner.cy);
    };
    OwnedRgn shape(BuildShapeRegion(body, FALSE));
    Selected hollow(hdc, GetStockObject(NULL_BRUSH), false);
    {
        OwnedRgn clip(within(topLeftTriangle(body), shape.get()));
        SelectClipRgn(hdc, clip.get());
        Selected pen(hdc, edgePen(m_ButtonRaiseFactor, topLeft), true);
        outline(body);
    }
    {
        OwnedRgn clip(within(bottomRightTriangle(body, m_Shape == 0 ? 1 : 0), shape.get()));
        SelectClipRgn(hdc, clip.get());
        Selected pen(hdc, edgePen(m_ButtonRaiseFactor, bottomRight), true);
        outline(Offset(body, -1, -1));
    }
    SelectClipRgn(hdc, m_hClipRgn);
}

void CLumvexCtrl::DrawParallelogramFace(HDC hdc, const RECT& rect, UINT itemState)
{
    RECT body = rect;
    DrawSurface(hdc, body, itemState);
    OwnedRgn shape(BuildShapeRegion(body, FALSE)); // and the body's four points
    COLORREF highlight = 0;
    COLORREF shadow = 0;
    GetEdgeColors(FALSE, &highlight, &shadow);
    if (itemState & win::ODS_SELECTED)
        std::swap(highlight, shadow);
    static constexpr POINT kMoves[4] = {{1, 1}, {-2, 1}, {-1, -1}, {2, -1}};
    POINT pts[4];
    for (int i = 0; i < 4; ++i)
        pts[i] = POINT{m_ptParallelogram[i].x + kMoves[i].x, m_ptParallelogram[i].y + kMoves[i].y};

    Selected hollow(hdc, GetStockObject(NULL_BRUSH), false);
    {
        OwnedRgn clip(within(topLeftTriangle(body), shape.get()));
        SelectClipRgn(hdc, clip.get());
        Selected pen(hdc, edgePen(m_ButtonRaiseFactor, highlight), true);
        Polygon(hdc, pts, 4);
    }
    {
        OwnedRgn clip(within(bottomRightTriangle(body, 0), shape.get()));
        SelectClipRgn(hdc, clip.get());
        Selected pen(hdc, edgePen(m_ButtonRaiseFactor, shadow), true);
        Polygon(hdc, pts, 4);
    }
    SelectClipRgn(hdc, m_hClipRgn);
}

void CLumvexCtrl::DrawEllipseFace(HDC hdc, const RECT& rect, UINT itemState)
{
    RECT body = rect;
    DrawSurface(hdc, body, itemState);
    const bool pressed = (itemState & win::ODS_SELECTED) != 0;
    if (pressed && m_Surface == 1) {
        drawInnerPillow(hdc, body, itemState, 1, nullptr);
        return;
    }
    if (!pressed && m_Surface != 2)
        return;
    COLORREF highlight = 0;
    COLORREF shadow = 0;
    GetEdgeColors(FALSE, &highlight, &shadow);
    // Pressed: light on the lower right, dark on the upper left.
    COLORREF lowerRight = pressed ? highlight : shadow;
    COLORREF upperLeft = pressed ? shadow : highlight;
    const RECT& b = body;
    OwnedRgn shape(BuildShapeRegion(body, FALSE));
    SelectClipRgn(hdc, shape.get());
    {
        const RECT m = Offset(b, -1, -1);
        Selected pen(hdc, edgePen(m_ButtonRaiseFactor, lowerRight), true);
        Arc(hdc, m.left, m.top, m.right, m.bottom, m.left, m.bottom, m.right, m.top);
    }
    {
        Selected pen(hdc, edgePen(m_ButtonRaiseFactor, upperLeft), true);
        Arc(hdc, b.left, b.top, b.right, b.bottom, b.right, b.top, b.left, b.bottom);
    }
    SelectClipRgn(hdc, m_hClipRgn);
}

void CLumvexCtrl::DrawMaskFace(HDC hdc, const RECT& rect, UINT itemState)
{
    RECT body = rect;
    DrawSurface(hdc, body, itemState);
    const bool pressed = (itemState & win::ODS_SELECTED) != 0;
    // The stretched mask and inner region of the body.
    OwnedRgn shape(BuildShapeRegion(body, FALSE));
    if (m_Surface == 1) {
        if (pressed && m_hInnerRgn)
            drawInnerPillow(hdc, body, itemState, 1, m_hInnerRgn.get());
        return;
    }
    if (!pressed && !m_ButtonCustomRaised && m_Shape != 4)
        return;
    RECT r = body;
    if (m_bFocus && m_FocusMode == 1)
        r = Inflated(r, -1, -1);
    const int w = Width(r);
    const int h = Height(r);
    const MaskRows outside = maskOutside(w, h);
    if (outside.rows.empty())
        return;
    COLORREF highlight = 0;
    COLORREF shadow = 0;
    GetEdgeColors(FALSE, &highlight, &shadow);
    // The bevel covers the whole shape; the surface's inner part is kept
    // for the texture.
    HRGN inner = m_hRgnPartClip;
    m_hRgnPartClip = shape.get();
    // The face under the bevel is the face as drawn so far.
    drawMaskBevel(hdc, outside, !pressed, highlight, shadow, itemState, r,
                  [&](HDC target) { return BitBlt(target, 0, 0, w, h, hdc, r.left, r.top, SRCCOPY) != FALSE; });
    m_hRgnPartClip = inner;
}

// The stretched mask's outside at w x h: its black pixels, read straight
// from a black and white mask of that size, else the mask stretched.
CLumvexCtrl::MaskRows CLumvexCtrl::maskOutside(int w, int h) const
{
    MaskRows out{{}, w, h};
    if (w <= 0 || h <= 0)
        return out;
    const BITMAPINFO* info = m_dibStretchedMask.GetInfo();
    const auto grey = [](const RGBQUAD& q, BYTE v) { return q.rgbRed == v && q.rgbGreen == v && q.rgbBlue == v; };
    if (info && info->bmiHeader.biBitCount == 1 && info->bmiHeader.biCompression == BI_RGB &&
        m_dibStretchedMask.GetColorCount() == 2 && grey(m_dibStretchedMask.GetColorTable()[0], 0) &&
        grey(m_dibStretchedMask.GetColorTable()[1], 255) && m_dibStretchedMask.GetWidth() == w &&
        m_dibStretchedMask.GetHeight() == h) {
        const std::size_t words = (std::size_t(w) + 31) / 32;
        const std::size_t stride = m_dibStretchedMask.GetRowBytes();
        if (stride >= words * 4) {
            const bool bottomUp = info->bmiHeader.biHeight > 0;
            out.rows.resize(words * std::size_t(h));
            for (int y = 0; y < h; ++y) {
                const BYTE* from = m_dibStretchedMask.GetBits() + std::size_t(bottomUp ? h - 1 - y : y) * stride;
                BYTE* to = reinterpret_cast<BYTE*>(out.rows.data() + std::size_t(y) * words);
                for (std::size_t i = 0; i < words * 4; ++i)
                    to[i] = BYTE(~from[i]);
            }
            return out;
        }
    }
    // Inverted through a one-bit bitmap: the bevel wants the shape black.
    HBITMAP normal = m_dibStretchedMask.CreateBitmap(nullptr);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    int mw = 0;
    int mh = 0;
    if (normal && mask && BitmapSize(normal, &mw, &mh)) {
        {
            BitmapDC src(nullptr, normal);
            BitmapDC dst(nullptr, mask);
            if (src.Ok() && dst.Ok()) {
                if (mw == w && mh == h)
                    BitBlt(dst.dc(), 0, 0, w, h, src.dc(), 0, 0, NOTSRCCOPY);
                else
                    StretchBlt(dst.dc(), 0, 0, w, h, src.dc(), 0, 0, mw, mh, NOTSRCCOPY);
            }
        }
        out.rows = OneBitRows(mask, w, h);
    }
    DeleteObject(mask);
    DeleteObject(normal);
    return out;
}
