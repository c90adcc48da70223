#include "buttonlib/editor/CColorSettingsDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/ColorSwatch.h"

#include "platform/mfc/CDataExchange.h"

#include <array>

namespace {

using D = CColorSettingsDlg;

// The item radios in tab order: the six tables first, so that their place
// in the group is their item index.
constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::GroupBox, "Select the item and then change its color settings below", 0, 7, 7, 196,
     182},
    {319, DialogItemKind::RadioButton, "Generic background", WS_GROUP, 14, 20, 185, 10},
    {320, DialogItemKind::RadioButton, "Background with mouse over button", 0, 14, 33, 185, 10},
    {321, DialogItemKind::RadioButton, "Background interior with special effects applied", 0, 14, 46, 185, 10},
    {322, DialogItemKind::RadioButton, "Background for button with the input focus", 0, 14, 59, 185, 10},
    {324, DialogItemKind::RadioButton, "Background for disabled button", 0, 14, 72, 185, 10},
    {325, DialogItemKind::RadioButton, "Background for pressed button", 0, 14, 85, 185, 10},
    {326, DialogItemKind::RadioButton, "Background highlight", 0, 14, 98, 185, 10},
    {327, DialogItemKind::RadioButton, "Background shadow", 0, 14, 111, 185, 10},
    {323, DialogItemKind::RadioButton, "Container background", 0, 14, 124, 185, 10},
    {350, DialogItemKind::RadioButton, "Caption text", 0, 14, 137, 185, 10},
    {351, DialogItemKind::RadioButton, "Caption text with mouse over button", 0, 14, 150, 185, 10},
    {353, DialogItemKind::RadioButton, "Caption text for pressed button", 0, 14, 176, 185, 10},
    {352, DialogItemKind::RadioButton, "Caption text for disabled button", 0, 14, 163, 185, 10},
    {IDC_STATIC, DialogItemKind::GroupBox, " Color ", 0, 210, 7, 100, 62},
    {D::IDC_SWATCH, DialogItemKind::Frame, "", 0, 218, 20, 36, 40},
    {D::IDC_CHANGE, DialogItemKind::PushButton, "Change...", win::BS_OWNERDRAW | WS_GROUP, 259, 33, 45, 14},
    {D::IDC_GRADIENT_GROUP, DialogItemKind::GroupBox, "Gradient 3D rendering", 0, 210, 76, 100, 72},
    {D::IDC_BEST_MATCH, DialogItemKind::RadioButton, "Best color match", WS_GROUP, 218, 90, 88, 10},
    {D::IDC_BEST_3D, DialogItemKind::RadioButton, "Best 3D rendering", 0, 218, 104, 88, 10},
    {D::IDC_FACTOR_LABEL, DialogItemKind::Static, "Gradient factor:", 0, 218, 126, 52, 8},
    {D::IDC_FACTOR, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 272, 124, 24, 14},
    {D::IDC_FACTOR_SPIN, DialogItemKind::UpDown, "", UDS_SETBUDDYINT | UDS_ARROWKEYS, 296, 124, 10, 14},
    {IDOK, DialogItemKind::PushButton, "Close", win::BS_OWNERDRAW | WS_GROUP, 210, 175, 47, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", win::BS_OWNERDRAW, 263, 175, 47, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Color settings", 317, 215, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

// Items 0 to 5 shade a table (a base colour); 6 to 12 are colours of their own.
constexpr int kTableItems = 6;
// The factor the shading tables take.
constexpr int kFactorLow = 1;
constexpr int kFactorHigh = 6;
constexpr int kStepHigh = 8;


template <OLE_COLOR CLumvexCtrl::*member>
constexpr CColorSettingsDlg::Item colour(int radioId)
{
    return {radioId, nullptr, [](const CLumvexCtrl& c) { return c.*member; },
            [](CLumvexCtrl& c, COLORREF v) { c.*member = v; }};
}

// The caption's colours live in its text object.
constexpr CColorSettingsDlg::Item captionColour(int radioId, OLE_COLOR (*get)(const CLumvexCtrl&),
                                                void (*put)(CLumvexCtrl&, COLORREF))
{
    return {radioId, nullptr, get, put};
}

constexpr CColorSettingsDlg::Item table(int radioId, CColor CLumvexCtrl::*member)
{
    return {radioId, member, nullptr, nullptr};
}

const std::array<CColorSettingsDlg::Item, 13> kColorItems{
    table(319, &CLumvexCtrl::m_colorBack),
    table(320, &CLumvexCtrl::m_colorMO),
    table(321, &CLumvexCtrl::m_colorIntern),
    table(322, &CLumvexCtrl::m_colorFocus),
    table(324, &CLumvexCtrl::m_colorDisabled),
    table(325, &CLumvexCtrl::m_colorPressed),
    colour<&CLumvexCtrl::m_HighlightColor>(326),
    colour<&CLumvexCtrl::m_ShadowColor>(327),
    colour<&CLumvexCtrl::m_BackColorContainer>(323),
    captionColour(
        350, [](const CLumvexCtrl& c) { return OLE_COLOR(c.m_text[0].GetForeColor()); },
        [](CLumvexCtrl& c, COLORREF v) { c.m_text[0].SetForeColor(v); }),
    captionColour(
        351, [](const CLumvexCtrl& c) { return OLE_COLOR(c.m_text[0].GetMouseOverColor()); },
        [](CLumvexCtrl& c, COLORREF v) { c.m_text[0].SetMouseOverColor(v); }),
    colour<&CLumvexCtrl::m_ForeColorDisabled>(352),
    captionColour(
        353, [](const CLumvexCtrl& c) { return OLE_COLOR(c.m_text[0].GetPressedColor()); },
        [](CLumvexCtrl& c, COLORREF v) { c.m_text[0].SetPressedColor(v); }),
};

} // namespace

