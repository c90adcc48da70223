#pragma once
// SmartContainer: a framed area that holds other controls, and a collection
// of groups, one per control it hosts. A group has a key and the switch
// Selected; the container's owner marks the group it shows as selected and
// shows or hides the hosted controls itself. Controls are placed on the
// container as on a frame:
//   controls::SmartContainer SmartUIContainer{*this, "SmartUIContainer"};
//   forms::Frame fraEmail{SmartUIContainer, "fraEmail"};
//   SmartUIContainer.Groups().Add("EMAIL", "", controls::smuiContainerGroup);

#include "platform/controls/SmartItems.h"
#include "platform/forms/Control.h"

#include <string>

class QFrame;

namespace controls {

class SmartContainer : public forms::Control, public forms::Container {
public:
    SmartContainer(forms::Container& parent, std::string name, int index = -1);

    SmartItems& Groups() { return groups_; }
    const SmartItems& Groups() const { return groups_; }
    // The key of the first selected group; "" while none is.
    std::string SelectedGroup() const;

    QWidget* ClientWidget() const override;
    double TwipsPerUnit() const override { return Parent().TwipsPerUnit(); }
    forms::Form& ParentForm() override { return Parent().ParentForm(); }
    void PreviewKeyDown(int& keyCode, int& shift) override { Parent().PreviewKeyDown(keyCode, shift); }
    void PreviewKeyPress(int& keyAscii) override { Parent().PreviewKeyPress(keyAscii); }
    void PreviewKeyUp(int& keyCode, int& shift) override { Parent().PreviewKeyUp(keyCode, shift); }

protected:
    bool ConsumesMouse() const override { return true; }

private:
    QFrame* frame_;
    SmartItems groups_;
};

} // namespace controls
