#pragma once
// "Text Settings": the button's nine texts, the caption and the eight
// around it, one position at a time: content, font, offsets, colours,
// effect and angle, and the caption's word-wrap percentage. Values are read
// from the first bound control and every change goes at once to every bound
// control, except the font, which only the first control takes.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"

#include "platform/mfc/CComboBox.h"
#include "platform/mfc/CEdit.h"
#include "platform/mfc/CSpinButtonCtrl.h"

#include <array>

class CLumvexCtrl;

class CTextSettingsDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 215;
    enum : int {
        IDC_TEXT = 238,
        IDC_FONT = 362,
        IDC_X_OFFSET = 267,
        IDC_Y_OFFSET = 268,
        IDC_X_SPIN = 269,
        IDC_Y_SPIN = 270,
        IDC_FORE_SWATCH = 205,
        IDC_FORE_CHANGE = 202,
        IDC_MOUSEOVER_SWATCH = 208,
        IDC_MOUSEOVER_CHANGE = 209,
        IDC_PRESSED_SWATCH = 211,
        IDC_PRESSED_CHANGE = 212,
        IDC_EFFECT = 279,
        IDC_FACTOR_LABEL = 280,
        IDC_FACTOR = 271,
        IDC_FACTOR_SPIN = 272,
        IDC_CAPTION_GROUP = 361,
        IDC_ANGLE_LABEL = 281,
        IDC_ANGLE = 210,
        IDC_WRAP_LABEL = 359,
        IDC_WRAP = 273,
        IDC_WRAP_SPIN = 274,
    };
    // The position radios in group order: the caption, then left top to
    // right bottom.
    static constexpr std::array<int, 9> kPositionRadios{257, 355, 356, 357, 358, 258, 259, 260, 261};
    // The effect that has a factor.
    static constexpr int kFloating = 3;

    explicit CTextSettingsDlg(COlePropertyPageEnh* page);

    // The position shown (0 the caption, 1 to 8 the others).
    int m_nPosition = 0;
    // The swatches: foreground, mouse-over and pressed colours.
    std::array<COLORREF, 3> m_clrSwatch{};

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnPaint(HDC hdc) override;

private:
    void selectPosition(int position);
    void fill();
    void enableFactor(int effect);
    void onText();
    void onColor(int swatch);
    void onEffect();
    void onAngle();
    void onTextSetting(int id);
    void onWrap();
    void onFont();
    // Writes to every control's text of the position; repaints and marks
    // each control modified.
    template <class Fn>
    void writeText(Fn&& fn, bool repaint = true);

    CEdit m_editText;
    CComboBox m_comboEffect;
    CComboBox m_comboAngle;
    CSpinButtonCtrl m_spinX;
    CSpinButtonCtrl m_spinY;
    CSpinButtonCtrl m_spinFactor;
    CSpinButtonCtrl m_spinWrap;
    CColorButton m_btnPressed;
    CColorButton m_btnHelp;
    CColorButton m_btnClose;
    CColorButton m_btnFont;
    CColorButton m_btnMouseOver;
    CColorButton m_btnFore;
};