std::span<const CColorSettingsDlg::Item> CColorSettingsDlg::Items()
{
    return kColorItems;
}

CColorSettingsDlg::CColorSettingsDlg(COlePropertyPageEnh* page) : CSettingsDialog(IDD, page) {}

void CColorSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnClose);
    DDX_Control(pDX, IDC_CHANGE, m_btnChange);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_btnHelp);
    DDX_Control(pDX, IDC_FACTOR_SPIN, m_spin);
    DDX_Radio(pDX, IDC_BEST_MATCH, m_n3DRendering);
    // A disabled factor belongs to no table being shaded by steps, so it is
    // not checked; a table holds steps up to 8 whatever the arrows offer.
    const bool factorInUse = GetDlgItem(IDC_FACTOR) && GetDlgItem(IDC_FACTOR)->IsWindowEnabled();
    if (!pDX->m_bSaveAndValidate || factorInUse) {
        DDX_Text(pDX, IDC_FACTOR, m_nGradientFactor);
        DDV_MinMaxInt(pDX, m_nGradientFactor, kFactorLow, kStepHigh);
    }
}

BOOL CColorSettingsDlg::OnInitDialog()
{
    CSettingsDialog::OnInitDialog();
    m_spin.SetBuddy(GetDlgItem(IDC_FACTOR));
    m_spin.SetRange(kFactorLow, kFactorHigh);
    selectItem(0);
    CheckRadioButton(Items().front().radioId, Items().back().radioId, Items().front().radioId);
    ApplyEditorLook({&m_btnClose, &m_btnChange, &m_btnHelp}, true);
    return TRUE;
}

void CColorSettingsDlg::selectItem(int index)
{
    CLumvexCtrl* first = FirstControl();
    // The item first: the factor filled below must not reach the item
    // selected before.
    m_nItem = index;
    const Item& item = Items()[std::size_t(index)];
    const bool shaded = index < kTableItems;
    if (shaded) {
        if (first) {
            const CColor& t = first->*item.table;
            m_n3DRendering = t.GetColoration() == 0 ? 0 : 1;
            m_nGradientFactor = t.GetStep();
            m_clrCurrent = CLumvexCtrl::TranslateOleColor(t.GetBaseColor());
        }
        // Filling the factor is no step of the user's.
        m_bSpinMoved = FALSE;
        UpdateData(FALSE);
        enableFactor();
    } else {
        if (first)
            m_clrCurrent = CLumvexCtrl::TranslateOleColor(item.get(*first));
        for (int id : {IDC_FACTOR_LABEL, IDC_FACTOR, IDC_FACTOR_SPIN})
            GetDlgItem(id)->EnableWindow(FALSE);
    }
    for (int id : {IDC_BEST_MATCH, IDC_BEST_3D, IDC_GRADIENT_GROUP})
        GetDlgItem(id)->EnableWindow(shaded);
    InvalidateColorSwatch(*this, IDC_SWATCH);
}

