#pragma once
// OptionButton: one of a group (the option buttons of one container); setting
// Value True clears the others and raises Click, as a user's choice does.

#include "platform/forms/Control.h"

class QRadioButton;

namespace forms {

class OptionButton : public Control {
public:
    OptionButton(Container& parent, std::string name, int index = -1);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    bool Value() const;
    void SetValue(bool value);

protected:
    bool ClicksOnMouse() const override { return false; }

private:
    QRadioButton* button_;
};

} // namespace forms
