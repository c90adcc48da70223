#include "platform/controls/SmartContainer.h"

namespace controls {

SmartContainer::SmartContainer(forms::Container& parent, std::string name, int index)
    : Frame(parent, std::move(name), index)
    , groups_([] {})
{
    SetCaption("");
}

std::string SmartContainer::SelectedGroup() const
{
    for (const auto& g : groups_)
        if (g->Selected())
            return g->Key();
    return {};
}

} // namespace controls
