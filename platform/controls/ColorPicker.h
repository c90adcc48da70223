#pragma once
// ColorPicker: a swatch button that holds one colour. A click on it opens the
// colour dialog (forms::Dialogs().ChooseColor) from the colour held; a colour
// chosen there becomes the picker's colour and raises ColorChanged with it.
// Cancel, or choosing the colour already held, changes nothing and raises
// nothing. Setting Color from code raises no event: a window that fills its
// pickers while it loads does not hear its own values back.
//
//   controls::ColorPicker ColorPicker1{*this, "ColorPicker1"};
//   ColorPicker1.ColorChanged = [this](forms::OLE_COLOR c) { ColorPicker1_ColorChanged(c); };
//   ColorPicker1.SetColor(0x808000);

#include "platform/forms/Color.h"
#include "platform/forms/Control.h"

class QToolButton;

namespace controls {

class ColorPicker : public forms::Control {
public:
    ColorPicker(forms::Container& parent, std::string name, int index = -1);

    // An OLE colour &HBBGGRR, or a system colour &H800000nn (shown as the
    // palette resolves it).
    forms::OLE_COLOR Color() const { return color_; }
    void SetColor(forms::OLE_COLOR color);

    // Clicks the swatch as the user would (nothing while disabled or hidden).
    void Choose();

    forms::Event<forms::OLE_COLOR> ColorChanged;

protected:
    bool ClicksOnMouse() const override { return false; }
    void GeometryApplied() override;

private:
    void clicked();
    void paintSwatch();

    QToolButton* button_;
    forms::OLE_COLOR color_ = forms::vbBlack;
};

} // namespace controls
