#include "buttonlib/editor/CTextSettingsDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/DispatchProperty.h"
#include "buttonlib/editor/CFontDialogEnh.h"
#include "buttonlib/editor/ColorSwatch.h"

#include "platform/basic/FlagScope.h"
#include "platform/com/Bstr.h"
#include "platform/com/DispIds.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/CDataExchange.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

using D = CTextSettingsDlg;

constexpr DWORD kSpinStyle = UDS_SETBUDDYINT | UDS_ARROWKEYS;
constexpr DWORD kOwnerDraw = win::BS_OWNERDRAW;

constexpr DialogItem kItems[] = {
    // The positions as they lie around the caption, in group order.
    {IDC_STATIC, DialogItemKind::GroupBox, "", 0, 7, 4, 268, 46},
    {257, DialogItemKind::RadioButton, "Caption", WS_GROUP, 107, 26, 80, 10},
    {355, DialogItemKind::RadioButton, "Left Top", 0, 15, 14, 80, 10},
    {356, DialogItemKind::RadioButton, "Center Top", 0, 107, 14, 80, 10},
    {357, DialogItemKind::RadioButton, "Right Top", 0, 199, 14, 72, 10},
    {358, DialogItemKind::RadioButton, "Left Middle", 0, 15, 26, 80, 10},
    {258, DialogItemKind::RadioButton, "Right Middle", 0, 199, 26, 72, 10},
    {259, DialogItemKind::RadioButton, "Left Bottom", 0, 15, 38, 80, 10},
    {260, DialogItemKind::RadioButton, "Center Bottom", 0, 107, 38, 80, 10},
    {261, DialogItemKind::RadioButton, "Right Bottom", 0, 199, 38, 72, 10},
    {IDC_STATIC, DialogItemKind::GroupBox, " Text content ", 0, 7, 53, 268, 29},
    {D::IDC_TEXT, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 14, 64, 196, 13},
    {D::IDC_FONT, DialogItemKind::PushButton, "Change Font...", kOwnerDraw | WS_GROUP, 215, 64, 55, 13},
    {IDC_STATIC, DialogItemKind::GroupBox, " Offsets ", 0, 7, 85, 80, 44},
    {IDC_STATIC, DialogItemKind::Static, "X : ", 0, 15, 99, 14, 8},
    {D::IDC_X_OFFSET, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 31, 97, 32, 13},
    {D::IDC_X_SPIN, DialogItemKind::UpDown, "", kSpinStyle, 63, 97, 10, 13},
    {IDC_STATIC, DialogItemKind::Static, "Y : ", 0, 15, 115, 14, 8},
    {D::IDC_Y_OFFSET, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 31, 113, 32, 13},
    {D::IDC_Y_SPIN, DialogItemKind::UpDown, "", kSpinStyle, 63, 113, 10, 13},
    {IDC_STATIC, DialogItemKind::GroupBox, " Colors ", 0, 92, 85, 183, 44},
    {IDC_STATIC, DialogItemKind::Static, "Foreground:", 0, 98, 96, 54, 8},
    {D::IDC_FORE_SWATCH, DialogItemKind::Static, "", ITEM_HIDDEN, 98, 108, 18, 14},
    {D::IDC_FORE_CHANGE, DialogItemKind::PushButton, "Change...", kOwnerDraw | WS_GROUP, 119, 108, 34, 14},
    {IDC_STATIC, DialogItemKind::Static, "Mouse Over:", 0, 158, 96, 54, 8},
    {D::IDC_MOUSEOVER_SWATCH, DialogItemKind::Static, "", ITEM_HIDDEN, 158, 108, 18, 14},
    {D::IDC_MOUSEOVER_CHANGE, DialogItemKind::PushButton, "Change...", kOwnerDraw | WS_GROUP, 179, 108, 34, 14},
    {IDC_STATIC, DialogItemKind::Static, "Pressed:", 0, 218, 96, 54, 8},
    {D::IDC_PRESSED_SWATCH, DialogItemKind::Static, "", ITEM_HIDDEN, 218, 108, 18, 14},
    {D::IDC_PRESSED_CHANGE, DialogItemKind::PushButton, "Change...", kOwnerDraw | WS_GROUP, 239, 108, 34, 14},
    // The angles' texts are long: the caption's group takes the room the
    // effects' short texts leave.
    {IDC_STATIC, DialogItemKind::GroupBox, " Style ", 0, 7, 132, 102, 44},
    {IDC_STATIC, DialogItemKind::Static, "Effect:", 0, 14, 146, 30, 8},
    {D::IDC_EFFECT, DialogItemKind::ComboDropList, "", WS_GROUP, 46, 144, 58, 14},
    {D::IDC_FACTOR_LABEL, DialogItemKind::Static, "Effect Factor: ", 0, 14, 162, 52, 8},
    {D::IDC_FACTOR, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 68, 160, 26, 13},
    {D::IDC_FACTOR_SPIN, DialogItemKind::UpDown, "", kSpinStyle, 94, 160, 10, 13},
    {D::IDC_CAPTION_GROUP, DialogItemKind::GroupBox, "Caption specific", 0, 113, 132, 162, 44},
    {D::IDC_ANGLE_LABEL, DialogItemKind::Static, "Angle:", 0, 120, 146, 26, 8},
    {D::IDC_ANGLE, DialogItemKind::ComboDropList, "", WS_GROUP, 148, 144, 124, 14},
    {D::IDC_WRAP_LABEL, DialogItemKind::Static, "Wordwrap percentage:", 0, 120, 162, 80, 8},
    {D::IDC_WRAP, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 232, 160, 28, 13},
    {D::IDC_WRAP_SPIN, DialogItemKind::UpDown, "", kSpinStyle, 260, 160, 10, 13},
    {IDOK, DialogItemKind::PushButton, "Close", kOwnerDraw | WS_GROUP, 169, 183, 50, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", kOwnerDraw, 225, 183, 50, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Text Settings", 282, 202, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

// The lists' texts by value.
constexpr CSettingsDialog::ComboItem kEffects[] = {{0, 1450}, {1, 1451}, {2, 1452}, {3, 1453}};
constexpr CSettingsDialog::ComboItem kAngles[] = {{0, 1200}, {1, 1201}, {2, 1202}, {3, 1204}, {4, 1203}};

constexpr int kOffsetLimit = 99;
constexpr int kFactorHigh = 5;
constexpr int kWrapLow = 10;
constexpr int kWrapHigh = 100;


constexpr std::array<int, 3> kSwatches{D::IDC_FORE_SWATCH, D::IDC_MOUSEOVER_SWATCH, D::IDC_PRESSED_SWATCH};

// Every field of a text setting left alone but the one given.
constexpr short allBut(short field)
{
    return short(CLumvexCtrl::kSkipColor | CLumvexCtrl::kSkipColorMouseOver | CLumvexCtrl::kSkipColorPressed |
                 CLumvexCtrl::kSkipXOffset | CLumvexCtrl::kSkipYOffset | CLumvexCtrl::kSkipEffect |
                 CLumvexCtrl::kSkipEffectFactor | CLumvexCtrl::kSkipAngle) &
           short(~field);
}

} // namespace

CTextSettingsDlg::CTextSettingsDlg(COlePropertyPageEnh* page) : CSettingsDialog(IDD, page) {}

void CTextSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TEXT, m_editText);
    DDX_Control(pDX, IDC_EFFECT, m_comboEffect);
    DDX_Control(pDX, IDC_ANGLE, m_comboAngle);
    DDX_Control(pDX, IDC_X_SPIN, m_spinX);
    DDX_Control(pDX, IDC_Y_SPIN, m_spinY);
    DDX_Control(pDX, IDC_FACTOR_SPIN, m_spinFactor);
    DDX_Control(pDX, IDC_WRAP_SPIN, m_spinWrap);
    DDX_Control(pDX, IDC_PRESSED_CHANGE, m_btnPressed);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_btnHelp);
    DDX_Control(pDX, IDOK, m_btnClose);
    DDX_Control(pDX, IDC_FONT, m_btnFont);
    DDX_Control(pDX, IDC_MOUSEOVER_CHANGE, m_btnMouseOver);
    DDX_Control(pDX, IDC_FORE_CHANGE, m_btnFore);
}

