#pragma once
// CommandButton: a push button that raises Click.

#include "platform/forms/Control.h"

class QPushButton;

namespace forms {

class CommandButton : public Control {
public:
    CommandButton(Container& parent, std::string name, int index = -1);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    // Setting Value True clicks the button from code.
    void SetValue(bool value);

protected:
    bool ClicksOnMouse() const override { return false; }

private:
    QPushButton* button_;
};

} // namespace forms
