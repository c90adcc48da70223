#pragma once
// How the buttons behave: push button, check box or radio button, and how
// they show the focus. A choice goes to every bound control at once; when
// EditProperties opened the editor the choices are shown but cannot be
// changed.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"

class CBehaviourSettingsDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 32263;
    static constexpr int IDC_FOCUS_MODE = 210;
    static constexpr int IDC_STYLE = 211;
    static constexpr int IDC_CLOSE = 311;

    explicit CBehaviourSettingsDlg(COlePropertyPageEnh* page);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;

private:
    CComboBox m_style;
    CComboBox m_focusMode;
    CColorButton m_close;
    CColorButton m_help;
};