BOOL CTextSettingsDlg::OnInitDialog()
{
    // What the spins write into their buddies is no edit of the user's.
    vb::FlagScope filling(m_bFilling);
    CSettingsDialog::OnInitDialog();
    m_spinX.SetBuddy(GetDlgItem(IDC_X_OFFSET));
    m_spinX.SetRange(-kOffsetLimit, kOffsetLimit);
    m_spinY.SetBuddy(GetDlgItem(IDC_Y_OFFSET));
    m_spinY.SetRange(-kOffsetLimit, kOffsetLimit);
    m_spinFactor.SetBuddy(GetDlgItem(IDC_FACTOR));
    m_spinFactor.SetRange(0, kFactorHigh);
    m_spinWrap.SetBuddy(GetDlgItem(IDC_WRAP));
    m_spinWrap.SetRange(kWrapLow, kWrapHigh);
    FillCombo(m_comboEffect, kEffects);
    FillCombo(m_comboAngle, kAngles);
    CheckRadioButton(kPositionRadios.front(), kPositionRadios.back(), kPositionRadios.front());
    selectPosition(0);
    ApplyEditorLook({&m_btnPressed, &m_btnHelp, &m_btnClose, &m_btnFont, &m_btnMouseOver, &m_btnFore}, true);
    // The text has the focus.
    return FALSE;
}

