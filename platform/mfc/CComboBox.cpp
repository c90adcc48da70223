#include "platform/mfc/CComboBox.h"

#include <QComboBox>

namespace {

QComboBox* combo(win::HWND hwnd)
{
    return qobject_cast<QComboBox*>(hwnd);
}

} // namespace

int CComboBox::AddString(const CString& text)
{
    QComboBox* c = combo(m_hWnd);
    if (!c)
        return CB_ERR;
    // Adding to an empty list selects nothing, as the list box does.
    const int selected = c->currentIndex();
    c->addItem(QString::fromStdString(text));
    if (selected < 0)
        c->setCurrentIndex(-1);
    return c->count() - 1;
}

int CComboBox::GetCount() const
{
    QComboBox* c = combo(m_hWnd);
    return c ? c->count() : CB_ERR;
}

int CComboBox::SetCurSel(int nSelect)
{
    QComboBox* c = combo(m_hWnd);
    if (!c)
        return CB_ERR;
    if (nSelect < 0 || nSelect >= c->count()) {
        c->setCurrentIndex(-1);
        return CB_ERR;
    }
    c->setCurrentIndex(nSelect);
    return nSelect;
}

int CComboBox::GetCurSel() const
{
    QComboBox* c = combo(m_hWnd);
    return c ? c->currentIndex() : CB_ERR;
}

void CComboBox::ResetContent()
{
    if (QComboBox* c = combo(m_hWnd))
        c->clear();
}

CString CComboBox::GetLBText(int nIndex) const
{
    QComboBox* c = combo(m_hWnd);
    return c && nIndex >= 0 && nIndex < c->count() ? c->itemText(nIndex).toStdString() : CString();
}
