#include "platform/mfc/CDialog.h"

#include "platform/forms/Form.h"
#include "platform/mfc/CButton.h"
#include "platform/mfc/CComboBox.h"
#include "platform/mfc/CDataExchange.h"
#include "platform/mfc/CEdit.h"
#include "platform/mfc/CSpinButtonCtrl.h"
#include "platform/mfc/CStatic.h"
#include "platform/mfc/DialogSite.h"
#include "platform/win/WindowPos.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QWidget>

using mfc_detail::DialogSite;

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : templateId_(nIDTemplate), template_(AfxFindDialogTemplate(nIDTemplate)), parent_(pParentWnd)
{
}

CDialog::~CDialog()
{
    // The members' control objects are gone by now: forget them unseen.
    attached_.clear();
    for (auto& [id, control] : temporary_)
        control->m_hWnd = nullptr;
    temporary_.clear();
    if (m_hWnd)
        CWnd::DestroyWindow();
    if (loop_)
        loop_->quit();
}

BOOL CDialog::createWindow(win::HWND owner)
{
    if (m_hWnd || !template_)
        return FALSE;
    site_ = std::make_unique<DialogSite>(*this, *template_, BaseUnitsOf(*template_));
    win::CREATESTRUCT cs;
    cs.lpszClass = "#32770";
    cs.lpszName = std::string(template_->caption);
    if (!CreateEx(cs))
        return FALSE;
    QWidget* window = m_hWnd;
    // A dialog's frame offers moving and closing only: its items are laid
    // out for the template's size, which nothing changes.
    constexpr Qt::WindowFlags kFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (owner)
        window->setParent(owner, kFrame);
    else
        window->setWindowFlags(kFrame);
    site_->build(window);
    window->setFixedSize(window->size());
    result_ = -1;
    const BOOL focusFirst = BOOL(SendMessage(WM_INITDIALOG, 0, 0));
    if (m_hWnd && focusFirst) {
        // The first item the Tab key reaches.
        for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
            if (!window->isAncestorOf(w))
                continue;
            if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden()) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    return m_hWnd ? TRUE : FALSE;
}

BOOL CDialog::Create(win::HWND owner)
{
    return createWindow(owner ? owner : (parent_ ? parent_->GetSafeHwnd() : nullptr));
}

std::intptr_t CDialog::DoModal()
{
    win::HWND owner = parent_ ? parent_->GetSafeHwnd() : QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    ended_ = false;
    if (!createWindow(owner))
        return -1;
    QWidget* window = m_hWnd;
    if (window && !ended_) {
        window->setWindowModality(Qt::ApplicationModal);
        const QRect area = forms::OwnerArea(window);
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
        ShowWindow(win::SW_SHOW);
        window->activateWindow();
        QEventLoop loop;
        loop_ = &loop;
        try {
            if (!ended_)
                loop.exec(QEventLoop::DialogExec);
        } catch (...) {
            // An error that escaped a handler ends the dialog; whoever opened
            // it hears of the error, and nothing is left pointing at the loop.
            loop_ = nullptr;
            if (m_hWnd)
                CWnd::DestroyWindow();
            throw;
        }
        loop_ = nullptr;
    }
    if (m_hWnd)
        CWnd::DestroyWindow();
    return result_;
}