void CTextSettingsDlg::selectPosition(int position)
{
    vb::FlagScope filling(m_bFilling);
    m_nPosition = position;
    const BOOL caption = position == 0 ? TRUE : FALSE;
    for (int id : {IDC_ANGLE_LABEL, IDC_ANGLE, IDC_CAPTION_GROUP, IDC_WRAP_LABEL, IDC_WRAP, IDC_WRAP_SPIN})
        GetDlgItem(id)->EnableWindow(caption);
    fill();
}

void CTextSettingsDlg::fill()
{
    CLumvexCtrl* first = FirstControl();
    if (!first)
        return;
    const CText& text = first->m_text[std::size_t(m_nPosition)];
    SetDlgItemText(IDC_TEXT, text.GetText());
    m_editText.SetFocus();
    m_editText.SetSel(0, -1);
    m_spinX.SetPos(text.GetXOffset());
    m_spinY.SetPos(text.GetYOffset());
    m_comboAngle.SetCurSel(text.GetAngle());
    m_spinFactor.SetPos(text.GetEffectFactor());
    m_spinWrap.SetPos(first->GetCaptionWordWrapPerc());
    m_comboEffect.SetCurSel(text.GetEffect());
    enableFactor(text.GetEffect());
    m_clrSwatch = {CLumvexCtrl::TranslateOleColor(text.GetForeColor()),
                   CLumvexCtrl::TranslateOleColor(text.GetMouseOverColor()),
                   CLumvexCtrl::TranslateOleColor(text.GetPressedColor())};
    for (int id : kSwatches)
        InvalidateColorSwatch(*this, id);
}

void CTextSettingsDlg::enableFactor(int effect)
{
    const BOOL floating = effect == kFloating ? TRUE : FALSE;
    for (int id : {IDC_FACTOR_LABEL, IDC_FACTOR, IDC_FACTOR_SPIN})
        GetDlgItem(id)->EnableWindow(floating);
}

BOOL CTextSettingsDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (code == win::BN_CLICKED) {
        const auto radio = std::find(kPositionRadios.begin(), kPositionRadios.end(), id);
        if (radio != kPositionRadios.end()) {
            selectPosition(int(radio - kPositionRadios.begin()));
            return TRUE;
        }
    }
    // What the dialog does to its own items while filling them is no edit.
    if (m_bFilling || !m_pPage)
        return CSettingsDialog::OnCommand(wParam, lParam);
    switch (code) {
    case EN_CHANGE:
        switch (id) {
        case IDC_TEXT: onText(); return TRUE;
        case IDC_X_OFFSET:
        case IDC_Y_OFFSET:
        case IDC_FACTOR: onTextSetting(id); return TRUE;
        case IDC_WRAP: onWrap(); return TRUE;
        default: break;
        }
        break;
    case CBN_SELCHANGE:
        if (id == IDC_EFFECT) {
            onEffect();
            return TRUE;
        }
        if (id == IDC_ANGLE) {
            onAngle();
            return TRUE;
        }
        break;
    case win::BN_CLICKED:
        switch (id) {
        case IDC_FORE_CHANGE: onColor(0); return TRUE;
        case IDC_MOUSEOVER_CHANGE: onColor(1); return TRUE;
        case IDC_PRESSED_CHANGE: onColor(2); return TRUE;
        case IDC_FONT: onFont(); return TRUE;
        default: break;
        }
        break;
    default: break;
    }
    return CSettingsDialog::OnCommand(wParam, lParam);
}

template <class Fn>
void CTextSettingsDlg::writeText(Fn&& fn, bool repaint)
{
    const std::size_t position = std::size_t(m_nPosition);
    ForEachControl([&](CLumvexCtrl& c) {
        fn(c, c.m_text[position]);
        if (repaint)
            c.InvalidateControl();
        c.SetModifiedFlag(TRUE);
    });
}

