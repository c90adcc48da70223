#include "platform/controls/DatePicker.h"

#include "platform/basic/DateTime.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QEvent>
#include <QSignalBlocker>

#include <cmath>

namespace controls {

namespace {

// The picker shows no date while it holds this one (just before the first
// date it accepts).
const QDateTime kBlank(QDate(1600, 12, 31), QTime(0, 0), Qt::UTC);
const QDateTime kLast(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);

bool inRange(vb::Date d)
{
    const double s = d.Serial();
    if (!std::isfinite(s) || std::fabs(s) > 3.0e6)
        return false;
    const int y = vb::Decompose(d).year;
    return y >= 1601 && y <= 9999;
}

QDateTime toQt(vb::Date d)
{
    const vb::DateParts p = vb::Decompose(d);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second), Qt::UTC);
}

vb::Date combine(const QDate& date, const QTime& time)
{
    const double day = vb::DateSerial(date.year(), date.month(), date.day()).Serial();
    const double t = vb::TimeSerial(time.hour(), time.minute(), time.second()).Serial();
    return vb::Date::FromSerial(day >= 0 ? day + t : day - t);
}

} // namespace

// A blank picker that takes the focus shows today to start from; it stays
// blank (Value Null) until the user changes or picks a date.
class DatePicker::FocusWatch : public QObject {
public:
    FocusWatch(DatePicker& picker, QObject* parent)
        : QObject(parent)
        , picker_(picker)
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (picker_.value_)
            return false;
        if (event->type() == QEvent::FocusIn) {
            picker_.codeChange_ = true;
            picker_.edit_->setDateTime(toQt(vb::Today()));
            picker_.codeChange_ = false;
        } else if (event->type() == QEvent::FocusOut) {
            picker_.show();
        }
        return false;
    }

private:
    DatePicker& picker_;
};

// The drop-down calendar of a blank picker opens at today: the picker
// shows its blank as a day before the first it takes, and the calendar
// would start from there. Nothing is picked by opening it.
class DatePicker::CalendarWatch : public QObject {
public:
    CalendarWatch(DatePicker& picker, QObject* parent)
        : QObject(parent)
        , picker_(picker)
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !picker_.value_) {
            auto* calendar = static_cast<QCalendarWidget*>(watched);
            const QSignalBlocker quiet(calendar);
            const vb::DateParts today = vb::Decompose(vb::Today());
            calendar->setSelectedDate(QDate(today.year, today.month, today.day));
        }
        return false;
    }

private:
    DatePicker& picker_;
};

DatePicker::DatePicker(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , edit_(new QDateTimeEdit(parent.ClientWidget()))
{
    edit_->setTimeSpec(Qt::UTC);
    edit_->setDateTimeRange(kBlank, kLast);
    edit_->setSpecialValueText(QStringLiteral(" "));
    edit_->setCalendarPopup(true);
    QCalendarWidget* calendar = edit_->calendarWidget();
    edit_->installEventFilter(new FocusWatch(*this, edit_));
    calendar->installEventFilter(new CalendarWatch(*this, calendar));
    QObject::connect(edit_, &QDateTimeEdit::dateTimeChanged, edit_, [this] { userChanged(); });
    QObject::connect(calendar, &QCalendarWidget::clicked, edit_, [this] { dayPicked(); });
    value_ = vb::Today();
    SetFormat(dtpShortDate);
    Attach(edit_);
    Control::SetBackColor(forms::vbWindowBackground);
    Control::SetForeColor(forms::vbWindowText);
}

DatePicker::~DatePicker() = default;

vb::Variant DatePicker::Value() const
{
    return value_ ? vb::Variant(*value_) : vb::Variant::Null();
}

void DatePicker::SetValue(const vb::Variant& value)
{
    std::optional<vb::Date> next;
    if (!value.IsNull()) {
        // A number beyond any date is a value the picker cannot take, as
        // a date outside its range is.
        try {
            next = vb::CDate(value);
        } catch (const vb::RuntimeError& e) {
            if (e.Number() != vb::kErrOverflow)
                throw;
            vb::Raise(vb::kErrInvalidProperty);
        }
        if (!inRange(*next))
            vb::Raise(vb::kErrInvalidProperty);
    }
    const bool same = next.has_value() == value_.has_value() && (!next || next->Serial() == value_->Serial());
    if (same)
        return;
    value_ = next;
    show();
    Change.Raise();
}

int DatePicker::Year() const
{
    if (!value_)
        vb::Raise(vb::kErrInvalidUseOfNull);
    return vb::Year(*value_);
}

void DatePicker::SetFormat(int format)
{
    if (format != dtpShortDate && format != dtpTime)
        vb::Raise(vb::kErrInvalidProperty);
    format_ = format;
    edit_->setDisplayFormat(format == dtpTime ? QStringLiteral("h:mm:ss AP") : QStringLiteral("M/d/yyyy"));
    edit_->setCalendarPopup(format != dtpTime);
    show();
}

void DatePicker::show()
{
    codeChange_ = true;
    edit_->setDateTime(value_ ? toQt(*value_) : kBlank);
    codeChange_ = false;
}

void DatePicker::userChanged()
{
    if (codeChange_)
        return;
    const QDateTime shown = edit_->dateTime();
    if (shown == kBlank) {
        // Stepped back onto the blank: the picker keeps what it holds.
        show();
        return;
    }
    const vb::Date next = combine(shown.date(), shown.time());
    if (value_ && next.Serial() == value_->Serial())
        return;
    value_ = next;
    show();
    if (!Live())
        return;
    forms::detail::Dispatch([this] { Change.Raise(); });
}

void DatePicker::dayPicked()
{
    if (!Live())
        return;
    forms::detail::Dispatch([this] {
        // A blank picker showing today takes today when it is picked.
        if (!value_) {
            const QDateTime shown = edit_->dateTime();
            value_ = combine(shown.date(), shown.time());
            show();
            Change.Raise();
        }
        Click.Raise();
    });
}

} // namespace controls
