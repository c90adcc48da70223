#pragma once
// Menus: a top-level menu of a form's menu bar, or an item of a menu (an item
// that has items of its own is a submenu). A top-level menu made invisible
// stays usable as a popup menu (Form::PopupMenu). Caption "-" is a separator.

#include "platform/forms/Runtime.h"

#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;

namespace forms {

class Form;

class Menu {
public:
    Menu(Form& form, std::string name, std::string_view caption);
    Menu(Menu& parent, std::string name, std::string_view caption);
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Name() const { return name_; }
    std::string Caption() const;
    void SetCaption(std::string_view caption);
    bool Checked() const;
    void SetChecked(bool checked);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    Event<> Click;

    // The menu's own list of items (for PopupMenu).
    QMenu* PopupWidget() const { return menu_; }

private:
    QMenu* ensureMenu();

    Form& form_;
    Menu* parent_ = nullptr;
    std::string name_;
    QAction* action_ = nullptr;
    QMenu* menu_ = nullptr;
    bool visible_ = true;
};

} // namespace forms
