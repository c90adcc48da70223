#pragma once
// ctCalendar: a month calendar that shows a text and a picture on each day.
//
// Days are day numbers (whole days from 1 January 1900, day 0). The control
// shows whole weeks, Monday first, from the week of FirstDay to the week of
// LastDay, and scrolls through them a week at a time. Each day keeps a text
// and the index of a picture of the control's picture list (0: none).
//
//   ctCalendar1.AddPicture(renewal);            // index LastPictureIndex()
//   ctCalendar1.SetDayText(day, "Renewal: Elm Street");
//   ctCalendar1.SetDayPicture(day, 1);
//   ctCalendar1.SetFirstDay(start);
//
// Alignments are 0 left, 1 right, 2 centred; positions 0 top, 1 bottom,
// 2 centre; a value outside 0 to 2 raises 380. Colours are OLE colours;
// WeekendDayColor -1 leaves weekends uncoloured.

#include "platform/basic/DateTime.h"
#include "platform/forms/Control.h"

#include <QPixmap>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace controls {

class CalendarView;

enum : int { ctLeftJustified = 0, ctRightJustified = 1, ctCentered = 2 };
enum : int { ctTop = 0, ctBottom = 1, ctCenter = 2 };

class ctCalendar : public forms::Control {
public:
    ctCalendar(forms::Container& parent, std::string name, int index = -1);
    ~ctCalendar() override;

    // --- Picture list ---
    // Index of the last picture; 0 when the list is empty.
    int16_t LastPictureIndex() const;
    // Appends a picture; it takes index LastPictureIndex() + 1.
    void AddPicture(const QPixmap& picture);
    // Removes the picture at index; the later ones move down. Days keep
    // their indexes. Raises 380 for an index that is not in the list.
    void RemovePicture(int index);
    // The picture at index; a null picture for 0 or an index not in the list.
    QPixmap Picture(int index) const;

    // --- Days ---
    void ClearDays();
    std::string DayText(int32_t day) const;
    void SetDayText(int32_t day, std::string_view text);
    int16_t DayPicture(int32_t day) const;
    // Raises 380 below 0.
    void SetDayPicture(int32_t day, int16_t pictureIndex);
    // The days that have a text or a picture, in order.
    std::vector<int32_t> MarkedDays() const;

    // --- Range and marked day ---
    int32_t FirstDay() const { return firstDay_; }
    // Shows the range from its first week on.
    void SetFirstDay(int32_t day);
    int32_t LastDay() const { return lastDay_; }
    // The date's serial number becomes the last day.
    void SetLastDay(vb::Date date);
    void SetLastDay(int32_t day);
    int32_t CurrentDay() const { return currentDay_; }
    void SetCurrentDay(int32_t day);
    // The first day of the top week in view.
    int32_t TopDay() const;
    // Scrolls so that the week of day is the top one (within the range).
    void ScrollToDay(int32_t day);

    // Repaints the days at once; the scroll bar is left as it is.
    void Refresh();

    // --- Look ---
    const QPixmap& BackgroundPicture() const { return background_; }
    void SetBackgroundPicture(const QPixmap& picture);
    int GroupWeekends() const { return groupWeekends_; }
    void SetGroupWeekends(int on);
    int SmallIcons() const { return smallIcons_; }
    void SetSmallIcons(int on);
    int DateAlignment() const { return dateAlignment_; }
    void SetDateAlignment(int value);
    int DatePosition() const { return datePosition_; }
    void SetDatePosition(int value);
    int IconAlignment() const { return iconAlignment_; }
    void SetIconAlignment(int value);
    int IconPosition() const { return iconPosition_; }
    void SetIconPosition(int value);
    int TextAlignment() const { return textAlignment_; }
    void SetTextAlignment(int value);
    int TextPosition() const { return textPosition_; }
    void SetTextPosition(int value);
    forms::OLE_COLOR DayHeadingColor() const { return dayHeadingColor_; }
    void SetDayHeadingColor(forms::OLE_COLOR color);
    int32_t WeekendDayColor() const { return weekendDayColor_; }
    void SetWeekendDayColor(int32_t color);
    int ShowDateHeadings() const { return showDateHeadings_; }
    void SetShowDateHeadings(int on);
    // The names the calendar shows: seven day names Sunday first, twelve
    // month names January first.
    void SetDayNames(const std::array<std::string, 7>& names);
    void SetMonthNames(const std::array<std::string, 12>& names);
    const std::array<std::string, 7>& DayNames() const { return dayNames_; }
    const std::array<std::string, 12>& MonthNames() const { return monthNames_; }

    // The date of a day number, and back (for drawing and callers alike).
    static vb::Date DateOfDay(int32_t day);
    static int32_t DayOfDate(vb::Date date);

private:
    friend class CalendarView;
    void changed();
    static int checked(int value);

    CalendarView* view_;
    std::vector<QPixmap> pictures_; // index 1 is pictures_[0]
    // Each picture at the size last drawn: days share it instead of each
    // scaling their own.
    struct ScaledPicture {
        int size = 0;
        QPixmap pixmap;
    };
    mutable std::vector<ScaledPicture> scaledPictures_;
    // The picture at index (in the list) scaled to fit size x size.
    const QPixmap& scaledPicture(int index, int size) const;
    std::map<int32_t, std::string> texts_;
    std::map<int32_t, int16_t> dayPictures_;
    int32_t firstDay_ = 0;
    int32_t lastDay_ = 0;
    int32_t currentDay_ = 0;
    QPixmap background_;
    // The background at the size last drawn: scaled again only when that changes.
    QPixmap scaledBackground_;
    int groupWeekends_ = 1;
    int smallIcons_ = 1;
    int dateAlignment_ = 0, datePosition_ = 0;
    int iconAlignment_ = 0, iconPosition_ = 0;
    int textAlignment_ = 0, textPosition_ = 0;
    forms::OLE_COLOR dayHeadingColor_ = 0xFFFF00;
    int32_t weekendDayColor_ = 0x808000;
    int showDateHeadings_ = 1;
    std::array<std::string, 7> dayNames_{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 12> monthNames_{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
};

} // namespace controls
