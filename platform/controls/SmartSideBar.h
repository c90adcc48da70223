#pragma once
// SmartSideBar: a column of groups, each a header the user clicks, that shows
// one SmartPanel under the headers: the panel named by the chosen group's
// value ("smuiPanel(1)"). Panels are placed in the side bar as their
// container:
//   controls::SmartSideBar smuiOptions{*this, "smuiOptions"};
//   forms::ControlArray<controls::SmartPanel> smuiPanel{smuiOptions, "smuiPanel", {0, 1}};
//   smuiOptions.Groups().Add("LAUNCH", "Toolbar", controls::smuiGroup);
//   smuiOptions.Groups().Item(0).SetValue("smuiPanel(0)");
// Clicking a group's header shows its panel, then raises ItemClick with the
// group's key. A caption, when given, stands in a band above the headers.

#include "platform/controls/SmartItems.h"
#include "platform/forms/Control.h"

#include <string>
#include <string_view>
#include <vector>

namespace controls {

class SideBarWidget;
class SmartPanel;

class SmartSideBar : public forms::Control, public forms::Container {
public:
    SmartSideBar(forms::Container& parent, std::string name, int index = -1);
    ~SmartSideBar() override;

    SmartItems& Groups() { return groups_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view caption);
    // The group whose panel is shown; -1 while there is none.
    int SelectedGroup() const { return selected_; }
    // Shows the group's panel as a click does, without raising ItemClick.
    void SelectGroup(int index);
    // The panel on show, or nullptr.
    SmartPanel* ShownPanel() const;

    // Clicks the group's header as the user would.
    void Choose(std::string_view key);

    forms::Event<const std::string&> ItemClick;

    QWidget* ClientWidget() const override;
    double TwipsPerUnit() const override { return Parent().TwipsPerUnit(); }
    forms::Form& ParentForm() override { return Parent().ParentForm(); }

private:
    friend class SmartPanel;
    friend class SideBarWidget;
    void attach(SmartPanel& panel);
    void detach(SmartPanel& panel);
    void changed();
    void layout();
    void headerClicked(const std::string& key);

    SideBarWidget* widget_;
    SmartItems groups_;
    std::vector<SmartPanel*> panels_;
    std::string caption_;
    int selected_ = -1;
};

} // namespace controls
