#pragma once
// The base of the editor's settings dialogs: each is opened from the
// property page, shows the first bound control's values and writes every
// change to all bound controls at once. It holds the page, the guard that
// keeps change handlers still while the dialog fills its items, the help
// rule and the look the dialogs take when EditProperties opened the editor.

#include "buttonlib/editor/COlePropertyPageEnh.h"

#include "platform/mfc/CComboBox.h"
#include "platform/mfc/CDialog.h"

#include <functional>
#include <initializer_list>
#include <span>

class CColorButton;
class CLumvexCtrl;

class CSettingsDialog : public CDialog {
public:
    // One item of a list: the value it stands for and the id of its text.
    struct ComboItem {
        int value;
        UINT textId;
    };

    static constexpr int IDC_HELP_BUTTON = COlePropertyPageEnh::kHelpButton;
    // A help command some hosts send besides ID_HELP.
    static constexpr int ID_HELP_COMMAND = 32651;

    // The items as "<value> - <text>", in table order (every editor list
    // shows its values this way).
    static void FillCombo(CComboBox& combo, std::span<const ComboItem> items);

protected:
    CSettingsDialog(UINT idTemplate, COlePropertyPageEnh* page);

    // The first bound control, whose values the dialog shows; null when
    // nothing is bound.
    CLumvexCtrl* FirstControl() const;
    // fn for every bound control, in order.
    void ForEachControl(const std::function<void(CLumvexCtrl&)>& fn) const;
    // Whether EditProperties opened the editor on the first control.
    bool EditorOpen() const;

    // The help of this dialog's screen: its link when the host set one,
    // else the host's page (editor open, where the screen has one), else
    // the library's page. "Help...", ID_HELP and F1 all come here.
    void OnHelp() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;

    // The editor-open look: the buttons take the colours EditProperties
    // gave, with bDialogColors the dialog's background and labels too, and
    // the Help button is shown as the host asked.
    void ApplyEditorLook(std::initializer_list<CColorButton*> buttons, bool bDialogColors);
    // The Help button shown or hidden as the host asked.
    void ShowHelpButtonAsAsked();


    COlePropertyPageEnh* m_pPage;
    // Set while the dialog fills its items: what code writes into them is
    // no user's change and is written to no control.
    bool m_bFilling = false;
};
