#pragma once
// "Color settings": the button's thirteen colours, one at a time. The six
// surface colour tables also choose their shading (HLS shades or RGB steps)
// and the gradient factor. Values are read from the first bound control and
// every change goes at once to every bound control.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"

#include "platform/com/Dispatch.h"
#include "platform/mfc/CSpinButtonCtrl.h"

#include <span>

class CColor;
class CLumvexCtrl;

class CColorSettingsDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 32260;
    enum : int {
        IDC_SWATCH = 265,
        IDC_CHANGE = 304,
        IDC_GRADIENT_GROUP = 328,
        IDC_BEST_MATCH = 300,
        IDC_BEST_3D = 301,
        IDC_FACTOR_LABEL = 280,
        IDC_FACTOR = 302,
        IDC_FACTOR_SPIN = 303,
    };

    // One colour item: its radio button and what it addresses on a control,
    // a surface colour table or a colour of its own.
    struct Item {
        int radioId;
        CColor CLumvexCtrl::*table;
        OLE_COLOR (*get)(const CLumvexCtrl&);
        void (*put)(CLumvexCtrl&, COLORREF);
    };
    // By item index: 0 to 5 the tables, 6 to 12 the colours.
    static std::span<const Item> Items();

    explicit CColorSettingsDlg(COlePropertyPageEnh* page);

    // The selected item, the colour the swatch shows, the shading radio
    // (0 HLS shades, 1 RGB steps) and the gradient factor.
    int m_nItem = -1;
    COLORREF m_clrCurrent = 0;
    int m_n3DRendering = -1;
    int m_nGradientFactor = 0;
    // An arrow of the factor moved: the factor's next change is applied.
    BOOL m_bSpinMoved = FALSE;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    BOOL OnNotify(win::WPARAM wParam, win::LPARAM lParam, win::LRESULT* result) override;
    void OnPaint(HDC hdc) override;

private:
    void selectItem(int index);
    void enableFactor();
    void onChangeColor();
    void onRendering(int rendering);
    void onFactorChanged();

    CColorButton m_btnClose;
    CColorButton m_btnChange;
    CColorButton m_btnHelp;
    CSpinButtonCtrl m_spin;
};
