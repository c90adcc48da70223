#include "buttonlib/editor/ColorSwatch.h"

#include "platform/mfc/CColorDialog.h"

namespace {

bool itemRect(CDialog& dialog, int itemId, RECT* rect)
{
    CWnd* item = dialog.GetDlgItem(itemId);
    if (!item)
        return false;
    item->GetWindowRect(rect);
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    dialog.ScreenToClient(&topLeft);
    dialog.ScreenToClient(&bottomRight);
    *rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    return true;
}

} // namespace

void PaintColorSwatch(CDialog& dialog, HDC hdc, int itemId, COLORREF colour)
{
    RECT r{};
    if (!itemRect(dialog, itemId, &r))
        return;
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
    Rectangle(hdc, r.left, r.top, r.right, r.bottom);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(brush);
}

void InvalidateColorSwatch(CDialog& dialog, int itemId)
{
    RECT r{};
    if (itemRect(dialog, itemId, &r))
        dialog.InvalidateRect(&r, TRUE);
}

std::optional<COLORREF> ChooseSwatchColor(COLORREF initial)
{
    CColorDialog dialog(initial, CC_RGBINIT);
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    return dialog.GetColor();
}
