#include "platform/mfc/CFontDialog.h"

#include "platform/win/MessageBox.h"

#include <QApplication>

#include <cstring>

IMPLEMENT_DYNAMIC(CFontDialog, CObject)

CFontDialog::CFontDialog(const LOGFONT* lplfInitial, DWORD dwFlags, CDC*, CWnd* pParentWnd)
    : m_lf{}, flags_(dwFlags), parent_(pParentWnd)
{
    if (lplfInitial && (dwFlags & CF_INITTOLOGFONTSTRUCT))
        m_lf = *lplfInitial;
}

std::intptr_t CFontDialog::DoModal()
{
    com::FontDialogRequest request;
    request.owner = parent_ && parent_->GetSafeHwnd() ? parent_->GetSafeHwnd() : QApplication::activeWindow();
    request.font = m_lf;
    request.flags = flags_;
    const auto chosen = com::Ui().ChooseFont(request);
    if (!chosen)
        return win::IDCANCEL;
    m_lf = *chosen;
    return win::IDOK;
}

void CFontDialog::GetCurrentFont(LOGFONT* lplf) const
{
    if (lplf)
        std::memcpy(lplf, &m_lf, sizeof m_lf);
}
