// The edges and the focus outline drawn around buttons and frames.

#include "platform/gdi/GdiDraw.h"

namespace {

bool fill(HDC hdc, LONG left, LONG top, LONG right, LONG bottom, COLORREF color)
{
    if (right <= left || bottom <= top)
        return true;
    HBRUSH brush = CreateSolidBrush(color);
    const RECT r{left, top, right, bottom};
    const bool ok = FillRect(hdc, &r, brush) != 0;
    DeleteObject(brush);
    return ok;
}

// One ring of lines on the rectangle's border.
bool ring(HDC hdc, const RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight)
{
    bool ok = true;
    if (flags & BF_TOP)
        ok &= fill(hdc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
    if (flags & BF_LEFT)
        ok &= fill(hdc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    if (flags & BF_BOTTOM)
        ok &= fill(hdc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    if (flags & BF_RIGHT)
        ok &= fill(hdc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    return ok;
}

} // namespace

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags)
{
    if (!hdc || !rect)
        return FALSE;
    RECT r = *rect;
    bool ok = true;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        const bool raised = edge & BDR_RAISEDOUTER;
        ok &= ring(hdc, r, flags, GetSysColor(raised ? COLOR_3DLIGHT : COLOR_BTNSHADOW),
                   GetSysColor(raised ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT));
    }
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        const bool raised = edge & BDR_RAISEDINNER;
        ok &= ring(hdc, r, flags, GetSysColor(raised ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW),
                   GetSysColor(raised ? COLOR_BTNSHADOW : COLOR_3DLIGHT));
    }
    return ok ? TRUE : FALSE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect)
{
    if (!hdc || !rect)
        return FALSE;
    const RECT r = *rect;
    if (r.right <= r.left || r.bottom <= r.top)
        return TRUE;
    // A checkerboard brush whose 0 bits (the even squares) draw white:
    // XORed, white inverts and black leaves the pixel.
    static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kChecker);
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    if (!brush)
        return FALSE;
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    const COLORREF oldText = SetTextColor(hdc, RGB(255, 255, 255));
    const COLORREF oldBack = SetBkColor(hdc, RGB(0, 0, 0));
    const LONG w = r.right - r.left;
    const LONG h = r.bottom - r.top;
    BOOL ok = PatBlt(hdc, r.left, r.top, w, 1, PATINVERT);
    if (h > 1)
        ok &= PatBlt(hdc, r.left, r.bottom - 1, w, 1, PATINVERT);
    if (h > 2) {
        ok &= PatBlt(hdc, r.left, r.top + 1, 1, h - 2, PATINVERT);
        if (w > 1)
            ok &= PatBlt(hdc, r.right - 1, r.top + 1, 1, h - 2, PATINVERT);
    }
    SetBkColor(hdc, oldBack);
    SetTextColor(hdc, oldText);
    SelectObject(hdc, oldBrush);
    DeleteObject(brush);
    return ok;
}
