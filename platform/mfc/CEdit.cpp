#include "platform/mfc/CEdit.h"

#include <QLineEdit>

#include <algorithm>

namespace {

QLineEdit* edit(win::HWND hwnd)
{
    return qobject_cast<QLineEdit*>(hwnd);
}

} // namespace

void CEdit::LimitText(int nChars)
{
    if (QLineEdit* e = edit(m_hWnd))
        e->setMaxLength(nChars > 0 ? std::min(nChars, 32767) : 32767);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    QLineEdit* e = edit(m_hWnd);
    if (!e)
        return;
    const int length = int(e->text().size());
    if (nStartChar < 0) {
        e->deselect();
        return;
    }
    const int start = std::min(nStartChar, length);
    const int end = nEndChar < 0 ? length : std::min(nEndChar, length);
    // The caret ends at the second position, which Qt scrolls into view.
    const int scrollBack = bNoScroll ? e->cursorPosition() : -1;
    e->setSelection(start, end - start);
    if (scrollBack >= 0 && start == end)
        e->setCursorPosition(scrollBack);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    QLineEdit* e = edit(m_hWnd);
    if (!e || !e->hasSelectedText()) {
        nStartChar = nEndChar = e ? e->cursorPosition() : 0;
        return;
    }
    nStartChar = e->selectionStart();
    nEndChar = e->selectionEnd();
}
