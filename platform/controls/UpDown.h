#pragma once
// UpDown: a pair of arrow buttons, one above the other. A click on the upper
// arrow raises UpClick, on the lower one DownClick; the control keeps no
// value of its own (its owner steps whatever the arrows stand for, often
// through Tag).

#include "platform/forms/Control.h"

class QToolButton;

namespace controls {

class UpDown : public forms::Control {
public:
    UpDown(forms::Container& parent, std::string name, int index = -1);

    // Clicks an arrow as the user would (nothing while disabled or hidden).
    void ClickUp();
    void ClickDown();

    forms::Event<> UpClick;
    forms::Event<> DownClick;

protected:
    bool ClicksOnMouse() const override { return false; }
    void GeometryApplied() override;

private:
    void arrow(bool up);

    QWidget* box_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace controls
