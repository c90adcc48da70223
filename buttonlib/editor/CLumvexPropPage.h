#pragma once
// The button's property page ("General"): twelve command buttons under
// "What do you want to do?". Nine open a settings dialog, two save or load a
// button template, one repaints the bound buttons. Opened by EditProperties,
// the page takes the caller's colours and place and shows only the buttons
// ShowEditingButtons left visible.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/COlePropertyPageEnh.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

inline constexpr const char* kLumvexPropPageProgId = "LUMVEX.LumvexPropPage.4";
inline constexpr const char* kPropertyPageEnhProgId = "Lumvex.COlePropertyPageEnh";

class CLumvexPropPage : public COlePropertyPageEnh {
    DECLARE_DYNAMIC(CLumvexPropPage)

public:
    static constexpr UINT IDD = 200;
    static constexpr UINT IDS_CAPTION = 200;

    // The page's buttons.
    enum : int {
        IDC_BEHAVIOUR = 319,
        IDC_SHAPE = 318,
        IDC_TEXT = 360,
        IDC_COLORS = 304,
        IDC_PICTURES = 338,
        IDC_GRAPHIC = 315,
        IDC_TEXTURE = 314,
        IDC_SOUNDS = 316,
        IDC_HYPERLINK = 317,
        IDC_SAVE_TEMPLATE = 364,
        IDC_LOAD_TEMPLATE = 365,
        IDC_REFRESH = 307,
    };
    // In the order of the template (and of the tab key).
    static constexpr std::array<int, 12> kButtons{IDC_BEHAVIOUR, IDC_SHAPE,    IDC_TEXT,      IDC_COLORS,
                                                  IDC_PICTURES,  IDC_GRAPHIC,  IDC_TEXTURE,   IDC_SOUNDS,
                                                  IDC_HYPERLINK, IDC_SAVE_TEMPLATE, IDC_LOAD_TEMPLATE, IDC_REFRESH};
    // The button each entry 1 to 12 of the editor's show table governs
    // (entry 0 is the settings dialogs' Help button).
    static constexpr std::array<int, 12> kShowTableButtons{IDC_SHAPE,    IDC_TEXT,          IDC_COLORS,
                                                           IDC_PICTURES, IDC_GRAPHIC,       IDC_TEXTURE,
                                                           IDC_SOUNDS,   IDC_HYPERLINK,     IDC_SAVE_TEMPLATE,
                                                           IDC_LOAD_TEMPLATE, IDC_REFRESH, IDC_BEHAVIOUR};

    CLumvexPropPage();

    // How a settings dialog is run: modally, unless a runner is set (tests
    // drive the live dialog themselves). An empty runner restores DoModal.
    using DialogRunner = std::function<std::intptr_t(CDialog&)>;
    static void SetDialogRunner(DialogRunner runner);
    static std::intptr_t RunDialog(CDialog& dialog);

    // The settings dialog a button opens, made for this page; null for a
    // button whose dialog does not exist (the button then does nothing).
    virtual std::unique_ptr<CDialog> MakeSettingsDialog(int buttonId);

    // The frame's Help button.
    BOOL OnHelp(LPCTSTR lpszHelpDir) override;

    // The colours taken from the control when EditProperties opened the page.
    COLORREF m_clrText = 0;
    COLORREF m_clrBack = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    // ID_HELP and F1.
    void OnHelp() override;

private:
    void openSettingsDialog(int buttonId);
    void saveTemplate();
    void loadTemplate();
    void refreshButtons();

    std::array<CColorButton, 12> m_buttons;
};