void CDialog::EndDialog(int nResult)
{
    result_ = nResult;
    ended_ = true;
    if (loop_)
        loop_->quit();
    else if (m_hWnd)
        ShowWindow(win::SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    if (!m_hWnd)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnHelp() {}

BOOL CDialog::OnHelpInfo(HELPINFO*)
{
    SendMessage(win::WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
    return TRUE;
}

BOOL CDialog::OnNotify(win::WPARAM, win::LPARAM, win::LRESULT*)
{
    return FALSE;
}

void CDialog::OnDrawItem(int, win::DRAWITEMSTRUCT*) {}

win::LRESULT CDialog::OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(win::WPARAM wParam, win::LPARAM)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (code != win::BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    case ID_HELP: OnHelp(); return TRUE;
    default: return FALSE;
    }
}

win::LRESULT CDialog::WindowProc(UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_NOTIFY: {
        win::LRESULT result = 0;
        return OnNotify(wParam, lParam, &result) ? result : 0;
    }
    case WM_HELP: return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    case win::WM_PAINT:
        // Only the layer above the items paints; the window's own pass
        // below them is the erased background alone.
        if (lParam == mfc_detail::kPaintAbove)
            OnPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    case win::WM_DRAWITEM: {
        auto* item = reinterpret_cast<win::DRAWITEMSTRUCT*>(lParam);
        const auto it = attached_.find(int(item->CtlID));
        if (auto* button = it == attached_.end() ? nullptr : dynamic_cast<CButton*>(it->second))
            button->DrawItem(item);
        else
            OnDrawItem(int(item->CtlID), item);
        return 1;
    }
    default: break;
    }
    if (message >= win::WM_USER && message < win::OCM__BASE)
        return OnUserMessage(message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnEraseBkgnd(HDC hdc)
{
    RECT all{0, 0, 0, 0};
    GetClientRect(&all);
    HBRUSH brush = CreateSolidBrush(site_ ? site_->background() : GetSysColor(COLOR_BTNFACE));
    FillRect(hdc, &all, brush);
    DeleteObject(brush);
    return TRUE;
}

void CDialog::detachControls()
{
    for (auto& [id, control] : attached_)
        control->m_hWnd = nullptr;
    attached_.clear();
    for (auto& [id, control] : temporary_)
        control->m_hWnd = nullptr;
    temporary_.clear();
}

void CDialog::OnNcDestroy()
{
    detachControls();
    if (loop_)
        loop_->quit();
    CWnd::OnNcDestroy();
}

BOOL CDialog::AttachControl(int nID, CWnd& control)
{
    QWidget* w = GetDlgItemHwnd(nID);
    if (!w)
        return FALSE;
    if (control.m_hWnd == w)
        return TRUE;
    if (control.m_hWnd)
        return FALSE;
    control.m_hWnd = w;
    attached_[nID] = &control;
    if (auto it = temporary_.find(nID); it != temporary_.end()) {
        it->second->m_hWnd = nullptr;
        temporary_.erase(it);
    }
    return TRUE;
}

win::HWND CDialog::GetDlgItemHwnd(int nID) const
{
    return site_ && m_hWnd ? site_->item(nID) : nullptr;
}

CWnd* CDialog::GetDlgItem(int nID)
{
    QWidget* w = GetDlgItemHwnd(nID);
    if (!w)
        return nullptr;
    if (auto it = attached_.find(nID); it != attached_.end())
        return it->second;
    auto& slot = temporary_[nID];
    if (!slot) {
        switch (site_->kindOf(w)) {
        case DialogItemKind::PushButton:
        case DialogItemKind::CheckBox:
        case DialogItemKind::RadioButton: slot = std::make_unique<CButton>(); break;
        case DialogItemKind::Edit: slot = std::make_unique<CEdit>(); break;
        case DialogItemKind::ComboDropList: slot = std::make_unique<CComboBox>(); break;
        case DialogItemKind::UpDown: slot = std::make_unique<CSpinButtonCtrl>(); break;
        default: slot = std::make_unique<CStatic>(); break;
        }
        slot->m_hWnd = w;
    }
    return slot.get();
}

void CDialog::SetDlgItemText(int nID, const CString& text)
{
    win::SetWindowText(GetDlgItemHwnd(nID), text);
}

CString CDialog::GetDlgItemText(int nID) const
{
    QWidget* w = GetDlgItemHwnd(nID);
    return w ? win::GetWindowText(w) : CString();
}

UINT CDialog::GetDlgItemInt(int nID, BOOL* translated, BOOL bSigned) const
{
    const QString text = QString::fromStdString(GetDlgItemText(nID)).trimmed();
    bool ok = false;
    UINT value = 0;
    if (bSigned)
        value = UINT(text.toInt(&ok));
    else
        value = text.toUInt(&ok);
    if (translated)
        *translated = ok ? TRUE : FALSE;
    return ok ? value : 0;
}

void CDialog::SetDlgItemInt(int nID, UINT value, BOOL bSigned)
{
    SetDlgItemText(nID, bSigned ? std::to_string(int(value)) : std::to_string(value));
}

void CDialog::CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck)
{
    for (int id = nIDFirst; id <= nIDLast; ++id)
        if (QWidget* w = GetDlgItemHwnd(id))
            mfc_detail::SetButtonCheck(w, id == nIDCheck ? win::BST_CHECKED : win::BST_UNCHECKED);
}

int CDialog::GetCheckedRadioButton(int nIDFirst, int nIDLast) const
{
    for (int id = nIDFirst; id <= nIDLast; ++id)
        if (QWidget* w = GetDlgItemHwnd(id); w && mfc_detail::ButtonCheck(w) == win::BST_CHECKED)
            return id;
    return 0;
}

void CDialog::CheckDlgButton(int nID, UINT check)
{
    if (QWidget* w = GetDlgItemHwnd(nID))
        mfc_detail::SetButtonCheck(w, check);
}

UINT CDialog::IsDlgButtonChecked(int nID) const
{
    QWidget* w = GetDlgItemHwnd(nID);
    return w ? mfc_detail::ButtonCheck(w) : 0;
}

win::LRESULT CDialog::SendDlgItemMessage(int nID, UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    QWidget* w = GetDlgItemHwnd(nID);
    if (!w)
        return 0;
    switch (message) {
    case win::BM_SETCHECK: mfc_detail::SetButtonCheck(w, UINT(wParam)); return 0;
    case win::BM_GETCHECK: return win::LRESULT(mfc_detail::ButtonCheck(w));
    case BM_SETIMAGE: return mfc_detail::SetButtonImage(w, wParam, lParam);
    case BM_GETIMAGE: return mfc_detail::GetButtonImage(w, wParam);
    case EM_LIMITTEXT:
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setMaxLength(wParam ? int(std::min<win::WPARAM>(wParam, 32767)) : 32767);
        return 0;
    case CB_SETCURSEL:
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            const int i = int(wParam);
            combo->setCurrentIndex(i >= 0 && i < combo->count() ? i : -1);
            return combo->currentIndex() == i ? i : CB_ERR;
        }
        return CB_ERR;
    case CB_GETCURSEL:
        if (auto* combo = qobject_cast<QComboBox*>(w))
            return combo->currentIndex();
        return CB_ERR;
    default: return win::SendMessage(w, message, wParam, lParam);
    }
}

void CDialog::SetWindowPos(int x, int y, int cx, int cy, UINT flags)
{
    QWidget* w = m_hWnd;
    if (!w)
        return;
    if (!(flags & SWP_NOMOVE))
        win::MoveWindowTo(w, QPoint(x, y));
    if (!(flags & SWP_NOSIZE))
        w->resize(cx, cy);
}

void CDialog::SetDialogColors(COLORREF background, COLORREF text)
{
    if (!site_ || !m_hWnd)
        return;
    site_->setColors(background, text);
    Invalidate(TRUE);
}
