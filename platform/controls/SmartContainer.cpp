#include "platform/controls/SmartContainer.h"

#include <QFrame>

namespace controls {

SmartContainer::SmartContainer(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , frame_(new QFrame(parent.ClientWidget()))
    , groups_([] {})
{
    frame_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Attach(frame_);
}

std::string SmartContainer::SelectedGroup() const
{
    for (const auto& g : groups_)
        if (g->Selected())
            return g->Key();
    return {};
}

QWidget* SmartContainer::ClientWidget() const
{
    return frame_;
}

} // namespace controls
