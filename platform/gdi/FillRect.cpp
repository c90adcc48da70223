// FillRect: the rectangle's pixels (right and bottom edges excluded) take
// the brush's colour, clipped to the DC's bitmap.

#include "platform/gdi/GdiObjects.h"

#include <algorithm>

using namespace gdi;

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    DC* dc = FindDC(hdc);
    Surface* surface = DCSurface(hdc);
    if (!dc || !surface || !rect || !brush)
        return 0;
    // The brush is looked up by selecting it for a moment: that checks the
    // handle the same way every other call does.
    HGDIOBJ old = SelectObject(hdc, brush);
    if (!old)
        return 0;
    const COLORREF color = dc->brush ? dc->brush->color : 0xFFFFFF;
    SelectObject(hdc, old);

    const DWORD value = surface->ValueFor(color);
    const int x0 = std::max<LONG>(rect->left, 0);
    const int y0 = std::max<LONG>(rect->top, 0);
    const int x1 = std::min<LONG>(rect->right, surface->Width());
    const int y1 = std::min<LONG>(rect->bottom, surface->Height());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            surface->SetValue(x, y, value);
    return 1;
}
