#include "buttonlib/editor/CPictureSettingsDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/ColorSwatch.h"

#include "platform/basic/FlagScope.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/CDataExchange.h"

namespace {

using D = CPictureSettingsDlg;

constexpr DialogItem kItems[] = {
    {D::IDC_MOVE_ON_PRESS, DialogItemKind::CheckBox, "Move picture on press", WS_GROUP, 7, 9, 104, 10},
    {D::IDC_KEEP_RATIO, DialogItemKind::CheckBox, "Keep aspect ratio", WS_GROUP, 7, 22, 104, 10},
    {D::IDC_FIT_CUSTOM, DialogItemKind::CheckBox, "Fit custom picture in button", WS_GROUP, 7, 35, 104, 10},
    {IDC_STATIC, DialogItemKind::GroupBox, "Offsets", 0, 7, 50, 100, 45},
    {IDC_STATIC, DialogItemKind::Static, "X :", 0, 15, 64, 14, 8},
    {D::IDC_X_OFFSET, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 31, 62, 32, 13},
    {D::IDC_X_SPIN, DialogItemKind::UpDown, "", UDS_SETBUDDYINT | UDS_ARROWKEYS, 63, 62, 10, 13},
    {IDC_STATIC, DialogItemKind::Static, "Y :", 0, 15, 80, 14, 8},
    {D::IDC_Y_OFFSET, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 31, 78, 32, 13},
    {D::IDC_Y_SPIN, DialogItemKind::UpDown, "", UDS_SETBUDDYINT | UDS_ARROWKEYS, 63, 78, 10, 13},
    {261, DialogItemKind::GroupBox, "Position", 0, 115, 7, 123, 60},
    // Centre first, then row by row; no text, the place says it.
    {252, DialogItemKind::RadioButton, "", WS_GROUP, 172, 34, 10, 10},
    {253, DialogItemKind::RadioButton, "", 0, 131, 20, 10, 10},
    {254, DialogItemKind::RadioButton, "", 0, 172, 20, 10, 10},
    {255, DialogItemKind::RadioButton, "", 0, 213, 20, 10, 10},
    {256, DialogItemKind::RadioButton, "", 0, 131, 34, 10, 10},
    {257, DialogItemKind::RadioButton, "", 0, 213, 34, 10, 10},
    {258, DialogItemKind::RadioButton, "", 0, 131, 48, 10, 10},
    {259, DialogItemKind::RadioButton, "", 0, 172, 48, 10, 10},
    {260, DialogItemKind::RadioButton, "", 0, 213, 48, 10, 10},
    {D::IDC_SWATCH, DialogItemKind::Frame, "", WS_GROUP, 115, 73, 24, 20},
    {D::IDC_CHANGE, DialogItemKind::PushButton, "Change...", win::BS_OWNERDRAW, 145, 76, 45, 14},
    {271, DialogItemKind::GroupBox, "Transparent Mode", 0, 7, 99, 170, 33},
    {D::IDC_TRANSP_COLOR, DialogItemKind::RadioButton, "Use PictureTranspColor property", WS_GROUP, 13, 109, 160, 10},
    {D::IDC_TRANSP_PIXEL, DialogItemKind::RadioButton, "Use picture Left Top pixel color", 0, 13, 120, 160, 10},
    {IDOK, DialogItemKind::PushButton, "Close", win::BS_OWNERDRAW | WS_GROUP, 185, 99, 53, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", win::BS_OWNERDRAW, 185, 118, 53, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Pictures and animations settings", 245, 138, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

constexpr int kOffsetLimit = 99;
// The caption when EditProperties opened the editor.
constexpr UINT IDS_PICTURES_SETTINGS = 55;

} // namespace

CPictureSettingsDlg::CPictureSettingsDlg(COlePropertyPageEnh* page) : CSettingsDialog(IDD, page) {}

void CPictureSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnClose);
    DDX_Control(pDX, IDC_CHANGE, m_btnChange);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_btnHelp);
    DDX_Control(pDX, IDC_X_SPIN, m_spinX);
    DDX_Control(pDX, IDC_Y_SPIN, m_spinY);
    DDX_Radio(pDX, IDC_POSITION_FIRST, m_nPosition);
    DDX_Text(pDX, IDC_X_OFFSET, m_nXOffset);
    DDX_Text(pDX, IDC_Y_OFFSET, m_nYOffset);
    DDX_Radio(pDX, IDC_TRANSP_COLOR, m_nTranspMode);
}

