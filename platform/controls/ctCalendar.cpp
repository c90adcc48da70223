#include "platform/controls/ctCalendar.h"

#include "platform/basic/RuntimeError.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cmath>

namespace controls {

namespace {

// Day 0, 1 January 1900, is serial 2 of the runtime's dates, and a Monday.
constexpr int32_t kSerialOfDayZero = 2;
constexpr int kVisibleWeeks = 6;

int weekdayFromMonday(int32_t day)
{
    return static_cast<int>(((day % 7) + 7) % 7);
}

int32_t mondayOf(int32_t day)
{
    return day - weekdayFromMonday(day);
}

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

// The day's text as lines: any run of CR and LF is one break, and empty
// lines (the separator before the first reminder) are dropped.
QString displayText(const std::string& text)
{
    std::string lines;
    lines.reserve(text.size());
    bool breakPending = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            breakPending = !lines.empty();
            continue;
        }
        if (breakPending) {
            lines += '\n';
            breakPending = false;
        }
        lines += c;
    }
    return qs(lines);
}

Qt::Alignment horizontal(int alignment)
{
    return alignment == ctRightJustified ? Qt::AlignRight : alignment == ctCentered ? Qt::AlignHCenter : Qt::AlignLeft;
}

Qt::Alignment vertical(int position)
{
    return position == ctBottom ? Qt::AlignBottom : position == ctCenter ? Qt::AlignVCenter : Qt::AlignTop;
}

} // namespace

// The drawing of the calendar: a row of day names, then whole weeks.
class CalendarView : public QWidget {
public:
    CalendarView(ctCalendar& calendar, QWidget* parent)
        : QWidget(parent)
        , cal_(calendar)
        , scroll_(new QScrollBar(Qt::Vertical, this))
    {
        setAutoFillBackground(false);
        scroll_->setSingleStep(1);
        connect(scroll_, &QScrollBar::valueChanged, this, [this] { update(); });
    }

    int32_t FirstMonday() const { return mondayOf(cal_.firstDay_); }

    int WeekCount() const
    {
        if (cal_.lastDay_ < cal_.firstDay_)
            return kVisibleWeeks;
        return static_cast<int>((mondayOf(cal_.lastDay_) - FirstMonday()) / 7 + 1);
    }

    int Rows() const { return std::min(kVisibleWeeks, WeekCount()); }

    void UpdateRange()
    {
        scroll_->setRange(0, std::max(0, WeekCount() - Rows()));
        scroll_->setPageStep(Rows());
        update();
    }

    // Where the days are drawn: everything but the scroll bar.
    QRect DaysArea() const { return QRect(0, 0, width() - scroll_->width(), height()); }

    int TopWeek() const { return scroll_->value(); }
    void SetTopWeek(int week) { scroll_->setValue(week); }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const int w = scroll_->sizeHint().width();
        scroll_->setGeometry(width() - w, 0, w, height());
    }

    void wheelEvent(QWheelEvent* e) override
    {
        const int steps = e->angleDelta().y() / 120;
        scroll_->setValue(scroll_->value() - steps);
        e->accept();
    }

    void paintEvent(QPaintEvent*) override;

private:
    void paintDay(QPainter& p, const QRect& r, int32_t day, int weekday);

    ctCalendar& cal_;
    QScrollBar* scroll_;
};

