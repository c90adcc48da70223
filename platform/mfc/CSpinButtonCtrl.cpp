#include "platform/mfc/CSpinButtonCtrl.h"

#include "platform/mfc/DialogSite.h"

namespace {

mfc_detail::UpDownWidget* upDown(win::HWND hwnd)
{
    return qobject_cast<mfc_detail::UpDownWidget*>(hwnd);
}

} // namespace

win::HWND CSpinButtonCtrl::SetBuddy(CWnd* buddy)
{
    auto* u = upDown(m_hWnd);
    if (!u)
        return nullptr;
    win::HWND previous = u->buddy();
    u->setBuddy(buddy ? buddy->GetSafeHwnd() : nullptr);
    return previous;
}

win::HWND CSpinButtonCtrl::GetBuddy() const
{
    auto* u = upDown(m_hWnd);
    return u ? u->buddy() : nullptr;
}

void CSpinButtonCtrl::SetRange(int nLower, int nUpper)
{
    if (auto* u = upDown(m_hWnd))
        u->setRange(nLower, nUpper);
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const
{
    auto* u = upDown(m_hWnd);
    lower = u ? u->lower() : 0;
    upper = u ? u->upper() : 0;
}

int CSpinButtonCtrl::SetPos(int nPos)
{
    auto* u = upDown(m_hWnd);
    return u ? u->setPosition(nPos) : 0;
}

int CSpinButtonCtrl::GetPos() const
{
    auto* u = upDown(m_hWnd);
    return u ? u->position() : 0;
}
