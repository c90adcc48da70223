#include "buttonlib/editor/CTextureSettingsDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/ColorSwatch.h"
#include "buttonlib/editor/MediaPreview.h"

#include "platform/basic/FlagScope.h"
#include "platform/mfc/CDataExchange.h"

namespace {

using Item = CSettingsDialog::ComboItem;
using D = CTextureSettingsDlg;

constexpr Item kModes[] = {{0, 2200}, {1, 2201}, {2, 2202}, {3, 2203}};
constexpr Item kBevelFactors[] = {{0, 2103}, {1, 2102}, {2, 2101}, {3, 2100}, {4, 2099}};

constexpr int kPercentMin = 0;
constexpr int kPercentMax = 100;

constexpr DWORD kOwnerDrawn = win::BS_OWNERDRAW;
constexpr DWORD kImageButton = win::BS_OWNERDRAW | BS_BITMAP;

constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::Static, "Mode", 0, 7, 9, 60, 8},
    {D::IDC_MODE, DialogItemKind::ComboDropList, "", WS_GROUP, 70, 7, 96, 14},
    {IDC_STATIC, DialogItemKind::Static, "Bevel factor", 0, 7, 27, 60, 8},
    {D::IDC_BEVEL_FACTOR, DialogItemKind::ComboDropList, "", WS_GROUP, 70, 25, 96, 14},
    {IDC_STATIC, DialogItemKind::Static, "Light intensity percentage", 0, 7, 46, 100, 8},
    {D::IDC_LIGHT_INTENSITY, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 122, 44, 34, 14},
    {D::IDC_LIGHT_SPIN, DialogItemKind::UpDown, "", UDS_SETBUDDYINT | UDS_ARROWKEYS, 156, 44, 10, 14},
    {IDC_STATIC, DialogItemKind::GroupBox, "Mix with color", 0, 7, 64, 159, 66},
    {IDC_STATIC, DialogItemKind::Static, "Color", 0, 15, 82, 30, 8},
    {D::IDC_SWATCH, DialogItemKind::Frame, "", 0, 50, 77, 40, 18},
    {D::IDC_CHANGE, DialogItemKind::PushButton, "Change...", kOwnerDrawn | WS_GROUP, 102, 79, 56, 14},
    {IDC_STATIC, DialogItemKind::Static, "Mix percentage", 0, 15, 108, 80, 8},
    {D::IDC_MIX_PERCENTAGE, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 114, 106, 34, 14},
    {D::IDC_MIX_SPIN, DialogItemKind::UpDown, "", UDS_SETBUDDYINT | UDS_ARROWKEYS, 148, 106, 10, 14},
    {IDC_STATIC, DialogItemKind::Static, "Texture preview", 0, 178, 7, 100, 8},
    {MediaPreview::IDC_PREVIEW_FRAME, DialogItemKind::Frame, "", 0, 178, 18, 100, 100},
    {MediaSlot::IDC_BROWSE, DialogItemKind::PushButton, "&Browse...", kImageButton | WS_GROUP, 292, 18, 36, 22},
    {MediaSlot::IDC_INTERNET, DialogItemKind::PushButton, "&Internet...", kImageButton, 292, 46, 36, 22},
    {MediaSlot::IDC_CLEAR, DialogItemKind::PushButton, "&Clear", kImageButton, 292, 74, 36, 22},
    {IDOK, DialogItemKind::PushButton, "Close", kOwnerDrawn | WS_GROUP, 218, 141, 52, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", kOwnerDrawn, 276, 141, 52, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Texture settings", 342, 162, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

} // namespace

CTextureSettingsDlg::CTextureSettingsDlg(COlePropertyPageEnh* page)
    : CSettingsDialog(IDD, page),
      m_texture(*this, page, {&CLumvexCtrl::m_Texture, &CLumvexCtrl::OnTextureChanged},
                MediaSlot::Files::PicturesAndAnimations, IDS_TEXTURE_FILTER)
{
}

CTextureSettingsDlg::~CTextureSettingsDlg()
{
    // Here, while OnDestroy is still this class's.
    if (m_hWnd)
        DestroyWindow();
}

void CTextureSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MODE, m_mode);
    DDX_Control(pDX, IDC_BEVEL_FACTOR, m_bevel);
    DDX_Control(pDX, IDC_LIGHT_SPIN, m_spinLight);
    DDX_Control(pDX, IDC_MIX_SPIN, m_spinMix);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_help);
    DDX_Control(pDX, MediaSlot::IDC_INTERNET, m_internet);
    DDX_Control(pDX, MediaSlot::IDC_CLEAR, m_clear);
    DDX_Control(pDX, MediaSlot::IDC_BROWSE, m_browse);
    DDX_Control(pDX, IDOK, m_close);
    DDX_Control(pDX, IDC_CHANGE, m_change);
    DDX_Text(pDX, IDC_MIX_PERCENTAGE, m_nMixPerc);
    DDV_MinMaxInt(pDX, m_nMixPerc, kPercentMin, kPercentMax);
    DDX_Text(pDX, IDC_LIGHT_INTENSITY, m_nLightPerc);
    DDV_MinMaxInt(pDX, m_nLightPerc, kPercentMin, kPercentMax);
}

