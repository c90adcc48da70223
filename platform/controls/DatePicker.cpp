#include "platform/controls/DatePicker.h"

#include "platform/basic/DateTime.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QToolTip>

#include <cmath>
#include <optional>

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

bool numeric(QDateTimeEdit::Section section)
{
    switch (section) {
    case QDateTimeEdit::MonthSection:
    case QDateTimeEdit::DaySection:
    case QDateTimeEdit::YearSection:
    case QDateTimeEdit::HourSection:
    case QDateTimeEdit::MinuteSection:
    case QDateTimeEdit::SecondSection: return true;
    default: return false;
    }
}

// The largest number the field holds (hours on a 12-hour clock).
int largest(QDateTimeEdit::Section section)
{
    switch (section) {
    case QDateTimeEdit::MonthSection: return 12;
    case QDateTimeEdit::DaySection: return 31;
    case QDateTimeEdit::YearSection: return 9999;
    case QDateTimeEdit::HourSection: return 12;
    default: return 59;
    }
}

const char* fieldName(QDateTimeEdit::Section section)
{
    switch (section) {
    case QDateTimeEdit::MonthSection: return "month";
    case QDateTimeEdit::DaySection: return "day";
    case QDateTimeEdit::YearSection: return "year";
    case QDateTimeEdit::HourSection: return "hour";
    case QDateTimeEdit::MinuteSection: return "minute";
    default: return "second";
    }
}

// base with one field set to n; why it cannot be, when it cannot.
std::optional<QDateTime> withField(const QDateTime& base, QDateTimeEdit::Section section, int n, QString& why)
{
    int y = base.date().year();
    int m = base.date().month();
    int d = base.date().day();
    int h = base.time().hour();
    int mi = base.time().minute();
    int se = base.time().second();
    switch (section) {
    case QDateTimeEdit::MonthSection: m = n; break;
    case QDateTimeEdit::DaySection: d = n; break;
    case QDateTimeEdit::YearSection: y = n; break;
    case QDateTimeEdit::HourSection: h = n == 12 ? (h >= 12 ? 12 : 0) : n + (h >= 12 ? 12 : 0); break;
    case QDateTimeEdit::MinuteSection: mi = n; break;
    default: se = n; break;
    }
    const bool hourOk = section != QDateTimeEdit::HourSection || (n >= 1 && n <= 12);
    if (!hourOk || mi > 59 || se > 59) {
        why = QStringLiteral("There is no %1 %2.").arg(QLatin1String(fieldName(section))).arg(n);
        return std::nullopt;
    }
    if (m < 1 || m > 12) {
        why = QStringLiteral("There is no month %1.").arg(n);
        return std::nullopt;
    }
    if (y < 1601 || y > 9999) {
        why = QStringLiteral("The year %1 is out of range.").arg(y);
        return std::nullopt;
    }
    if (d < 1 || d > QDate(y, m, 1).daysInMonth()) {
        why = d < 1 ? QStringLiteral("There is no day %1.").arg(d)
                    : QStringLiteral("%1 %2 has no day %3.").arg(QLocale::c().monthName(m)).arg(y).arg(d);
        return std::nullopt;
    }
    return QDateTime(QDate(y, m, d), QTime(h, mi, se), Qt::UTC);
}

} // namespace

// The picker's field: typing replaces a field the click selected.
class DatePicker::Edit : public QDateTimeEdit {
public:
    Edit(DatePicker& picker, QWidget* parent)
        : QDateTimeEdit(parent)
        , picker_(picker)
    {
        lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A click into the text selects the field under it, once the text
        // box has placed its cursor there.
        if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease) {
            // The text box finishes the click first; digits typed right
            // after it then go to the field selected here.
            static_cast<QObject*>(lineEdit())->event(event);
            if (hasFocus() && !lineEdit()->hasSelectedText() && numeric(currentSection())) {
                picker_.typed_.clear();
                setSelectedSection(currentSection());
            }
            return true;
        }
        return QDateTimeEdit::eventFilter(watched, event);
    }

    void keyPressEvent(QKeyEvent* e) override
    {
        const QString text = e->text();
        if (text.size() == 1 && text[0].isDigit() && numeric(currentSection()) &&
            !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            picker_.typeDigit(text[0].digitValue());
            e->accept();
            return;
        }
        // Any other key ends the field's typing: what was typed is taken
        // (or refused) before the key moves on.
        if (!picker_.typed_.isEmpty())
            picker_.takeTyped(false);
        QDateTimeEdit::keyPressEvent(e);
    }

    void focusOutEvent(QFocusEvent* e) override
    {
        if (!picker_.typed_.isEmpty())
            picker_.takeTyped(false);
        QDateTimeEdit::focusOutEvent(e);
    }

private:
    DatePicker& picker_;
};

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
            // Digits typed into the blank picker's today are a date of the user's.
            if (!picker_.typed_.isEmpty())
                picker_.takeTyped(false);
            if (!picker_.value_)
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
    , edit_(new Edit(*this, parent.ClientWidget()))
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

void DatePicker::typeDigit(int digit)
{
    const auto section = static_cast<QDateTimeEdit::Section>(edit_->currentSection());
    if (typedSection_ != section)
        typed_.clear();
    typedSection_ = section;
    typed_ += QChar(u'0' + digit);
    const int n = typed_.toInt();
    const int digits = section == QDateTimeEdit::YearSection ? 4 : 2;
    // Full: as many digits as the field has, or no further digit could follow.
    const bool full = typed_.size() >= digits || n * 10 > largest(section);
    if (!full) {
        // What is typed so far shows, where it makes a date; it is taken
        // only once the field is full or left.
        QString ignored;
        const QDateTime base = value_ ? toQt(*value_) : edit_->dateTime();
        if (const auto shown = withField(base, section, n, ignored)) {
            codeChange_ = true;
            edit_->setDateTime(*shown);
            codeChange_ = false;
        }
        return;
    }
    takeTyped(true);
}

bool DatePicker::takeTyped(bool selectNext)
{
    if (typed_.isEmpty())
        return true;
    const auto section = static_cast<QDateTimeEdit::Section>(typedSection_);
    const int n = typed_.toInt();
    typed_.clear();
    QString why;
    const QDateTime base = value_ ? toQt(*value_) : edit_->dateTime();
    const std::optional<QDateTime> next = withField(base, section, n, why);
    if (!next) {
        refuse(why);
        return false;
    }
    // Taken as a change of the user's (Change when it differs).
    edit_->setDateTime(*next);
    userChanged();
    if (selectNext) {
        const int index = edit_->currentSectionIndex();
        if (index + 1 < edit_->sectionCount()) {
            edit_->setCurrentSectionIndex(index + 1);
            edit_->setSelectedSection(edit_->currentSection());
        } else {
            edit_->setSelectedSection(section);
        }
    }
    return true;
}

void DatePicker::refuse(const QString& why)
{
    const auto section = static_cast<QDateTimeEdit::Section>(typedSection_);
    show();
    edit_->setSelectedSection(section);
    QApplication::beep();
    const QString kept = value_ ? edit_->text() : QStringLiteral("no date");
    QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())),
                       why + QStringLiteral(" The picker keeps %1.").arg(kept), edit_);
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
