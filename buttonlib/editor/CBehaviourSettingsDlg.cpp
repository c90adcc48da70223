#include "buttonlib/editor/CBehaviourSettingsDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/basic/FlagScope.h"
#include "platform/mfc/CDataExchange.h"

namespace {

using D = CBehaviourSettingsDlg;
using Item = CSettingsDialog::ComboItem;

constexpr Item kStyles[] = {{0, 2300}, {1, 2301}, {2, 2302}};
constexpr Item kFocusModes[] = {{0, 1250}, {1, 1251}, {2, 1252}};

constexpr DWORD kOwnerDrawn = win::BS_OWNERDRAW;

constexpr DialogItem kItems[] = {
    {368, DialogItemKind::Static, "Style:", 0, 7, 9, 60, 8},
    {D::IDC_STYLE, DialogItemKind::ComboDropList, "", WS_GROUP, 70, 7, 142, 14},
    {369, DialogItemKind::Static, "Focus mode:", 0, 7, 28, 60, 8},
    {D::IDC_FOCUS_MODE, DialogItemKind::ComboDropList, "", WS_GROUP, 70, 26, 142, 14},
    {D::IDC_CLOSE, DialogItemKind::PushButton, "Close", kOwnerDrawn | WS_GROUP, 105, 52, 50, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", kOwnerDrawn, 162, 52, 50, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Button behaviour settings", 219, 73, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

} // namespace

CBehaviourSettingsDlg::CBehaviourSettingsDlg(COlePropertyPageEnh* page) : CSettingsDialog(IDD, page) {}

void CBehaviourSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STYLE, m_style);
    DDX_Control(pDX, IDC_FOCUS_MODE, m_focusMode);
    DDX_Control(pDX, IDC_CLOSE, m_close);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_help);
}

BOOL CBehaviourSettingsDlg::OnInitDialog()
{
    vb::FlagScope filling(m_bFilling);
    CSettingsDialog::OnInitDialog();
    FillCombo(m_style, kStyles);
    FillCombo(m_focusMode, kFocusModes);
    const CLumvexCtrl* first = FirstControl();
    if (!first)
        return TRUE;
    m_style.SetCurSel(first->GetStyle());
    m_focusMode.SetCurSel(first->GetFocusMode());
    if (first->m_bEditorOpen) {
        m_style.EnableWindow(FALSE);
        m_focusMode.EnableWindow(FALSE);
        ApplyEditorLook({&m_close, &m_help}, false);
    }
    return TRUE;
}

BOOL CBehaviourSettingsDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (id == ID_HELP_COMMAND) {
        OnHelp();
        return TRUE;
    }
    if (code == CBN_SELCHANGE && (id == IDC_STYLE || id == IDC_FOCUS_MODE)) {
        if (m_bFilling)
            return TRUE;
        const int value = (id == IDC_STYLE ? m_style : m_focusMode).GetCurSel();
        const auto set = id == IDC_STYLE ? &CLumvexCtrl::SetStyle : &CLumvexCtrl::SetFocusMode;
        ForEachControl([set, value](CLumvexCtrl& control) { (control.*set)(short(value)); });
        return TRUE;
    }
    if (code == win::BN_CLICKED && id == IDC_CLOSE) {
        EndDialog(IDOK);
        return TRUE;
    }
    return CSettingsDialog::OnCommand(wParam, lParam);
}
