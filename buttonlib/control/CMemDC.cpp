#include "buttonlib/control/CMemDC.h"

namespace {

// Whether the DC draws on a monochrome device bitmap, whose compatible
// bitmaps are monochrome too.
bool onMonochrome(HDC hdc)
{
    BITMAP bm{};
    return GetObject(GetCurrentObject(hdc, OBJ_BITMAP), sizeof bm, &bm) && bm.bmBitsPixel == 1 && !bm.bmBits;
}

} // namespace

CMemDC::Kept::~Kept()
{
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

CMemDC::CMemDC(CDC* pDC, const RECT& rect, Kept* kept) : m_pDC(pDC), m_rect(rect), m_kept(kept)
{
    if (!CreateCompatibleDC(pDC))
        return;
    const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
    // Only a colour bitmap of the rectangle's size is kept.
    const bool keep = m_kept && !onMonochrome(pDC->GetSafeHdc());
    if (m_kept && m_kept->m_bitmap && (!keep || m_kept->m_width != w || m_kept->m_height != h)) {
        DeleteObject(m_kept->m_bitmap);
        m_kept->m_bitmap = nullptr;
    }
    if (!keep)
        m_kept = nullptr;
    if (m_kept && m_kept->m_bitmap) {
        m_bitmap = m_kept->m_bitmap;
    } else {
        m_bitmap = CreateCompatibleBitmap(pDC->GetSafeHdc(), int(w), int(h));
        if (m_kept) {
            m_kept->m_bitmap = m_bitmap;
            m_kept->m_width = w;
            m_kept->m_height = h;
        }
    }
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
    if (m_bitmap && !m_kept)
        DeleteObject(m_bitmap);
    DeleteDC();
}
