#pragma once
// "Pictures and animations settings": where the button's picture sits (one
// of nine places and an offset), whether it moves on press, keeps its
// proportions or fits a custom shape, and which colour of it is
// transparent. Values are read from the first bound control; each change
// goes at once to every bound control through the property's setter.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"

#include "platform/mfc/CSpinButtonCtrl.h"

class CPictureSettingsDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 242;
    enum : int {
        IDC_MOVE_ON_PRESS = 274,
        IDC_KEEP_RATIO = 275,
        IDC_FIT_CUSTOM = 276,
        IDC_X_OFFSET = 267,
        IDC_Y_OFFSET = 268,
        IDC_X_SPIN = 269,
        IDC_Y_SPIN = 270,
        // 252 centre, then left top to right bottom row by row: the radio's
        // place in its group is the position's value.
        IDC_POSITION_FIRST = 252,
        IDC_POSITION_LAST = 260,
        IDC_TRANSP_COLOR = 234,
        IDC_TRANSP_PIXEL = 235,
        IDC_SWATCH = 265,
        IDC_CHANGE = 339,
    };

    explicit CPictureSettingsDlg(COlePropertyPageEnh* page);

    int m_nPosition = -1;
    short m_nXOffset = 0;
    short m_nYOffset = 0;
    int m_nTranspMode = -1;
    // The transparent colour the swatch shows.
    COLORREF m_clrTransp = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnPaint(HDC hdc) override;

private:
    void onOffsetChanged(int id);
    void onChangeColor();

    CColorButton m_btnClose;
    CColorButton m_btnChange;
    CColorButton m_btnHelp;
    CSpinButtonCtrl m_spinX;
    CSpinButtonCtrl m_spinY;
};
