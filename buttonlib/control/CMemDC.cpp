#include "buttonlib/control/CMemDC.h"

CMemDC::CMemDC(CDC* pDC, const RECT& rect) : m_pDC(pDC), m_rect(rect)
{
    if (!CreateCompatibleDC(pDC))
        return;
    m_bitmap = CreateCompatibleBitmap(pDC->GetSafeHdc(), rect.right - rect.left, rect.bottom - rect.top);
    if (m_bitmap)
        m_oldBitmap = SelectObject(m_bitmap);
}

CMemDC::~CMemDC()
{
    if (!GetSafeHdc())
        return;
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, this, m_rect.left,
                  m_rect.top, SRCCOPY);
    if (m_oldBitmap)
        SelectObject(m_oldBitmap);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    DeleteDC();
}
