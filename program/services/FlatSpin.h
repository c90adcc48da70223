#pragma once
// The flat spin box ("Tallyvane.FlatSpin"): a flat numeric entry box with two
// painted step buttons (up/down arrows, plus/minus, or left/right arrows).
// The value stays between Min and Max, shows through a pattern of integer
// digits and decimal places in the user's decimal separator, steps by 1 with
// the arrow keys and the buttons, and repeats while a button is held down
// and the mouse stays still.

#include "platform/forms/Forms.h"
#include "platform/win/Cursor.h"

#include <QPoint>

#include <string>
#include <vector>

class FlatSpin : public forms::UserControl {
public:
    FlatSpin(forms::Container& parent, std::string name, int index = -1);
    ~FlatSpin() override;

    forms::TextBox Text1{*this, "Text1"};
    forms::Timer Timer1{*this, "Timer1"}; // auto-repeat: 500 ms, then every 50 ms
    forms::Timer Timer2{*this, "Timer2"}; // the first step of a held button, at 100 ms

    bool Border() const { return BorderStyle() == 1; }
    void SetBorder(bool border);
    QFont Font() const;
    void SetFont(const QFont& font) override;
    long ColorMode() const { return colorMode_; }
    void SetColorMode(long mode);
    void SetMouseIcon(const QPixmap& icon);
    long MousePointer() const { return mousePointer_; }
    void SetMousePointer(long pointer);
    void SetEnabled(bool enabled) override;
    // Reading clamps the stored value into Min..Max and keeps the result.
    // Neither reading nor setting raises Change.
    double Value();
    void SetValue(double value);
    long Style() const { return style_; }
    void SetStyle(long style);
    double Min() const { return min_; }
    void SetMin(double value);
    double Max() const { return max_; }
    void SetMax(double value);
    long Digits() const { return digits_; }
    void SetDigits(long digits);
    long Places() const { return places_; }
    void SetPlaces(long places);
    std::string CreateFormat(long Digits, long Places) const;

    // The value's text as the box shows it.
    std::string FormatValue(double value) const;
    const std::string& DecimalSeparator() const { return decimalSeparator_; }

    forms::Event<> Change;
    forms::Event<long> PointerMove; // Pointer
    // KeyDown, KeyPress and KeyUp are the members of forms::Control, and so
    // is LostFocus, raised when the focus leaves the box for another control.

protected:
    void UserControl_Initialize() override;
    void UserControl_Resize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_KeyDown(int& KeyCode, int& Shift) override;
    void UserControl_KeyPress(int& KeyAscii) override;
    void UserControl_KeyUp(int& KeyCode, int& Shift) override;
    void UserControl_ExitFocus() override;
    void UserControl_MouseDown(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseUp(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;
    void UserControl_DblClick() override;

private:
    void ReadDecimalSeparator();
    void ShowValue();
    void ParseText();
    void LayoutSpin();
    void ComputeGlyphs();
    void RedrawSpin();
    void DrawSpinBackground();
    void DrawUpDown(forms::OLE_COLOR color);
    void DrawPlusMinus(forms::OLE_COLOR plus, forms::OLE_COLOR minus);
    void DrawLeftRight(forms::OLE_COLOR color);
    // +1, -1, or 0 outside the buttons (x, y in twips).
    int StepZone(double x, double y) const;
    void Step(int direction);

    void Text1_KeyDown(int& KeyCode, int& Shift);
    void Text1_KeyPress(int& KeyAscii);
    void Text1_KeyUp(int& KeyCode, int& Shift);
    void Timer1_Timer();
    void Timer2_Timer();

    win::POINTAPI recordedCursor_;
    long mousePointer_ = 0;
    long colorMode_ = 0;
    long style_ = 0;
    long buttonEdge_ = 0;
    long wideButtonEdge_ = 0;
    long middle_ = 0;
    double value_ = 0;
    double min_ = -2147483647.0;
    double max_ = 2147483647.0;
    long digits_ = 0;
    long places_ = 0;
    std::string decimalSeparator_ = ".";
    std::string format_ = "0";
    std::vector<QPoint> upArrow_, downArrow_, leftArrow_, rightArrow_, plus_, minus_;
    std::vector<int> upCounts_, downCounts_, leftCounts_, rightCounts_, plusCounts_, minusCounts_;
    float downX_ = 0, downY_ = 0;
    int downButton_ = 0, downShift_ = 0;
};
