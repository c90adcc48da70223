#pragma once
// SmartMenuBar: a window's menu bar of keyed entries. An entry with entries
// of its own is a menu, at any depth (a submenu opens beside its entry, by
// the mouse or the arrow keys); one without is a command of its own.
// Choosing a command raises ItemClick with its key.
//
//   SmartUI1.Items().Add("FILE", "File").Items().Add("CLOSE", "Close");
//   SmartUI1.Items().Add("HELP", "Help");
//   SmartUI1.ItemClick = [this](const std::string& key) { SmartUI1_ItemClick(key); };

#include "platform/controls/SmartItems.h"
#include "platform/forms/Control.h"

#include <QPointer>

#include <string>
#include <utility>
#include <vector>
#include <string_view>

class QAction;
class QMenuBar;

namespace controls {

class SmartMenuBar : public forms::Control {
public:
    SmartMenuBar(forms::Container& parent, std::string name, int index = -1);

    SmartItems& Items() { return items_; }

    // Chooses the command as the user would (disabled or hidden: nothing).
    void Choose(std::string_view key);

    forms::Event<const std::string&> ItemClick;

private:
    void changed();
    void rebuild();

    QMenuBar* bar_;
    std::vector<QPointer<QObject>> owned_;
    std::vector<std::pair<std::string, QPointer<QAction>>> actions_;
    SmartItems items_;
    bool rebuildPending_ = false;
};

} // namespace controls
