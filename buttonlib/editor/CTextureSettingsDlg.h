#pragma once
// The texture of the buttons: the texture picture (browsed, downloaded or
// cleared) with its preview, how it is applied, the bevel, the light
// intensity, and the colour mixed into it with its percentage. Every change
// goes to every bound control at once; Close checks the two percentages
// and ends the dialog.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"
#include "buttonlib/editor/MediaSlot.h"

#include "platform/mfc/CSpinButtonCtrl.h"

class CTextureSettingsDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 243;
    enum : int {
        IDC_SWATCH = 265,
        IDC_MODE = 336,
        IDC_LIGHT_INTENSITY = 337,
        IDC_BEVEL_FACTOR = 338,
        IDC_CHANGE = 339,
        IDC_MIX_PERCENTAGE = 341,
        IDC_LIGHT_SPIN = 342,
        IDC_MIX_SPIN = 343,
    };
    static constexpr UINT IDS_TEXTURE_FILTER = 107;

    explicit CTextureSettingsDlg(COlePropertyPageEnh* page);
    ~CTextureSettingsDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnPaint(HDC hdc) override;
    void OnDestroy() override;
    win::LRESULT OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam) override;

private:
    void onPercentageChanged(int id);
    void onChangeColor();

    int m_nMixPerc = 0;
    int m_nLightPerc = 0;
    COLORREF m_clrMix = 0;
    CComboBox m_mode;
    CComboBox m_bevel;
    CSpinButtonCtrl m_spinLight;
    CSpinButtonCtrl m_spinMix;
    CColorButton m_help;
    CColorButton m_internet;
    CColorButton m_clear;
    CColorButton m_browse;
    CColorButton m_close;
    CColorButton m_change;
    MediaSlot m_texture;
};
