#include "program/services/FlatSpin.h"

#include "platform/basic/App.h"
#include "platform/basic/Format.h"
#include "platform/basic/Strings.h"

#include <QLocale>

namespace {

using forms::OLE_COLOR;

long clng(double d)
{
    return static_cast<long>(vb::RoundHalfEven(d));
}

std::string replaceAll(std::string s, std::string_view from, std::string_view to)
{
    if (from.empty() || from == to)
        return s;
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

} // namespace

FlatSpin::FlatSpin(forms::Container& parent, std::string name, int index)
    : UserControl(parent, std::move(name), index)
{
    SetBackColor(forms::vbWindowBackground);
    SetKeyPreview(true);
    Text1.KeyDown = [this](int& KeyCode, int& Shift) { Text1_KeyDown(KeyCode, Shift); };
    Text1.KeyPress = [this](int& KeyAscii) { Text1_KeyPress(KeyAscii); };
    Text1.KeyUp = [this](int& KeyCode, int& Shift) { Text1_KeyUp(KeyCode, Shift); };
    Text1.GotFocus = [this] { ShowValue(); };
    Text1.LostFocus = [this] { ShowValue(); };
    Text1.MouseMove = [this](int, int, float, float) {
        forms::Control::SetMousePointer(forms::vbDefault);
        PointerMove.Raise(forms::Control::MousePointer());
    };
    Timer1.SetEnabled(false);
    Timer2.SetEnabled(false);
    Timer2.SetInterval(100);
    Timer1.Tick = [this] { Timer1_Timer(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
    Initialize();
}

FlatSpin::~FlatSpin()
{
    Terminate();
}

void FlatSpin::UserControl_Initialize()
{
    ReadDecimalSeparator();
    ComputeGlyphs();
    RedrawSpin();
}

void FlatSpin::UserControl_Resize()
{
    LayoutSpin();
}

void FlatSpin::UserControl_InitProperties()
{
    SetColorMode(0);
    SetEnabled(true);
    SetFont(Ambient().Font);
    SetMousePointer(0);
    SetDigits(0);
    SetMax(2147483647.0);
    SetMin(-2147483647.0);
    SetPlaces(0);
    SetStyle(0);
    SetValue(0);
    SetBorderStyle(1);
    SetBorder(true);
    SetKeyPreview(true);
    LayoutSpin();
}

void FlatSpin::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    using forms::VariantValue;
    vb::ResumeNext step;
    auto read = [&](const char* key, vb::Variant def) { return VariantValue(PropBag.ReadProperty(key, def)); };
    step([&] { SetColorMode(vb::CLng(read("ColorMode", 0))); });
    step([&] { SetEnabled(vb::CBool(read("Enabled", true))); });
    step([&] { SetFont(forms::FontValue(PropBag.ReadProperty("Font"))); });
    step([&] { SetMouseIcon(forms::PictureValue(PropBag.ReadProperty("MouseIcon"))); });
    step([&] { SetMousePointer(vb::CLng(read("MousePointer", 0))); });
    step([&] { SetDigits(vb::CLng(read("Digits", 0))); });
    step([&] { SetMax(vb::CDbl(read("Max", 2147483647.0))); });
    step([&] { SetMin(vb::CDbl(read("Min", -2147483647.0))); });
    step([&] { SetPlaces(vb::CLng(read("Places", 0))); });
    step([&] { SetStyle(vb::CLng(read("Style", 0))); });
    step([&] { SetValue(vb::CDbl(read("Value", 0))); });
    step([&] { SetBorder(vb::CBool(read("Border", true))); });
    LayoutSpin();
}

void FlatSpin::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    vb::ResumeNext step;
    step([&] { PropBag.WriteProperty("ColorMode", vb::Variant(colorMode_), vb::Variant(0)); });
    step([&] { PropBag.WriteProperty("Enabled", vb::Variant(Enabled()), vb::Variant(true)); });
    step([&] { PropBag.WriteProperty("Font", Font()); });
    step([&] { PropBag.WriteProperty("MouseIcon", UserControl::MouseIcon()); });
    step([&] { PropBag.WriteProperty("MousePointer", vb::Variant(mousePointer_), vb::Variant(0)); });
    step([&] { PropBag.WriteProperty("Digits", vb::Variant(digits_), vb::Variant(0)); });
    step([&] { PropBag.WriteProperty("Max", vb::Variant(max_), vb::Variant(2147483647.0)); });
    step([&] { PropBag.WriteProperty("Min", vb::Variant(min_), vb::Variant(-2147483647.0)); });
    step([&] { PropBag.WriteProperty("Places", vb::Variant(places_), vb::Variant(0)); });
    step([&] { PropBag.WriteProperty("Style", vb::Variant(style_), vb::Variant(0)); });
    step([&] { PropBag.WriteProperty("Value", vb::Variant(value_), vb::Variant(0.0)); });
    step([&] { PropBag.WriteProperty("Border", vb::Variant(Border()), vb::Variant(true)); });
}

// --- Public members ---

void FlatSpin::SetBorder(bool border)
{
    SetBorderStyle(border ? 1 : 0);
    PropertyChanged("Border");
    Refresh();
}

QFont FlatSpin::Font() const
{
    return Text1.Font();
}

void FlatSpin::SetFont(const QFont& font)
{
    Text1.SetFont(font);
    PropertyChanged("Font");
    LayoutSpin();
}

void FlatSpin::SetColorMode(long mode)
{
    colorMode_ = mode;
    PropertyChanged("ColorMode");
    RedrawSpin();
}

void FlatSpin::SetMouseIcon(const QPixmap& icon)
{
    UserControl::SetMouseIcon(icon);
    PropertyChanged("MouseIcon");
}

void FlatSpin::SetMousePointer(long pointer)
{
    mousePointer_ = pointer;
    forms::Control::SetMousePointer(static_cast<int>(pointer));
    Text1.SetMousePointer(forms::vbIbeam);
    PropertyChanged("MousePointer");
}

void FlatSpin::SetEnabled(bool enabled)
{
    forms::Control::SetEnabled(enabled);
    Text1.SetEnabled(enabled);
    PropertyChanged("Enabled");
    RedrawSpin();
}

double FlatSpin::Value()
{
    if (value_ < min_)
        value_ = min_;
    if (value_ > max_)
        value_ = max_;
    return value_;
}

void FlatSpin::SetValue(double value)
{
    value_ = value;
    if (value < min_)
        value_ = min_;
    if (value_ > max_)
        value_ = max_;
    PropertyChanged("Value");
    ShowValue();
}

void FlatSpin::SetStyle(long style)
{
    style_ = style;
    PropertyChanged("Style");
    RedrawSpin();
}

void FlatSpin::SetMin(double value)
{
    min_ = value;
    if (value_ < value)
        SetValue(value);
    if (max_ < min_)
        max_ = min_;
    PropertyChanged("Min");
}

void FlatSpin::SetMax(double value)
{
    max_ = value;
    if (value_ > value)
        SetValue(value);
    if (min_ > max_)
        min_ = max_;
    PropertyChanged("Max");
}

void FlatSpin::SetDigits(long digits)
{
    digits_ = digits < 0 ? 0 : digits;
    PropertyChanged("Digits");
    format_ = CreateFormat(digits_, places_);
    ShowValue();
}

void FlatSpin::SetPlaces(long places)
{
    places_ = places < 0 ? 0 : places;
    PropertyChanged("Places");
    format_ = CreateFormat(digits_, places_);
    ShowValue();
}

std::string FlatSpin::CreateFormat(long Digits, long Places) const
{
    std::string f = Digits < 1 ? "0" : std::string(static_cast<size_t>(Digits), '0');
    if (Places > 0)
        f += "." + std::string(static_cast<size_t>(Places), '0');
    return f;
}

// --- Value and text ---

void FlatSpin::ReadDecimalSeparator()
{
    const QString sep = QLocale().decimalPoint();
    decimalSeparator_ = sep.isEmpty() ? std::string(".") : sep.toStdString();
}

std::string FlatSpin::FormatValue(double value) const
{
    // The pattern's "." comes out as the user's separator.
    return replaceAll(vb::Format(vb::Variant(value), format_), ".", decimalSeparator_);
}

void FlatSpin::ShowValue()
{
    Text1.SetText(FormatValue(Value()));
    Text1.SetSelStart(0);
    Text1.SetSelLength(vb::Len(Text1.Text()));
}

void FlatSpin::ParseText()
{
    const std::string text = replaceAll(Text1.Text(), decimalSeparator_, ".");
    const vb::Variant v(text);
    value_ = 0;
    if (vb::IsNumeric(v)) {
        try {
            value_ = vb::CDbl(v);
        } catch (const vb::RuntimeError&) {
            value_ = 0;
        }
    }
    Change.Raise();
    if (value_ < min_)
        value_ = min_;
    if (value_ > max_)
        value_ = max_;
}

// --- Layout and drawing ---

void FlatSpin::LayoutSpin()
{
    if (ExtentHeight() < 285)
        SetExtentHeight(285);
    Timer2.SetEnabled(false);
    Timer1.SetEnabled(false);
    ComputeGlyphs();
    const double sw = ScaleWidth();
    Text1.SetAppearance(0);
    Text1.SetBorderStyle(0);
    Text1.Move(30, 20, std::max(0.0, sw - (sw > 240 ? 240 : 0)), std::max(0.0, ScaleHeight() - 10));
    Text1.SetVisible(true);
    Text1.SetEnabled(Enabled());
    Text1.SetLocked(false);
    Text1.ZOrder(0);
    RedrawSpin();
}

void FlatSpin::ComputeGlyphs()
{
    const double sw = ScaleWidth();
    const long tx = clng(vb::Screen::TwipsPerPixelX());
    const long ty = clng(vb::Screen::TwipsPerPixelY());
    buttonEdge_ = clng(sw - 210);
    wideButtonEdge_ = clng(sw - 270);
    middle_ = clng(ScaleHeight()) / 2;
    const int c = static_cast<int>(clng(sw - 105) / tx);
    const int m = static_cast<int>(middle_ / ty);
    const int l = static_cast<int>(clng(sw - 190) / tx);
    const int r = static_cast<int>(clng(sw - 60) / tx);
    const int u = static_cast<int>(clng(middle_ * 0.5) / ty);
    const int d = static_cast<int>(clng(middle_ * 1.6) / ty);
    upArrow_ = {{c, u - 2}, {c + 1, u - 2}, {c - 1, u - 1}, {c + 2, u - 1}, {c - 2, u}, {c + 3, u}, {c - 3, u + 1}, {c + 4, u + 1}};
    downArrow_ = {{c, d + 1}, {c + 1, d + 1}, {c - 1, d}, {c + 2, d}, {c - 2, d - 1}, {c + 3, d - 1}, {c - 3, d - 2}, {c + 4, d - 2}};
    leftArrow_ = {{l - 2, m}, {l - 2, m + 1}, {l - 1, m - 1}, {l - 1, m + 2}, {l, m - 2}, {l, m + 3}, {l + 1, m - 3}, {l + 1, m + 4}};
    rightArrow_ = {{r + 1, m}, {r + 1, m + 1}, {r, m - 1}, {r, m + 2}, {r - 1, m - 2}, {r - 1, m + 3}, {r - 2, m - 3}, {r - 2, m + 4}};
    plus_ = {{c - 2, u}, {c + 4, u}, {c - 2, u - 1}, {c + 4, u - 1}, {c, u - 3}, {c, u + 3}, {c + 1, u - 3}, {c + 1, u + 3}};
    minus_ = {{c - 2, d}, {c + 4, d}, {c - 2, d + 1}, {c + 4, d + 1}};
    upCounts_ = downCounts_ = leftCounts_ = rightCounts_ = plusCounts_ = {2, 2, 2, 2};
    minusCounts_ = {2, 2};
}

void FlatSpin::RedrawSpin()
{
    DrawSpinBackground();
    const bool enabled = Enabled();
    const OLE_COLOR arrows = colorMode_ == 0 ? (enabled ? forms::vbWindowText : forms::vbGrayText)
                                             : (enabled ? forms::vbButtonText : forms::vbButtonShadow);
    switch (style_) {
    case 0: DrawUpDown(arrows); break;
    case 1:
        DrawPlusMinus(enabled ? forms::RGB(0, 128, 0) : forms::vbGrayText,
                      enabled ? forms::RGB(128, 0, 0) : forms::vbGrayText);
        break;
    case 2: DrawLeftRight(arrows); break;
    default: break;
    }
}

void FlatSpin::DrawSpinBackground()
{
    const double sw = ScaleWidth();
    const double sh = ScaleHeight();
    Cls();
    SetForeColor(colorMode_ == 0 ? forms::vbWindowBackground : forms::vbButtonFace);
    if (style_ == 2) {
        Box(wideButtonEdge_, 0, sw, sh, std::nullopt, true);
        SetForeColor(forms::vbWindowText);
        Line(wideButtonEdge_, 0, wideButtonEdge_, sh);
        Text1.SetWidth(std::max(0.0, sw - (sw > 310 ? 310 : 0)));
        Line(wideButtonEdge_ + 140, 0, wideButtonEdge_ + 140, sh);
    } else {
        Box(buttonEdge_, 0, sw, sh, std::nullopt, true);
        SetForeColor(forms::vbWindowText);
        Line(buttonEdge_, 0, buttonEdge_, sh);
        Text1.SetWidth(std::max(0.0, sw - (sw > 240 ? 240 : 0)));
        Line(buttonEdge_, middle_, sw, middle_);
    }
}

void FlatSpin::DrawUpDown(OLE_COLOR color)
{
    SetForeColor(color);
    PolyPolyline(upArrow_, upCounts_);
    PolyPolyline(downArrow_, downCounts_);
}

void FlatSpin::DrawPlusMinus(OLE_COLOR plus, OLE_COLOR minus)
{
    SetForeColor(plus);
    PolyPolyline(plus_, plusCounts_);
    SetForeColor(minus);
    PolyPolyline(minus_, minusCounts_);
}

void FlatSpin::DrawLeftRight(OLE_COLOR color)
{
    SetForeColor(color);
    PolyPolyline(leftArrow_, leftCounts_);
    PolyPolyline(rightArrow_, rightCounts_);
}

// --- Stepping ---

int FlatSpin::StepZone(double x, double y) const
{
    if (style_ == 2) {
        if (x > wideButtonEdge_)
            return x >= wideButtonEdge_ + 140 ? 1 : -1;
        return 0;
    }
    if (x > buttonEdge_)
        return y > middle_ ? -1 : 1;
    return 0;
}

// A step moves the stored value; showing it clamps.
void FlatSpin::Step(int direction)
{
    value_ += direction;
    ShowValue();
    Change.Raise();
}

// --- Keys ---

void FlatSpin::UserControl_KeyDown(int& KeyCode, int& Shift)
{
    KeyDown.Raise(KeyCode, Shift);
}

void FlatSpin::UserControl_KeyPress(int& KeyAscii)
{
    KeyPress.Raise(KeyAscii);
}

void FlatSpin::UserControl_KeyUp(int& KeyCode, int& Shift)
{
    KeyUp.Raise(KeyCode, Shift);
}

void FlatSpin::UserControl_ExitFocus()
{
    LostFocus.Raise();
}

void FlatSpin::Text1_KeyDown(int& KeyCode, int&)
{
    if (KeyCode != forms::vbKeyUp && KeyCode != forms::vbKeyDown)
        return;
    SetValue(Value() + (KeyCode == forms::vbKeyUp ? 1 : -1));
    ShowValue();
    ParseText();
    KeyCode = 0;
}

void FlatSpin::Text1_KeyPress(int& KeyAscii)
{
    if (KeyAscii == forms::vbKeyReturn) {
        KeyAscii = 0;
        ParseText();
        ShowValue();
        Change.Raise();
        return;
    }
    if (KeyAscii == forms::vbKeyBack) {
        // The whole text is selected again, so the Backspace empties the box.
        value_ = 0;
        ShowValue();
        return;
    }
    if (KeyAscii >= '0' && KeyAscii <= '9')
        return;
    if (KeyAscii == '-') {
        if (min_ < 0)
            Text1.SetText("");
        else
            KeyAscii = 0;
        return;
    }
    if (!decimalSeparator_.empty() && forms::AsciiText(KeyAscii) == vb::Left(decimalSeparator_, 1)) {
        const std::string text = Text1.Text();
        const bool wholeSelected = Text1.SelStart() == 0 && Text1.SelLength() == vb::Len(text);
        if (places_ == 0 || (vb::InStr(text, decimalSeparator_) > 0 && !wholeSelected))
            KeyAscii = 0;
        return;
    }
    KeyAscii = 0;
}

void FlatSpin::Text1_KeyUp(int& KeyCode, int&)
{
    if (KeyCode == forms::vbKeyUp || KeyCode == forms::vbKeyDown)
        return;
    const std::string text = Text1.Text();
    if (!text.empty() && text != decimalSeparator_)
        ParseText();
}

// --- Mouse and timers ---

void FlatSpin::UserControl_MouseDown(int Button, int Shift, float X, float Y)
{
    win::GetCursorPos(recordedCursor_);
    downX_ = X;
    downY_ = Y;
    downButton_ = Button;
    downShift_ = Shift;
    Timer2.SetInterval(100);
    Timer2.SetEnabled(true);
    Timer1.SetInterval(500);
    Timer1.SetEnabled(true);
}

void FlatSpin::UserControl_MouseUp(int, int, float X, float Y)
{
    Timer1.SetEnabled(false);
    Timer2.SetEnabled(false);
    if (const int zone = StepZone(X, Y))
        Step(zone);
}

void FlatSpin::UserControl_DblClick()
{
    UserControl_MouseDown(downButton_, downShift_, downX_, downY_);
}

void FlatSpin::UserControl_MouseMove(int, int, float, float)
{
    forms::Control::SetMousePointer(static_cast<int>(mousePointer_));
    PointerMove.Raise(forms::Control::MousePointer());
}

void FlatSpin::Timer2_Timer()
{
    if (const int zone = StepZone(downX_, downY_)) {
        Step(zone);
        Timer2.SetEnabled(false);
    }
}

void FlatSpin::Timer1_Timer()
{
    win::POINTAPI now;
    win::GetCursorPos(now);
    if (!(now == recordedCursor_)) {
        Timer1.SetEnabled(false);
        return;
    }
    if (const int zone = StepZone(downX_, downY_)) {
        Step(zone);
        Timer1.SetInterval(50);
    }
}