void CTextSettingsDlg::onText()
{
    const CString text = GetDlgItemText(IDC_TEXT);
    writeText([&](CLumvexCtrl& c, CText& t) {
        t.SetText(text);
        // The caption is also the control's stock Caption.
        if (m_nPosition == 0)
            c.SetText(text);
    });
}

void CTextSettingsDlg::onColor(int swatch)
{
    const auto chosen = ChooseSwatchColor(m_clrSwatch[std::size_t(swatch)]);
    if (!chosen)
        return;
    const COLORREF colour = *chosen;
    m_clrSwatch[std::size_t(swatch)] = colour;
    InvalidateColorSwatch(*this, kSwatches[std::size_t(swatch)]);
    // The mouse-over and pressed colours show only in those states: the
    // button as it stands does not change.
    switch (swatch) {
    case 0: writeText([&](CLumvexCtrl&, CText& t) { t.SetForeColor(colour); }); break;
    case 1: writeText([&](CLumvexCtrl&, CText& t) { t.SetMouseOverColor(colour); }, false); break;
    default: writeText([&](CLumvexCtrl&, CText& t) { t.SetPressedColor(colour); }, false); break;
    }
}

void CTextSettingsDlg::onEffect()
{
    const int effect = m_comboEffect.GetCurSel();
    enableFactor(effect);
    if (effect < 0)
        return;
    writeText([&](CLumvexCtrl&, CText& t) { t.SetEffect(short(effect)); });
}

void CTextSettingsDlg::onAngle()
{
    const int angle = m_comboAngle.GetCurSel();
    if (angle < 0)
        return;
    writeText([&](CLumvexCtrl&, CText& t) { t.SetAngle(short(angle)); });
}

void CTextSettingsDlg::onTextSetting(int id)
{
    // The control's own method holds the offsets and the factor to its
    // ranges; it repaints and marks the control modified.
    const int typed = int(GetDlgItemInt(id, nullptr, TRUE));
    const short value = short(std::clamp(typed, SHRT_MIN, SHRT_MAX));
    CLumvexCtrl::TextSettingDesc desc{};
    short field = 0;
    switch (id) {
    case IDC_X_OFFSET:
        desc.xOffset = value;
        field = CLumvexCtrl::kSkipXOffset;
        break;
    case IDC_Y_OFFSET:
        desc.yOffset = value;
        field = CLumvexCtrl::kSkipYOffset;
        break;
    default:
        desc.effectFactor = value;
        field = CLumvexCtrl::kSkipEffectFactor;
        break;
    }
    const short position = short(m_nPosition);
    ForEachControl([&](CLumvexCtrl& c) { c.SetTextSettingOnPos(position, &desc, allBut(field)); });
}

void CTextSettingsDlg::onWrap()
{
    // Through the property's setter, which holds it to 10..100.
    const int typed = int(GetDlgItemInt(IDC_WRAP, nullptr, TRUE));
    const short value = short(std::clamp(typed, SHRT_MIN, SHRT_MAX));
    ForEachControl([&](CLumvexCtrl& c) { c.SetCaptionWordWrapPerc(value); });
}

void CTextSettingsDlg::onFont()
{
    // The first control only.
    CLumvexCtrl* first = FirstControl();
    if (!first)
        return;
    CFontHolder& holder = first->m_font[std::size_t(m_nPosition)];
    HDC screen = GetDC(GetSafeHwnd());
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(GetSafeHwnd(), screen);
    LOGFONT lf{};
    if (!holder.m_pFont || !holder.GetLogFont(&lf, dpi) || dpi <= 0)
        return;
    CFontDialogEnh dialog(&lf, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT, nullptr, this);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.GetCurrentFont(&lf);
    // Whole points: the size goes through the font's dispatch as a short.
    const short points = short(-(lf.lfHeight * 72 / dpi));
    IFont* font = holder.m_pFont;
    font->AddRef();
    if (IDispatch* disp = holder.GetFontDispatch()) {
        SetDispatchPropertyShort(disp, DISPID_FONT_SIZE, points);
        disp->Release();
    }
    font->put_Name(com::Bstr(lf.lfFaceName).Get());
    font->put_Weight(short(lf.lfWeight));
    font->put_Italic(lf.lfItalic ? TRUE : FALSE);
    font->put_Strikethrough(lf.lfStrikeOut ? TRUE : FALSE);
    font->put_Underline(lf.lfUnderline ? TRUE : FALSE);
    font->Release();
}

void CTextSettingsDlg::OnPaint(HDC hdc)
{
    for (std::size_t i = 0; i < kSwatches.size(); ++i)
        PaintColorSwatch(*this, hdc, kSwatches[i], m_clrSwatch[i]);
}
