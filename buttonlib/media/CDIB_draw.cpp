// The picture on device contexts and other pictures: drawing, stretching,
// filling and cropping.

#include "buttonlib/media/CDIB.h"

#include <algorithm>
#include <cstring>

int CDIB::Draw(CDC* pDC, const CRect& dest, const CRect& src)
{
    if (!m_pInfo || !pDC)
        return 0;
    return StretchDIBits(pDC->GetSafeHdc(), dest.left, dest.top, dest.Width(), dest.Height(), src.left, src.top,
                         src.Width(), src.Height(), m_pBits, m_pInfo, DIB_RGB_COLORS, SRCCOPY);
}

void CDIB::Draw(CDC* pDC, int x, int y)
{
    if (!m_pInfo || !pDC)
        return;
    const int w = GetWidth(), h = GetHeight();
    StretchDIBits(pDC->GetSafeHdc(), x, y, w, h, 0, 0, w, h, m_pBits, m_pInfo, DIB_RGB_COLORS, SRCCOPY);
}

int CDIB::DrawAnd(CDC* pDC, const CRect& dest, const CRect& src)
{
    if (!m_pInfo || !pDC)
        return 0;
    return StretchDIBits(pDC->GetSafeHdc(), dest.left, dest.top, dest.Width(), dest.Height(), src.left, src.top,
                         src.Width(), src.Height(), m_pBits, m_pInfo, DIB_RGB_COLORS, SRCAND);
}

LONG CDIB::GetRect(CRect* out)
{
    if (out)
        out->SetRect(0, 0, GetWidth(), GetHeight());
    return GetWidth();
}

int CDIB::StretchToDC(HDC hdc, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc, int cySrc,
                      DWORD rop)
{
    if (!m_pInfo)
        return PatBlt(hdc, xDest, yDest, cxDest, cyDest, rop);
    return StretchDIBits(hdc, xDest, yDest, cxDest, cyDest, xSrc, ySrc, cxSrc, cySrc, m_pBits, m_pInfo, DIB_RGB_COLORS,
                         rop);
}

