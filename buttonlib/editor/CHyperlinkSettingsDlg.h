#pragma once
// The address the buttons open when clicked. Close (or Enter) gives every
// bound control the text; Escape and the close box leave them as they were.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"

#include "platform/mfc/CEdit.h"

class CHyperlinkSettingsDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 241;
    static constexpr int IDC_HYPERLINK = 291;

    explicit CHyperlinkSettingsDlg(COlePropertyPageEnh* page);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnOK() override;

private:
    CEdit m_edit;
    CColorButton m_close;
    CColorButton m_help;
};
