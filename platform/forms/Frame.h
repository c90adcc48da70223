#pragma once
// Frame: a captioned box that holds other controls (positions inside it use
// the form's units).

#include "platform/forms/Control.h"

class QGroupBox;

namespace forms {

class Frame : public Control, public Container {
public:
    Frame(Container& parent, std::string name, int index = -1);

    std::string Caption() const;
    void SetCaption(std::string_view caption);

    QWidget* ClientWidget() const override;
    double TwipsPerUnit() const override { return Parent().TwipsPerUnit(); }
    Form& ParentForm() override { return Parent().ParentForm(); }
    void PreviewKeyDown(int& keyCode, int& shift) override { Parent().PreviewKeyDown(keyCode, shift); }
    void PreviewKeyPress(int& keyAscii) override { Parent().PreviewKeyPress(keyAscii); }
    void PreviewKeyUp(int& keyCode, int& shift) override { Parent().PreviewKeyUp(keyCode, shift); }

protected:
    bool ConsumesMouse() const override { return true; }

private:
    QGroupBox* box_;
};

} // namespace forms
