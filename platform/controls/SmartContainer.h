#pragma once
// SmartContainer: an area that holds other controls, as a frame without a
// caption does, and a collection of groups, one per control it hosts. A
// group has a key and the switch Selected; the container's owner marks the
// group it shows as selected and shows or hides the hosted controls itself:
//   controls::SmartContainer SmartUIContainer{*this, "SmartUIContainer"};
//   forms::Frame fraEmail{SmartUIContainer, "fraEmail"};
//   SmartUIContainer.Groups().Add("EMAIL", "", controls::smuiContainerGroup);

#include "platform/controls/SmartItems.h"
#include "platform/forms/Frame.h"

#include <string>

namespace controls {

class SmartContainer : public forms::Frame {
public:
    SmartContainer(forms::Container& parent, std::string name, int index = -1);

    SmartItems& Groups() { return groups_; }
    const SmartItems& Groups() const { return groups_; }
    // The key of the first selected group; "" while none is.
    std::string SelectedGroup() const;

private:
    SmartItems groups_;
};

} // namespace controls
