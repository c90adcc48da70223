#include "buttonlib/editor/CSettingsDialog.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/COlePropertyPageEnh.h"
#include "buttonlib/editor/EditorHelp.h"

#include "platform/mfc/AfxMessageBox.h"

#include <string>

CSettingsDialog::CSettingsDialog(UINT idTemplate, COlePropertyPageEnh* page)
    : CDialog(idTemplate), m_pPage(page)
{
}

CLumvexCtrl* CSettingsDialog::FirstControl() const
{
    return m_pPage ? m_pPage->GetControlObject() : nullptr;
}

void CSettingsDialog::ForEachControl(const std::function<void(CLumvexCtrl&)>& fn) const
{
    if (m_pPage)
        m_pPage->ForEachControl(fn);
}

bool CSettingsDialog::EditorOpen() const
{
    const CLumvexCtrl* first = FirstControl();
    return first && first->m_bEditorOpen;
}

void CSettingsDialog::OnHelp()
{
    if (m_pPage)
        EditorHelp(TemplateId(), *m_pPage, m_hWnd);
}

BOOL CSettingsDialog::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    if (win::LOWORD(wParam) == IDC_HELP_BUTTON && win::HIWORD(wParam) == win::BN_CLICKED) {
        OnHelp();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CSettingsDialog::ApplyEditorLook(std::initializer_list<CColorButton*> buttons, bool bDialogColors)
{
    if (m_pPage)
        m_pPage->PresentSettingsDialog(*this, buttons, bDialogColors);
}

void CSettingsDialog::ShowHelpButtonAsAsked()
{
    if (CWnd* help = GetDlgItem(IDC_HELP_BUTTON))
        help->ShowWindow(CLumvexCtrl::g_editButtonShow[0]);
}

void CSettingsDialog::FillCombo(CComboBox& combo, std::span<const ComboItem> items)
{
    for (const ComboItem& item : items) {
        CString text;
        AfxLoadString(item.textId, text);
        combo.AddString(std::to_string(item.value) + " - " + text);
    }
}
