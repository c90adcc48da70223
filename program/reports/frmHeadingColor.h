#pragma once
// "Set report colors": the colours of the report heading and of the report
// rows. Each colour picked is stored at once (only when it differs from the
// stored one) and the report on the report screen is built again with it.

#include "platform/controls/ColorPicker.h"
#include "platform/forms/Forms.h"
#include "program/services/Lumvex.h"

class frmHeadingColor : public forms::FormOf<frmHeadingColor> {
public:
    frmHeadingColor();

    forms::Label Label1{*this, "Label1"};
    controls::ColorPicker cpHeadingColor{*this, "cpHeadingColor"};
    forms::Label Label2{*this, "Label2"};
    controls::ColorPicker cpRowColor{*this, "cpRowColor"};
    // Stands in for the button library's OK button.
    Lumvex Lumvex2{*this, "Lumvex2"};

    void cpHeadingColor_Change(forms::OLE_COLOR color);
    void cpRowColor_Change(forms::OLE_COLOR color);
    void Lumvex2_Click();

protected:
    void Form_Load() override;

private:
    void layOut();
    void colourPicked(forms::OLE_COLOR color, const char* valueName);

    bool loading_ = false;
};
