#include "platform/forms/Control.h"

#include "platform/forms/Form.h"
#include "platform/forms/Keys.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace forms {

namespace {

int toPixels(double twips)
{
    return detail::TwipsToPixels(twips);
}

Qt::CursorShape cursorShape(int pointer)
{
    switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 15: return Qt::SizeAllCursor;
    case 16: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

// A key a focused child ignores travels on to its parents: only the widget
// that has the focus raises the key events (an inner edit and its combo box,
// a user control and its text box).
bool passedOnFromChild(QWidget* source)
{
    QWidget* focus = QApplication::focusWidget();
    return focus && focus != source && source->isAncestorOf(focus);
}

} // namespace

// Passes the input events of a control's widgets to the control.
class InputBridge : public QObject {
public:
    InputBridge(Control* control, QWidget* watched, bool keysOnly)
        : QObject(watched)
        , control_(control)
        , keysOnly_(keysOnly)
    {
        watched->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (keysOnly_) {
            const auto t = event->type();
            if (t != QEvent::KeyPress && t != QEvent::KeyRelease)
                return false;
        }
        return control_->HandleInput(static_cast<QWidget*>(watched), event);
    }

private:
    Control* control_;
    bool keysOnly_;
};

Control::Control(Container& parent, std::string name, int index)
    : parent_(parent)
    , form_(parent.ParentForm())
    , name_(std::move(name))
    , index_(index)
{
}

Control::~Control()
{
    // The widget may send events while it goes (a focused box loses its
    // focus): this control no longer answers them.
    QWidget* w = widget_.data();
    widget_ = nullptr;
    delete w;
}

void Control::Attach(QWidget* widget)
{
    widget_ = widget;
    if (widget->parentWidget() != parent_.ClientWidget())
        widget->setParent(parent_.ClientWidget());
    widget->setMouseTracking(true);
    new InputBridge(this, widget, false);
    twips_ = QRectF(widget->x() * 15.0, widget->y() * 15.0, widget->width() * 15.0, widget->height() * 15.0);
    widget->show();
}

void Control::WatchInput(QWidget* widget, bool keysOnly)
{
    if (!keysOnly)
        widget->setMouseTracking(true);
    new InputBridge(this, widget, keysOnly);
}

bool Control::Live() const
{
    return form_.Loaded() && !form_.Dying();
}

double Control::MouseTwipsPerUnit() const
{
    return parent_.TwipsPerUnit();
}

void Control::TypeCharacter(int) {}

bool Control::HandleInput(QWidget* source, QEvent* event)
{
    if (!widget_ || !Live())
        return false;
    struct BusyScope {
        int& n;
        explicit BusyScope(int& count) : n(count) { ++n; }
        ~BusyScope() { --n; }
    } busy(busy_);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(event);
        const QPointF global = source->mapToGlobal(m->position());
        const QPointF p = MouseOrigin()->mapFromGlobal(global);
        const double k = 15.0 / MouseTwipsPerUnit();
        const float x = static_cast<float>(p.x() * k);
        const float y = static_cast<float>(p.y() * k);
        const int button = ButtonOf(*m);
        const int shift = ShiftOf(*m);
        if (event->type() == QEvent::MouseButtonPress) {
            pressed_ = true;
            detail::Dispatch([&] { OnMouseDown(button, shift, x, y); });
        } else if (event->type() == QEvent::MouseButtonRelease) {
            detail::Dispatch([&] { OnMouseUp(button, shift, x, y); });
            const bool inside = widget_ && widget_->rect().contains(widget_->mapFromGlobal(global).toPoint());
            if (pressed_ && inside && ClicksOnMouse())
                detail::Dispatch([&] { OnClick(); });
            pressed_ = false;
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            detail::Dispatch([&] { OnDblClick(); });
        } else {
            detail::Dispatch([&] { OnMouseMove(button, shift, x, y); });
        }
        return ConsumesMouse();
    }
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (passedOnFromChild(source))
            return false;
        int code = KeyCodeOf(*k);
        int shift = ShiftOf(*k);
        if (code != 0) {
            detail::Dispatch([&] {
                parent_.PreviewKeyDown(code, shift);
                if (code != 0)
                    OnKeyDown(code, shift);
            });
            if (code == 0)
                return true;
        }
        int ascii = KeyAsciiOf(*k);
        if (ascii != 0) {
            const int typed = ascii;
            detail::Dispatch([&] {
                parent_.PreviewKeyPress(ascii);
                if (ascii != 0)
                    OnKeyPress(ascii);
            });
            if (ascii == 0)
                return true;
            if (ascii != typed) {
                if (widget_ && Live())
                    TypeCharacter(ascii);
                return true;
            }
        }
        return false;
    }
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (passedOnFromChild(source))
            return false;
        int code = KeyCodeOf(*k);
        int shift = ShiftOf(*k);
        if (code == 0)
            return false;
        detail::Dispatch([&] {
            parent_.PreviewKeyUp(code, shift);
            if (code != 0)
                OnKeyUp(code, shift);
        });
        return code == 0;
    }
    case QEvent::FocusIn:
        detail::Dispatch([&] { GotFocus.Raise(); });
        return false;
    case QEvent::FocusOut:
        detail::Dispatch([&] { LostFocus.Raise(); });
        return false;
    default:
        return false;
    }
}