namespace {

// A memory DC compatible with the screen holding a bitmap for a scope.
class BitmapDC {
public:
    explicit BitmapDC(HBITMAP hbm) : screen_(GetDC(nullptr)), dc_(CreateCompatibleDC(screen_))
    {
        old_ = SelectObject(dc_, hbm);
    }
    ~BitmapDC()
    {
        Release();
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    HDC get() const { return dc_; }
    // Gives the bitmap back, so that it can be read or deleted.
    void Release()
    {
        if (old_)
            SelectObject(dc_, old_);
        old_ = nullptr;
    }

private:
    HDC screen_;
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

} // namespace

BOOL CDIB::StretchInto(CDIB& dest, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
                       int cySrc, DWORD rop)
{
    HBITMAP hbm = dest.CreateBitmap(nullptr);
    if (!hbm)
        return FALSE;
    try {
        BitmapDC dc(hbm);
        if (m_pInfo) {
            StretchDIBits(dc.get(), xDest, yDest, cxDest, cyDest, xSrc, ySrc, cxSrc, cySrc, m_pBits, m_pInfo,
                          DIB_RGB_COLORS, rop);
            dc.Release();
            dest.Create(hbm, nullptr);
        } else {
            // Nothing to stretch: the operation runs on a bitmap that is then dropped.
            PatBlt(dc.get(), xDest, yDest, cxDest, cyDest, rop);
        }
    } catch (...) {
        DeleteObject(hbm);
        throw;
    }
    return DeleteObject(hbm);
}

void CDIB::StretchBltInto(CDIB& dest, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
                          int cySrc, DWORD rop)
{
    if (!m_pInfo || !dest.m_pInfo)
        return;
    CDC screen;
    screen.Attach(GetDC(nullptr));
    CDC srcDC, dstDC;
    srcDC.CreateCompatibleDC(&screen);
    dstDC.CreateCompatibleDC(&screen);
    if (m_Palette.GetSafeHandle()) {
        srcDC.SelectPalette(&m_Palette, FALSE);
        srcDC.RealizePalette();
        dstDC.SelectPalette(&m_Palette, FALSE);
        dstDC.RealizePalette();
    }
    void* srcBits = nullptr;
    void* dstBits = nullptr;
    HBITMAP srcSection = CreateDIBSection(screen, m_pInfo, DIB_RGB_COLORS, &srcBits, nullptr, 0);
    HBITMAP dstSection = CreateDIBSection(screen, dest.m_pInfo, DIB_RGB_COLORS, &dstBits, nullptr, 0);
    if (srcSection && dstSection) {
        // The sections hold the rows the headers describe (an attached
        // block's image size may say more). dest may be this picture: both
        // sections are filled before the blit.
        const std::size_t srcBytes = std::size_t(GetRowBytes()) * std::size_t(GetHeight());
        const std::size_t dstBytes = std::size_t(dest.GetRowBytes()) * std::size_t(dest.GetHeight());
        std::memcpy(srcBits, m_pBits, srcBytes);
        std::memcpy(dstBits, dest.m_pBits, dstBytes);
        HGDIOBJ oldSrc = srcDC.SelectObject(srcSection);
        HGDIOBJ oldDst = dstDC.SelectObject(dstSection);
        dstDC.StretchBlt(xDest, yDest, cxDest, cyDest, &srcDC, xSrc, ySrc, cxSrc, cySrc, rop);
        srcDC.SelectObject(oldSrc);
        dstDC.SelectObject(oldDst);
        std::memcpy(dest.m_pBits, dstBits, dstBytes);
        dest.m_bPasted = 0;
    }
    srcDC.DeleteDC();
    dstDC.DeleteDC();
    DeleteObject(srcSection);
    DeleteObject(dstSection);
    ReleaseDC(nullptr, screen.Detach());
}

void CDIB::FillRect(const CRect& r, DWORD rop)
{
    Fill(r.left, r.top, r.Width(), r.Height(), rop);
}

void CDIB::Fill(int x, int y, int cx, int cy, DWORD rop)
{
    if (!m_pInfo || (rop != BLACKNESS && rop != WHITENESS))
        return;
    // Only the part inside the picture can change: the temporary picture is
    // never larger than this one.
    const long long left = std::max<long long>(x, 0), top = std::max<long long>(y, 0);
    const long long right = std::min<long long>(static_cast<long long>(x) + cx, GetWidth());
    const long long bottom = std::min<long long>(static_cast<long long>(y) + cy, GetHeight());
    if (cx <= 0 || cy <= 0 || left >= right || top >= bottom)
        return;
    const COLORREF wanted = rop == BLACKNESS ? RGB(0, 0, 0) : RGB(255, 255, 255);
    COLORREF colour = wanted;
    if (m_Palette.GetSafeHandle()) {
        const int exact = DibFindColor(m_pInfo, GetColorCount(), wanted);
        const UINT index = exact >= 0 ? UINT(exact) : m_Palette.GetNearestPaletteIndex(wanted);
        PALETTEENTRY e{};
        if (m_Palette.GetPaletteEntries(index, 1, &e) == 1)
            colour = RGB(e.peRed, e.peGreen, e.peBlue);
    }
    CDIB patch;
    patch.CreateFromHeader(int(right - left), int(bottom - top), m_pInfo, colour);
    patch.StretchBltInto(*this, int(left), int(top), int(right - left), int(bottom - top), 0, 0, int(right - left),
                         int(bottom - top), SRCCOPY);
}

void CDIB::Crop(int left, int top, int right, int bottom)
{
    const long long w = static_cast<long long>(right) - left;
    const long long h = static_cast<long long>(bottom) - top;
    if (!m_pInfo || w <= 0 || h <= 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return;
    CDIB part;
    part.CreateLike(int(w), int(h), *this);
    StretchBltInto(part, 0, 0, int(w), int(h), left, top, int(w), int(h), SRCCOPY);
    // Creating replaces the held picture only once the new block is there.
    CreateLike(int(w), int(h), part);
    SetBits(part.m_pBits, 0);
}