void CalendarView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect all = DaysArea();
    p.fillRect(all, Qt::white);
    if (all.width() <= 0 || all.height() <= 0)
        return;

    const QFontMetrics fm(font());
    const int headerH = fm.height() + 6;
    const bool grouped = cal_.groupWeekends_ != 0;
    const int cols = grouped ? 6 : 7;
    const QRect grid(all.left(), all.top() + headerH, all.width(), all.height() - headerH);

    if (!cal_.background_.isNull()) {
        QPixmap& scaled = cal_.scaledBackground_;
        const bool fits = !scaled.isNull() && scaled.width() >= grid.width() && scaled.height() >= grid.height()
                          && (scaled.width() == grid.width() || scaled.height() == grid.height());
        if (!fits)
            scaled = cal_.background_.scaled(grid.size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        p.drawPixmap(grid.topLeft(), scaled,
                     QRect((scaled.width() - grid.width()) / 2, (scaled.height() - grid.height()) / 2, grid.width(),
                           grid.height()));
    }

    // Day names, Monday first.
    p.fillRect(QRect(all.left(), all.top(), all.width(), headerH), QColor(64, 64, 64));
    p.setPen(Qt::white);
    for (int c = 0; c < cols; ++c) {
        const int x0 = all.left() + all.width() * c / cols;
        const int x1 = all.left() + all.width() * (c + 1) / cols;
        QString name = qs(cal_.dayNames_[static_cast<size_t>((c + 1) % 7)]);
        if (grouped && c == 5)
            name = qs(cal_.dayNames_[6]) + QLatin1Char('/') + qs(cal_.dayNames_[0]);
        p.drawText(QRect(x0, all.top(), x1 - x0, headerH), Qt::AlignCenter, name);
    }

    const int rows = Rows();
    const int32_t top = FirstMonday() + 7 * TopWeek();
    for (int r = 0; r < rows; ++r) {
        const int y0 = grid.top() + grid.height() * r / rows;
        const int y1 = grid.top() + grid.height() * (r + 1) / rows;
        for (int wd = 0; wd < 7; ++wd) {
            const int32_t day = top + 7 * r + wd;
            int c = wd;
            int yy0 = y0, yy1 = y1;
            if (grouped && wd >= 5) {
                c = 5;
                const int mid = (y0 + y1) / 2;
                (wd == 5 ? yy1 : yy0) = mid;
            }
            const int x0 = grid.left() + grid.width() * c / cols;
            const int x1 = grid.left() + grid.width() * (c + 1) / cols;
            paintDay(p, QRect(x0, yy0, x1 - x0, yy1 - yy0), day, wd);
        }
    }
}

void CalendarView::paintDay(QPainter& p, const QRect& cell, int32_t day, int weekday)
{
    const bool inRange = day >= cal_.firstDay_ && (cal_.lastDay_ < cal_.firstDay_ || day <= cal_.lastDay_);
    if (weekday >= 5 && cal_.weekendDayColor_ != -1) {
        QColor c = forms::ToQColor(static_cast<forms::OLE_COLOR>(cal_.weekendDayColor_));
        c.setAlpha(cal_.background_.isNull() ? 90 : 130);
        p.fillRect(cell, c);
    }
    if (!inRange)
        p.fillRect(cell, QColor(128, 128, 128, 70));

    p.setPen(QColor(160, 160, 160));
    p.drawRect(cell.adjusted(0, 0, -1, -1));
    QRect inner = cell.adjusted(2, 1, -2, -1);
    if (inner.width() <= 0 || inner.height() <= 0)
        return;

    // The date heading: the day of the month, with the month's name on its
    // first day.
    const vb::DateParts d = vb::Decompose(ctCalendar::DateOfDay(day));
    QString date = QString::number(d.day);
    if (d.day == 1)
        date = qs(cal_.monthNames_[static_cast<size_t>(d.month - 1)]) + QLatin1Char(' ') + date;
    const QFontMetrics fm(p.font());
    const int bandH = std::min(inner.height(), fm.height() + 2);
    QRect band(inner.left(), inner.top(), inner.width(), bandH);
    if (cal_.datePosition_ == ctBottom)
        band.moveBottom(inner.bottom());
    else if (cal_.datePosition_ == ctCenter)
        band.moveTop(inner.top() + (inner.height() - bandH) / 2);
    if (cal_.showDateHeadings_ != 0)
        p.fillRect(band, forms::ToQColor(cal_.dayHeadingColor_));
    p.setPen(inRange ? Qt::black : QColor(110, 110, 110));
    p.drawText(band.adjusted(2, 0, -2, 0), horizontal(cal_.dateAlignment_) | Qt::AlignVCenter, date);

    QRect content = inner;
    if (cal_.datePosition_ == ctTop)
        content.setTop(band.bottom() + 1);
    else if (cal_.datePosition_ == ctBottom)
        content.setBottom(band.top() - 1);

    // The picture, then the text beside (or above or below) it.
    QRect textRect = content;
    const int pictureIndex = cal_.DayPicture(day);
    const QPixmap picture = cal_.Picture(pictureIndex);
    if (!picture.isNull() && content.height() > 0) {
        const int size = std::min({cal_.smallIcons_ != 0 ? 16 : 32, content.width(), content.height()});
        QRect icon(0, 0, size, size);
        const Qt::Alignment h = horizontal(cal_.iconAlignment_);
        const Qt::Alignment v = vertical(cal_.iconPosition_);
        icon.moveLeft(h == Qt::AlignLeft    ? content.left()
                      : h == Qt::AlignRight ? content.right() - size + 1
                                            : content.left() + (content.width() - size) / 2);
        icon.moveTop(v == Qt::AlignTop      ? content.top()
                     : v == Qt::AlignBottom ? content.bottom() - size + 1
                                            : content.top() + (content.height() - size) / 2);
        p.drawPixmap(icon, cal_.scaledPicture(pictureIndex, size));
        if (h == Qt::AlignLeft)
            textRect.setLeft(icon.right() + 3);
        else if (h == Qt::AlignRight)
            textRect.setRight(icon.left() - 3);
        else if (v == Qt::AlignTop)
            textRect.setTop(icon.bottom() + 1);
        else if (v == Qt::AlignBottom)
            textRect.setBottom(icon.top() - 1);
    }

    const QString text = displayText(cal_.DayText(day));
    if (!text.isEmpty() && textRect.width() > 0 && textRect.height() > 0) {
        QFont small = p.font();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1));
        p.save();
        p.setFont(small);
        p.setClipRect(textRect);
        p.setPen(Qt::black);
        p.drawText(textRect, horizontal(cal_.textAlignment_) | vertical(cal_.textPosition_) | Qt::TextWordWrap, text);
        p.restore();
    }

    if (day == cal_.currentDay_) {
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawRect(cell.adjusted(1, 1, -1, -1));
    }
}