double Control::Left() const
{
    if (widget_ && widget_->x() != toPixels(twips_.x()))
        return widget_->x() * 15.0 / parent_.TwipsPerUnit();
    return twips_.x() / parent_.TwipsPerUnit();
}

double Control::Top() const
{
    if (widget_ && widget_->y() != toPixels(twips_.y()))
        return widget_->y() * 15.0 / parent_.TwipsPerUnit();
    return twips_.y() / parent_.TwipsPerUnit();
}

double Control::Width() const
{
    if (widget_ && widget_->width() != toPixels(twips_.width()))
        return widget_->width() * 15.0 / parent_.TwipsPerUnit();
    return twips_.width() / parent_.TwipsPerUnit();
}

double Control::Height() const
{
    if (widget_ && widget_->height() != toPixels(twips_.height()))
        return widget_->height() * 15.0 / parent_.TwipsPerUnit();
    return twips_.height() / parent_.TwipsPerUnit();
}

void Control::SetLeft(double value)
{
    Move(value);
}

void Control::SetTop(double value)
{
    Move(Left(), value);
}

void Control::SetWidth(double value)
{
    Move(Left(), Top(), value);
}

void Control::SetHeight(double value)
{
    Move(Left(), Top(), Width(), value);
}

void Control::Move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    if ((width && *width < 0) || (height && *height < 0))
        vb::Raise(vb::kErrInvalidProperty);
    const double k = parent_.TwipsPerUnit();
    twips_ = QRectF(left * k, top.value_or(Top()) * k, width.value_or(Width()) * k, height.value_or(Height()) * k);
    ApplyGeometry();
}

void Control::ApplyGeometry()
{
    if (!widget_)
        return;
    applying_ = true;
    widget_->setGeometry(toPixels(twips_.x()), toPixels(twips_.y()), toPixels(twips_.width()),
                         toPixels(twips_.height()));
    applying_ = false;
    GeometryApplied();
}

bool Control::Visible() const
{
    return widget_ && !widget_->isHidden();
}

void Control::SetVisible(bool visible)
{
    if (widget_)
        widget_->setVisible(visible);
}

bool Control::Enabled() const
{
    return widget_ && !widget_->testAttribute(Qt::WA_Disabled);
}

void Control::SetEnabled(bool enabled)
{
    if (widget_)
        widget_->setEnabled(enabled);
}

std::string Control::ToolTipText() const
{
    return widget_ ? widget_->toolTip().toStdString() : std::string();
}

void Control::SetToolTipText(std::string_view text)
{
    if (widget_)
        widget_->setToolTip(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

QFont Control::Font() const
{
    return widget_ ? widget_->font() : QFont();
}

void Control::SetFont(const QFont& font)
{
    if (widget_)
        widget_->setFont(font);
}

OLE_COLOR Control::BackColor() const
{
    return backColor_;
}

void Control::SetBackColor(OLE_COLOR color)
{
    backColor_ = color;
    if (!widget_)
        return;
    QPalette p = widget_->palette();
    p.setColor(QPalette::Window, ToQColor(color));
    p.setColor(QPalette::Base, ToQColor(color));
    p.setColor(QPalette::Button, ToQColor(color));
    widget_->setPalette(p);
}

OLE_COLOR Control::ForeColor() const
{
    return foreColor_;
}

void Control::SetForeColor(OLE_COLOR color)
{
    foreColor_ = color;
    if (!widget_)
        return;
    // Disabled text keeps the desktop's grey.
    QPalette p = widget_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(group, role, ToQColor(color));
    widget_->setPalette(p);
}

void Control::SetMousePointer(int pointer)
{
    mousePointer_ = pointer;
    if (!widget_)
        return;
    if (pointer == vbDefault)
        widget_->unsetCursor();
    else if (pointer != vbCustom)
        widget_->setCursor(cursorShape(pointer));
}

void Control::SetCustomCursor(const QPixmap& picture)
{
    if (widget_ && mousePointer_ == vbCustom && !picture.isNull())
        widget_->setCursor(QCursor(picture));
}

void Control::ZOrder(int position)
{
    if (!widget_)
        return;
    if (position == 0)
        widget_->raise();
    else
        widget_->lower();
}

void Control::SetFocus()
{
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
}

void Control::Refresh()
{
    if (widget_)
        widget_->repaint();
}

} // namespace forms
