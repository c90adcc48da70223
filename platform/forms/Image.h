#pragma once
// Image: shows a picture, at its own size or stretched to the control.

#include "platform/forms/Control.h"

#include <QPixmap>

class QLabel;

namespace forms {

class Image : public Control {
public:
    Image(Container& parent, std::string name, int index = -1);

    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

protected:
    bool ConsumesMouse() const override { return true; }

private:
    QLabel* label_;
    QPixmap picture_;
    bool stretch_ = false;
};

} // namespace forms
