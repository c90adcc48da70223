#pragma once
// SmartPanel: a list of keyed entries, each with a caption, a picture from the
// panel's own picture collection, a tool tip, a heading or separator look, and
// a selected state. Clicking an entry raises ItemClick with its key; a list
// entry (kind smuiListItem) becomes the selected one first.
//
// Placed in a SmartSideBar, a panel is shown when the group whose value names
// it ("smuiPanel(0)") is chosen.

#include "platform/controls/SmartItems.h"
#include "platform/forms/Control.h"

#include <QPointF>

#include <string>
#include <string_view>

class QScrollArea;

namespace controls {

class PanelCanvas;
class SmartSideBar;

class SmartPanel : public forms::Control {
public:
    SmartPanel(forms::Container& parent, std::string name, int index = -1);
    ~SmartPanel() override;

    SmartItems& Items() { return items_; }
    SmartImages& ListImages() { return images_; }

    // The name a side-bar group's value uses: "smuiPanel(0)", or the name of
    // a panel that is not in an array.
    std::string BoundName() const;

    // The height (twips) that shows that many entries (not headings or
    // separators) whole with the panel's font and pictures, without scrolling.
    double HeightFor(int entries) const;

    // Clicks the entry as the user would (hidden, disabled, heading or
    // separator: nothing).
    void Choose(std::string_view key);
    // Presses a mouse button (vbLeftButton, vbRightButton...) over the entry
    // as the user would: ItemPress, then MouseDown; a left press is followed
    // by the release that clicks it.
    void Press(std::string_view key, int button);

    forms::Event<const std::string&> ItemClick;
    // A button went down over an entry (any button, before MouseDown; the
    // entry is not selected by it).
    forms::Event<const std::string&> ItemPress;

protected:
    void GeometryApplied() override { changed(); }

private:
    friend class PanelCanvas;
    friend class SmartSideBar;
    void changed();
    // The entries' area sized to them, and drawn.
    void relayout();
    void clicked(int index);
    void pressed(int index, int button, int shift, QPointF pos);

    QScrollArea* area_;
    PanelCanvas* canvas_;
    SmartItems items_;
    SmartImages images_;
    SmartSideBar* sideBar_ = nullptr;
    bool relayoutPending_ = false;
};

} // namespace controls