BOOL CPictureSettingsDlg::OnInitDialog()
{
    vb::FlagScope filling(m_bFilling);
    CLumvexCtrl* first = FirstControl();
    if (first) {
        m_nPosition = first->GetPicturePosition();
        m_nTranspMode = first->GetPictureTranspMode();
        m_clrTransp = CLumvexCtrl::TranslateOleColor(first->GetPictureTranspColor());
        m_nXOffset = first->GetPictureXOffset();
        m_nYOffset = first->GetPictureYOffset();
    }
    CSettingsDialog::OnInitDialog();
    m_spinX.SetBuddy(GetDlgItem(IDC_X_OFFSET));
    m_spinX.SetRange(-kOffsetLimit, kOffsetLimit);
    m_spinX.SetPos(m_nXOffset);
    m_spinY.SetBuddy(GetDlgItem(IDC_Y_OFFSET));
    m_spinY.SetRange(-kOffsetLimit, kOffsetLimit);
    m_spinY.SetPos(m_nYOffset);
    if (first) {
        CheckDlgButton(IDC_FIT_CUSTOM, first->GetButtonCustomFitPicture() ? 1 : 0);
        CheckDlgButton(IDC_MOVE_ON_PRESS, first->GetMovePictureOnPress() ? 1 : 0);
        CheckDlgButton(IDC_KEEP_RATIO, first->GetPictureKeepRatio() ? 1 : 0);
        if (EditorOpen()) {
            CString caption;
            AfxLoadString(IDS_PICTURES_SETTINGS, caption);
            SetWindowText(caption);
        }
    }
    ApplyEditorLook({&m_btnClose, &m_btnChange, &m_btnHelp}, true);
    return TRUE;
}

BOOL CPictureSettingsDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (code == EN_CHANGE && (id == IDC_X_OFFSET || id == IDC_Y_OFFSET)) {
        onOffsetChanged(id);
        return TRUE;
    }
    if (code != win::BN_CLICKED)
        return CSettingsDialog::OnCommand(wParam, lParam);
    if (id == IDC_CHANGE) {
        onChangeColor();
        return TRUE;
    }
    if (m_bFilling || !m_pPage)
        return CSettingsDialog::OnCommand(wParam, lParam);
    const BOOL checked = IsDlgButtonChecked(id) ? TRUE : FALSE;
    switch (id) {
    case IDC_MOVE_ON_PRESS: ForEachControl([&](CLumvexCtrl& c) { c.SetMovePictureOnPress(checked); }); break;
    case IDC_KEEP_RATIO: ForEachControl([&](CLumvexCtrl& c) { c.SetPictureKeepRatio(checked); }); break;
    case IDC_FIT_CUSTOM: ForEachControl([&](CLumvexCtrl& c) { c.SetButtonCustomFitPicture(checked); }); break;
    case IDC_TRANSP_COLOR:
    case IDC_TRANSP_PIXEL:
        ForEachControl([&](CLumvexCtrl& c) {
            c.SetPictureTranspMode(short(id - IDC_TRANSP_COLOR));
            c.InvalidateControl();
        });
        break;
    default:
        if (id < IDC_POSITION_FIRST || id > IDC_POSITION_LAST)
            return CSettingsDialog::OnCommand(wParam, lParam);
        ForEachControl([&](CLumvexCtrl& c) {
            c.SetPicturePosition(short(id - IDC_POSITION_FIRST));
            c.InvalidateControl();
        });
        break;
    }
    return TRUE;
}

void CPictureSettingsDlg::onOffsetChanged(int id)
{
    if (m_bFilling || !m_pPage)
        return;
    // Every item is read back and checked, as on closing; text that is no
    // number is reported and nothing is written.
    if (!UpdateData(TRUE))
        return;
    const short value = id == IDC_X_OFFSET ? m_nXOffset : m_nYOffset;
    ForEachControl([&](CLumvexCtrl& c) {
        if (id == IDC_X_OFFSET)
            c.SetPictureXOffset(value);
        else
            c.SetPictureYOffset(value);
        c.InvalidateControl();
    });
}

void CPictureSettingsDlg::onChangeColor()
{
    const auto chosen = ChooseSwatchColor(m_clrTransp);
    if (!chosen)
        return;
    m_clrTransp = *chosen;
    InvalidateColorSwatch(*this, IDC_SWATCH);
    UpdateData(TRUE);
    ForEachControl([&](CLumvexCtrl& c) { c.SetPictureTranspColor(m_clrTransp); });
}

void CPictureSettingsDlg::OnPaint(HDC hdc)
{
    PaintColorSwatch(*this, hdc, IDC_SWATCH, m_clrTransp);
}
