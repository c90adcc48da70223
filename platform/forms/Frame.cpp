#include "platform/forms/Frame.h"

#include <QGroupBox>

namespace forms {

Frame::Frame(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , box_(new QGroupBox(parent.ClientWidget()))
{
    box_->setTitle(QString::fromStdString(Name()));
    Attach(box_);
}

std::string Frame::Caption() const
{
    return box_->title().toStdString();
}

void Frame::SetCaption(std::string_view caption)
{
    box_->setTitle(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
}

QWidget* Frame::ClientWidget() const
{
    return box_;
}

} // namespace forms
