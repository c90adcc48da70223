#include "platform/mfc/CButton.h"

#include "platform/mfc/DialogSite.h"

void CButton::SetCheck(int check)
{
    mfc_detail::SetButtonCheck(m_hWnd, UINT(check));
}

int CButton::GetCheck() const
{
    return int(mfc_detail::ButtonCheck(m_hWnd));
}

HBITMAP CButton::SetBitmap(HBITMAP bitmap)
{
    return reinterpret_cast<HBITMAP>(mfc_detail::SetButtonImage(m_hWnd, IMAGE_BITMAP, win::LPARAM(bitmap)));
}

HBITMAP CButton::GetBitmap() const
{
    return reinterpret_cast<HBITMAP>(mfc_detail::GetButtonImage(m_hWnd, IMAGE_BITMAP));
}

HCURSOR CButton::SetCursor(HCURSOR cursor)
{
    return reinterpret_cast<HCURSOR>(mfc_detail::SetButtonImage(m_hWnd, IMAGE_CURSOR, win::LPARAM(cursor)));
}

HCURSOR CButton::GetCursor() const
{
    return reinterpret_cast<HCURSOR>(mfc_detail::GetButtonImage(m_hWnd, IMAGE_CURSOR));
}

HICON CButton::SetIcon(HICON icon)
{
    return SetCursor(icon);
}

HICON CButton::GetIcon() const
{
    return GetCursor();
}

void CButton::SetButtonStyle(UINT style, BOOL redraw)
{
    mfc_detail::SetButtonImageStyle(m_hWnd, style);
    if (redraw)
        Invalidate();
}

UINT CButton::GetButtonStyle() const
{
    return UINT(mfc_detail::ButtonImageStyle(m_hWnd));
}

void CButton::DrawItem(win::DRAWITEMSTRUCT*) {}
