#include "platform/forms/UserControl.h"

#include "platform/forms/Form.h"

#include <QApplication>

namespace forms {

UserControl::UserControl(Container& parent, std::string name, int index)
    : PictureBox(parent, std::move(name), index)
{
    SetBackColor(vbButtonFace);
    // ExitFocus: the focus went from inside the control to somewhere else.
    QObject::connect(qApp, &QApplication::focusChanged, Widget(), [this](QWidget* from, QWidget* to) {
        QWidget* self = Widget();
        const bool wasInside = from && (from == self || self->isAncestorOf(from));
        const bool isInside = to && (to == self || self->isAncestorOf(to));
        if (wasInside && !isInside && Live())
            detail::Dispatch([this] { UserControl_ExitFocus(); });
    });
}

UserControl::~UserControl() = default;

void UserControl::Initialize()
{
    if (initialized_)
        return;
    initialized_ = true;
    notifiedSize_ = ClientWidget()->size();
    UserControl_Initialize();
}

void UserControl::Terminate()
{
    if (terminated_ || !initialized_)
        return;
    terminated_ = true;
    UserControl_Terminate();
}

void UserControl::InitNew()
{
    UserControl_InitProperties();
}

void UserControl::ReadFrom(PropertyBag& bag)
{
    UserControl_ReadProperties(bag);
}

void UserControl::WriteTo(PropertyBag& bag)
{
    UserControl_WriteProperties(bag);
}

AmbientProperties UserControl::Ambient() const
{
    return {const_cast<UserControl*>(this)->Parent().ParentForm().Font()};
}

double UserControl::ExtentHeight() const
{
    return Widget() ? Widget()->height() * 15.0 : 0.0;
}

void UserControl::SetExtentHeight(double twips)
{
    SetHeight(twips / Parent().TwipsPerUnit());
}

void UserControl::SetMouseIcon(const QPixmap& icon)
{
    mouseIcon_ = icon;
    SetCustomCursor(icon);
}

void UserControl::PropertyChanged(std::string_view name)
{
    changed_.emplace(name);
}

void UserControl::PreviewKeyDown(int& keyCode, int& shift)
{
    if (keyPreview_)
        UserControl_KeyDown(keyCode, shift);
}

void UserControl::PreviewKeyPress(int& keyAscii)
{
    if (keyPreview_)
        UserControl_KeyPress(keyAscii);
}

void UserControl::PreviewKeyUp(int& keyCode, int& shift)
{
    if (keyPreview_)
        UserControl_KeyUp(keyCode, shift);
}

bool UserControl::resizedTo(const QSize& size)
{
    if (!initialized_ || terminated_ || size == notifiedSize_)
        return false;
    notifiedSize_ = size;
    return true;
}

// A size set by the program: Resize runs at once, its errors reach the program.
void UserControl::GeometryApplied()
{
    PictureBox::GeometryApplied();
    if (resizedTo(ClientWidget()->size()))
        UserControl_Resize();
}

// A size set by the window system (a layout, a shown window).
void UserControl::FrameResized()
{
    PictureBox::GeometryApplied();
    if (ApplyingGeometry())
        return; // GeometryApplied follows
    if (resizedTo(ClientWidget()->size()) && Live())
        detail::Dispatch([this] { UserControl_Resize(); });
}

} // namespace forms