BOOL CTextureSettingsDlg::OnInitDialog()
{
    // The percentages the dialog writes into its edits are the first
    // control's, not the user's: they must reach no other control.
    vb::FlagScope filling(m_bFilling);
    CLumvexCtrl* first = FirstControl();
    if (first) {
        m_nMixPerc = first->GetTextureColorMixPerc();
        m_nLightPerc = first->GetTextureLightIntensity();
        m_clrMix = CLumvexCtrl::TranslateOleColor(first->GetTextureColorMix());
    }
    CSettingsDialog::OnInitDialog();
    FillCombo(m_mode, kModes);
    FillCombo(m_bevel, kBevelFactors);
    m_spinLight.SetBuddy(GetDlgItem(IDC_LIGHT_INTENSITY));
    m_spinLight.SetRange(kPercentMin, kPercentMax);
    m_spinLight.SetPos(m_nLightPerc);
    m_spinMix.SetBuddy(GetDlgItem(IDC_MIX_PERCENTAGE));
    m_spinMix.SetRange(kPercentMin, kPercentMax);
    m_spinMix.SetPos(m_nMixPerc);
    if (first) {
        m_mode.SetCurSel(first->GetTextureMode());
        m_bevel.SetCurSel(first->GetTextureBevelFactor());
    }
    m_texture.SetButtonImages(m_browse, m_internet, m_clear);
    ApplyEditorLook({&m_close, &m_help, &m_browse, &m_internet, &m_clear, &m_change}, true);
    return TRUE;
}

void CTextureSettingsDlg::onPercentageChanged(int id)
{
    // Both fields are read back and checked, as on closing; a value the
    // check refuses is written nowhere.
    if (!UpdateData(TRUE))
        return;
    const short value = short(id == IDC_MIX_PERCENTAGE ? m_nMixPerc : m_nLightPerc);
    ForEachControl([id, value](CLumvexCtrl& control) {
        if (id == IDC_MIX_PERCENTAGE)
            control.SetTextureColorMixPerc(value);
        else
            control.SetTextureLightIntensity(value);
    });
}

void CTextureSettingsDlg::onChangeColor()
{
    const auto chosen = ChooseSwatchColor(m_clrMix);
    if (!chosen)
        return;
    m_clrMix = *chosen;
    InvalidateColorSwatch(*this, IDC_SWATCH);
    const COLORREF colour = m_clrMix;
    ForEachControl([colour](CLumvexCtrl& control) { control.SetTextureColorMix(colour); });
}

BOOL CTextureSettingsDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (m_bFilling && (code == EN_CHANGE || code == CBN_SELCHANGE))
        return TRUE;
    if (code == CBN_SELCHANGE && (id == IDC_MODE || id == IDC_BEVEL_FACTOR)) {
        const short value = short((id == IDC_MODE ? m_mode : m_bevel).GetCurSel());
        if (id == IDC_MODE)
            ForEachControl([value](CLumvexCtrl& control) { control.SetTextureMode(value); });
        else
            ForEachControl([value](CLumvexCtrl& control) { control.SetTextureBevelFactor(value); });
        return TRUE;
    }
    if (code == EN_CHANGE && (id == IDC_MIX_PERCENTAGE || id == IDC_LIGHT_INTENSITY)) {
        onPercentageChanged(id);
        return TRUE;
    }
    if (code != win::BN_CLICKED)
        return CSettingsDialog::OnCommand(wParam, lParam);
    switch (id) {
    case IDC_CHANGE: onChangeColor(); return TRUE;
    case MediaSlot::IDC_BROWSE: m_texture.Browse(); return TRUE;
    case MediaSlot::IDC_INTERNET: m_texture.Internet(); return TRUE;
    case MediaSlot::IDC_CLEAR: m_texture.Clear(); return TRUE;
    default: return CSettingsDialog::OnCommand(wParam, lParam);
    }
}

void CTextureSettingsDlg::OnPaint(HDC hdc)
{
    if (CLumvexCtrl* first = FirstControl())
        MediaPreview::Draw(*this, hdc, first->m_dibTexture);
    PaintColorSwatch(*this, hdc, IDC_SWATCH, m_clrMix);
}

win::LRESULT CTextureSettingsDlg::OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    if (message == CLumvexCtrl::UM_LOAD_DONE) {
        m_texture.OnLoadDone(wParam);
        return 0;
    }
    return CSettingsDialog::OnUserMessage(message, wParam, lParam);
}

void CTextureSettingsDlg::OnDestroy()
{
    m_texture.OnDestroy();
    m_texture.RestoreButtonImages();
    CSettingsDialog::OnDestroy();
}
