#include "platform/mfc/CDataExchange.h"

#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/CEdit.h"
#include "platform/mfc/DialogSite.h"

#include <QLineEdit>
#include <QString>

#include <limits>

namespace {

constexpr const char* kNotAnInteger = "Please enter an integer.";
constexpr const char* kIntegerRange = "Please enter an integer between %1 and %2.";

// The whole text as a number (blanks around it allowed) within lo..hi.
bool parseInteger(const CString& text, long long lo, long long hi, long long& out)
{
    bool ok = false;
    const long long v = QString::fromStdString(text).trimmed().toLongLong(&ok, 10);
    if (!ok || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

template <class T>
void exchangeInteger(CDataExchange* pDX, int nIDC, T& value)
{
    win::HWND item = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        win::SetWindowText(item, std::to_string(value));
        return;
    }
    long long parsed = 0;
    if (!parseInteger(win::GetWindowText(item), std::numeric_limits<T>::min(), std::numeric_limits<T>::max(),
                      parsed)) {
        AfxMessageBox(kNotAnInteger, win::MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    value = T(parsed);
}

} // namespace

CDataExchange::CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

win::HWND CDataExchange::PrepareCtrl(int nIDC)
{
    lastControl_ = nIDC;
    lastWasEdit_ = false;
    return m_pDlgWnd->GetDlgItemHwnd(nIDC);
}

win::HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    win::HWND item = PrepareCtrl(nIDC);
    lastWasEdit_ = true;
    return item;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate) {
        if (win::HWND item = m_pDlgWnd->GetDlgItemHwnd(lastControl_)) {
            win::SetFocus(item);
            if (auto* edit = qobject_cast<QLineEdit*>(item); edit && lastWasEdit_)
                edit->selectAll();
        }
    }
    throw CUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    exchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    exchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    win::HWND item = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = win::GetWindowText(item);
    else
        win::SetWindowText(item, value);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    pDX->PrepareCtrl(nIDC);
    CDialog* dlg = pDX->m_pDlgWnd;
    const std::vector<QWidget*> group = dlg->Site() ? dlg->Site()->radioGroup(nIDC) : std::vector<QWidget*>();
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (mfc_detail::ButtonCheck(group[i]) == win::BST_CHECKED)
                value = int(i);
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i)
        mfc_detail::SetButtonCheck(group[i], int(i) == value ? win::BST_CHECKED : win::BST_UNCHECKED);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    win::HWND item = pDX->PrepareCtrl(nIDC);
    if (!item)
        return;
    if (pDX->m_bSaveAndValidate)
        value = int(mfc_detail::ButtonCheck(item));
    else
        mfc_detail::SetButtonCheck(item, UINT(value));
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    pDX->PrepareCtrl(nIDC);
    pDX->m_pDlgWnd->AttachControl(nIDC, rControl);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString text = kIntegerRange;
    for (const auto& [marker, number] : {std::pair{"%1", minVal}, std::pair{"%2", maxVal}}) {
        const std::size_t at = text.find(marker);
        if (at != CString::npos)
            text.replace(at, 2, std::to_string(number));
    }
    AfxMessageBox(text.c_str(), win::MB_ICONEXCLAMATION);
    pDX->Fail();
}
