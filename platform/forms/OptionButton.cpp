#include "platform/forms/OptionButton.h"

#include <QRadioButton>

namespace forms {

OptionButton::OptionButton(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , button_(new QRadioButton(parent.ClientWidget()))
{
    button_->setText(QString::fromStdString(Name()));
    button_->setAutoFillBackground(true);
    QObject::connect(button_, &QRadioButton::clicked, button_, [this] {
        if (Live())
            detail::Dispatch([this] { Click.Raise(); });
    });
    Attach(button_);
    Control::SetBackColor(vbButtonFace);
}

std::string OptionButton::Caption() const
{
    return button_->text().toStdString();
}

void OptionButton::SetCaption(std::string_view caption)
{
    button_->setText(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
}

bool OptionButton::Value() const
{
    return button_->isChecked();
}

void OptionButton::SetValue(bool value)
{
    if (value == Value())
        return;
    if (!value) {
        // Qt keeps one of an exclusive group ticked; step outside it.
        button_->setAutoExclusive(false);
        button_->setChecked(false);
        button_->setAutoExclusive(true);
        return;
    }
    button_->setChecked(true);
    Click.Raise();
}

} // namespace forms
