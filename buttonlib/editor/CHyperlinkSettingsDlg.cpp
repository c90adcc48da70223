#include "buttonlib/editor/CHyperlinkSettingsDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/CDataExchange.h"

namespace {

using D = CHyperlinkSettingsDlg;

// Standard push buttons: this dialog keeps the system's look.
constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::Static, "Enter a hyperlink:", 0, 7, 7, 120, 8},
    {D::IDC_HYPERLINK, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 7, 18, 252, 14},
    {IDOK, DialogItemKind::PushButton, "Close", BS_DEFPUSHBUTTON | WS_GROUP, 152, 38, 50, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", 0, 209, 38, 50, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Hyperlink settings", 266, 58, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

} // namespace

CHyperlinkSettingsDlg::CHyperlinkSettingsDlg(COlePropertyPageEnh* page) : CSettingsDialog(IDD, page) {}

void CHyperlinkSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HYPERLINK, m_edit);
    DDX_Control(pDX, IDOK, m_close);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_help);
}

BOOL CHyperlinkSettingsDlg::OnInitDialog()
{
    CSettingsDialog::OnInitDialog();
    if (const CLumvexCtrl* first = FirstControl())
        m_edit.SetWindowText(first->GetHyperlink());
    m_edit.SetFocus();
    m_edit.SetSel(0, -1);
    // The host's choice of Help button holds here however the editor was
    // opened.
    ShowHelpButtonAsAsked();
    return FALSE;
}

void CHyperlinkSettingsDlg::OnOK()
{
    const CString link = m_edit.GetWindowText();
    // The member itself, as the button reads it on a click.
    ForEachControl([&link](CLumvexCtrl& control) { control.m_Hyperlink = link; });
    EndDialog(IDOK);
}

BOOL CHyperlinkSettingsDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    if (id == ID_HELP_COMMAND) {
        OnHelp();
        return TRUE;
    }
    return CSettingsDialog::OnCommand(wParam, lParam);
}
