// Drawing packed DIBs and device bitmaps on DCs, and copies of device bitmaps.

#include "buttonlib/media/DibUtil.h"

#include "buttonlib/media/DibBlock.h"

BOOL DibDrawDeviceBitmap(HDC hdc, int x, int y, HBITMAP hbm, DWORD rop)
{
    BITMAP bm{};
    if (!hdc || !hbm || !GetObject(hbm, sizeof bm, &bm))
        return FALSE;
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, hbm);
    const BOOL ok = old ? BitBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, rop) : FALSE;
    if (old)
        SelectObject(mem, old);
    DeleteDC(mem);
    return ok;
}

BOOL DibBltToDC(HDC hdc, int x, int y, int cx, int cy, HGLOBAL h, int xSrc, int ySrc, DWORD rop)
{
    if (!h)
        return PatBlt(hdc, x, y, cx, cy, rop);
    DibBlock block(h);
    if (!block.Whole() || cx < 0 || cy < 0 || xSrc < 0)
        return FALSE;
    return SetDIBitsToDevice(hdc, x, y, DWORD(cx), DWORD(cy), xSrc, ySrc, UINT(xSrc), UINT(cy), block.Pixels(),
                             block.Info(), DIB_RGB_COLORS) != 0;
}

BOOL DibStretchToDC(HDC hdc, int x, int y, int cx, int cy, HGLOBAL h, int xSrc, int ySrc, int cxSrc, int cySrc,
                    DWORD rop)
{
    if (!h)
        return PatBlt(hdc, x, y, cx, cy, rop);
    DibBlock block(h);
    if (!block.Whole())
        return FALSE;
    return StretchDIBits(hdc, x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc, block.Pixels(), block.Info(), DIB_RGB_COLORS,
                         rop) != 0;
}

HBITMAP DibCropBitmap(HBITMAP hbm, const RECT* rect)
{
    BITMAP bm{};
    if (!hbm || !rect || !GetObject(hbm, sizeof bm, &bm))
        return nullptr;
    const long long w = static_cast<long long>(rect->right) - rect->left;
    const long long h = static_cast<long long>(rect->bottom) - rect->top;
    if (w <= 0 || h <= 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return nullptr;
    HBITMAP out = CreateBitmap(int(w), int(h), bm.bmPlanes, bm.bmBitsPixel, nullptr);
    if (!out)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, hbm);
    HGDIOBJ oldTo = SelectObject(to, out);
    const BOOL ok = oldFrom && oldTo && BitBlt(to, 0, 0, int(w), int(h), from, rect->left, rect->top, SRCCOPY);
    if (oldFrom)
        SelectObject(from, oldFrom);
    if (oldTo)
        SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    if (!ok) {
        DeleteObject(out);
        return nullptr;
    }
    return out;
}

HBITMAP DibCopyBitmap(HBITMAP hbm)
{
    BITMAP bm{};
    if (!hbm || !GetObject(hbm, sizeof bm, &bm))
        return nullptr;
    const RECT all{0, 0, bm.bmWidth, bm.bmHeight};
    return DibCropBitmap(hbm, &all);
}