void CColorSettingsDlg::enableFactor()
{
    const BOOL steps = IsDlgButtonChecked(IDC_BEST_3D) ? TRUE : FALSE;
    for (int id : {IDC_FACTOR_LABEL, IDC_FACTOR, IDC_FACTOR_SPIN})
        GetDlgItem(id)->EnableWindow(steps);
}

BOOL CColorSettingsDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (code == EN_CHANGE && id == IDC_FACTOR) {
        onFactorChanged();
        return TRUE;
    }
    if (code == win::BN_CLICKED) {
        for (std::size_t i = 0; i < Items().size(); ++i) {
            if (Items()[i].radioId == id) {
                selectItem(int(i));
                return TRUE;
            }
        }
        switch (id) {
        case IDC_CHANGE: onChangeColor(); return TRUE;
        case IDC_BEST_MATCH: onRendering(0); return TRUE;
        case IDC_BEST_3D: onRendering(1); return TRUE;
        default: break;
        }
    }
    return CSettingsDialog::OnCommand(wParam, lParam);
}

BOOL CColorSettingsDlg::OnNotify(win::WPARAM wParam, win::LPARAM lParam, win::LRESULT* result)
{
    const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (nm->code == UDN_DELTAPOS && nm->idFrom == IDC_FACTOR_SPIN) {
        m_bSpinMoved = TRUE;
        *result = 0;
        return TRUE;
    }
    return CSettingsDialog::OnNotify(wParam, lParam, result);
}

void CColorSettingsDlg::onChangeColor()
{
    const auto chosen = ChooseSwatchColor(m_clrCurrent);
    if (!chosen || m_nItem < 0 || !m_pPage)
        return;
    m_clrCurrent = *chosen;
    InvalidateColorSwatch(*this, IDC_SWATCH);
    const Item& item = Items()[std::size_t(m_nItem)];
    ForEachControl([&](CLumvexCtrl& c) {
        // The member itself: the repaint below marks the control modified.
        if (item.table)
            (c.*item.table).SetBaseColor(m_clrCurrent);
        else
            item.put(c, m_clrCurrent);
        c.RefreshButton();
    });
}

void CColorSettingsDlg::onRendering(int rendering)
{
    enableFactor();
    m_n3DRendering = rendering;
    // A factor out of range is reported; the shading is set all the same.
    UpdateData(TRUE);
    m_n3DRendering = rendering;
    if (!m_pPage || m_nItem < 0 || m_nItem >= kTableItems)
        return;
    const Item& item = Items()[std::size_t(m_nItem)];
    ForEachControl([&](CLumvexCtrl& c) {
        (c.*item.table).SetColoration(short(rendering));
        c.RefreshButton();
    });
}

void CColorSettingsDlg::onFactorChanged()
{
    // Only a step of the arrows is applied; typing waits for the next one.
    if (!m_pPage || !m_bSpinMoved)
        return;
    m_bSpinMoved = FALSE;
    if (m_nItem < 0 || m_nItem >= kTableItems)
        return;
    const short step = short(int(GetDlgItemInt(IDC_FACTOR, nullptr, TRUE)));
    const Item& item = Items()[std::size_t(m_nItem)];
    ForEachControl([&](CLumvexCtrl& c) {
        (c.*item.table).SetStep(step);
        c.RefreshButton();
    });
}

void CColorSettingsDlg::OnPaint(HDC hdc)
{
    PaintColorSwatch(*this, hdc, IDC_SWATCH, m_clrCurrent);
}
