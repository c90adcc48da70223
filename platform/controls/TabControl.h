#pragma once
// TabControl: tabs with captions, each with a page of its own controls; only
// the page of the tab in front is shown. Changing the tab — by the user or by
// setting Tab from code — raises Click with the tab that was in front before
// (a handler may set Tab back; that raises Click again).
//   controls::TabControl SSTab1{*this, "SSTab1", -1, 4};
//   forms::TextBox txtStoreName{SSTab1.TabPage(0), "txtStoreName"};
// Positions of a page's controls are measured from the page's top left
// corner, below the row of tabs, in the form's units.

#include "platform/forms/Control.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QTabWidget;

namespace controls {

class TabControl : public forms::Control {
public:
    TabControl(forms::Container& parent, std::string name, int index = -1, int tabs = 3);
    ~TabControl() override;

    // The number of tabs (at least 1, else 380); new tabs have empty captions.
    int Tabs() const { return count_; }
    void SetTabs(int count);
    // The tab in front, from 0; a tab that does not exist raises 380.
    int Tab() const { return current_; }
    void SetTab(int tab);
    std::string TabCaption(int tab) const;
    void SetTabCaption(int tab, std::string_view caption);

    // The container of one tab's controls.
    forms::Container& TabPage(int tab);

    // Hides the control's plain Click: this one passes the previous tab.
    forms::Event<int> Click;

protected:
    bool ClicksOnMouse() const override { return false; }

private:
    class Page;
    void checkTab(int tab) const;
    void userChanged(int index);

    QTabWidget* tabs_;
    std::vector<std::unique_ptr<Page>> pages_;
    int count_ = 0;
    int current_ = 0;
    bool codeChange_ = false;
};

} // namespace controls
