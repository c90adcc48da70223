#include "platform/forms/CommandButton.h"

#include <QPushButton>

namespace forms {

CommandButton::CommandButton(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , button_(new QPushButton(parent.ClientWidget()))
{
    button_->setText(QString::fromStdString(Name()));
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, button_, [this] {
        if (Live())
            detail::Dispatch([this] { Click.Raise(); });
    });
    Attach(button_);
}

std::string CommandButton::Caption() const
{
    return button_->text().toStdString();
}

void CommandButton::SetCaption(std::string_view caption)
{
    button_->setText(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
}

void CommandButton::SetValue(bool value)
{
    if (value)
        Click.Raise();
}

} // namespace forms
