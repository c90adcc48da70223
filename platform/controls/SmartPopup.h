#pragma once
// SmartPopup: keyed popup menus with command entries, headings and pictures
// from the control's own picture collection, popped up at a screen position.
// The control has no window of its own on its form. Choosing an entry raises
// ItemClick with its key.
//
//   SmartPopup.Menus().Clear();
//   auto& menu = SmartPopup.Menus().Add("POPUP", "", controls::smuiMenuPopup);
//   menu.Items().Add("ABOUT", "About Tallyvane");
//   menu.Items().Add("", "Quit", controls::smuiHeadingItem);
//   SmartPopup.PopupMenu("POPUP", x, y);

#include "platform/controls/SmartItems.h"
#include "platform/forms/Runtime.h"

#include <QPointer>

#include <string>
#include <string_view>

class QMenu;

namespace forms {
class Container;
}

namespace controls {

class SmartPopup {
public:
    SmartPopup(forms::Container& parent, std::string name);
    ~SmartPopup();
    SmartPopup(const SmartPopup&) = delete;
    SmartPopup& operator=(const SmartPopup&) = delete;

    const std::string& Name() const { return name_; }
    SmartItems& Menus() { return menus_; }
    SmartImages& ListImages() { return images_; }

    // The width of the widest menu in twips, as it would be shown.
    double Width() const;
    // Shows the menu with its bottom left corner towards (x, y), in screen
    // twips, kept on the screen, and returns at once; the choice arrives
    // through ItemClick. Raises 35601 for a menu key that is not there.
    void PopupMenu(std::string_view key, double x, double y);
    // The menu on show, or nullptr (tests choose from it).
    QMenu* ShownMenu() const;

    forms::Event<const std::string&> ItemClick;

private:
    QMenu* build(const SmartItem& menu) const;

    forms::Container& parent_;
    std::string name_;
    SmartItems menus_;
    SmartImages images_;
    QPointer<QMenu> shown_;
};

} // namespace controls
