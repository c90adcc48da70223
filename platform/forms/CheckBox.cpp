#include "platform/forms/CheckBox.h"

#include <QCheckBox>

namespace forms {

namespace {
// A click goes between unticked and ticked; grey is set by code only.
class TwoStateCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};
} // namespace

CheckBox::CheckBox(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , box_(new TwoStateCheckBox(parent.ClientWidget()))
{
    box_->setText(QString::fromStdString(Name()));
    box_->setAutoFillBackground(true);
    QObject::connect(box_, &QCheckBox::clicked, box_, [this] {
        if (Live())
            detail::Dispatch([this] { Click.Raise(); });
    });
    Attach(box_);
    Control::SetBackColor(vbButtonFace);
}

std::string CheckBox::Caption() const
{
    return box_->text().toStdString();
}

void CheckBox::SetCaption(std::string_view caption)
{
    box_->setText(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
}

int CheckBox::Value() const
{
    switch (box_->checkState()) {
    case Qt::Checked: return vbChecked;
    case Qt::PartiallyChecked: return vbGrayed;
    default: return vbUnchecked;
    }
}

void CheckBox::SetValue(int value)
{
    if (value < 0 || value > 2)
        vb::Raise(vb::kErrInvalidProperty);
    if (value == Value())
        return;
    box_->setCheckState(value == vbChecked ? Qt::Checked : value == vbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    Click.Raise();
}

} // namespace forms
