#pragma once
// SmartTabStrip: a row of keyed tabs with pictures from the strip's own
// picture collection (a tab's hot picture while the mouse is over it).
// Clicking a tab selects it and raises TabClick with its key.

#include "platform/controls/SmartItems.h"
#include "platform/forms/Control.h"

#include <string>
#include <string_view>

class QTabBar;

namespace controls {

class SmartTabStrip : public forms::Control {
public:
    SmartTabStrip(forms::Container& parent, std::string name, int index = -1);

    SmartItems& Tabs() { return tabs_; }
    SmartImages& ListImages() { return images_; }
    // The key of the selected tab; "" while there is none.
    std::string SelectedTab() const;
    // Clicks the tab as the user would.
    void Choose(std::string_view key);

    forms::Event<const std::string&> TabClick;

private:
    void changed();
    void rebuild();

    QTabBar* bar_;
    SmartItems tabs_;
    SmartImages images_;
    bool rebuilding_ = false;
};

} // namespace controls
