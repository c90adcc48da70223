#include "buttonlib/editor/CShapeSettingsDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/MediaPreview.h"

#include "platform/basic/FlagScope.h"
#include "platform/mfc/CDataExchange.h"

#include <span>

namespace {

using Item = CSettingsDialog::ComboItem;
using D = CShapeSettingsDlg;

constexpr Item kShapes[] = {{0, 1000}, {1, 1001}, {2, 1002}, {3, 1003}, {4, 1004}, {5, 1005}};
constexpr Item kSurfaces[] = {{0, 1100}, {1, 1101}, {2, 1102}, {3, 1103}};
constexpr Item kSpecialEffects[] = {{0, 1450}, {1, 1451}, {2, 1452}};
constexpr Item kShadowModes[] = {{0, 2250}, {1, 2251}, {2, 2252}, {3, 2253}};
constexpr Item kRoundness[] = {{0, 1050}, {1, 1051}, {2, 1052}, {3, 1053}, {4, 1054}};
constexpr Item kSmoothEdges[] = {{0, 1150}, {1, 1151}, {2, 1152}};
constexpr Item kEffectFactors[] = {{0, 1480}, {1, 1481}, {2, 1482}, {3, 1483}, {4, 1484}};
constexpr Item kFlatPillowFactors[] = {{0, 2154}, {1, 2153}, {2, 2152}, {3, 2151}, {4, 2150}};

// Each list, the property it shows and sets (the value is the item's index).
struct ComboBinding {
    int id;
    std::span<const Item> items;
    short (CLumvexCtrl::*get)() const;
    void (CLumvexCtrl::*set)(short);
};

const ComboBinding kCombos[] = {
    {D::IDC_SHAPE, kShapes, &CLumvexCtrl::GetShape, &CLumvexCtrl::SetShape},
    {D::IDC_SURFACE, kSurfaces, &CLumvexCtrl::GetSurface, &CLumvexCtrl::SetSurface},
    {D::IDC_SPECIAL_EFFECT, kSpecialEffects, &CLumvexCtrl::GetSpecialEffect, &CLumvexCtrl::SetSpecialEffect},
    {D::IDC_SHADOW_MODE, kShadowModes, &CLumvexCtrl::GetShadowMode, &CLumvexCtrl::SetShadowMode},
    {D::IDC_ROUNDNESS, kRoundness, &CLumvexCtrl::GetRoundness, &CLumvexCtrl::SetRoundness},
    {D::IDC_SMOOTH_EDGES, kSmoothEdges, &CLumvexCtrl::GetSmoothEdges, &CLumvexCtrl::SetSmoothEdges},
    {D::IDC_SPECIAL_EFFECT_FACTOR, kEffectFactors, &CLumvexCtrl::GetSpecialEffectFactor,
     &CLumvexCtrl::SetSpecialEffectFactor},
    {D::IDC_FLAT_PILLOW_FACTOR, kFlatPillowFactors, &CLumvexCtrl::GetFlatPillowFactor,
     &CLumvexCtrl::SetFlatPillowFactor},
};

constexpr DWORD kOwnerDrawn = win::BS_OWNERDRAW;
constexpr DWORD kImageButton = win::BS_OWNERDRAW | BS_BITMAP;

constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::Static, "Button shape:", 0, 7, 9, 83, 8},
    {D::IDC_SHAPE, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 7, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Surface type:", 0, 7, 26, 83, 8},
    {D::IDC_SURFACE, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 24, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Special Effect:", 0, 7, 43, 83, 8},
    {D::IDC_SPECIAL_EFFECT, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 41, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Shadow Mode:", 0, 7, 60, 83, 8},
    {D::IDC_SHADOW_MODE, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 58, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Rounded rect roundness:", 0, 7, 77, 83, 8},
    {D::IDC_ROUNDNESS, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 75, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Smooth Edges factor:", 0, 7, 94, 83, 8},
    {D::IDC_SMOOTH_EDGES, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 92, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Special Effect factor:", 0, 7, 111, 83, 8},
    {D::IDC_SPECIAL_EFFECT_FACTOR, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 109, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Flat pillow factor:", 0, 7, 128, 83, 8},
    {D::IDC_FLAT_PILLOW_FACTOR, DialogItemKind::ComboDropList, "", WS_GROUP, 91, 126, 111, 14},
    {IDC_STATIC, DialogItemKind::Static, "Raise factor:", 0, 7, 148, 83, 8},
    {D::IDC_RAISE_FACTOR, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 91, 146, 20, 14},
    {D::IDC_RAISE_SPIN, DialogItemKind::UpDown, "", UDS_SETBUDDYINT | UDS_ARROWKEYS, 111, 146, 10, 14},
    {D::IDC_CLICKABLE, DialogItemKind::CheckBox, "Clickable", WS_GROUP, 133, 148, 58, 10},
    {D::IDC_CUSTOM_GROUP, DialogItemKind::GroupBox, "Custom shape specific settings", 0, 204, 4, 144, 136},
    {D::IDC_CUSTOM_RAISED, DialogItemKind::CheckBox, "Use raising effect when not pressed", WS_GROUP, 210, 17,
     136, 10},
    {D::IDC_MASK_LABEL, DialogItemKind::Static, "Shape mask preview", 0, 216, 32, 84, 8},
    {MediaPreview::IDC_PREVIEW_FRAME, DialogItemKind::Frame, "", 0, 216, 42, 84, 90},
    {MediaSlot::IDC_BROWSE, DialogItemKind::PushButton, "&Browse...", kImageButton | WS_GROUP, 306, 42, 36, 22},
    {MediaSlot::IDC_INTERNET, DialogItemKind::PushButton, "&Internet...", kImageButton, 306, 68, 36, 22},
    {MediaSlot::IDC_CLEAR, DialogItemKind::PushButton, "&Clear", kImageButton, 306, 94, 36, 22},
    {D::IDC_CLOSE, DialogItemKind::PushButton, "Close", kOwnerDrawn | WS_GROUP, 238, 146, 52, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", kOwnerDrawn, 296, 146, 52, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Shape settings", 355, 167, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

} // namespace

CShapeSettingsDlg::CShapeSettingsDlg(COlePropertyPageEnh* page)
    : CSettingsDialog(IDD, page),
      m_mask(*this, page, {&CLumvexCtrl::m_PictureCustom, &CLumvexCtrl::OnPictureCustomChanged},
             MediaSlot::Files::Masks, IDS_MASK_FILTER)
{
}

CShapeSettingsDlg::~CShapeSettingsDlg()
{
    // Here, while OnDestroy is still this class's.
    if (m_hWnd)
        DestroyWindow();
}

void CShapeSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (std::size_t i = 0; i < kComboCount; ++i)
        DDX_Control(pDX, kCombos[i].id, m_combos[i]);
    DDX_Control(pDX, IDC_RAISE_SPIN, m_spinRaise);
    DDX_Control(pDX, IDC_RAISE_FACTOR, m_editRaise);
    DDX_Control(pDX, IDC_CLOSE, m_close);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_help);
    DDX_Control(pDX, MediaSlot::IDC_BROWSE, m_browse);
    DDX_Control(pDX, MediaSlot::IDC_INTERNET, m_internet);
    DDX_Control(pDX, MediaSlot::IDC_CLEAR, m_clear);
}

CComboBox* CShapeSettingsDlg::comboOf(int id)
{
    for (std::size_t i = 0; i < kComboCount; ++i)
        if (kCombos[i].id == id)
            return &m_combos[i];
    return nullptr;
}

void CShapeSettingsDlg::enable(std::initializer_list<int> ids, bool bEnable)
{
    for (int id : ids)
        if (CWnd* item = GetDlgItem(id))
            item->EnableWindow(bEnable ? TRUE : FALSE);
}

void CShapeSettingsDlg::enableCustomGroup(bool bEnable)
{
    enable({IDC_CUSTOM_GROUP, IDC_CUSTOM_RAISED, MediaSlot::IDC_BROWSE, MediaSlot::IDC_INTERNET, MediaSlot::IDC_CLEAR,
            IDC_MASK_LABEL},
           bEnable);
    m_bCustomGroupEnabled = bEnable;
    Invalidate(TRUE);
}

BOOL CShapeSettingsDlg::OnInitDialog()
{
    // Nothing the dialog writes into its items while it fills them is a
    // change of the user's.
    vb::FlagScope filling(m_bFilling);
    CSettingsDialog::OnInitDialog();
    for (std::size_t i = 0; i < kComboCount; ++i)
        FillCombo(m_combos[i], kCombos[i].items);
    m_editRaise.LimitText(1);
    m_mask.SetButtonImages(m_browse, m_internet, m_clear);

    // What the first control's shape and surface make sense of.
    enable({IDC_ROUNDNESS, IDC_SPECIAL_EFFECT, IDC_SPECIAL_EFFECT_FACTOR, IDC_FLAT_PILLOW_FACTOR}, false);
    CLumvexCtrl* first = FirstControl();
    if (!first)
        return TRUE;
    const short shape = first->GetShape();
    switch (shape) {
    case 1: enable({IDC_ROUNDNESS, IDC_SPECIAL_EFFECT, IDC_SPECIAL_EFFECT_FACTOR}, true); break;
    case 4: enable({IDC_RAISE_FACTOR, IDC_RAISE_SPIN}, false); break;
    case 0:
    case 3: enable({IDC_SPECIAL_EFFECT, IDC_SPECIAL_EFFECT_FACTOR}, true); break;
    default: break;
    }
    enableCustomGroup(shape == kShapeCustom);
    if (first->GetSurface() == 3)
        enable({IDC_FLAT_PILLOW_FACTOR}, true);

    for (std::size_t i = 0; i < kComboCount; ++i)
        m_combos[i].SetCurSel((first->*kCombos[i].get)());
    m_spinRaise.SetBuddy(&m_editRaise);
    m_spinRaise.SetRange(0, 9);
    m_spinRaise.SetPos(first->GetButtonRaiseFactor());
    CheckDlgButton(IDC_CUSTOM_RAISED, first->GetButtonCustomRaised() ? win::BST_CHECKED : win::BST_UNCHECKED);
    CheckDlgButton(IDC_CLICKABLE, first->m_Clickable ? win::BST_CHECKED : win::BST_UNCHECKED);

    ApplyEditorLook({&m_close, &m_help, &m_browse, &m_internet, &m_clear}, true);
    return TRUE;
}

void CShapeSettingsDlg::onShapeSelected()
{
    const int shape = m_combos[0].GetCurSel();
    enable({IDC_ROUNDNESS, IDC_SPECIAL_EFFECT_FACTOR, IDC_SPECIAL_EFFECT}, false);
    enable({IDC_RAISE_FACTOR, IDC_RAISE_SPIN}, true);
    switch (shape) {
    case 0:
    case 3:
        enable({IDC_SPECIAL_EFFECT, IDC_SPECIAL_EFFECT_FACTOR, IDC_FLAT_PILLOW_FACTOR, IDC_SHADOW_MODE}, true);
        break;
    case 1:
        enable({IDC_ROUNDNESS, IDC_SPECIAL_EFFECT, IDC_SPECIAL_EFFECT_FACTOR, IDC_FLAT_PILLOW_FACTOR, IDC_SHADOW_MODE},
               true);
        break;
    case 2:
    case 5: enable({IDC_FLAT_PILLOW_FACTOR, IDC_SHADOW_MODE}, true); break;
    case 4: enable({IDC_RAISE_FACTOR, IDC_RAISE_SPIN, IDC_FLAT_PILLOW_FACTOR, IDC_SHADOW_MODE}, false); break;
    default: break;
    }
    // The flat pillow factor means something on a flat pillow only.
    if (comboOf(IDC_SURFACE)->GetCurSel() != 3)
        enable({IDC_FLAT_PILLOW_FACTOR}, false);
    enableCustomGroup(shape == kShapeCustom);
    ForEachControl([shape](CLumvexCtrl& control) { control.SetShape(short(shape)); });
}

void CShapeSettingsDlg::onComboSelected(int id)
{
    if (id == IDC_SHAPE) {
        onShapeSelected();
        return;
    }
    for (std::size_t i = 0; i < kComboCount; ++i) {
        if (kCombos[i].id != id)
            continue;
        const int value = m_combos[i].GetCurSel();
        if (id == IDC_SURFACE)
            enable({IDC_FLAT_PILLOW_FACTOR}, value == 3);
        const auto set = kCombos[i].set;
        ForEachControl([set, value](CLumvexCtrl& control) { (control.*set)(short(value)); });
        return;
    }
}

void CShapeSettingsDlg::onRaiseFactorChanged()
{
    // Every change of the field is written; an emptied field (or a lone
    // sign) reads as 0, no edge lines.
    const int value = int(GetDlgItemInt(IDC_RAISE_FACTOR, nullptr, TRUE));
    ForEachControl([value](CLumvexCtrl& control) { control.SetButtonRaiseFactor(short(value)); });
}

BOOL CShapeSettingsDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (m_bFilling && (code == EN_CHANGE || code == CBN_SELCHANGE))
        return TRUE;
    if (code == CBN_SELCHANGE && comboOf(id)) {
        onComboSelected(id);
        return TRUE;
    }
    if (code == EN_CHANGE && id == IDC_RAISE_FACTOR) {
        onRaiseFactorChanged();
        return TRUE;
    }
    if (code != win::BN_CLICKED)
        return CSettingsDialog::OnCommand(wParam, lParam);
    switch (id) {
    case IDC_CUSTOM_RAISED: {
        const BOOL raised = IsDlgButtonChecked(IDC_CUSTOM_RAISED) == win::BST_CHECKED;
        ForEachControl([raised](CLumvexCtrl& control) { control.SetButtonCustomRaised(raised); });
        return TRUE;
    }
    case IDC_CLICKABLE: {
        // The member itself: the button takes it at once, the container
        // hears of it with the next change that marks the control modified.
        const BOOL clickable = IsDlgButtonChecked(IDC_CLICKABLE) == win::BST_CHECKED;
        ForEachControl([clickable](CLumvexCtrl& control) { control.m_Clickable = clickable; });
        return TRUE;
    }
    case MediaSlot::IDC_BROWSE: m_mask.Browse(); return TRUE;
    case MediaSlot::IDC_INTERNET: m_mask.Internet(); return TRUE;
    case MediaSlot::IDC_CLEAR: m_mask.Clear(); return TRUE;
    case IDC_CLOSE: EndDialog(IDOK); return TRUE;
    default: return CSettingsDialog::OnCommand(wParam, lParam);
    }
}

void CShapeSettingsDlg::OnPaint(HDC hdc)
{
    if (!m_bCustomGroupEnabled)
        return;
    if (CLumvexCtrl* first = FirstControl())
        MediaPreview::Draw(*this, hdc, first->m_dibPictureCustom);
}

win::LRESULT CShapeSettingsDlg::OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    if (message == CLumvexCtrl::UM_LOAD_DONE) {
        m_mask.OnLoadDone(wParam);
        return 0;
    }
    return CSettingsDialog::OnUserMessage(message, wParam, lParam);
}

void CShapeSettingsDlg::OnDestroy()
{
    m_mask.OnDestroy();
    m_mask.RestoreButtonImages();
    CSettingsDialog::OnDestroy();
}
