#include "platform/controls/UpDown.h"

#include <QToolButton>

namespace controls {

UpDown::UpDown(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , box_(new QWidget(parent.ClientWidget()))
    , up_(new QToolButton(box_))
    , down_(new QToolButton(box_))
{
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
    }
    QObject::connect(up_, &QToolButton::clicked, box_, [this] { arrow(true); });
    QObject::connect(down_, &QToolButton::clicked, box_, [this] { arrow(false); });
    Attach(box_);
    // The classic size: 255 x 495 twips (17 x 33 pixels).
    Move(Left(), Top(), 255, 495);
}

void UpDown::GeometryApplied()
{
    const int w = box_->width();
    const int h = box_->height();
    up_->setGeometry(0, 0, w, h / 2);
    down_->setGeometry(0, h / 2, w, h - h / 2);
}

void UpDown::arrow(bool up)
{
    if (!Live() || !Enabled())
        return;
    forms::detail::Dispatch([&] { (up ? UpClick : DownClick).Raise(); });
}

void UpDown::ClickUp()
{
    if (Visible() && Enabled())
        up_->click();
}

void UpDown::ClickDown()
{
    if (Visible() && Enabled())
        down_->click();
}

} // namespace controls
