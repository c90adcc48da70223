#include "buttonlib/editor/CColorButton.h"

#include "platform/gdi/GdiDraw.h"

namespace {

// The colour of a bitmap's pixels that let the face show through.
constexpr COLORREF kTransparent = RGB(192, 192, 192);
// Destination AND NOT source.
constexpr DWORD kDSna = 0x00220326;
// Pattern AND destination, pattern OR destination.
constexpr DWORD kDPa = 0x00A000C9;
constexpr DWORD kDPo = 0x00FA0089;

void fillSolid(HDC hdc, const RECT& r, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

RECT deflated(const RECT& r, LONG by)
{
    return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

RECT offset(const RECT& r, LONG by)
{
    return RECT{r.left + by, r.top + by, r.right + by, r.bottom + by};
}

// The bitmap at (x, y) with its light grey pixels left out: a mask marks
// them, the bitmap's copy has them black, the destination is cleared where
// the bitmap is opaque and the copy ORed in.
void drawTransparent(HDC hdc, HBITMAP image, int x, int y, int width, int height)
{
    HDC source = CreateCompatibleDC(hdc);
    HDC maskDC = CreateCompatibleDC(hdc);
    HDC copyDC = CreateCompatibleDC(hdc);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP copy = CreateCompatibleBitmap(hdc, width, height);
    HGDIOBJ oldSource = SelectObject(source, image);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    HGDIOBJ oldCopy = SelectObject(copyDC, copy);
    if (oldSource && oldMask && oldCopy) {
        SetBkColor(source, kTransparent);
        BitBlt(maskDC, 0, 0, width, height, source, 0, 0, SRCCOPY);
        BitBlt(copyDC, 0, 0, width, height, source, 0, 0, SRCCOPY);
        SetBkColor(copyDC, RGB(255, 255, 255));
        SetTextColor(copyDC, RGB(0, 0, 0));
        BitBlt(copyDC, 0, 0, width, height, maskDC, 0, 0, kDSna);
        const COLORREF oldBack = SetBkColor(hdc, RGB(255, 255, 255));
        const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
        BitBlt(hdc, x, y, width, height, maskDC, 0, 0, SRCAND);
        BitBlt(hdc, x, y, width, height, copyDC, 0, 0, SRCPAINT);
        SetTextColor(hdc, oldText);
        SetBkColor(hdc, oldBack);
    }
    if (oldCopy)
        SelectObject(copyDC, oldCopy);
    if (oldMask)
        SelectObject(maskDC, oldMask);
    if (oldSource)
        SelectObject(source, oldSource);
    DeleteObject(copy);
    DeleteObject(mask);
    DeleteDC(copyDC);
    DeleteDC(maskDC);
    DeleteDC(source);
}

// Every other pixel of the rectangle in COLOR_GRAYTEXT, those whose x + y is
// even from the DC's origin: the face shows through the others.
void dither(HDC hdc, const RECT& r)
{
    static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kChecker);
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    if (!brush)
        return;
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    const COLORREF oldBack = SetBkColor(hdc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
    const int width = int(r.right - r.left);
    const int height = int(r.bottom - r.top);
    PatBlt(hdc, r.left, r.top, width, height, kDPa);
    SetBkColor(hdc, RGB(0, 0, 0));
    SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    PatBlt(hdc, r.left, r.top, width, height, kDPo);
    SetTextColor(hdc, oldText);
    SetBkColor(hdc, oldBack);
    SelectObject(hdc, oldBrush);
    DeleteObject(brush);
}

} // namespace

CColorButton::CColorButton()
    : m_clrText(COLORREF(GetSysColor(COLOR_WINDOWTEXT))), m_clrFace(COLORREF(GetSysColor(COLOR_BTNFACE)))
{
}

void CColorButton::SetColors(COLORREF text, COLORREF face)
{
    m_clrText = text;
    m_clrFace = face;
    m_bCustomColors = TRUE;
}

void CColorButton::DrawItem(win::DRAWITEMSTRUCT* item)
{
    if (!item || !item->hDC)
        return;
    const RECT client = item->rcItem;
    const int width = int(client.right - client.left);
    const int height = int(client.bottom - client.top);
    if (width <= 0 || height <= 0)
        return;
    const bool pressed = item->itemState & win::ODS_SELECTED;
    const bool focused = item->itemState & win::ODS_FOCUS;
    const bool disabled = item->itemState & win::ODS_DISABLED;

    // Drawn off screen and copied at once, so the button never flickers.
    HDC dc = CreateCompatibleDC(item->hDC);
    HBITMAP canvas = CreateCompatibleBitmap(item->hDC, width, height);
    HGDIOBJ oldCanvas = SelectObject(dc, canvas);
    if (!dc || !oldCanvas) {
        DeleteObject(canvas);
        DeleteDC(dc);
        return;
    }
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));

    fillSolid(dc, RECT{0, 0, width, height}, focused ? RGB(0, 0, 0) : m_clrFace);
    const RECT inner{1, 1, width - 1, height - 1};
    fillSolid(dc, inner, m_bCustomColors ? m_clrFace : COLORREF(GetSysColor(COLOR_BTNFACE)));
    const LONG shift = pressed ? 1 : 0;
    if (focused) {
        const RECT focus = offset(deflated(inner, 4), shift);
        DrawFocusRect(dc, &focus);
    }

    BITMAP info{};
    HBITMAP image = GetBitmap();
    if (image && GetObject(image, sizeof info, &info) && info.bmWidth > 0 && info.bmHeight > 0) {
        const int bw = int(info.bmWidth);
        const int bh = int(info.bmHeight);
        const int x = (int(inner.right - inner.left) - bw) / 2 + int(shift);
        const int y = (int(inner.bottom - inner.top) - bh) / 2 + int(shift);
        drawTransparent(dc, image, x, y, bw, bh);
    } else {
        const CString text = GetWindowText();
        RECT area = offset(inner, shift);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, m_bCustomColors ? m_clrText : COLORREF(GetSysColor(COLOR_WINDOWTEXT)));
        DrawText(dc, text.c_str(), int(text.size()), &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    RECT edge = inner;
    DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (disabled)
        dither(dc, inner);

    BitBlt(item->hDC, client.left, client.top, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(dc);
}
