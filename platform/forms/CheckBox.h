#pragma once
// CheckBox: Value 0 unticked, 1 ticked, 2 grey. A change of Value, from code
// or by the user, raises Click.

#include "platform/forms/Control.h"

class QCheckBox;

namespace forms {

enum : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

class CheckBox : public Control {
public:
    CheckBox(Container& parent, std::string name, int index = -1);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    int Value() const;
    // Raises 380 for a value other than 0, 1 and 2.
    void SetValue(int value);

protected:
    bool ClicksOnMouse() const override { return false; }

private:
    QCheckBox* box_;
};

} // namespace forms
