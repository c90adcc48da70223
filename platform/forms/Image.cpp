#include "platform/forms/Image.h"

#include <QLabel>

namespace forms {

Image::Image(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , label_(new QLabel(parent.ClientWidget()))
{
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Attach(label_);
}

void Image::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    label_->setPixmap(picture);
    // Without Stretch the control takes the picture's size.
    if (!stretch_ && !picture.isNull())
        Move(Left(), Top(), picture.width() * 15.0 / Parent().TwipsPerUnit(),
             picture.height() * 15.0 / Parent().TwipsPerUnit());
}

void Image::SetStretch(bool stretch)
{
    stretch_ = stretch;
    label_->setScaledContents(stretch);
}

} // namespace forms
