#include "platform/mfc/CDC.h"

#include "platform/mfc/CPalette.h"

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (m_hDC)
        return FALSE;
    m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    return m_hDC ? TRUE : FALSE;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

BOOL CDC::Attach(HDC hDC)
{
    if (m_hDC || !hDC)
        return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    m_hDC = nullptr;
    return h;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ obj)
{
    return ::SelectObject(m_hDC, obj);
}

HPALETTE CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    return pPalette ? ::SelectPalette(m_hDC, pPalette->GetSafeHandle(), bForceBackground) : nullptr;
}

UINT CDC::RealizePalette()
{
    return ::RealizePalette(m_hDC);
}

int CDC::SetStretchBltMode(int mode)
{
    return ::SetStretchBltMode(m_hDC, mode);
}

int CDC::GetStretchBltMode() const
{
    return ::GetStretchBltMode(m_hDC);
}

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* pSrcDC, int xSrc, int ySrc, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, w, h, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, rop);
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* pSrcDC, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, w, h, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, wSrc, hSrc, rop);
}

BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD rop)
{
    return ::PatBlt(m_hDC, x, y, w, h, rop);
}