ctCalendar::ctCalendar(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , view_(new CalendarView(*this, parent.ClientWidget()))
{
    Attach(view_);
    const int32_t today = DayOfDate(vb::Today());
    firstDay_ = mondayOf(today);
    lastDay_ = firstDay_ + 7 * kVisibleWeeks - 1;
    currentDay_ = today;
    view_->UpdateRange();
}

ctCalendar::~ctCalendar() = default;

vb::Date ctCalendar::DateOfDay(int32_t day)
{
    return vb::Date::FromSerial(static_cast<double>(day) + kSerialOfDayZero);
}

int32_t ctCalendar::DayOfDate(vb::Date date)
{
    return static_cast<int32_t>(std::floor(date.Serial())) - kSerialOfDayZero;
}

int ctCalendar::checked(int value)
{
    if (value < 0 || value > 2)
        vb::Raise(vb::kErrInvalidProperty);
    return value;
}

// The days changed, not the scroll bar: it is left out of the repaint.
void ctCalendar::changed()
{
    view_->update(view_->DaysArea());
}

void ctCalendar::Refresh()
{
    view_->repaint(view_->DaysArea());
}

int16_t ctCalendar::LastPictureIndex() const
{
    return static_cast<int16_t>(pictures_.size());
}

void ctCalendar::AddPicture(const QPixmap& picture)
{
    if (pictures_.size() >= 32767)
        vb::Raise(vb::kErrOverflow);
    pictures_.push_back(picture);
    scaledPictures_.emplace_back();
    changed();
}

void ctCalendar::RemovePicture(int index)
{
    if (index < 1 || index > LastPictureIndex())
        vb::Raise(vb::kErrInvalidProperty);
    pictures_.erase(pictures_.begin() + (index - 1));
    scaledPictures_.erase(scaledPictures_.begin() + (index - 1));
    changed();
}

QPixmap ctCalendar::Picture(int index) const
{
    if (index < 1 || index > LastPictureIndex())
        return {};
    return pictures_[static_cast<size_t>(index - 1)];
}

const QPixmap& ctCalendar::scaledPicture(int index, int size) const
{
    ScaledPicture& scaled = scaledPictures_[static_cast<size_t>(index - 1)];
    if (scaled.size != size) {
        scaled.pixmap =
            pictures_[static_cast<size_t>(index - 1)].scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.size = size;
    }
    return scaled.pixmap;
}

void ctCalendar::ClearDays()
{
    texts_.clear();
    dayPictures_.clear();
    changed();
}

std::string ctCalendar::DayText(int32_t day) const
{
    auto it = texts_.find(day);
    return it == texts_.end() ? std::string() : it->second;
}

void ctCalendar::SetDayText(int32_t day, std::string_view text)
{
    if (text.empty())
        texts_.erase(day);
    else
        texts_[day] = std::string(text);
    changed();
}

int16_t ctCalendar::DayPicture(int32_t day) const
{
    auto it = dayPictures_.find(day);
    return it == dayPictures_.end() ? int16_t{0} : it->second;
}

void ctCalendar::SetDayPicture(int32_t day, int16_t pictureIndex)
{
    if (pictureIndex < 0)
        vb::Raise(vb::kErrInvalidProperty);
    if (pictureIndex == 0)
        dayPictures_.erase(day);
    else
        dayPictures_[day] = pictureIndex;
    changed();
}

std::vector<int32_t> ctCalendar::MarkedDays() const
{
    std::vector<int32_t> days;
    for (const auto& [day, text] : texts_)
        days.push_back(day);
    for (const auto& [day, picture] : dayPictures_)
        days.push_back(day);
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

void ctCalendar::SetFirstDay(int32_t day)
{
    firstDay_ = day;
    view_->UpdateRange();
    view_->SetTopWeek(0);
}

void ctCalendar::SetLastDay(vb::Date date)
{
    const double serial = std::floor(date.Serial());
    if (serial < INT32_MIN || serial > INT32_MAX)
        vb::Raise(vb::kErrOverflow);
    SetLastDay(static_cast<int32_t>(serial));
}

void ctCalendar::SetLastDay(int32_t day)
{
    const int top = view_->TopWeek();
    lastDay_ = day;
    view_->UpdateRange();
    view_->SetTopWeek(top);
}

void ctCalendar::SetCurrentDay(int32_t day)
{
    currentDay_ = day;
    changed();
}

int32_t ctCalendar::TopDay() const
{
    return view_->FirstMonday() + 7 * view_->TopWeek();
}

void ctCalendar::ScrollToDay(int32_t day)
{
    view_->SetTopWeek(static_cast<int>((mondayOf(day) - view_->FirstMonday()) / 7));
}

void ctCalendar::SetBackgroundPicture(const QPixmap& picture)
{
    background_ = picture;
    scaledBackground_ = QPixmap();
    changed();
}

void ctCalendar::SetGroupWeekends(int on)
{
    groupWeekends_ = on != 0 ? 1 : 0;
    changed();
}

void ctCalendar::SetSmallIcons(int on)
{
    smallIcons_ = on != 0 ? 1 : 0;
    changed();
}

void ctCalendar::SetDateAlignment(int value)
{
    dateAlignment_ = checked(value);
    changed();
}

void ctCalendar::SetDatePosition(int value)
{
    datePosition_ = checked(value);
    changed();
}

void ctCalendar::SetIconAlignment(int value)
{
    iconAlignment_ = checked(value);
    changed();
}

void ctCalendar::SetIconPosition(int value)
{
    iconPosition_ = checked(value);
    changed();
}

void ctCalendar::SetTextAlignment(int value)
{
    textAlignment_ = checked(value);
    changed();
}

void ctCalendar::SetTextPosition(int value)
{
    textPosition_ = checked(value);
    changed();
}

void ctCalendar::SetDayHeadingColor(forms::OLE_COLOR color)
{
    dayHeadingColor_ = color;
    changed();
}

void ctCalendar::SetWeekendDayColor(int32_t color)
{
    if (color < -1)
        vb::Raise(vb::kErrInvalidProperty);
    weekendDayColor_ = color;
    changed();
}

void ctCalendar::SetShowDateHeadings(int on)
{
    showDateHeadings_ = on != 0 ? 1 : 0;
    changed();
}

void ctCalendar::SetDayNames(const std::array<std::string, 7>& names)
{
    dayNames_ = names;
    changed();
}

void ctCalendar::SetMonthNames(const std::array<std::string, 12>& names)
{
    monthNames_ = names;
    changed();
}

} // namespace controls
